#pragma once
// The X server's one pointer, for tests that move and click it with xdotool.
// Test programs run side by side under the same server, so each such test
// holds a lock on the pointer for as long as it uses it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "compat/win32/message_queue.h"

class PointerLock {
 public:
  PointerLock() {
    fd_ = open("/tmp/qplay-test-pointer.lock", O_CREAT | O_RDWR, 0666);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~PointerLock() {
    if (fd_ >= 0) {
      flock(fd_, LOCK_UN);
      close(fd_);
    }
  }
  PointerLock(const PointerLock&) = delete;
  PointerLock& operator=(const PointerLock&) = delete;

 private:
  int fd_ = -1;
};

// Runs xdotool with the arguments; true when it succeeded.
inline bool XDoTool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

// Pumps the queue (dispatching what comes out) until `done` or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 2000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

// Pumps for a while: long enough for the X server's events to arrive.
inline void PumpFor(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}
