#include "platform/filters/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace {
constexpr size_t kBufferSize = 4096;

// The library's error exit keeps the message's text and jumps back to the
// frame that set `jump`; its warnings and trace messages are dropped.
struct ErrorManager {
  jpeg_error_mgr library;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = "";
};

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  if (errors->message[0] == '\0') errors->library.format_message(cinfo, errors->message);
  std::longjmp(errors->jump, 1);
}
void DropMessage(j_common_ptr, int) {}
void DropOutput(j_common_ptr) {}

// Ends decoding with the library's code and a text of our own, for what the
// library would accept but the program refuses.
[[noreturn]] void Refuse(j_common_ptr cinfo, int code, const char* text) {
  auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(errors->message, sizeof errors->message, "%s", text);
  errors->library.msg_code = code;
  JumpOut(cinfo);
}

void InstallErrorManager(ErrorManager& errors) {
  jpeg_std_error(&errors.library);
  errors.library.error_exit = JumpOut;
  errors.library.emit_message = DropMessage;
  errors.library.output_message = DropOutput;
}

JpegOutcome Failure(const ErrorManager& errors) {
  return {errors.library.msg_code != 0 ? errors.library.msg_code : -1, errors.message};
}

// ---- reading ----------------------------------------------------------------------

struct SourceManager {
  jpeg_source_mgr library;
  const JpegReader* read;
  JOCTET buffer[kBufferSize];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

size_t ReadSome(const JpegReader& read, JOCTET* buffer) {
  try {
    return read(buffer, kBufferSize);
  } catch (...) {
    return 0;  // a reader that fails has no more data
  }
}

// At the end of the data an end-of-image marker stands in for the rest, so
// truncated data decodes as far as it goes.
boolean FillInput(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<SourceManager*>(cinfo->src);
  size_t count = ReadSome(*source->read, source->buffer);
  if (count == 0) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    count = 2;
  }
  source->library.next_input_byte = source->buffer;
  source->library.bytes_in_buffer = count;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* source = cinfo->src;
  while (count > static_cast<long>(source->bytes_in_buffer)) {
    count -= static_cast<long>(source->bytes_in_buffer);
    FillInput(cinfo);
  }
  if (count > 0) {
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
  }
}

void InstallSource(jpeg_decompress_struct& cinfo, SourceManager& source, const JpegReader& read) {
  source.library.init_source = InitSource;
  source.library.fill_input_buffer = FillInput;
  source.library.skip_input_data = SkipInput;
  source.library.resync_to_restart = jpeg_resync_to_restart;
  source.library.term_source = TermSource;
  source.library.bytes_in_buffer = 0;
  source.library.next_input_byte = nullptr;
  source.read = &read;
  cinfo.src = &source.library;
}

// The library calls this between iMCU rows while it reads scans: a file of
// endless (empty) scans is stopped here.
void WatchScans(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
    Refuse(cinfo, JERR_BAD_PROGRESSION, "Too many scans in the file");
  }
}

// Refuses, before anything is allocated for them, the pixels that the data
// could not hold (see kMaxJpegPixelsPerByte).
void CheckSizeAgainstData(jpeg_decompress_struct& cinfo, uint64_t dataSize) {
  if (!IsDecodableImageSize(cinfo.image_width, cinfo.image_height)) {
    ERREXIT1(&cinfo, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(kMaxImageSide));
  }
  const uint64_t pixels = uint64_t{cinfo.image_width} * cinfo.image_height;
  if (pixels / kMaxJpegPixelsPerByte > dataSize) {
    char text[JMSG_LENGTH_MAX];
    std::snprintf(text, sizeof text, "Image of %u x %u pixels larger than its %llu bytes can hold",
                  static_cast<unsigned>(cinfo.image_width), static_cast<unsigned>(cinfo.image_height),
                  static_cast<unsigned long long>(dataSize));
    Refuse(reinterpret_cast<j_common_ptr>(&cinfo), JERR_IMAGE_TOO_BIG, text);
  }
}

// The alpha of a ".pixmap" file is a grey picture whose second component
// goes into the alpha byte of the words already decoded from its colour
// plane, one row at a time: no second picture is made for it.
void DecodeAlphaRows(jpeg_decompress_struct& cinfo, TArgbImage& image) {
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * 3, 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    uint32_t* pixels =
        image.pixels.data() + static_cast<size_t>(cinfo.output_scanline) * static_cast<size_t>(image.width);
    if (jpeg_read_scanlines(&cinfo, row, 1) != 1) ERREXIT(&cinfo, JERR_FILE_READ);
    for (int32_t x = 0; x < image.width; ++x) {
      pixels[x] = (pixels[x] & 0x00FFFFFFu) | static_cast<uint32_t>(row[0][3 * x + 1]) << 24;
    }
  }
}

void DecodeWordRows(jpeg_decompress_struct& cinfo, TArgbImage& image) {
  image.width = static_cast<int32_t>(cinfo.output_width);
  image.height = static_cast<int32_t>(cinfo.output_height);
  image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    auto* row = reinterpret_cast<JSAMPROW>(image.pixels.data() + static_cast<size_t>(cinfo.output_scanline) *
                                                                    static_cast<size_t>(image.width));
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) ERREXIT(&cinfo, JERR_FILE_READ);
  }
}

