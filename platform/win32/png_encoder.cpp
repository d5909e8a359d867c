#include "platform/win32/png_encoder.h"

#include <png.h>

#include <csetjmp>

namespace {
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  try {
    out->insert(out->end(), data, data + length);
  } catch (...) {
    // No exception may cross the library's frames.
    png_error(png, "out of memory");
  }
}

void FlushNothing(png_structp) {}
void IgnoreWarning(png_structp, png_const_charp) {}

// libpng leaves this function by a long jump on error, so nothing in its frame
// may need destruction.
bool WriteImage(png_structp png, png_infop info, png_bytepp rows, int32_t width, int32_t height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

std::vector<uint8_t> ToRgba(int32_t width, int32_t height, std::span<const uint32_t> pixels) {
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  for (size_t i = 0; i < rgba.size() / 4; ++i) {
    uint32_t p = pixels[i];
    rgba[i * 4 + 0] = static_cast<uint8_t>(p >> 16);
    rgba[i * 4 + 1] = static_cast<uint8_t>(p >> 8);
    rgba[i * 4 + 2] = static_cast<uint8_t>(p);
    rgba[i * 4 + 3] = static_cast<uint8_t>(p >> 24);
  }
  return rgba;
}
}  // namespace

bool EncodePng(int32_t width, int32_t height, std::span<const uint32_t> pixels, std::vector<uint8_t>& png) {
  png.clear();
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
  if (pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return false;
  std::vector<uint8_t> rgba = ToRgba(width, height, pixels);
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) rows[static_cast<size_t>(y)] = rgba.data() + static_cast<size_t>(y) * width * 4;
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
  png_infop info = writer ? png_create_info_struct(writer) : nullptr;
  bool written = false;
  if (writer && info) {
    png_set_write_fn(writer, &png, AppendBytes, FlushNothing);
    written = WriteImage(writer, info, rows.data(), width, height);
  }
  png_destroy_write_struct(&writer, &info);
  if (!written) png.clear();
  return written;
}
