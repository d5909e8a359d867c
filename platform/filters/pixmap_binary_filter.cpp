#include "platform/filters/pixmap_binary_filter.h"

#include <string>

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/streams/stream_primitives.h"
#include "core/system/log.h"
#include "platform/filters/jpeg_coding.h"
#include "platform/filters/pixmap_file_format.h"
#include "platform/filters/pixmap_pixels.h"

const ClassInfo& TPixmapBinaryFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPixmapBinaryFilter>("TPixmapBinaryFilter").build();
  return info;
}

namespace {
[[noreturn]] void Damaged(const char* what) { throw EReadError(std::string(what)); }

struct Header {
  int32_t width = 0;
  int32_t height = 0;
  bool compressed = false;
};

// False for another signature.
bool ReadHeader(TStream& stream, Header& header) {
  char signature[kPixmapSignature.size()];
  if (!StreamRead(stream, signature, sizeof signature) || kPixmapSignature != std::string_view(signature, sizeof signature)) {
    return false;
  }
  bool complete = StreamReadInt(stream, header.width);
  complete = StreamReadInt(stream, header.height) && complete;
  complete = StreamReadBool(stream, header.compressed) && complete;
  if (!complete || !StreamFits(stream, kPixmapReservedBytes)) Damaged("file truncated");
  stream.Seek(kPixmapReservedBytes, SeekOrigin::Current);
  if (!IsDecodableImageSize(header.width, header.height)) Damaged("bad pixmap size");
  return true;
}

// One JPEG plane: its byte count, then the stream.
std::vector<uint8_t> ReadPlaneBytes(TStream& stream) {
  int32_t size = 0;
  if (!StreamReadInt(stream, size) || !StreamFits(stream, size)) Damaged("file truncated");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  StreamRead(stream, bytes.data(), size);
  return bytes;
}

// The colour plane, which must decode to the size the header gives. Its
// components are the bytes 0, 1 and 2 of the pixel words, in that order.
TArgbImage ReadColourPlane(TStream& stream, const Header& header) {
  std::vector<uint8_t> bytes = ReadPlaneBytes(stream);
  TReadOnlyMemoryStream plane(bytes.data(), static_cast<int64_t>(bytes.size()));
  TArgbImage image = decodeJpeg(plane, JpegPlane::WordBytes);
  if (image.width != header.width || image.height != header.height) Damaged("plane size differs from the header");
  return image;
}

// The alpha plane, a grey picture of the same size: its second component is
// the alpha.
void ReadAlphaPlane(TStream& stream, TArgbImage& image) {
  std::vector<uint8_t> bytes = ReadPlaneBytes(stream);
  TReadOnlyMemoryStream plane(bytes.data(), static_cast<int64_t>(bytes.size()));
  if (!decodeJpegAlphaInto(plane, image)) Damaged("plane size differs from the header");
}
}  // namespace

bool ReadPixmapFile(TStream& stream, TArgbImage& image) {
  Header header;
  if (!ReadHeader(stream, header)) return false;
  const int64_t count = int64_t{header.width} * header.height;
  if (!header.compressed) {
    if (!StreamFits(stream, count, 4)) Damaged("file truncated");
    image = TArgbImage{header.width, header.height, std::vector<uint32_t>(static_cast<size_t>(count))};
    StreamReadPixels(stream, image.pixels.data(), count);
    return true;
  }
  image = ReadColourPlane(stream, header);
  ReadAlphaPlane(stream, image);
  return true;
}

std::vector<uint8_t> RawPixmapFile(const TArgbImage& image) {
  TMemoryStream file;
  file.Write(kPixmapSignature.data(), static_cast<int64_t>(kPixmapSignature.size()));
  StreamWriteInt(file, image.width);
  StreamWriteInt(file, image.height);
  StreamWriteBool(file, false);
  const std::vector<uint8_t> reserved(static_cast<size_t>(kPixmapReservedBytes), 0);
  file.Write(reserved.data(), kPixmapReservedBytes);
  StreamWriteDWords(file, image.pixels.data(), static_cast<int64_t>(image.pixels.size()));
  return std::move(file.Bytes());
}

bool TPixmapBinaryFilter::readRGBA(TResourceMan* manager, const WideString& name, TArgbImage& image) {
  image = TArgbImage{};
  TStreamPtr stream = OpenFilterStream(manager, name, fmOpenRead);
  if (!stream) return false;
  if (GuardedRead<bool>(name, [&] { return ReadPixmapFile(*stream, image) && !image.empty(); })) return true;
  image = TArgbImage{};
  return false;
}

bool TPixmapBinaryFilter::writePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) {
  TArgbImage image;
  if (!pixelsForSaving(pixmap, name, image)) return false;
  return WriteFilterFile(manager, name, RawPixmapFile(image));
}
