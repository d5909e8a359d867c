#include "platform/filters/png_codec.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>

#include "core/resources/stream.h"

namespace {
// ---- shared -----------------------------------------------------------------------

// The message of the error that ended decoding; set before libpng jumps out.
struct ErrorState {
  char message[256] = "";
};

void KeepMessage(png_structp png, png_const_charp message) {
  auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
  if (state) {
    std::snprintf(state->message, sizeof state->message, "%s", message ? message : "unknown error");
  }
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// ---- reading ----------------------------------------------------------------------

void ReadFromStream(png_structp png, png_bytep data, png_size_t length) {
  auto* stream = static_cast<TStream*>(png_get_io_ptr(png));
  if (!stream->ReadExact(data, static_cast<int64_t>(length))) png_error(png, "Read Error: file truncated");
}

// The transforms that turn every colour type into 8-bit B, G, R, A rows.
void AskForArgbRows(png_structp png, png_infop info) {
  const png_byte colourType = png_get_color_type(png, info);
  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, transparency to alpha
  png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);  // no effect where alpha came from the file
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// Deflate packs at most about 1032 bytes into one: a file that claims more
// rows than its data could hold is refused before its pixels are allocated.
constexpr uint64_t kMaxDeflateRatio = 1032;

// libpng allocates an ancillary chunk's declared length (up to 2 GB) before
// reading it. None but the transparency is used, so all the others are
// skipped as they are read, without being kept; an inflated chunk (text,
// colour profile) is bounded by the file's own bytes all the same.
void SkipUnusedChunks(png_structp png, int64_t available) {
  static const png_byte kUsed[] = "tRNS";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kUsed, 1);
  constexpr int64_t kMinChunkAllocation = 1 << 20;
  png_set_chunk_malloc_max(png, static_cast<png_alloc_size_t>(std::max(available, kMinChunkAllocation)));
}

// Everything libpng may leave by its long jump runs in this frame, which
// holds nothing that needs destruction; `image` and `rows` belong to the
// caller and are filled here.
bool RunDecode(png_structp png, png_infop info, int64_t available, TArgbImage& image, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  SkipUnusedChunks(png, available);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!IsDecodableImageSize(width, height)) png_error(png, "Image too large");
  const uint64_t storedBytes = uint64_t{height} * (1 + png_get_rowbytes(png, info));
  if (storedBytes > static_cast<uint64_t>(std::max<int64_t>(available, 0)) * kMaxDeflateRatio) {
    png_error(png, "Image larger than its data can hold");
  }
  AskForArgbRows(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) png_error(png, "Unexpected row layout");
  image.width = static_cast<int32_t>(width);
  image.height = static_cast<int32_t>(height);
  image.pixels.assign(static_cast<size_t>(width) * height, 0);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = reinterpret_cast<png_bytep>(image.pixels.data() + size_t{y} * width);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

// ---- writing ----------------------------------------------------------------------

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

bool RunEncode(png_structp png, png_infop info, png_bytepp rows, int32_t width, int32_t height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}
}  // namespace

TArgbImage DecodePng(TStream& source) {
  ErrorState errors;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, KeepMessage, IgnoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    throw EPNG(std::string("PNG ERROR -- out of memory"));
  }
  png_set_read_fn(png, &source, ReadFromStream);
  TArgbImage image;
  std::vector<png_bytep> rows;
  bool decoded = false;
  try {
    decoded = RunDecode(png, info, source.Remaining(), image, rows);
  } catch (const std::bad_alloc&) {
    std::snprintf(errors.message, sizeof errors.message, "%s", "out of memory");
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!decoded) throw EPNG("PNG ERROR -- " + std::string(errors.message));
  return image;
}

bool EncodePng(int32_t width, int32_t height, std::span<const uint32_t> pixels, std::vector<uint8_t>& png) {
  png.clear();
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return false;
  if (pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return false;
  // The words' bytes in memory are B, G, R, A: libpng's BGR transform writes
  // them as RGBA without a converted copy.
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    rows[static_cast<size_t>(y)] =
        const_cast<png_bytep>(reinterpret_cast<const png_byte*>(pixels.data() + static_cast<size_t>(y) * width));
  }
  ErrorState errors;
  png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, KeepMessage, IgnoreWarning);
  png_infop info = writer ? png_create_info_struct(writer) : nullptr;
  bool written = false;
  if (writer && info) {
    png_set_write_fn(writer, &png, AppendBytes, FlushNothing);
    written = RunEncode(writer, info, rows.data(), width, height);
  }
  png_destroy_write_struct(&writer, &info);
  if (!written) png.clear();
  return written;
}
