#include "core/resources/player_data_folder.h"

#include <filesystem>
#include <system_error>

#include "compat/win32/system.h"
#include "core/objects/engine.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

namespace fs = std::filesystem;

namespace {
// What the runtime itself writes into a game's folder. The old place was the
// shared application-data folder, where a title such as "applications"
// named a folder of the desktop's own: only these entries move, never the
// folder's other contents.
bool IsRuntimeFile(const fs::path& entry) {
  const std::string name = LowerCaseAscii(entry.filename().string());
  const std::string extension = LowerCaseAscii(entry.extension().string());
  return name == "log.txt" || name == "log.old.txt" || name == "prefs.dat" || name == "scores.dat" ||
         extension == ".qxml" || extension == ".qbin";
}

// The old folder of a title: its own spelling first, else any folder that
// differs only in case (data authored where case is ignored).
fs::path OldFolder(const std::string& appData, const std::string& name) {
  std::error_code error;
  const fs::path exact = fs::path(appData) / name;
  if (fs::is_directory(exact, error)) return exact;
  const std::string lower = LowerCaseAscii(name);
  for (const auto& entry : fs::directory_iterator(appData, error)) {
    if (entry.is_directory(error) && LowerCaseAscii(entry.path().filename().string()) == lower) return entry.path();
  }
  return {};
}

void MoveOldFolder(const std::string& appData, const std::string& name, const std::string& target) {
  const fs::path old = OldFolder(appData, name);
  std::error_code error;
  if (old.empty() || fs::equivalent(old, fs::path(target), error)) return;
  int moved = 0;
  for (const auto& entry : fs::directory_iterator(old, error)) {
    if (!entry.is_regular_file(error) || !IsRuntimeFile(entry.path())) continue;
    const fs::path to = fs::path(target) / entry.path().filename();
    if (fs::exists(to, error)) continue;
    fs::rename(entry.path(), to, error);
    if (!error) ++moved;
  }
  if (moved == 0) return;
  fs::remove(old, error);  // only when nothing else is left in it
  LogInfo(u"Player data moved from " + Utf8ToWide(old.string()) + u" to " + Utf8ToWide(target));
}
}  // namespace

std::string PlayerDataRoot() {
  const std::string root = GetAppDataPath() + "qplay/";
  std::error_code error;
  fs::create_directories(root, error);
  return root;
}

std::string GameDataFolder(const WideString& title) {
  // Asked for every log line: the old place is looked at once per folder.
  static std::string lastKey;
  static std::string lastFolder;
  WideString safe = SafeFolderName(title);
  if (safe.empty()) safe = u"_";
  const std::string appData = GetAppDataPath();
  const std::string key = appData + "\n" + WideToUtf8(safe);
  if (key == lastKey && fs::is_directory(lastFolder)) return lastFolder;
  const std::string folder = PlayerDataRoot() + WideToUtf8(LowerCaseW(safe)) + "/";
  std::error_code error;
  fs::create_directories(folder, error);
  lastKey = key;
  lastFolder = folder;
  MoveOldFolder(appData, WideToUtf8(safe), folder);  // may log, which asks again
  return folder;
}
