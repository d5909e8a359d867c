#include "engine/applet/log_writer.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/objects/applet_services.h"
#include "core/resources/player_data_folder.h"
#include "core/system/crash_hook.h"
#include "platform/platform.h"

AppletInfo& ProgramAppletInfo() {
  static AppletInfo info;
  return info;
}

WideString& ProgramLogName() {
  static WideString name;
  return name;
}

std::string TLog::LogFolder() {
  const WideString& title = ProgramAppletInfo().title;
  const WideString& name = title.empty() ? ProgramLogName() : title;
  if (name.empty()) return {};
  return GameDataFolder(name);
}

namespace {
// Lines as the log front forms them: "HH:MM:SS (e) text".
bool IsErrorLine(const WideString& line) { return line.size() >= 13 && line.compare(8, 5, u" (e) ") == 0; }
}  // namespace

bool TLog::append(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), firstWrite_ ? "wb" : "ab");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

void TLog::settle() {
  if (!holding_) return;
  const std::string folder = LogFolder();
  if (!folder.empty() && isatty(STDERR_FILENO)) std::fprintf(stderr, "qplay: log file %slog.txt\n", folder.c_str());
  for (const std::string& line : heldErrors_) std::fprintf(stderr, "%s\n", line.c_str());
  heldErrors_.clear();
  holding_ = false;
}

void TLog::Write(const WideString& line) {
  std::unique_lock<std::timed_mutex> guard(writing_, std::chrono::seconds(1));
  if (!guard.owns_lock()) return;
  // Where the player started the program from a terminal, errors show there
  // at once, wherever the log file is.
  if (IsErrorLine(line)) {
    if (holding_) {
      heldErrors_.push_back(WideToUtf8(line));
    } else {
      std::fprintf(stderr, "%s\n", WideToUtf8(line).c_str());
    }
  } else if (LogLineIsTheGames() && isatty(STDOUT_FILENO)) {
    // What the game's scripts log is what an author watches for while trying it.
    std::fprintf(stdout, "%s\n", WideToUtf8(line).c_str());
    std::fflush(stdout);
  }
  std::string folder = LogFolder();
  if (folder.empty() || cut_) return;  // the name is not known yet: the line is lost
  if (!ForceDirectories(folder)) return;
  // The folder may exist already in other capitals (a title's own next to
  // the name another run gave it): the same lookup as every other file.
  const std::string path = ToSystemPath(folder + "log.txt");
  if (firstWrite_) {
    SetCrashLogPath(path);  // a crash report goes to the same file
    // The previous run's log, with its crash report if it had one, is kept once.
    std::rename(path.c_str(), ToSystemPath(folder + "log.old.txt").c_str());
  }
  std::string bytes = WideToAnsi(line) + "\r\n";
  if (written_ + static_cast<int64_t>(bytes.size()) > sizeLimit_) {
    cut_ = true;
    bytes = WideToAnsi(FormatLogLine(u"The log is cut here: it reached its size limit of " +
                                         AnsiToWide(std::to_string(sizeLimit_)) + u" bytes",
                                     true)) +
            "\r\n";
  }
  if (!append(path, bytes)) return;
  written_ += static_cast<int64_t>(bytes.size());
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
