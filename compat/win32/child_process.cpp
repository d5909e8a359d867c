#include "compat/win32/internal/child_process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace {
std::vector<char*> ArgumentVector(const std::string& path, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

int WaitFor(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t colon = folders.find(':', start);
    if (colon == std::string::npos) colon = folders.size();
    std::string folder = folders.substr(start, colon - start);
    std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = colon + 1;
  }
  return {};
}

std::optional<std::string> RunAndRead(const std::string& path, const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<char*> argv = ArgumentVector(path, arguments);
  pid_t child = 0;
  int failed = posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (failed) {
    close(pipeEnds[0]);
    return std::nullopt;
  }
  std::string output;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(pipeEnds[0], buffer, sizeof(buffer))) != 0) {
    if (n > 0) output.append(buffer, static_cast<size_t>(n));
  }
  close(pipeEnds[0]);
  if (WaitFor(child) != 0) return std::nullopt;
  return output;
}

bool StartDetached(const std::string& path, const std::vector<std::string>& arguments) {
  // A shell starts the program in the background and ends at once, so the
  // program is never this process's child and nothing waits for it.
  std::vector<std::string> shellArguments = {"-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &", path};
  shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
  std::string shell = "/bin/sh";
  std::vector<char*> argv = ArgumentVector(shell, shellArguments);
  pid_t child = 0;
  if (posix_spawn(&child, shell.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  return WaitFor(child) == 0;
}
