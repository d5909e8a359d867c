#pragma once
// Building ".qfs" archives. The runtime only reads archives; this is for the
// packer tool, the tests and the benchmarks, which need archives made from a
// folder or from a tree held in memory.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ArchiveNode {
  std::string name;  // 8-bit (Windows-1252) text, as stored in the archive
  bool isFolder = false;
  std::vector<uint8_t> data;  // a file's bytes
  double date = 0;            // days since 1899-12-30, local time
  std::vector<ArchiveNode> children;

  // Builders for trees written in code.
  static ArchiveNode Folder(std::string name, std::vector<ArchiveNode> children = {}, double date = 0);
  static ArchiveNode File(std::string name, std::string_view bytes, double date = 0);
};

// A "VFILEST" image of the tree; the root node is the root directory. Blocks
// are laid out in tree order, each chain in consecutive blocks; every file
// (the empty ones too) owns at least one block; the read-only flag is set.
// Empty when the tree is too large for the format (sizes beyond int32).
std::vector<uint8_t> BuildArchiveImage(const ArchiveNode& root);

// Reads a folder of the file system into a tree: names converted to 8-bit
// text, entries in name order (ASCII letters without regard to case),
// symbolic links followed except back into a folder being read. False with
// a message when a name has no 8-bit form, begins with the deleted mark "*",
// or a file cannot be read or is too large.
bool ReadFolderTree(const std::string& folder, ArchiveNode& root, std::string& error);

// Packs a folder into an archive file, plain ("VFILEST") or compressed
// ("CFILEST"), written through a temporary file and a rename.
bool PackFolder(const std::string& folder, const std::string& archivePath, bool compressed, std::string& error);
