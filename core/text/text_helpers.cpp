#include "core/text/text_helpers.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/text/exceptions.h"

namespace {
template <typename Char>
bool IsBlankOrControl(Char c) {
  return static_cast<uint32_t>(c) <= 0x20;
}

template <typename String, typename View>
String TrimImpl(View text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return String(text.substr(begin, end - begin));
}

template <typename String, typename View>
String ExtractTokenImpl(String& text, View delimiters) {
  size_t cut = text.find_first_of(delimiters);
  String token;
  if (cut == String::npos) {
    token = TrimImpl<String>(View(text));
    text.clear();
  } else {
    token = TrimImpl<String>(View(text).substr(0, cut));
    text = TrimImpl<String>(View(text).substr(cut + 1));
  }
  return token;
}

template <typename String, typename View>
String StripExtensionImpl(View name) {
  // A point in a folder's name is not an extension.
  const size_t dot = name.rfind('.');
  size_t slash = View::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '/' || name[i] == '\\') slash = i;
  }
  const bool cut = dot != View::npos && (slash == View::npos || dot > slash);
  return String(cut ? name.substr(0, dot) : name);
}

char16_t UpperCaseChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c < 0xB5) return c;
  if (c == 0xB5) return 0x39C;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  if (c == 0xFF) return 0x178;
  // Latin Extended-A pairs capitals with the following small letter.
  if (c >= 0x100 && c <= 0x137 && (c & 1)) return static_cast<char16_t>(c - 1);
  if (c >= 0x139 && c <= 0x148 && !(c & 1)) return static_cast<char16_t>(c - 1);
  if (c >= 0x14A && c <= 0x177 && (c & 1)) return static_cast<char16_t>(c - 1);
  if (c == 0x17A || c == 0x17C || c == 0x17E) return static_cast<char16_t>(c - 1);
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 32);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);
  return c;
}

char16_t LowerCaseChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x137 && !(c & 1)) return static_cast<char16_t>(c + 1);
  if (c >= 0x139 && c <= 0x148 && (c & 1)) return static_cast<char16_t>(c + 1);
  if (c >= 0x14A && c <= 0x177 && !(c & 1)) return static_cast<char16_t>(c + 1);
  if (c == 0x179 || c == 0x17B || c == 0x17D) return static_cast<char16_t>(c + 1);
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  return c;
}
}  // namespace

std::string StripExtension(std::string_view name) { return StripExtensionImpl<std::string>(name); }
WideString StripExtensionW(std::u16string_view name) { return StripExtensionImpl<WideString>(name); }

std::string ExtractFileExt(std::string_view name) {
  size_t dot = name.rfind('.');
  size_t slash = name.find_last_of("\\/");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot)) return {};
  return std::string(name.substr(dot));
}

std::string ExtractFilePath(std::string_view name) {
  size_t slash = name.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string() : std::string(name.substr(0, slash + 1));
}

std::string ExtractFileName(std::string_view name) {
  size_t slash = name.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string ExtractToken(std::string& text, std::string_view delimiters) {
  return ExtractTokenImpl<std::string, std::string_view>(text, delimiters);
}

WideString ExtractTokenW(WideString& text, std::u16string_view delimiters) {
  return ExtractTokenImpl<WideString, std::u16string_view>(text, delimiters);
}

double WideStrToFloat(std::u16string_view text) {
  std::string ansi = Trim(WideToAnsi(text));
  std::string_view digits = ansi;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    throw EConvertError("'" + ansi + "' is not a valid floating point value");
  }
  return value;
}

WideString FloatToWideStr(double value) {
  if (std::isnan(value)) return u"NAN";
  if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
  char buffer[512];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 15);
  if (error != std::errc()) return u"0";
  return AnsiToWide(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

WideString UpperCaseW(std::u16string_view text) {
  WideString out(text);
  for (char16_t& c : out) c = UpperCaseChar(c);
  return out;
}

WideString LowerCaseW(std::u16string_view text) {
  WideString out(text);
  for (char16_t& c : out) c = LowerCaseChar(c);
  return out;
}

int CompareTextW(std::u16string_view a, std::u16string_view b) {
  auto fold = [](char16_t c) -> unsigned {
    unsigned u = c > 255 ? 255u : c;
    return (u >= 'a' && u <= 'z') ? u - 32 : u;
  };
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    unsigned x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string Trim(std::string_view text) { return TrimImpl<std::string>(text); }
WideString TrimW(std::u16string_view text) { return TrimImpl<WideString>(text); }

int RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  double r = std::nearbyint(value);  // the default rounding mode sends halves to even
  if (r >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (r <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}
