#include "platform/filters/jpeg_coding.h"

#include <string>

#include "core/stream.h"

namespace {
[[noreturn]] void RaiseJpegError(int code) { throw EJPEG("JPEG ERROR -- #" + std::to_string(code)); }
}  // namespace

TArgbImage decodeJpeg(TStream& source) {
  TArgbImage image;
  auto read = [&source](uint8_t* buffer, size_t size) {
    const int64_t count = source.Read(buffer, static_cast<int64_t>(size));
    return count > 0 ? static_cast<size_t>(count) : size_t{0};
  };
  if (const int code = JpegDecode(read, image); code != 0) RaiseJpegError(code);
  return image;
}

void encodeJpeg(const TArgbImage& image, TStream& destination, int quality, JpegPlane plane) {
  auto write = [&destination](const uint8_t* data, size_t size) {
    return destination.Write(data, static_cast<int64_t>(size)) == static_cast<int64_t>(size);
  };
  if (const int code = JpegEncode(image, plane, quality, write); code != 0) RaiseJpegError(code);
}
