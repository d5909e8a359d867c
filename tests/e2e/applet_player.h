#pragma once
// The built program run in the background as a player starts it: in a work
// folder, with the application-data folder of a test, output discarded.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"

using PlayerClock = std::chrono::steady_clock;

// One run of qplay in the background.
class Player {
 public:
  // `videoDriver`: SDL's display driver for the program ("offscreen", "x11").
  Player(const TempDir& data, const std::string& workDir, const std::string& mainFile, const char* videoDriver) {
    pid_ = fork();
    if (pid_ != 0) return;
    if (chdir(workDir.c_str()) != 0) _exit(126);
    int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
    }
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("XDG_CACHE_HOME", (data.path() + "cache").c_str(), 1);
    setenv("SDL_VIDEODRIVER", videoDriver, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    execl(Q_BINARY_DIR "/qplay", "qplay", mainFile.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ~Player() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  pid_t pid() const { return pid_; }
  void signal(int number) const { kill(pid_, number); }

  // The exit code, or -1 when the program did not end in time (it is then killed).
  int wait(std::chrono::seconds limit) {
    const auto deadline = PlayerClock::now() + limit;
    while (PlayerClock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  // Processor time (user + system) the process has used so far, in seconds.
  double cpuSeconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name in parentheses; utime and stime are the 14th and 15th.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i >= 14) ticks += std::stol(field);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};
