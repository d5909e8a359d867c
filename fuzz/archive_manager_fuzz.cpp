// Drives the resource managers over arbitrary archives and names, as a game
// shipped as ".qfs" is served: the input is a few lines of names, then the
// archive's bytes. The first line is the `usesList` (packages are archives
// beside the game, here copies of the same one), the second the language,
// every further line a name to look up, open, read, date and write, through
// the archive manager (with the language substitution and its packages) and
// through a folder manager on the folder that holds the archives.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "core/resources/virtual_file_system_res_man.h"
#include "core/system/log.h"

namespace {
constexpr size_t kMaxNames = 16;
constexpr int64_t kMaxBytesRead = 4 << 20;

// An owner that publishes `lang`, as the applet does for the substitution.
class LangOwner : public TSomePersistent {
  Q_OBJECT(LangOwner, TSomePersistent)
 public:
  WideString lang;
};

struct ScratchFolder {
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qqfs-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path = std::string(made) + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

void Exercise(TResourceMan& manager, const WideString& name, int64_t& budget) {
  manager.streamExists(name);
  manager.FileDate(name);
  manager.FileTime(name);
  for (int32_t mode : {fmOpenRead, fmOpenReadWrite, fmCreate}) {
    TStream* stream = nullptr;
    try {
      stream = manager.createStream(name, mode);
    } catch (const std::exception&) {
    }
    if (!stream) continue;
    uint8_t buffer[4096];
    while (budget > 0 && mode == fmOpenRead) {
      int64_t got = stream->Read(buffer, sizeof buffer);
      if (got <= 0) break;
      budget -= got;
    }
    stream->Free();
  }
}
}  // namespace

const ClassInfo& LangOwner::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<LangOwner>("LangOwner").property("lang", &LangOwner::lang).build();
  return info;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  static const ScratchFolder scratch;
  if (scratch.path.empty()) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t end = input.find('\0');
  if (end == std::string_view::npos) return 0;
  std::vector<WideString> lines;
  for (size_t at = 0; at < end && lines.size() < kMaxNames + 2;) {
    size_t stop = std::min(input.find('\n', at), end);
    lines.push_back(Utf8ToWide(input.substr(at, stop - at)));
    at = stop + 1;
  }
  while (lines.size() < 2) lines.emplace_back();
  std::string_view archive = input.substr(end + 1);
  for (const char* file : {"game.qfs", "pkg.qfs", "extras.qfs"}) {
    if (!WriteWholeFile(scratch.path + file, archive.data(), archive.size())) return 0;
  }

  auto* owner = New<LangOwner>();
  owner->lang = lines[1];
  auto* game = New<TVirtualFileSystemResMan>(owner);
  game->setRoot(scratch.path + "game.qfs");
  game->setUsesList(lines[0]);
  auto* folder = New<TFolderResourceMan>(owner);
  folder->setRoot(scratch.path + "inner");
  int64_t budget = kMaxBytesRead;
  for (size_t i = 2; i < lines.size(); ++i) {
    Exercise(*game, lines[i], budget);
    Exercise(*folder, lines[i], budget);
  }
  folder->Free();
  game->Free();
  owner->Free();
  // Whatever a name made stays inside the folder manager's root: beside it
  // are the archives alone, as they were written.
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path)) {
    const std::string file = entry.path().filename().string();
    if (file == "inner") continue;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(entry.path().string(), bytes) ||
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()) != archive) {
      __builtin_trap();  // a write escaped the folder manager's root
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(scratch.path + "inner", ignored);
  return 0;
}
