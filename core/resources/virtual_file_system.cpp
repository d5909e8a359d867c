#include "core/resources/virtual_file_system.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>

#include "core/resources/archive_format.h"
#include "core/resources/resource_man_dates.h"
#include "core/system/log.h"

using namespace archive;

void ArchiveError(const std::string& text) {
  if (LogHandler()) {
    LogError(AnsiToWide(text));
  } else {
    std::printf("%s\n", text.c_str());
  }
}

namespace {
// Little-endian values from a byte range; every read checks what is left.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool readInt32(int32_t& value) {
    if (left() < 4) return false;
    uint32_t v = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
                 static_cast<uint32_t>(data_[pos_ + 2]) << 16 | static_cast<uint32_t>(data_[pos_ + 3]) << 24;
    value = static_cast<int32_t>(v);
    pos_ += 4;
    return true;
  }
  bool readDouble(double& value) {
    if (left() < 8) return false;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | data_[pos_ + static_cast<size_t>(i)];
    std::memcpy(&value, &v, sizeof(value));
    pos_ += 8;
    return true;
  }
  bool readBytes(void* out, size_t count) {
    if (left() < count) return false;
    std::memcpy(out, data_ + pos_, count);
    pos_ += count;
    return true;
  }
  bool readText(std::string& text, size_t count) {
    if (left() < count) return false;
    text.assign(reinterpret_cast<const char*>(data_ + pos_), count);
    pos_ += count;
    return true;
  }
  size_t left() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t offset) {
  int32_t value = 0;
  ByteReader reader(bytes.data() + offset, bytes.size() - offset);
  reader.readInt32(value);
  return value;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

// The components of a path split at "\" and "/", empty ones dropped.
std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t cut = path.find_first_of("\\/", start);
    if (cut == std::string_view::npos) cut = path.size();
    if (cut > start) parts.push_back(path.substr(start, cut - start));
    start = cut + 1;
  }
  return parts;
}

// Directories deeper than this are not walked by `allFiles`.
constexpr int kMaxWalkDepth = 64;
}  // namespace

// ---- entries and directories ----------------------------------------------------------

bool TDirEntry::isDirectory() const { return (attributes & kDirectoryAttribute) != 0; }
bool TDirEntry::isDeleted() const { return !name.empty() && name[0] == kDeletedMark; }

int TDir::find(std::string_view name, bool directory) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    const TDirEntry& e = entries_[i];
    if (!e.isDeleted() && e.isDirectory() == directory && SameName(e.name, name)) return static_cast<int>(i);
  }
  return -1;
}

// ---- the file system ---------------------------------------------------------------------

TFileSystem::TFileSystem(std::vector<uint8_t> image) : image_(std::move(image)) {
  if (!mount()) {
    rootOwner_.reset();
    root_ = nullptr;
  }
}

TFileSystem::~TFileSystem() {
  for (TFile* file : openFiles_) delete file;
}

bool TFileSystem::mount() {
  if (image_.size() < static_cast<size_t>(kSignatureSize) ||
      std::string_view(reinterpret_cast<const char*>(image_.data()), kSignatureSize) != kPlainSignature) {
    ArchiveError("Unsupported file system ");
    return false;
  }
  if (image_.size() < static_cast<size_t>(kHeaderSize)) {
    ArchiveError("Read error");
    return false;
  }
  int32_t count = Int32At(image_, kBlockCountOffset);
  rootBlock_ = Int32At(image_, kRootBlockOffset);
  readOnlyFlag_ = Int32At(image_, kReadOnlyFlagOffset) != 0;
  if (readOnlyFlag_) writable_ = false;
  if (count < 0 || BlockOffset(count, count) > static_cast<int64_t>(image_.size())) {
    ArchiveError("Read error");
    return false;
  }
  blockCount_ = count;
  table_.resize(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) table_[static_cast<size_t>(k)] = Int32At(image_, kHeaderSize + 4 * k);
  rootOwner_ = readDir(rootBlock_);
  root_ = rootOwner_.get();
  return root_ != nullptr;
}

