// Loads arbitrary bytes as a compiled script cache ".jsbin" with no source
// beside it: a damaged or foreign cache must load nothing, never crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/folder_resource_man.h"
#include "core/log.h"
#include "core/stream.h"
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
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  static const ScratchFolder scratch;
  const std::string& folder = scratch.path;
  if (folder.empty() || !WriteWholeFile(folder + "input.jsbin", data, size)) return 0;
  auto* manager = New<TFolderResourceMan>();
  manager->setRoot(folder);
  auto* engine = New<TJavaScriptEngine>();
  if (TScript* script = engine->loadScript(manager, u"input.js")) engine->freeScript(script);
  engine->Free();
  manager->Free();
  std::filesystem::remove(folder + "input.jsbin");
  return 0;
}
