#include "core/resources/archive_image.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "core/resources/archive_format.h"
#include "core/resources/virtual_file_system.h"

using namespace archive;

namespace {
// Deflate never packs more than about 1032 bytes into one, so a stated
// length beyond that ratio is not believed when reserving memory.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr size_t kMaxChunk = 1u << 30;  // zlib counts in 32-bit units

class Inflater {
 public:
  Inflater(const uint8_t* data, size_t size) : data_(data), size_(size) {
    initialised_ = inflateInit(&stream_) == Z_OK;
    ok_ = initialised_;
  }
  ~Inflater() {
    if (initialised_) inflateEnd(&stream_);
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Inflates up to `count` bytes; answers how many came. Stops early at the
  // end of the stream, at the end of the input, or at bad data (failed()).
  size_t inflateInto(uint8_t* out, size_t count) {
    size_t produced = 0;
    while (ok_ && !ended_ && produced < count) {
      if (stream_.avail_in == 0 && consumed_ < size_) {
        size_t chunk = std::min(kMaxChunk, size_ - consumed_);
        stream_.next_in = const_cast<Bytef*>(data_ + consumed_);
        stream_.avail_in = static_cast<uInt>(chunk);
        consumed_ += chunk;
      }
      size_t want = std::min(kMaxChunk, count - produced);
      stream_.next_out = out + produced;
      stream_.avail_out = static_cast<uInt>(want);
      int result = inflate(&stream_, Z_NO_FLUSH);
      produced += want - stream_.avail_out;
      if (result == Z_STREAM_END) {
        ended_ = true;
      } else if (result == Z_BUF_ERROR && stream_.avail_in == 0 && consumed_ >= size_) {
        break;  // the input ended before the stream did
      } else if (result != Z_OK && result != Z_BUF_ERROR) {
        ok_ = false;
      }
    }
    return produced;
  }
  bool failed() const { return !ok_; }

 private:
  z_stream stream_{};
  const uint8_t* data_;
  size_t size_;
  size_t consumed_ = 0;
  bool initialised_ = false;
  bool ok_ = false;
  bool ended_ = false;
};
}  // namespace

bool InflateArchiveImage(const uint8_t* data, size_t size, std::vector<uint8_t>& image) {
  image.clear();
  Inflater inflater(data, size);
  uint8_t lengthBytes[4];
  if (inflater.inflateInto(lengthBytes, 4) != 4) {
    ArchiveError("Read error");
    return false;
  }
  int32_t length = static_cast<int32_t>(static_cast<uint32_t>(lengthBytes[0]) | static_cast<uint32_t>(lengthBytes[1]) << 8 |
                                        static_cast<uint32_t>(lengthBytes[2]) << 16 |
                                        static_cast<uint32_t>(lengthBytes[3]) << 24);
  if (length < 0) {
    ArchiveError("Read error");
    return false;
  }
  const size_t wanted = static_cast<size_t>(length);
  image.reserve(static_cast<size_t>(std::min<uint64_t>(wanted, kMaxInflateRatio * size + 4096)));
  while (image.size() < wanted) {
    size_t had = image.size();
    size_t grow = std::min(wanted - had, std::max<size_t>(image.capacity() - had, 1u << 20));
    image.resize(had + grow);
    size_t got = inflater.inflateInto(image.data() + had, grow);
    image.resize(had + got);
    if (got < grow) break;
  }
  if (image.size() < wanted || inflater.failed()) {
    ArchiveError("Read error");
    image.clear();
    return false;
  }
  return true;
}

bool ArchiveImageFromFile(std::vector<uint8_t> fileBytes, std::vector<uint8_t>& image) {
  if (fileBytes.size() >= static_cast<size_t>(kSignatureSize) &&
      std::string_view(reinterpret_cast<const char*>(fileBytes.data()), kSignatureSize) == kCompressedSignature) {
    return InflateArchiveImage(fileBytes.data() + kSignatureSize, fileBytes.size() - kSignatureSize, image);
  }
  image = std::move(fileBytes);
  return true;
}

std::vector<uint8_t> CompressArchiveImage(const std::vector<uint8_t>& image, int level) {
  std::vector<uint8_t> payload(4 + image.size());
  uint32_t length = static_cast<uint32_t>(image.size());
  for (int i = 0; i < 4; ++i) payload[static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
  if (!image.empty()) std::memcpy(payload.data() + 4, image.data(), image.size());
  uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
  std::vector<uint8_t> archive(static_cast<size_t>(kSignatureSize) + packedSize);
  std::memcpy(archive.data(), kCompressedSignature.data(), kSignatureSize);
  if (compress2(archive.data() + kSignatureSize, &packedSize, payload.data(), static_cast<uLong>(payload.size()),
                level) != Z_OK) {
    return {};
  }
  archive.resize(static_cast<size_t>(kSignatureSize) + packedSize);
  return archive;
}
