#include "core/resources/resource_man_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/objects/wide_strings.h"
#include "core/resources/resource_man.h"
#include "core/text/text_helpers.h"

std::vector<WideString> SplitCommaText(std::u16string_view text) {
  // The wide-string list's comma text rule, so `usesList` reads as any list does.
  std::unique_ptr<TWideStringList, FreeDeleter> list(New<TWideStringList>());
  list->setCommaText(WideString(text));
  std::vector<WideString> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->items(i));
  return items;
}

WideString JoinCommaText(const std::vector<WideString>& items) {
  WideString text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += u',';
    text += items[i];
  }
  return text;
}

std::vector<WideString> SplitMasks(std::u16string_view masks) {
  std::vector<WideString> result;
  size_t start = 0;
  while (true) {
    size_t semicolon = masks.find(u';', start);
    result.push_back(TrimW(masks.substr(start, semicolon == std::u16string_view::npos ? semicolon : semicolon - start)));
    if (semicolon == std::u16string_view::npos) break;
    start = semicolon + 1;
  }
  return result;
}

namespace {
// Deeper than any game folder; stops a walk through a maze of links.
constexpr int kMaxWalkDepth = 64;

struct Entry {
  std::string name;
  bool isFolder;
  dev_t device;
  ino_t inode;
};

// The entries of a folder (without "." and ".."), in name order.
std::vector<Entry> ReadFolder(const std::string& systemFolder) {
  std::vector<Entry> entries;
  DIR* dir = opendir(systemFolder.c_str());
  if (!dir) return entries;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (stat((systemFolder + "/" + name).c_str(), &st) != 0) continue;  // a dangling link
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;
    entries.push_back({std::move(name), S_ISDIR(st.st_mode), st.st_dev, st.st_ino});
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    std::string la = LowerCaseAscii(a.name), lb = LowerCaseAscii(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  return entries;
}

using FolderId = std::pair<dev_t, ino_t>;

struct Walk {
  const std::vector<WideString>* masks = nullptr;  // nil: list folders
  std::vector<WideString>* results = nullptr;
  std::set<FolderId> walking;  // the folders on the way down to the current one

  void run(const std::string& systemFolder, const WideString& prefix, int depth) {
    if (depth > kMaxWalkDepth) return;
    for (const Entry& entry : ReadFolder(systemFolder)) {
      WideString name = Utf8ToWide(entry.name);
      if (entry.isFolder) {
        FolderId id{entry.device, entry.inode};
        if (walking.count(id)) continue;  // a link back up: a cycle
        if (!masks) results->push_back(prefix + name);
        walking.insert(id);
        run(systemFolder + "/" + entry.name, prefix + name + u"\\", depth + 1);
        walking.erase(id);
      } else if (masks) {
        for (const WideString& mask : *masks) {
          if (MatchesMask(name, mask)) results->push_back(prefix + name);
        }
      }
    }
  }

  void start(const std::string& folderPath, const WideString& prefix) {
    std::string system = ToSystemPath(folderPath);
    while (system.size() > 1 && system.back() == '/') system.pop_back();
    struct stat st;
    if (system.empty() || stat(system.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    walking.insert({st.st_dev, st.st_ino});
    run(system, prefix, 0);
  }
};
}  // namespace

void FindFilesInFolder(const std::string& folderPath, const WideString& prefix, const std::vector<WideString>& masks,
                       std::vector<WideString>& results) {
  Walk walk;
  walk.masks = &masks;
  walk.results = &results;
  walk.start(folderPath, prefix);
}

void FindFoldersInFolder(const std::string& folderPath, const WideString& prefix, std::vector<WideString>& results) {
  Walk walk;
  walk.results = &results;
  walk.start(folderPath, prefix);
}

namespace {
TStream* Refuse(const std::string& path, bool raiseOnFailure) {
  if (raiseOnFailure) throw EFOpenError("Cannot open file \"" + path + "\"");
  return nullptr;
}
}  // namespace

TStream* OpenFileByMode(const std::string& path, int32_t mode, bool raiseOnFailure) {
  if (mode == fmCreate) {
    std::string folder = ExtractFilePath(path);
    // A file is replaced through a temporary beside it: a read-only folder
    // refuses that even when the old file itself could be written.
    if (IsReadOnlyFile(path) || (!folder.empty() && IsReadOnlyFile(folder))) return nullptr;
    if (!folder.empty() && !ForceDirectories(folder)) return Refuse(path, raiseOnFailure);
    auto* stream = new TFileStream(path, FileMode::Create);
    if (stream->IsOpen()) return stream;
    stream->Free();
    return Refuse(path, raiseOnFailure);
  }
  if (!FileExists(path)) return nullptr;
  if (ModeHasWriteAccess(mode) && IsReadOnlyFile(path)) return nullptr;
  auto* stream = new TFileStream(path, (mode & 0x3) == 0 ? FileMode::OpenRead : FileMode::OpenReadWrite);
  if (stream->IsOpen()) return stream;
  stream->Free();
  return Refuse(path, raiseOnFailure);
}

int32_t FileDateOfFile(const std::string& path) {
  std::optional<double> time = FileTimeOfFile(path);
  return time ? UnixTimeToFileDate(*time) : -1;
}

std::optional<double> FileTimeOfFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  double time = GetFileTime(ToSystemPath(path));
  if (time < 0) return std::nullopt;
  return time;
}
