#pragma once
// A shell script put first on the PATH under a program's name, for tests of
// code that runs desktop helper programs. Each script writes its arguments,
// one a line, to a file the test reads back.
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"

class FakePrograms {
 public:
  FakePrograms() {
    const char* path = std::getenv("PATH");
    savedPath_ = path ? path : "";
    // Only the fake folder and the shell's own: a real helper must not run.
    setenv("PATH", (folder_.path() + ":/bin:/usr/bin").c_str(), 1);
  }
  ~FakePrograms() { setenv("PATH", savedPath_.c_str(), 1); }
  FakePrograms(const FakePrograms&) = delete;
  FakePrograms& operator=(const FakePrograms&) = delete;

  // Adds a program that records its arguments, prints `output` and ends with
  // `status`.
  void add(const std::string& name, const std::string& output, int status = 0) {
    std::string script = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + argumentsFile(name) +
                         ".tmp'\nmv '" + argumentsFile(name) + ".tmp' '" + argumentsFile(name) + "'\nprintf '%s' '" +
                         output + "'\nexit " + std::to_string(status) + "\n";
    std::string path = folder_.write(name, script);
    chmod(path.c_str(), 0755);
  }

  // The arguments the program was run with, one a line; waits a little for a
  // program started in the background. Empty when it never ran.
  std::string arguments(const std::string& name) const {
    for (int i = 0; i < 200; ++i) {
      std::ifstream in(argumentsFile(name));
      if (in) return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }

 private:
  std::string argumentsFile(const std::string& name) const { return folder_.path() + name + ".args"; }

  TempDir folder_;
  std::string savedPath_;
};
