#pragma once
// The ".qfs" archive: an image of a small block-structured file system, plain
// ("VFILEST") or zlib-compressed ("CFILEST" + a zlib stream holding an int32
// length and that many bytes of the image). All integers are little-endian.
//
// Image: a 1047-byte header, an allocation table of N int32 links (for each
// block the next block of its chain, -2 at the end of a chain, -4 for a free
// block), then N blocks of 4096 bytes. A file is the chain of blocks from its
// first block; a directory is stored like a file holding an int32 record size
// S and S bytes of record: an int32 entry count and the entries (name as an
// int32 length and 8-bit characters, size, attributes, date as float64,
// first block, 16 reserved bytes). Every directory begins with "." and "..".
#include <cstdint>
#include <string_view>

namespace archive {

constexpr std::string_view kPlainSignature = "VFILEST";
constexpr std::string_view kCompressedSignature = "CFILEST";
constexpr int64_t kSignatureSize = 7;

constexpr int64_t kBlockSize = 4096;
constexpr int64_t kHeaderSize = 1047;
constexpr int64_t kBlockCountOffset = 7;
constexpr int64_t kRootBlockOffset = 15;
constexpr int64_t kReadOnlyFlagOffset = 19;

constexpr int32_t kEndOfChain = -2;
constexpr int32_t kFreeBlock = -4;

constexpr int32_t kDirectoryAttribute = 0x10;
constexpr char kDeletedMark = '*';

// Bytes of an entry besides its name: length, size, attributes, date, first
// block, reserved.
constexpr int64_t kEntryFixedSize = 4 + 4 + 4 + 8 + 4 + 16;
constexpr int64_t kEntryReservedSize = 16;

// Where block k starts in an image of n blocks.
constexpr int64_t BlockOffset(int64_t blockCount, int64_t block) {
  return kHeaderSize + 4 * blockCount + kBlockSize * block;
}

}  // namespace archive
