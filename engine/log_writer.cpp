#include "engine/log_writer.h"

#include <cstdio>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/applet_services.h"
#include "core/crash_hook.h"
#include "platform/platform.h"

AppletInfo& ProgramAppletInfo() {
  static AppletInfo info;
  return info;
}

std::string TLog::LogFolder() {
  const WideString& title = ProgramAppletInfo().title;
  if (title.empty()) return {};
  return GetAppDataPath() + WideToUtf8(SafeFolderName(title)) + "/";
}

void TLog::Write(const WideString& line) {
  std::string folder = LogFolder();
  if (folder.empty()) return;  // the title is not known yet: the line is lost
  if (!ForceDirectories(folder)) return;
  if (firstWrite_) SetCrashLogPath(folder + "log.txt");  // a crash report goes to the same file
  std::FILE* file = std::fopen((folder + "log.txt").c_str(), firstWrite_ ? "wb" : "ab");
  if (!file) return;
  std::string bytes = WideToAnsi(line) + "\r\n";
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  firstWrite_ = false;
}

void TLog::Step(BaseObject* applet) {
  if (SomeEngine* engine = Engine()) {
    if (auto* platform = dynamic_cast<TPlatform*>(engine->platform())) platform->PeekHandler();
  }
  AppletServices* services = GetAppletServices();
  if (!services || !applet) return;
  int milliseconds = services->runStep(applet);
  if (milliseconds > 0) Sleep(static_cast<uint32_t>(milliseconds));
}
