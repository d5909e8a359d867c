// The compiled-script cache ".jsbin" from the position of a game's author,
// who can put any file beside a script but holds no user's key. The first
// byte picks what the rest is:
//   0, 1: a cache file as it is, or with the check the caches once carried
//         (byte count and CRC-32) made valid; with no source beside it, it
//         must load nothing and never reach the library's decoder;
//   2:    script source that this user's runtime compiles, seals and later
//         decodes and runs from its own cache: the one way past the seal.
// Nothing may crash or hang.
#include <unistd.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/objects/script_watch.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "engine/javascript/javascript_engine.h"

namespace {
// One scratch folder for the whole run, removed with the program.
struct ScratchFolder {
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qjsbin-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) path = std::string(made) + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

void PutUint32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The forger's best: the old check, byte count and CRC-32, made right.
std::vector<uint8_t> WithOldCheck(std::vector<uint8_t> bytes) {
  const auto size = static_cast<uint32_t>(bytes.size());
  const auto crc = static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
  PutUint32(bytes, size);
  PutUint32(bytes, crc);
  return bytes;
}

void Load(const std::string& folder) {
  auto* manager = New<TFolderResourceMan>();
  manager->setRoot(folder);
  auto* engine = New<TJavaScriptEngine>();
  if (TScript* script = engine->loadScript(manager, u"input.js")) engine->freeScript(script);
  engine->Free();
  manager->Free();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Scripts that run long are stopped soon; the bound is what is tested
  // elsewhere, not what a fuzzer should wait for.
  static const bool ready = (LogHandler() = [](const WideString&) {}, SetScriptBoundsForTest(0.2, 64u << 20), true);
  (void)ready;
  static const ScratchFolder scratch;
  const std::string& folder = scratch.path;
  if (folder.empty() || size == 0) return 0;
  const uint8_t mode = data[0] % 3;
  std::vector<uint8_t> rest(data + 1, data + size);
  std::filesystem::remove(folder + "input.js");
  std::filesystem::remove(folder + "input.jsbin");
  if (mode == 2) {
    // Compiled and cached on the first load, decoded from the cache on the second.
    if (!WriteWholeFile(folder + "input.js", rest.data(), rest.size())) return 0;
    Load(folder);
    std::filesystem::remove(folder + "input.js");
    Load(folder);
    return 0;
  }
  if (mode == 1) rest = WithOldCheck(std::move(rest));
  if (!WriteWholeFile(folder + "input.jsbin", rest.data(), rest.size())) return 0;
  Load(folder);
  return 0;
}
