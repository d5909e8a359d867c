#include "core/resources/stream.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "compat/win32/file_system.h"

int64_t TStream::Size() {
  int64_t here = Position();
  int64_t end = Seek(0, SeekOrigin::End);
  Seek(here, SeekOrigin::Begin);
  return end;
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count <= 0) count = source.Remaining();
  int64_t copied = 0;
  uint8_t buffer[65536];
  while (copied < count) {
    int64_t chunk = std::min<int64_t>(count - copied, sizeof(buffer));
    int64_t got = source.Read(buffer, chunk);
    if (got <= 0) break;
    int64_t put = Write(buffer, got);
    copied += put;
    if (put < got) break;
  }
  return copied;
}

// ---- memory ------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= Size()) return 0;
  int64_t n = std::min(count, Size() - position_);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ + count > Size()) data_.resize(static_cast<size_t>(position_ + count));
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ += count;
  return count;
}

namespace {
int64_t NewPosition(int64_t current, int64_t size, int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? current : size;
  return std::max<int64_t>(0, base + offset);
}
}  // namespace

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  position_ = NewPosition(position_, Size(), offset, origin);
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
  position_ = std::min(position_, Size());
}

bool TMemoryStream::LoadFromFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  data_ = std::move(bytes);
  position_ = 0;
  return true;
}

bool TMemoryStream::SaveToFile(const std::string& path) const {
  return WriteWholeFile(path, data_.data(), data_.size());
}

int64_t TReadOnlyMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TReadOnlyMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  position_ = NewPosition(position_, size_, offset, origin);
  return position_;
}

// ---- files -------------------------------------------------------------------------

namespace {
constexpr std::string_view kTempMark = ".tmp";

// The process id in a temporary's name ("<target>.<random>.tmp<pid>"), or 0.
pid_t WriterOfTemporary(std::string_view name) {
  size_t mark = name.rfind(kTempMark);
  if (mark == std::string_view::npos || mark == 0) return 0;
  std::string_view digits = name.substr(mark + kTempMark.size());
  if (digits.empty() || digits.size() > 9) return 0;
  pid_t pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

bool ProcessIsGone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// A write killed midway leaves its temporary behind; the next write into the
// same folder removes those of processes that no longer run.
void RemoveStaleTemporaries(const std::string& systemPath) {
  size_t slash = systemPath.rfind('/');
  std::string folder = slash == std::string::npos ? "." : systemPath.substr(0, slash == 0 ? 1 : slash);
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  const pid_t self = getpid();
  while (dirent* entry = readdir(dir)) {
    pid_t writer = WriterOfTemporary(entry->d_name);
    if (writer <= 0 || writer == self || !ProcessIsGone(writer)) continue;
    unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}

// Sixteen hex digits nobody can guess, so nothing can be waiting at the name.
std::string RandomTag() {
  uint64_t bits = 0;
  if (getrandom(&bits, sizeof bits, 0) != sizeof bits) bits = static_cast<uint64_t>(std::rand()) << 32 ^ std::rand();
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bits));
  return text;
}

// Creates a new temporary beside `target`: created here and now (never an
// existing file, never through a link someone placed in the folder), under a
// name that cannot be predicted, and still carrying this process's id so a
// later write can remove it when the process died midway. Nil when the
// folder refuses.
std::FILE* CreateTemporaryBeside(const std::string& target, std::string& tempPath) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    tempPath = target + "." + RandomTag() + std::string(kTempMark) + std::to_string(getpid());
    const int fd = open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      if (std::FILE* file = fdopen(fd, "w+b")) return file;
      close(fd);
      unlink(tempPath.c_str());
      break;
    }
    if (errno != EEXIST) break;
  }
  tempPath.clear();
  return nullptr;
}
}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileMode mode) {
  path_ = ToSystemPath(fileName);
  switch (mode) {
    case FileMode::OpenRead: file_ = std::fopen(path_.c_str(), "rb"); break;
    case FileMode::OpenReadWrite: file_ = std::fopen(path_.c_str(), "r+b"); break;
    case FileMode::Create:
      RemoveStaleTemporaries(path_);
      file_ = CreateTemporaryBeside(path_, tempPath_);
      break;
  }
}

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Close() {
  if (!file_) return !failed_;
  if (std::fflush(file_) != 0) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  if (!tempPath_.empty()) {
    if (failed_ || std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
      std::remove(tempPath_.c_str());
      failed_ = true;
    }
    tempPath_.clear();
  }
  return !failed_;
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (!file_ || count <= 0) return 0;
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (!file_ || count <= 0) return 0;
  size_t n = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
  if (n != static_cast<size_t>(count)) failed_ = true;
  return static_cast<int64_t>(n);
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  if (!file_) return 0;
  int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  if (fseeko(file_, offset, whence) != 0) return ftello(file_);
  return ftello(file_);
}

void TFileStream::SetSize(int64_t size) {
  if (!file_) return;
  std::fflush(file_);
  if (ftruncate(fileno(file_), size) != 0) failed_ = true;
}

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes) {
  TFileStream in(fileName, FileMode::OpenRead);
  if (!in.IsOpen()) return false;
  int64_t size = in.Size();
  bytes.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
  return in.Read(bytes.data(), size) == size;
}

bool WriteWholeFile(const std::string& fileName, const void* data, size_t size) {
  TFileStream out(fileName, FileMode::Create);
  if (!out.IsOpen()) return false;
  out.Write(data, static_cast<int64_t>(size));
  return out.Close();
}