namespace {
// A chain that visits a block twice runs in a circle.
bool VisitsABlockTwice(std::vector<int32_t> chain) {
  std::sort(chain.begin(), chain.end());
  return std::adjacent_find(chain.begin(), chain.end()) != chain.end();
}
}  // namespace

bool TFileSystem::chainFrom(int32_t first, int64_t limit, std::vector<int32_t>& chain) const {
  chain.clear();
  if (first < 0 || first >= blockCount_) return false;
  for (int32_t block = first;;) {
    chain.push_back(block);
    if (static_cast<int64_t>(chain.size()) >= limit) break;
    int32_t next = table_[static_cast<size_t>(block)];
    if (next == kEndOfChain || next == kFreeBlock) break;
    if (next < 0 || next >= blockCount_) return false;
    // Longer than the table: it must run in a circle.
    if (static_cast<int64_t>(chain.size()) >= blockCount_) return false;
    block = next;
  }
  return chain.size() < 2 || !VisitsABlockTwice(chain);
}

std::unique_ptr<TDir> TFileSystem::readDir(int32_t firstBlock) {
  std::vector<int32_t> chain;
  if (!chainFrom(firstBlock, 1, chain)) {
    ArchiveError("Read error");
    return nullptr;
  }
  int32_t recordSize = Int32At(image_, static_cast<size_t>(BlockOffset(blockCount_, firstBlock)));
  // The record (an entry count at least) after its own int32 size.
  int64_t needed = 4 + static_cast<int64_t>(recordSize);
  if (recordSize < 4 || needed > kBlockSize * static_cast<int64_t>(blockCount_)) {
    ArchiveError("Read error");
    return nullptr;
  }
  int64_t blocksNeeded = (needed + kBlockSize - 1) / kBlockSize;
  if (!chainFrom(firstBlock, blocksNeeded, chain) || static_cast<int64_t>(chain.size()) < blocksNeeded) {
    ArchiveError("Read error");
    return nullptr;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(needed));
  for (size_t i = 0; i < chain.size(); ++i) {
    int64_t from = static_cast<int64_t>(i) * kBlockSize;
    int64_t chunk = std::min(kBlockSize, needed - from);
    std::memcpy(bytes.data() + from, image_.data() + BlockOffset(blockCount_, chain[i]), static_cast<size_t>(chunk));
  }
  ByteReader reader(bytes.data() + 4, bytes.size() - 4);
  int32_t count = 0;
  reader.readInt32(count);
  if (count < 0 || static_cast<uint64_t>(count) > reader.left() / kEntryFixedSize) {
    ArchiveError("Read error");
    return nullptr;
  }
  auto dir = std::make_unique<TDir>(this, firstBlock);
  dir->entries_.resize(static_cast<size_t>(count));
  for (TDirEntry& e : dir->entries_) {
    int32_t nameLength = 0;
    bool ok = reader.readInt32(nameLength) && nameLength >= 0 && reader.readText(e.name, static_cast<size_t>(nameLength)) &&
              reader.readInt32(e.size) && reader.readInt32(e.attributes) && reader.readDouble(e.date) &&
              reader.readInt32(e.firstBlock) && reader.readBytes(e.reserved, sizeof(e.reserved));
    if (!ok) {
      ArchiveError("Read error");
      return nullptr;
    }
  }
  return dir;
}

TDir* TFileSystem::findDir(std::string_view path) {
  if (!root_) return nullptr;
  TDir* current = root_;
  std::string key;
  for (std::string_view part : SplitPath(path)) {
    key += '\\';
    for (char c : part) key += UpperAscii(c);
    auto cached = dirCache_.find(key);
    if (cached != dirCache_.end()) {
      current = cached->second.get();
      continue;
    }
    int index = current->find(part, true);
    if (index < 0) return nullptr;
    std::unique_ptr<TDir> next = readDir(current->entries()[static_cast<size_t>(index)].firstBlock);
    if (!next) return nullptr;
    current = next.get();
    dirCache_.emplace(key, std::move(next));
  }
  return current;
}

