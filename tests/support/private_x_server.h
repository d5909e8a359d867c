#pragma once
// An X server (Xvfb) of one test program's own, for tests whose input must not
// meet that of other programs running side by side under the suite's shared
// server (a changed keyboard layout, keys typed while another test has focus).
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

// Starts Xvfb on a free display and points DISPLAY at it; false when it could
// not start. The server ends when its last client (this program) goes, or
// when this program ends before connecting.
inline bool StartPrivateXServer() {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  pid_t server = fork();
  if (server == 0) {
    close(pipeFds[0]);
    // The server goes with this program whatever way it ends, and holds none
    // of its output streams (a test runner waits for those to close).
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, STDIN_FILENO);
      dup2(quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
    }
    std::string fd = std::to_string(pipeFds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
           "-terminate", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  if (server < 0) {
    close(pipeFds[0]);
    return false;
  }
  std::string number;
  pollfd ready{pipeFds[0], POLLIN, 0};
  char c = 0;
  while (poll(&ready, 1, 10000) > 0 && read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
  close(pipeFds[0]);
  if (number.empty()) {
    kill(server, SIGTERM);
    return false;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  return true;
}
