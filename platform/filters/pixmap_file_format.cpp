#include "platform/filters/pixmap_file_format.h"

#include "platform/filters/jpeg_codec.h"

namespace {
void AppendInt32(std::string& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The plane as an int32 byte count followed by its JPEG stream.
bool AppendPlane(std::string& file, const TArgbImage& image, JpegPlane plane, int quality) {
  std::string stream;
  auto append = [&stream](const uint8_t* data, size_t size) {
    stream.append(reinterpret_cast<const char*>(data), size);
    return true;
  };
  if (!JpegEncode(image, plane, quality, append)) return false;
  AppendInt32(file, static_cast<uint32_t>(stream.size()));
  file += stream;
  return true;
}
}  // namespace

std::string JpegPlanesPixmapFile(const TArgbImage& image, int colourQuality) {
  std::string file(kPixmapSignature);
  AppendInt32(file, static_cast<uint32_t>(image.width));
  AppendInt32(file, static_cast<uint32_t>(image.height));
  AppendInt32(file, 1);  // compressed
  file.append(static_cast<size_t>(kPixmapReservedBytes), '\0');
  if (!AppendPlane(file, image, JpegPlane::WordBytes, colourQuality) ||
      !AppendPlane(file, image, JpegPlane::Alpha, kAlphaPlaneQuality)) {
    return std::string();
  }
  return file;
}
