#include "core/system/module_map.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {
// Reads "start-end perms offset dev inode   path" lines one at a time.
class MapReader {
 public:
  MapReader() : fd_(open("/proc/self/maps", O_RDONLY | O_CLOEXEC)) {}
  ~MapReader() {
    if (fd_ >= 0) close(fd_);
  }
  MapReader(const MapReader&) = delete;
  MapReader& operator=(const MapReader&) = delete;

  // The next line without its end, NUL-terminated; null at the end. Lines
  // longer than the buffer are cut.
  const char* nextLine() {
    for (;;) {
      char* end = static_cast<char*>(std::memchr(buffer_ + start_, '\n', filled_ - start_));
      if (end) {
        *end = 0;
        const char* line = buffer_ + start_;
        start_ = static_cast<size_t>(end - buffer_) + 1;
        return line;
      }
      if (!refill()) {
        if (start_ >= filled_) return nullptr;
        buffer_[filled_] = 0;
        const char* line = buffer_ + start_;
        start_ = filled_;
        return line;
      }
    }
  }

 private:
  bool refill() {
    if (fd_ < 0) return false;
    size_t kept = filled_ - start_;
    if (kept == sizeof(buffer_) - 1) kept = 0;  // a line longer than the buffer: drop its start
    std::memmove(buffer_, buffer_ + start_, kept);
    start_ = 0;
    filled_ = kept;
    ssize_t n = read(fd_, buffer_ + filled_, sizeof(buffer_) - 1 - filled_);
    if (n <= 0) return false;
    filled_ += static_cast<size_t>(n);
    return true;
  }

  int fd_;
  char buffer_[4096];
  size_t start_ = 0;
  size_t filled_ = 0;
};

uintptr_t ParseHex(const char*& p) {
  uintptr_t value = 0;
  for (;; ++p) {
    char c = *p;
    if (c >= '0' && c <= '9') value = value * 16 + static_cast<uintptr_t>(c - '0');
    else if (c >= 'a' && c <= 'f') value = value * 16 + static_cast<uintptr_t>(c - 'a' + 10);
    else return value;
  }
}
}  // namespace

bool ModuleOfAddress(uintptr_t address, char* name, size_t capacity) {
  if (!name || capacity == 0) return false;
  name[0] = 0;
  MapReader maps;
  while (const char* line = maps.nextLine()) {
    const char* p = line;
    uintptr_t start = ParseHex(p);
    if (*p != '-') continue;
    ++p;
    uintptr_t end = ParseHex(p);
    if (address < start || address >= end) continue;
    const char* path = std::strchr(line, '/');
    if (!path) return false;
    const char* base = std::strrchr(path, '/') + 1;
    size_t n = std::strlen(base);
    if (n >= capacity) n = capacity - 1;
    std::memcpy(name, base, n);
    name[n] = 0;
    return n > 0;
  }
  return false;
}
