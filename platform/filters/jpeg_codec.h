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

#include "platform/argb_image.h"

// Up to `size` bytes into `buffer`; the count read, 0 at the end of the data.
using JpegReader = std::function<size_t(uint8_t* buffer, size_t size)>;
// All `size` bytes, or false.
using JpegWriter = std::function<bool(const uint8_t* data, size_t size)>;

// Which bytes of each pixel word an encoded image is made of.
enum class JpegPlane {
  Colour,  // red, green and blue
  Alpha,   // the alpha byte as all three components (a grey picture)
};

// Decodes a JPEG stream into `image` (alpha 255; grey images give equal red,
// green and blue). Data that ends early decodes as far as it goes: an
// end-of-image marker stands in for the rest. Answers 0, or the library's
// message code of the error that ended decoding (CMYK images and images
// wider or higher than kMaxImageSide are refused with such a code).
int JpegDecode(const JpegReader& read, TArgbImage& image);

// Encodes the plane of `image` as a baseline JPEG of 3 components at the
// quality (1-100). Answers 0 or the library's message code.
int JpegEncode(const TArgbImage& image, JpegPlane plane, int quality, const JpegWriter& write);
