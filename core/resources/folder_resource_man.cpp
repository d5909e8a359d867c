#include "core/resources/folder_resource_man.h"

#include "compat/win32/file_system.h"
#include "core/objects/class_builder.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/resource_man_files.h"
#include "core/resources/resource_path.h"
#include "core/resources/write_places.h"
#include "core/system/log.h"

const ClassInfo& TFolderResourceMan::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TFolderResourceMan>("TFolderResourceMan")
                                    .method("createStream", &TFolderResourceMan::createStream)
                                    .method("streamExists", &TFolderResourceMan::streamExists)
                                    .method("FileDate", &TFolderResourceMan::FileDate)
                                    .build();
  return info;
}

namespace {
bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}
}  // namespace

std::string TFolderResourceMan::fullPath(const WideString& name) const {
  // The substitution applies to the name alone: a root such as
  // "/home/langley/" must stay as it is.
  std::optional<std::string> path = ResolveBelowRoot(root_, normalizeName(name));
  if (path) return *path;
  LogError(u"Name leaves the game's folder: " + name);
  return {};
}

void TFolderResourceMan::setRoot(const std::string& path) {
  root_ = path;
  if (!EndsWithSeparator(root_)) root_ += '\\';
  active_ = FolderExists(root_);
}

void TFolderResourceMan::setUsesList(const WideString& text) {
  inherited::setUsesList(text);
  std::vector<Package>& list = packages();
  for (size_t i = 0; i < list.size();) {
    if (!IsPlainPackageName(list[i].name)) {
      LogError(u"Package name refused: " + list[i].name);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    std::string folder = root_ + "..\\..\\_" + WideToUtf8(list[i].name) + "\\game\\";
    if (!FolderExists(folder)) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    auto* package = New<TFolderResourceMan>(owner());
    package->setRoot(folder);
    list[i].manager = package;
    ++i;
  }
}

bool TFolderResourceMan::streamExists(const WideString& name) {
  std::string path = fullPath(name);
  if (path.empty()) return false;
  return FileExists(path) || packagesHave(name);
}

TStream* TFolderResourceMan::createStream(const WideString& name, int32_t mode) {
  std::string path = fullPath(name);
  if (path.empty()) return nullptr;
  if (mode == fmCreate || ModeHasWriteAccess(mode)) {
    // Writes stay in this folder: packages are other games' data, and a link
    // inside the folder must not carry a write out of it.
    if (!MayWriteBelow(path, root_)) return nullptr;
    return OpenFileByMode(path, mode, true);
  }
  if (TStream* stream = OpenFileByMode(path, mode, true)) return stream;
  return createStreamFromPackages(name, mode);
}

int32_t TFolderResourceMan::FileDate(const WideString& name) {
  std::string path = fullPath(name);
  if (path.empty()) return -1;
  int32_t date = FileDateOfFile(path);
  return date != -1 ? date : packageFileDate(name);
}

std::optional<double> TFolderResourceMan::FileTime(const WideString& name) {
  std::string path = fullPath(name);
  if (path.empty()) return std::nullopt;
  std::optional<double> time = FileTimeOfFile(path);
  return time ? time : packageFileTime(name);
}

void TFolderResourceMan::IntFindFilesInDir(const WideString& folder, const WideString& masks) {
  std::vector<WideString> found;
  std::string path = fullPath(folder);
  if (path.empty()) return;
  FindFilesInFolder(path, folder, SplitMasks(masks), found);
  for (WideString& item : found) addResult(item);
}

void TFolderResourceMan::IntFindDirInDir(const WideString& folder) {
  std::vector<WideString> found;
  std::string path = fullPath(folder);
  if (path.empty()) return;
  FindFoldersInFolder(path, folder, found);
  for (WideString& item : found) addResult(item);
}

bool ResourceManagerKeepsFiles(const TResourceMan* manager) {
  return dynamic_cast<const TFolderResourceMan*>(manager) || dynamic_cast<const TExtResourceMan*>(manager);
}
