#pragma once
// libjpeg driven for the system's pictures: decoding into ARGB words and
// encoding one plane of them, through 4096-byte buffers that a reader or
// writer function fills or empties. Nothing here needs the rest of the
// program, so the build-time resource tool shares it.
//
// Rows are kept in the order they lie in memory (B, G, R, A) through
// libjpeg's extended colour spaces, so a pure red image decodes to the word
// 0xFFFF0000 and an encoded image shows its own colours in other viewers.
//
// libjpeg leaves an error by a long jump; no C++ exception ever crosses its
// frames (a reader or writer that throws counts as a failed read or write).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/argb_image.h"

// Up to `size` bytes into `buffer`; the count read, 0 at the end of the data.
using JpegReader = std::function<size_t(uint8_t* buffer, size_t size)>;
// All `size` bytes, or false.
using JpegWriter = std::function<bool(const uint8_t* data, size_t size)>;

// Which bytes of each pixel word an encoded image is made of.
enum class JpegPlane {
  Colour,      // red, green and blue, as other viewers show them (".jpg" files)
  WordBytes,   // bytes 0, 1 and 2 of each word (B, G, R) as the first, second
               // and third component: the colour plane of a ".pixmap" file
  Alpha,       // the alpha byte as all three components (a grey picture)
};

// A grey plane decoded into the alpha of a picture of another size.
inline constexpr int kJpegPlaneSizeDiffers = -1;

// Why decoding or encoding stopped: 0 and no text when it did not.
struct JpegOutcome {
  int code = 0;         // the library's message code
  std::string message;  // the library's text for it, or ours for a refusal

  explicit operator bool() const { return code == 0; }
};

// A JPEG file may claim any size in its frame header. Every 8 x 8 block of
// the full-resolution component costs at least one bit in a scan, so data of
// N bytes holds at most N x 8 x 64 pixels; a header that claims more is
// refused before anything is allocated for the pixels.
inline constexpr uint64_t kMaxJpegPixelsPerByte = 8 * 64;
// Real progressive files have about ten scans; a file of thousands of empty
// ones would keep the decoder busy for minutes, so decoding stops past this.
inline constexpr int kMaxJpegScans = 100;

// Decodes a JPEG stream of `dataSize` bytes into `image` (alpha 255; grey
// images give equal red, green and blue). `order` Colour gives the words
// other viewers show; WordBytes puts the first, second and third component
// into bytes 0, 1 and 2. Data that ends early decodes as far as it goes:
// an end-of-image marker stands in for the rest. CMYK images, images wider
// or higher than kMaxImageSide, images larger than their data can hold and
// files of more than kMaxJpegScans scans are refused.
// `order` Alpha decodes a grey picture (as JpegPlane::Alpha encodes one) into
// the alpha bytes of the words already in `image`, which keep their colour;
// a picture of another size is left alone and answered with
// kJpegPlaneSizeDiffers.
JpegOutcome JpegDecode(const JpegReader& read, uint64_t dataSize, TArgbImage& image,
                       JpegPlane order = JpegPlane::Colour);

// Encodes the plane of `image` as a baseline JPEG of 3 components at the
// quality (1-100).
JpegOutcome JpegEncode(const TArgbImage& image, JpegPlane plane, int quality, const JpegWriter& write);
