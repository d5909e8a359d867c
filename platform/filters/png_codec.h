#pragma once
// PNG images on libpng: decoding any PNG into ARGB words and encoding ARGB
// words as an 8-bit RGBA PNG. Used by the PNG filter, screenshots and the
// font atlases. Rows pass in their memory order (B, G, R, A) through
// libpng's BGR transform, so colours come out as other viewers show them.
//
// libpng leaves an error by a long jump; no C++ exception crosses its frames.
#include <cstdint>
#include <span>
#include <vector>

#include "core/text/exceptions.h"
#include "platform/argb_image.h"

class TStream;

// A PNG that cannot be decoded, with libpng's message.
class EPNG : public Exception {
  using Exception::Exception;
};

// Decodes the PNG at the stream's position. Every colour type and depth is
// taken: palette images (with their transparency), grey, 16-bit (cut to 8
// bits) and interlaced images; images without alpha get 255. Images wider
// or higher than kMaxImageSide are refused. Raises EPNG.
TArgbImage DecodePng(TStream& source);

// Encodes width x height ARGB words (rows top-down) as an 8-bit RGBA PNG.
// False, and nothing in `png`, when the size is not positive or the pixels
// hold fewer than width x height words.
bool EncodePng(int32_t width, int32_t height, std::span<const uint32_t> pixels, std::vector<uint8_t>& png);
