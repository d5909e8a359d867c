#include "engine/applet/log_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

namespace {
// The name the log folder is made from: the title, else the game's folder.
const WideString& LogName() {
  const WideString& title = ProgramAppletInfo().title;
  return title.empty() ? ProgramLogName() : title;
}

// Lines as the log front forms them: "HH:MM:SS (e) text".
bool IsErrorLine(const WideString& line) { return line.size() >= 13 && line.compare(8, 5, u" (e) ") == 0; }
}  // namespace

std::string TLog::LogFolder() {
  const WideString& name = LogName();
  return name.empty() ? std::string() : GameDataFolder(name);
}

TLog::~TLog() {
  if (file_ >= 0) close(file_);
}

bool TLog::openFor(const WideString& name) {
  if (file_ >= 0 && name == openName_) return true;
  if (file_ >= 0) close(file_);
  file_ = -1;
  const std::string folder = GameDataFolder(name);
  if (!ForceDirectories(folder)) return false;
  // The folder may exist already in other capitals (a title's own next to
  // the name another run gave it): the same lookup as every other file.
  const std::string path = ToSystemPath(folder + "log.txt");
  if (firstWrite_) {
    SetCrashLogPath(path);  // a crash report goes to the same file
    // The previous run's log, with its crash report if it had one, is kept once.
    std::rename(path.c_str(), ToSystemPath(folder + "log.old.txt").c_str());
  }
  file_ = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (firstWrite_ ? O_TRUNC : 0), 0666);
  openName_ = name;
  return file_ >= 0;
}

bool TLog::append(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = write(file_, bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    done += static_cast<size_t>(count);
  }
  return true;
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
  const WideString& name = LogName();
  if (name.empty() || cut_) return;  // the name is not known yet: the line is lost
  if (!openFor(name)) return;
  std::string bytes = WideToAnsi(line) + "\r\n";
  if (written_ + static_cast<int64_t>(bytes.size()) > sizeLimit_) {
    cut_ = true;
    bytes = WideToAnsi(FormatLogLine(u"The log is cut here: it reached its size limit of " +
                                         AnsiToWide(std::to_string(sizeLimit_)) + u" bytes",
                                     true)) +
            "\r\n";
  }
  if (!append(bytes)) return;
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
