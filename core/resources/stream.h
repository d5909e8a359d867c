#pragma once
// Byte streams: the class library's stream family that every reader and writer
// of stored data works on. Reads return the number of bytes actually read;
// nothing here throws.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/objects/object.h"

enum class SeekOrigin { Begin, Current, End };

class TStream : public TObject {
 public:
  // Reads up to `count` bytes; answers how many were read.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes `count` bytes; answers how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t position) { Seek(position, SeekOrigin::Begin); }
  virtual int64_t Size();
  virtual void SetSize(int64_t size) = 0;
  // Bytes between the position and the end.
  int64_t Remaining() { return Size() - Position(); }
  // The stream's bytes when it holds all of them in memory (valid until it is
  // written or resized), else nil.
  virtual const uint8_t* MemoryView() { return nullptr; }

  // Reads exactly `count` bytes; false (and the position unspecified) when the
  // stream ends first.
  bool ReadExact(void* buffer, int64_t count) { return count >= 0 && Read(buffer, count) == count; }
  // Copies `count` bytes (all from the position when 0) from another stream.
  int64_t CopyFrom(TStream& source, int64_t count = 0);
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

  const uint8_t* MemoryView() override { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t>& Bytes() { return data_; }
  void Clear() {
    data_.clear();
    position_ = 0;
  }
  bool LoadFromFile(const std::string& path);
  bool SaveToFile(const std::string& path) const;

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// A read-only stream over memory the caller keeps alive.
class TReadOnlyMemoryStream : public TStream {
 public:
  TReadOnlyMemoryStream(const void* data, int64_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return size_; }
  void SetSize(int64_t) override {}
  const uint8_t* MemoryView() override { return data_; }

 private:
  const uint8_t* data_;
  int64_t size_;
  int64_t position_ = 0;
};

enum class FileMode { OpenRead, OpenReadWrite, Create };

// A stream over a file. A stream made with FileMode::Create writes to a
// temporary file beside the target and renames it over the target when it is
// closed, so a failed write never loses the old file.
class TFileStream : public TStream {
 public:
  // Opens the file; IsOpen() tells whether that worked. The name passes
  // through the file-system boundary ("\" separators, case-insensitive match).
  TFileStream(const std::string& fileName, FileMode mode);
  ~TFileStream() override;

  bool IsOpen() const { return file_ != nullptr; }
  // Finishes the file (for Create: flush, then rename over the target);
  // answers false when any write or the rename failed.
  bool Close();

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return path_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string tempPath_;  // set for FileMode::Create until the rename
  bool failed_ = false;
};

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes);
// Writes a whole file through a temporary file and a rename.
bool WriteWholeFile(const std::string& fileName, const void* data, size_t size);
