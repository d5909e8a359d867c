#include "core/resources/archive_writer.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <set>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/resources/archive_format.h"
#include "core/resources/archive_image.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/text/text.h"

using namespace archive;

ArchiveNode ArchiveNode::Folder(std::string name, std::vector<ArchiveNode> children, double date) {
  ArchiveNode node;
  node.name = std::move(name);
  node.isFolder = true;
  node.children = std::move(children);
  node.date = date;
  return node;
}

ArchiveNode ArchiveNode::File(std::string name, std::string_view bytes, double date) {
  ArchiveNode node;
  node.name = std::move(name);
  node.data.assign(bytes.begin(), bytes.end());
  node.date = date;
  return node;
}

namespace {
int64_t BlocksFor(int64_t bytes) { return std::max<int64_t>(1, (bytes + kBlockSize - 1) / kBlockSize); }

int64_t EntrySize(const std::string& name) { return kEntryFixedSize + static_cast<int64_t>(name.size()); }

// The record of a folder: an entry count, then ".", ".." and the children.
int64_t RecordSize(const ArchiveNode& folder) {
  int64_t size = 4 + EntrySize(".") + EntrySize("..");
  for (const ArchiveNode& child : folder.children) size += EntrySize(child.name);
  return size;
}

// The bytes a node's chain holds.
int64_t ChainBytes(const ArchiveNode& node) {
  return node.isFolder ? 4 + RecordSize(node) : static_cast<int64_t>(node.data.size());
}

class ImageBuilder {
 public:
  bool place(const ArchiveNode& node) {
    if (!node.isFolder && node.data.size() > static_cast<size_t>(INT32_MAX)) return false;
    if (node.isFolder && RecordSize(node) > INT32_MAX) return false;
    first_[&node] = nextBlock_;
    nextBlock_ += BlocksFor(ChainBytes(node));
    if (nextBlock_ > INT32_MAX / 2) return false;
    for (const ArchiveNode& child : node.children) {
      if (!place(child)) return false;
    }
    return true;
  }

  std::vector<uint8_t> build(const ArchiveNode& root) {
    const int64_t blocks = nextBlock_;
    image_.assign(static_cast<size_t>(BlockOffset(blocks, blocks)), 0);
    std::memcpy(image_.data(), kPlainSignature.data(), kSignatureSize);
    putInt32(kBlockCountOffset, static_cast<int32_t>(blocks));
    putInt32(kRootBlockOffset, first(root));
    putInt32(kReadOnlyFlagOffset, 1);
    write(root, root);
    return std::move(image_);
  }

 private:
  int32_t first(const ArchiveNode& node) const { return static_cast<int32_t>(first_.at(&node)); }

  void putInt32(int64_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) image_[static_cast<size_t>(at + i)] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  }

  // Links the node's consecutive blocks into one chain and copies its bytes.
  void writeChain(const ArchiveNode& node, const std::vector<uint8_t>& bytes) {
    const int64_t blocks = nextBlock_;
    int32_t start = first(node);
    int64_t count = BlocksFor(static_cast<int64_t>(bytes.size()));
    for (int64_t k = 0; k < count; ++k) {
      int32_t next = k + 1 < count ? static_cast<int32_t>(start + k + 1) : kEndOfChain;
      putInt32(kHeaderSize + 4 * (start + k), next);
    }
    if (!bytes.empty()) std::memcpy(image_.data() + BlockOffset(blocks, start), bytes.data(), bytes.size());
  }

