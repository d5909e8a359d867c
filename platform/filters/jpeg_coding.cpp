#include "platform/filters/jpeg_coding.h"

#include <algorithm>
#include <string>

#include "core/resources/stream.h"

namespace {
[[noreturn]] void RaiseJpegError(const JpegOutcome& outcome) {
  throw EJPEG("JPEG ERROR -- #" + std::to_string(outcome.code) + ": " + outcome.message);
}

// Decodes from the stream's position to its end.
JpegOutcome DecodeFrom(TStream& source, TArgbImage& image, JpegPlane order) {
  auto read = [&source](uint8_t* buffer, size_t size) {
    const int64_t count = source.Read(buffer, static_cast<int64_t>(size));
    return count > 0 ? static_cast<size_t>(count) : size_t{0};
  };
  const auto available = static_cast<uint64_t>(std::max<int64_t>(source.Remaining(), 0));
  return JpegDecode(read, available, image, order);
}
}  // namespace

TArgbImage decodeJpeg(TStream& source, JpegPlane order) {
  TArgbImage image;
  if (const JpegOutcome outcome = DecodeFrom(source, image, order); !outcome) RaiseJpegError(outcome);
  return image;
}

bool decodeJpegAlphaInto(TStream& source, TArgbImage& image) {
  const JpegOutcome outcome = DecodeFrom(source, image, JpegPlane::Alpha);
  if (outcome.code == kJpegPlaneSizeDiffers) return false;
  if (!outcome) RaiseJpegError(outcome);
  return true;
}

void encodeJpeg(const TArgbImage& image, TStream& destination, int quality, JpegPlane plane) {
  auto write = [&destination](const uint8_t* data, size_t size) {
    return destination.Write(data, static_cast<int64_t>(size)) == static_cast<int64_t>(size);
  };
  if (const JpegOutcome outcome = JpegEncode(image, plane, quality, write); !outcome) RaiseJpegError(outcome);
}