// Everything libjpeg may leave by its long jump runs in this frame, which
// holds nothing that needs destruction; `image` belongs to the caller.
JpegOutcome RunDecode(jpeg_decompress_struct& cinfo, ErrorManager& errors, uint64_t dataSize, JpegPlane order,
                      TArgbImage& image) {
  if (setjmp(errors.jump)) return Failure(errors);
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
    ERREXIT(&cinfo, JERR_CONVERSION_NOTIMPL);
  }
  CheckSizeAgainstData(cinfo, dataSize);
  const bool alpha = order == JpegPlane::Alpha;
  cinfo.out_color_space = alpha ? JCS_RGB : order == JpegPlane::WordBytes ? JCS_EXT_RGBA : JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  if (!IsDecodableImageSize(cinfo.output_width, cinfo.output_height) ||
      cinfo.output_components != (alpha ? 3 : 4)) {
    ERREXIT1(&cinfo, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(kMaxImageSide));
  }
  if (alpha) {
    if (cinfo.output_width != static_cast<JDIMENSION>(image.width) ||
        cinfo.output_height != static_cast<JDIMENSION>(image.height)) {
      return {kJpegPlaneSizeDiffers, "plane size differs from the picture"};
    }
    DecodeAlphaRows(cinfo, image);
  } else {
    DecodeWordRows(cinfo, image);
  }
  jpeg_finish_decompress(&cinfo);
  return {};
}

// ---- writing ----------------------------------------------------------------------

struct DestinationManager {
  jpeg_destination_mgr library;
  const JpegWriter* write;
  JOCTET buffer[kBufferSize];
};

bool WriteSome(const JpegWriter& write, const JOCTET* data, size_t size) {
  try {
    return size == 0 || write(data, size);
  } catch (...) {
    return false;
  }
}

void InitDestination(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<DestinationManager*>(cinfo->dest);
  destination->library.next_output_byte = destination->buffer;
  destination->library.free_in_buffer = kBufferSize;
}

boolean EmptyOutput(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<DestinationManager*>(cinfo->dest);
  if (!WriteSome(*destination->write, destination->buffer, kBufferSize)) ERREXIT(cinfo, JERR_FILE_WRITE);
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* destination = reinterpret_cast<DestinationManager*>(cinfo->dest);
  size_t remainder = kBufferSize - destination->library.free_in_buffer;
  if (!WriteSome(*destination->write, destination->buffer, remainder)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

void InstallDestination(jpeg_compress_struct& cinfo, DestinationManager& destination, const JpegWriter& write) {
  destination.library.init_destination = InitDestination;
  destination.library.empty_output_buffer = EmptyOutput;
  destination.library.term_destination = TermDestination;
  destination.write = &write;
  cinfo.dest = &destination.library;
}

// The alpha plane goes in as grey RGB rows made here; the colour planes are
// read straight from the pixel words (B, G, R and an unused byte): as BGRX
// for the colours viewers show, as RGBX for the word's bytes in order.
JpegOutcome RunEncode(jpeg_compress_struct& cinfo, ErrorManager& errors, const TArgbImage& image, JpegPlane plane,
                      int quality, JSAMPLE* greyRow) {
  if (setjmp(errors.jump)) return Failure(errors);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = plane == JpegPlane::Alpha ? 3 : 4;
  cinfo.in_color_space = plane == JpegPlane::Alpha ? JCS_RGB : plane == JpegPlane::Colour ? JCS_EXT_BGRX : JCS_EXT_RGBX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uint32_t* pixels = image.pixels.data() + static_cast<size_t>(cinfo.next_scanline) * image.width;
    JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(pixels));
    if (plane == JpegPlane::Alpha) {
      for (int32_t x = 0; x < image.width; ++x) {
        const auto alpha = static_cast<JSAMPLE>(pixels[x] >> 24);
        greyRow[3 * x] = greyRow[3 * x + 1] = greyRow[3 * x + 2] = alpha;
      }
      row = greyRow;
    }
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  return {};
}
}  // namespace

JpegOutcome JpegDecode(const JpegReader& read, uint64_t dataSize, TArgbImage& image, JpegPlane order) {
  if (order != JpegPlane::Alpha) image = TArgbImage{};
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  InstallErrorManager(errors);
  cinfo.err = &errors.library;
  jpeg_create_decompress(&cinfo);
  SourceManager source;
  InstallSource(cinfo, source, read);
  jpeg_progress_mgr progress{};
  progress.progress_monitor = WatchScans;
  cinfo.progress = &progress;
  JpegOutcome outcome{JERR_OUT_OF_MEMORY, "Insufficient memory"};
  try {
    outcome = RunDecode(cinfo, errors, dataSize, order, image);
  } catch (const std::bad_alloc&) {
    // The image's pixels did not fit in memory (thrown in our own frame).
  }
  jpeg_destroy_decompress(&cinfo);
  if (!outcome && order != JpegPlane::Alpha) image = TArgbImage{};
  return outcome;
}

JpegOutcome JpegEncode(const TArgbImage& image, JpegPlane plane, int quality, const JpegWriter& write) {
  if (image.width < 1 || image.height < 1 || image.width > JPEG_MAX_DIMENSION || image.height > JPEG_MAX_DIMENSION ||
      image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
    return {JERR_EMPTY_IMAGE, "Empty JPEG image"};
  }
  std::vector<JSAMPLE> greyRow(plane == JpegPlane::Alpha ? static_cast<size_t>(image.width) * 3 : 0);
  jpeg_compress_struct cinfo;
  ErrorManager errors;
  InstallErrorManager(errors);
  cinfo.err = &errors.library;
  jpeg_create_compress(&cinfo);
  DestinationManager destination;
  InstallDestination(cinfo, destination, write);
  JpegOutcome outcome = RunEncode(cinfo, errors, image, plane, quality, greyRow.data());
  jpeg_destroy_compress(&cinfo);
  return outcome;
}