const TDirEntry* TFileSystem::findFile(std::string_view path) {
  std::vector<std::string_view> parts = SplitPath(path);
  if (parts.empty()) return nullptr;
  std::string_view name = parts.back();
  TDir* dir = findDir(path.substr(0, static_cast<size_t>(name.data() - path.data())));
  if (!dir) return nullptr;
  int index = dir->find(name, false);
  return index < 0 ? nullptr : &dir->entries()[static_cast<size_t>(index)];
}

TFile* TFileSystem::openRead(std::string_view path) {
  for (TFile* open : openFiles_) {
    if (open->mode == FileOpenMode::Write && SameName(open->path, path)) {
      ArchiveError("Can't create opened file");
      return nullptr;
    }
  }
  std::vector<std::string_view> parts = SplitPath(path);
  if (parts.empty()) return nullptr;
  std::string_view name = parts.back();
  TDir* dir = findDir(path.substr(0, static_cast<size_t>(name.data() - path.data())));
  if (!dir) return nullptr;
  int index = dir->find(name, false);
  if (index < 0) return nullptr;
  const TDirEntry& entry = dir->entries()[static_cast<size_t>(index)];
  std::vector<int32_t> chain;
  int64_t blocksNeeded = (static_cast<int64_t>(entry.size) + kBlockSize - 1) / kBlockSize;
  if (entry.size < 0 ||
      (blocksNeeded > 0 && (!chainFrom(entry.firstBlock, blocksNeeded, chain) ||
                            static_cast<int64_t>(chain.size()) < blocksNeeded))) {
    ArchiveError("File " + std::string(path) + " read error");
    return nullptr;
  }
  auto* file = new TFile;
  file->entry = entry;
  file->path = std::string(path);
  file->openTime = UnixTimeToDateTime(static_cast<double>(std::time(nullptr)));
  file->size = entry.size;
  file->index = index;
  file->dir = dir;
  file->chain = std::move(chain);
  openFiles_.push_back(file);
  return file;
}

void TFileSystem::close(TFile* file) {
  auto it = std::find(openFiles_.begin(), openFiles_.end(), file);
  if (it == openFiles_.end()) return;
  openFiles_.erase(it);
  delete file;
}

int64_t TFileSystem::read(TFile& file, void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (file.position > file.size) {
    ArchiveError("File " + file.path + " read error");
    return 0;
  }
  int64_t wanted = std::min<int64_t>(count, file.size - file.position);
  int64_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < wanted) {
    int64_t blockIndex = file.position / kBlockSize;
    int64_t within = file.position % kBlockSize;
    int64_t chunk = std::min(wanted - done, kBlockSize - within);
    int64_t from = BlockOffset(blockCount_, file.chain[static_cast<size_t>(blockIndex)]) + within;
    if (from + chunk > static_cast<int64_t>(image_.size())) {
      ArchiveError("Read error");
      break;
    }
    std::memcpy(out + done, image_.data() + from, static_cast<size_t>(chunk));
    done += chunk;
    file.position += chunk;
  }
  return done;
}

std::vector<std::string> TFileSystem::allFiles() {
  std::vector<std::string> files;
  if (!root_) return files;
  std::set<int32_t> walked{root_->firstBlock()};
  walk(root_, "", 0, walked, files);
  return files;
}

void TFileSystem::walk(TDir* dir, const std::string& prefix, int depth, std::set<int32_t>& walked,
                       std::vector<std::string>& files) {
  for (const TDirEntry& e : dir->entries()) {
    if (e.isDeleted() || e.name == "." || e.name == "..") continue;
    if (!e.isDirectory()) {
      files.push_back(prefix + e.name);
      continue;
    }
    if (depth >= kMaxWalkDepth || !walked.insert(e.firstBlock).second) continue;
    if (std::unique_ptr<TDir> sub = readDir(e.firstBlock)) walk(sub.get(), prefix + e.name + "\\", depth + 1, walked, files);
  }
}

// ---- the stream ----------------------------------------------------------------------------

TFileSystemStream::~TFileSystemStream() { fileSystem_->close(file_); }

int64_t TFileSystemStream::Read(void* buffer, int64_t count) { return fileSystem_->read(*file_, buffer, count); }

int64_t TFileSystemStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? file_->position : file_->size;
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;
  file_->position = target;
  return target;
}
