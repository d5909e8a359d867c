#pragma once
// The archive's file system in memory: `TFileSystem` over a whole image,
// its directories (`TDir`), open files (`TFile`) and the stream a resource
// manager hands out for an open file (`TFileSystemStream`).
//
// Nothing read from the image is trusted: the block count is checked against
// the image's size, every link and first block against the block count,
// chains are followed at most once around the table, and directory records
// are parsed within their stated size. A bad image logs an error and serves
// nothing; a bad directory or file just cannot be opened.
#include <cstdint>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/resources/stream.h"

class TFileSystem;

struct TDirEntry {
  std::string name;  // 8-bit text as stored
  int32_t size = 0;
  int32_t attributes = 0;
  double date = 0;  // days since 1899-12-30
  int32_t firstBlock = 0;
  uint8_t reserved[16] = {};

  bool isDirectory() const;
  bool isDeleted() const;
};

class TDir {
 public:
  TDir(TFileSystem* fileSystem, int32_t firstBlock) : fileSystem_(fileSystem), firstBlock_(firstBlock) {}

  TFileSystem* fileSystem() const { return fileSystem_; }
  int32_t firstBlock() const { return firstBlock_; }
  int count() const { return static_cast<int>(entries_.size()); }
  const std::vector<TDirEntry>& entries() const { return entries_; }
  // The index of the live entry of that name (ASCII letters without regard to
  // case) that is, or is not, a directory; -1 when there is none.
  int find(std::string_view name, bool directory) const;

 private:
  friend class TFileSystem;
  TFileSystem* fileSystem_;
  int32_t firstBlock_;
  std::vector<TDirEntry> entries_;
};

enum class FileOpenMode { Read, Write };

// One open file of an archive.
struct TFile {
  TDirEntry entry;  // a copy of its directory entry
  std::string path;
  double openTime = 0;
  int32_t size = 0;
  FileOpenMode mode = FileOpenMode::Read;
  int64_t position = 0;
  int index = -1;          // its entry in the directory
  TDir* dir = nullptr;     // owned by the file system's cache
  std::vector<int32_t> chain;  // its blocks in order, checked when opened
};

class TFileSystem {
 public:
  // Mounts an image; `valid()` tells whether the root directory could be read.
  explicit TFileSystem(std::vector<uint8_t> image);
  TFileSystem(const TFileSystem&) = delete;
  TFileSystem& operator=(const TFileSystem&) = delete;
  ~TFileSystem();

  bool valid() const { return root_ != nullptr; }
  TDir* root() const { return root_; }
  int32_t blockCount() const { return blockCount_; }
  int32_t rootBlock() const { return rootBlock_; }
  bool readOnlyFlag() const { return readOnlyFlag_; }
  bool writable() const { return writable_; }
  const std::vector<uint8_t>& image() const { return image_; }

  // The directory of a path of directory names ("\" or "/" separators, one
  // leading separator dropped); nil when any of them is missing or unreadable.
  TDir* findDir(std::string_view path);
  // The entry of a file path (the last component is the file name); nil
  // when there is none.
  const TDirEntry* findFile(std::string_view path);
  bool fileExists(std::string_view path) { return findFile(path) != nullptr; }

  // Opens a file for reading: nil when it is absent or its blocks do not hold
  // its size (logged). The file is entered in the open-file list until closed.
  TFile* openRead(std::string_view path);
  void close(TFile* file);
  int openFileCount() const { return static_cast<int>(openFiles_.size()); }

  // Reads up to `count` bytes at the file's position, clamped to what is
  // left; a position past the end is logged and reads nothing.
  int64_t read(TFile& file, void* buffer, int64_t count);

  // Every live file below the root as a "\"-separated path, in stored order,
  // walking each directory at most once. For tools and checks of whole
  // archives; the resource manager lists nothing.
  std::vector<std::string> allFiles();

 private:
  bool mount();
  // The blocks of the chain from `first`, at most `limit` of them; false for
  // a bad first block, a bad link or a cycle.
  bool chainFrom(int32_t first, int64_t limit, std::vector<int32_t>& chain) const;
  std::unique_ptr<TDir> readDir(int32_t firstBlock);
  void walk(TDir* dir, const std::string& prefix, int depth, std::set<int32_t>& walked,
            std::vector<std::string>& files);

  std::vector<uint8_t> image_;
  int32_t blockCount_ = 0;
  int32_t rootBlock_ = 0;
  bool readOnlyFlag_ = false;
  bool writable_ = false;  // the system never writes into an archive
  std::vector<int32_t> table_;
  std::unique_ptr<TDir> rootOwner_;
  TDir* root_ = nullptr;
  std::map<std::string, std::unique_ptr<TDir>> dirCache_;  // by upper-case path
  std::vector<TFile*> openFiles_;
};

// A stream over one open file; it keeps the file system alive while it is
// open. Writing and setting the size do nothing.
class TFileSystemStream : public TStream {
 public:
  TFileSystemStream(std::shared_ptr<TFileSystem> fileSystem, TFile* file)
      : fileSystem_(std::move(fileSystem)), file_(file) {}
  ~TFileSystemStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  // From the beginning, the current position or the end (size + offset, as
  // every stream of the system); a target before the start fails with -1 and
  // leaves the position.
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return file_->size; }
  void SetSize(int64_t) override {}

  const TFile& file() const { return *file_; }

 private:
  std::shared_ptr<TFileSystem> fileSystem_;
  TFile* file_;
};

// Logs an archive error through the engine's error log, or to the standard
// output while no log is installed.
void ArchiveError(const std::string& text);