  static void appendInt32(std::vector<uint8_t>& out, int32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
  }
  static void appendEntry(std::vector<uint8_t>& out, const std::string& name, int32_t size, int32_t attributes,
                          double date, int32_t firstBlock) {
    appendInt32(out, static_cast<int32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    appendInt32(out, size);
    appendInt32(out, attributes);
    uint64_t bits;
    std::memcpy(&bits, &date, sizeof(bits));
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    appendInt32(out, firstBlock);
    out.insert(out.end(), kEntryReservedSize, 0);
  }

  void write(const ArchiveNode& node, const ArchiveNode& parent) {
    if (!node.isFolder) {
      writeChain(node, node.data);
      return;
    }
    std::vector<uint8_t> bytes;
    appendInt32(bytes, static_cast<int32_t>(RecordSize(node)));
    appendInt32(bytes, static_cast<int32_t>(2 + node.children.size()));
    appendEntry(bytes, ".", 0, kDirectoryAttribute, node.date, first(node));
    appendEntry(bytes, "..", 0, kDirectoryAttribute, parent.date, first(parent));
    for (const ArchiveNode& child : node.children) {
      appendEntry(bytes, child.name, child.isFolder ? 0 : static_cast<int32_t>(child.data.size()),
                  child.isFolder ? kDirectoryAttribute : 0, child.date, first(child));
    }
    writeChain(node, bytes);
    for (const ArchiveNode& child : node.children) write(child, node);
  }

  std::map<const ArchiveNode*, int64_t> first_;
  int64_t nextBlock_ = 0;
  std::vector<uint8_t> image_;
};
}  // namespace

std::vector<uint8_t> BuildArchiveImage(const ArchiveNode& root) {
  ImageBuilder builder;
  if (!root.isFolder || !builder.place(root)) return {};
  return builder.build(root);
}

namespace {
using FolderId = std::pair<dev_t, ino_t>;

bool ReadFolderInto(const std::string& path, ArchiveNode& folder, std::set<FolderId>& reading, std::string& error) {
  DIR* dir = opendir(path.c_str());
  if (!dir) {
    error = "cannot read folder " + path;
    return false;
  }
  std::vector<std::string> names;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  closedir(dir);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::string la = LowerCaseAscii(a), lb = LowerCaseAscii(b);
    return la != lb ? la < lb : a < b;
  });
  for (const std::string& name : names) {
    std::string full = path + "/" + name;
    struct stat st;
    if (stat(full.c_str(), &st) != 0 || (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))) continue;
    WideString wide = Utf8ToWide(name);
    std::string stored = WideToAnsi(wide);
    if (AnsiToWide(stored) != wide || stored.empty() || stored[0] == kDeletedMark) {
      error = "name cannot be stored in an archive: " + full;
      return false;
    }
    ArchiveNode child;
    child.name = stored;
    child.date = UnixTimeToDateTime(static_cast<double>(st.st_mtim.tv_sec) + st.st_mtim.tv_nsec * 1e-9);
    if (S_ISDIR(st.st_mode)) {
      FolderId id{st.st_dev, st.st_ino};
      if (reading.count(id)) continue;  // a link back up
      child.isFolder = true;
      reading.insert(id);
      bool ok = ReadFolderInto(full, child, reading, error);
      reading.erase(id);
      if (!ok) return false;
    } else {
      if (st.st_size > INT32_MAX) {
        error = "file too large for an archive: " + full;
        return false;
      }
      TMemoryStream bytes;
      if (!ReadWholeFile(full, bytes.Bytes())) {
        error = "cannot read file " + full;
        return false;
      }
      child.data = std::move(bytes.Bytes());
    }
    folder.children.push_back(std::move(child));
  }
  return true;
}
}  // namespace

bool ReadFolderTree(const std::string& folder, ArchiveNode& root, std::string& error) {
  std::string path = ToSystemPath(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = "no such folder " + folder;
    return false;
  }
  root = ArchiveNode::Folder("", {}, UnixTimeToDateTime(static_cast<double>(st.st_mtim.tv_sec)));
  std::set<FolderId> reading{{st.st_dev, st.st_ino}};
  return ReadFolderInto(path, root, reading, error);
}

bool PackFolder(const std::string& folder, const std::string& archivePath, bool compressed, std::string& error) {
  ArchiveNode root;
  if (!ReadFolderTree(folder, root, error)) return false;
  std::vector<uint8_t> image = BuildArchiveImage(root);
  if (image.empty()) {
    error = "folder too large for an archive: " + folder;
    return false;
  }
  std::vector<uint8_t> bytes = compressed ? CompressArchiveImage(image) : std::move(image);
  if (bytes.empty() || !WriteWholeFile(archivePath, bytes.data(), bytes.size())) {
    error = "cannot write " + archivePath;
    return false;
  }
  return true;
}
