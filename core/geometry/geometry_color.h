#pragma once
// 32-bit colours as 0xAARRGGBB, and their text form "#AARRGGBB" in which every
// published colour property is stored.
#include <cstdint>
#include <string_view>

#include "core/text/text.h"

// Alpha in bits 24-31, red 16-23, green 8-15, blue 0-7. Callers that need a
// "no colour" mark use 0xFFFFFFFF (-1 as a signed number), where they say so.
using TColorARGB = std::uint32_t;

inline constexpr TColorARGB kNoColor = 0xFFFFFFFF;

constexpr TColorARGB MakeColorARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g,
                                   std::uint8_t b) {
  return (TColorARGB{a} << 24) | (TColorARGB{r} << 16) | (TColorARGB{g} << 8) | b;
}

// "#" and exactly eight upper-case hexadecimal digits, alpha first: "#FF969696".
WideString ColorToText(TColorARGB c);

// Reads "#" + hexadecimal digits, or an integer: decimal with an optional sign,
// or "$" + hexadecimal digits. Eight hexadecimal digits fill all 32 bits; a
// negative decimal is taken as its 32-bit pattern ("-1" is 0xFFFFFFFF). The
// text ends at its first NUL character. Text that is not a number, or does
// not fit in 32 bits, reads as 0.
TColorARGB TextToColor(std::u16string_view text);

// The same for a colour property's setter: text that is not a colour (an
// empty text reads as 0), and "#" text other than "#" and eight hexadecimal
// digits (the web's "#FFD040"), raises EConvertError with a hint, so the property keeps its
// value and the reader or the script says which value was refused.
TColorARGB ColorFromText(std::u16string_view text);

// Alpha replaced by Trunc(alpha * factor), kept within 0..255; red, green and
// blue unchanged.
TColorARGB ColorScaleAlpha(TColorARGB c, float factor);

// Each channel on its own: (c1 + Trunc((c2 - c1) * t)) and 0xFF. For t outside
// 0..1 a channel wraps around rather than saturating.
TColorARGB ColorLerp(TColorARGB c1, TColorARGB c2, float t);
