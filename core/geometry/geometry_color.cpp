#include "core/geometry/geometry_color.h"

#include <cmath>
#include <optional>

#include "core/text/exceptions.h"

namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

int HexValue(char16_t ch) {
  if (ch >= u'0' && ch <= u'9') return ch - u'0';
  if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
  if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
  return -1;
}

// Unsigned digits in the given base; nothing when the text is empty, holds
// another character, or exceeds 32 bits (leading zeros are fine).
std::optional<std::uint64_t> ParseDigits(std::u16string_view digits, int base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char16_t ch : digits) {
    const int d = HexValue(ch);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * base + d;
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return value;
}

// The integer syntax of the system's property text: "$" + hexadecimal digits,
// or decimal with an optional sign. Decimals from -2^31 to 2^32 - 1 are taken,
// so a colour may be written in either its signed or unsigned spelling.
std::optional<TColorARGB> ParseInteger(std::u16string_view text) {
  if (!text.empty() && text.front() == u'$') {
    return ParseDigits(text.substr(1), 16);
  }
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  const auto magnitude = ParseDigits(text, 10);
  if (!magnitude) return std::nullopt;
  if (!negative) return static_cast<TColorARGB>(*magnitude);
  if (*magnitude > 0x80000000u) return std::nullopt;
  return static_cast<TColorARGB>(0x100000000u - *magnitude);
}

// Trunc of a float value into an integer, without the undefined behaviour of
// converting a NaN or an out-of-range float: NaN gives 0, large values stop at
// the int64 limits.
std::int64_t SafeTrunc(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9.0e18) return INT64_C(9000000000000000000);
  if (x <= -9.0e18) return -INT64_C(9000000000000000000);
  return static_cast<std::int64_t>(x);
}

int Channel(TColorARGB c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

}  // namespace

WideString ColorToText(TColorARGB c) {
  WideString text(9, u'#');
  for (int i = 8; i >= 1; --i) {
    text[i] = kHexDigits[c & 0xF];
    c >>= 4;
  }
  return text;
}

namespace {
std::optional<TColorARGB> ParseColor(std::u16string_view text) {
  // Text stops at a NUL, as a C string does; a text of a single NUL is thereby
  // empty and reads as 0.
  if (const auto nul = text.find(u'\0'); nul != std::u16string_view::npos) {
    text = text.substr(0, nul);
  }
  if (text.empty()) return 0;
  if (text.front() == u'#') return ParseDigits(text.substr(1), 16);
  return ParseInteger(text);
}
}  // namespace

TColorARGB TextToColor(std::u16string_view text) { return ParseColor(text).value_or(0); }

namespace {
// "#" text that is not "#" and eight hexadecimal digits: the web's "#RRGGBB"
// would read as alpha 0 and make the object vanish, so it is refused with the
// spelling the author most likely meant.
bool IsHashWithoutEightDigits(std::u16string_view text) {
  if (text.empty() || text.front() != u'#') return false;
  return text.size() != 9 || !ParseDigits(text.substr(1), 16);
}

WideString ColourHint(std::u16string_view text) {
  const std::u16string_view digits = text.substr(1);
  WideString example = u"#FF000000";
  if (digits.size() == 6 && ParseDigits(digits, 16)) {
    example = u"#FF";
    for (char16_t ch : digits) example += (ch >= u'a' && ch <= u'f') ? static_cast<char16_t>(ch - 32) : ch;
  }
  return WideString(text) + u": a colour is #AARRGGBB, e.g. " + example;
}
}  // namespace

TColorARGB ColorFromText(std::u16string_view text) {
  if (IsHashWithoutEightDigits(text)) throw EConvertError(ColourHint(text));
  std::optional<TColorARGB> value = ParseColor(text);
  if (!value) throw EConvertError(u"'" + WideString(text) + u"' is not a colour (\"#AARRGGBB\")");
  return *value;
}

TColorARGB ColorScaleAlpha(TColorARGB c, float factor) {
  std::int64_t alpha = SafeTrunc(Channel(c, 24) * static_cast<double>(factor));
  // A factor above 1 or below 0 would otherwise spill into the colour bits.
  if (alpha < 0) alpha = 0;
  if (alpha > 255) alpha = 255;
  return (c & 0x00FFFFFFu) | (static_cast<TColorARGB>(alpha) << 24);
}

TColorARGB ColorLerp(TColorARGB c1, TColorARGB c2, float t) {
  TColorARGB result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int from = Channel(c1, shift);
    const int to = Channel(c2, shift);
    // The product of a channel difference and a float32 is exact in double.
    const std::int64_t ch = from + SafeTrunc((to - from) * static_cast<double>(t));
    result |= static_cast<TColorARGB>(ch & 0xFF) << shift;
  }
  return result;
}
