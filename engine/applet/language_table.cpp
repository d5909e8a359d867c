#include "engine/applet/language_table.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <variant>

#include "core/objects/engine.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

namespace {

const WideString kTableName = u"lang\\text.txt";
const WideString kTemplateName = u"lang\\english\\text.txt";

// "ignoring case" for the table means the system's wide upper-casing, not the
// list's own comparison, which takes every character above U+00FF as equal
// and would merge distinct Cyrillic or Greek texts.
WideString Folded(std::u16string_view text) { return UpperCaseW(text); }

// The languages that mean "no translation": texts come back as they are and
// are collected for the template.
bool IsUntranslated(const WideString& language) {
  return language.empty() || SameTextAsciiW(language, u"english");
}

bool HasListMark(TStream& stream) {
  uint8_t mark[2];
  if (stream.Read(mark, 2) != 2) return false;
  uint16_t value = static_cast<uint16_t>(mark[0] | mark[1] << 8);
  return value == 0xFEFF || value == 0xFFFE;
}

}  // namespace

// ---- the table ------------------------------------------------------------------

TLanguageTable::TLanguageTable() : list_(New<TWideStringList>()) {}

TLanguageTable::~TLanguageTable() = default;

void TLanguageTable::setLanguage(TResourceMan* manager, const WideString& value) {
  // The managers put the language between "lang\" and the rest of the name,
  // so it must stay one folder name below the game's "lang" folder.
  WideString language = SafeFolderName(value);
  if (language == language_) return;
  language_ = language;
  if (IsUntranslated(language_)) {
    startCollecting();
    return;
  }
  if (manager) openTable(*manager);
}

void TLanguageTable::openTable(TResourceMan& manager) {
  std::unique_ptr<TStream, FreeDeleter> stream;
  try {
    // The manager turns the name into "lang\" + language() + "\text.txt".
    stream.reset(manager.createStream(kTableName, fmOpenRead));
  } catch (const std::exception&) {
    LogError(u"~Lang " + language_ + u" can't be opened");
    return;
  }
  if (!stream) return;  // no translation for this language: keep what there is
  if (!loadTable(*stream)) {
    LogError(u"~Lang " + language_ + u" is not a language file");
    return;
  }
  LogInfo(u"~Lang " + language_ + u" was load successful");
}

bool TLanguageTable::loadTable(TStream& stream) {
  int64_t start = stream.Position();
  if (!HasListMark(stream)) return false;
  stream.SetPosition(start);
  list_->loadFromStream(stream);
  collecting_ = false;
  indexTable();
  return true;
}

void TLanguageTable::indexTable() {
  collected_.clear();
  sources_.clear();
  for (int i = 0; i < list_->count(); ++i) {
    WideString line = list_->get(i);
    size_t equals = line.find(u'=');
    if (equals == WideString::npos) continue;  // not a translation line
    sources_.emplace(Folded(std::u16string_view(line).substr(0, equals)), i);  // the first line wins
  }
}

void TLanguageTable::startCollecting() {
  if (collecting_) return;
  list_->clear();
  sources_.clear();
  collected_.clear();
  collecting_ = true;
}

WideString TLanguageTable::translate(const WideString& text) {
  if (collecting_) {
    if (collected_.insert(Folded(text)).second) list_->add(text);
    return text;
  }
  auto found = sources_.find(Folded(text));
  if (found == sources_.end()) return text;
  return list_->getValueAt(found->second);
}

WideString TLanguageTable::format(const WideString& text, const std::vector<Variant>& values) {
  return FormatWithValues(translate(text), values);
}

bool TLanguageTable::save(TResourceMan* manager) {
  if (!collecting_ || !manager) return false;
  std::unique_ptr<TStream, FreeDeleter> stream;
  try {
    stream.reset(manager->createStream(kTemplateName, fmCreate));
  } catch (const std::exception&) {
    stream.reset();
  }
  // A game folder that refuses new files (read-only media) simply gets no
  // template, as with any other file the system may not create.
  if (!stream) return false;
  const int64_t expected = 2 + 2 * static_cast<int64_t>(list_->text().size());
  list_->saveToStream(*stream);
  bool written = stream->Position() == expected;
  // A file stream only replaces the old template when everything was written.
  if (auto* file = dynamic_cast<TFileStream*>(stream.get())) written = file->Close() && written;
  if (!written) LogError(u"Can't save " + kTemplateName);
  return written;
}

// ---- the formatter ------------------------------------------------------------

namespace {

// Widths, precisions and indexes above this make a directive malformed: no
// script can make one directive write megabytes.
constexpr int kMaxField = 1024;
// f and n switch to scientific from here, as the system's fixed notation does
// when the digits before the point run out.
constexpr double kFixedLimit = 1e18;
constexpr int kMaxFloatDigits = 18;
constexpr int kDefaultDigits = 15;
constexpr int kDefaultDecimals = 2;

WideString Widen(std::string_view ascii) { return WideString(ascii.begin(), ascii.end()); }

// A number as a whole number cut toward zero; nothing for texts, other values
// and numbers that do not fit 64 bits.
std::optional<int64_t> WholeNumber(const Variant& value) {
  if (const auto* n = std::get_if<int32_t>(&value.value())) return *n;
  if (const auto* n = std::get_if<int64_t>(&value.value())) return *n;
  if (const auto* d = std::get_if<double>(&value.value())) {
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (std::isfinite(*d) && *d > -kLimit && *d < kLimit) return static_cast<int64_t>(std::trunc(*d));
  }
  return std::nullopt;
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

std::string ExponentText(int exponent) {
  std::string digits = std::to_string(std::abs(exponent));
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return std::string("E") + (exponent < 0 ? '-' : '+') + digits;
}

struct Scientific {
  std::string mantissa;  // "d" or "d.ddd", with its sign
  int exponent = 0;
};

// The value rounded to `digits` significant digits (at most 18: the buffers
// below hold every result with room to spare).
Scientific ToScientific(double value, int digits) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
  std::string text(buffer, result.ptr);
  size_t e = text.find('e');
  Scientific s;
  s.mantissa = text.substr(0, e);
  int exponent = 0;
  for (size_t i = e + 2; i < text.size(); ++i) exponent = exponent * 10 + (text[i] - '0');
  s.exponent = text[e + 1] == '-' ? -exponent : exponent;
  return s;
}

std::string FixedText(double value, int decimals) {
  char buffer[128];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::string WithoutTrailingZeros(std::string number) {
  if (number.find('.') == std::string::npos) return number;
  while (number.back() == '0') number.pop_back();
  if (number.back() == '.') number.pop_back();
  return number;
}

std::string FormatExponent(double value, int digits) {
  Scientific s = ToScientific(value, digits);
  return s.mantissa + ExponentText(s.exponent);
}

std::string FormatFixed(double value, int decimals) {
  if (std::fabs(value) >= kFixedLimit) return FormatExponent(value, kDefaultDigits);
  return FixedText(value, decimals);
}

std::string FormatNumber(double value, int decimals) {
  std::string text = FormatFixed(value, decimals);
  if (text.find('E') != std::string::npos) return text;
  size_t first = text[0] == '-' ? 1 : 0;
  size_t point = text.find('.');
  if (point == std::string::npos) point = text.size();
  for (size_t at = point; at > first + 3;) {
    at -= 3;
    text.insert(at, 1, ',');
  }
  return text;
}

std::string FormatGeneral(double value, int digits) {
  if (value == 0) return "0";
  Scientific s = ToScientific(value, digits);
  if (s.exponent < -4 || s.exponent >= digits) return WithoutTrailingZeros(s.mantissa) + ExponentText(s.exponent);
  return WithoutTrailingZeros(FixedText(value, digits - 1 - s.exponent));
}

std::string FormatFloat(double value, char16_t type, int precision) {
  if (!std::isfinite(value)) return NonFinite(value);
  if (value == 0) value = 0.0;  // no "-0.00"
  auto digits = [&](int fallback, int low) {
    return precision < 0 ? fallback : std::clamp(precision, low, kMaxFloatDigits);
  };
  switch (type) {
    case u'e': return FormatExponent(value, digits(kDefaultDigits, 1));
    case u'f': return FormatFixed(value, digits(kDefaultDecimals, 0));
    case u'n': return FormatNumber(value, digits(kDefaultDecimals, 0));
    default: return FormatGeneral(value, digits(kDefaultDigits, 1));
  }
}

std::string FormatInteger(int64_t value, char16_t type, int precision) {
  char buffer[32];
  std::string sign;
  std::to_chars_result result;
  if (type == u'd') {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (value < 0) sign = "-";
    result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  } else {
    // Negative numbers read as the unsigned value of their 32-bit pattern
    // when they fit it, as integer arguments always did, else of 64 bits.
    bool fits32 = value >= std::numeric_limits<int32_t>::min();
    uint64_t bits = fits32 && value < 0 ? static_cast<uint32_t>(value) : static_cast<uint64_t>(value);
    result = std::to_chars(buffer, buffer + sizeof buffer, bits, type == u'x' ? 16 : 10);
  }
  std::string digits(buffer, result.ptr);
  if (type == u'x') {
    for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (precision > static_cast<int>(digits.size())) {
    digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
  }
  return sign + digits;
}

// At most `precision` code units, never half of a surrogate pair.
WideString Shortened(const WideString& text, int precision) {
  if (precision < 0 || static_cast<size_t>(precision) >= text.size()) return text;
  size_t cut = static_cast<size_t>(precision);
  if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  return text.substr(0, cut);
}

bool IsFormatType(char16_t type) {
  switch (type) {
    case u's': case u'd': case u'u': case u'x': case u'e': case u'f': case u'g': case u'n': return true;
    default: return false;
  }
}

struct Directive {
  bool leftJustify = false;
  int width = -1;
  int precision = -1;
  char16_t type = 0;
  size_t end = 0;  // just after the type letter
};

class ValueFormatter {
 public:
  ValueFormatter(std::u16string_view format, const std::vector<Variant>& values) : format_(format), values_(values) {}

  WideString run() {
    size_t at = 0;
    while (at < format_.size()) {
      size_t percent = format_.find(u'%', at);
      if (percent == std::u16string_view::npos) {
        out_.append(format_.substr(at));
        break;
      }
      out_.append(format_.substr(at, percent - at));
      at = writeDirective(percent);
    }
    return std::move(out_);
  }

 private:
  // Writes the directive that begins at `percent`; answers where the text
  // goes on.
  size_t writeDirective(size_t percent) {
    if (percent + 1 < format_.size() && format_[percent + 1] == u'%') {
      out_ += u'%';
      return percent + 2;
    }
    const size_t nextBefore = next_;
    Directive d;
    if (!parse(percent + 1, d)) {
      // Malformed: the "%" stands as text and what follows is read as text.
      next_ = nextBefore;
      out_ += u'%';
      return percent + 1;
    }
    std::u16string_view asWritten = format_.substr(percent, d.end - percent);
    if (next_ >= values_.size()) {
      next_ = nextBefore;
      out_.append(asWritten);
      return d.end;
    }
    std::optional<WideString> text = convert(d, values_[next_++]);
    if (!text) {
      out_.append(asWritten);  // the value is used up all the same
      return d.end;
    }
    pad(*text, d);
    return d.end;
  }

  // "%" [index ":"] ["-"] [width] ["." precision] type, from just after "%".
  bool parse(size_t at, Directive& d) {
    std::optional<int> number;
    if (!readNumber(at, number)) return false;
    if (number && at < format_.size() && format_[at] == u':') {
      next_ = static_cast<size_t>(*number);
      ++at;
      number.reset();
    }
    if (!number) {
      if (at < format_.size() && format_[at] == u'-') {
        d.leftJustify = true;
        ++at;
      }
      if (!readNumber(at, number)) return false;
    }
    if (number) d.width = *number;
    if (at < format_.size() && format_[at] == u'.') {
      ++at;
      std::optional<int> precision;
      if (!readNumber(at, precision)) return false;
      d.precision = precision.value_or(0);
    }
    if (at >= format_.size()) return false;
    char16_t type = format_[at] < 0x80 ? static_cast<char16_t>(std::tolower(format_[at])) : format_[at];
    if (!IsFormatType(type)) return false;
    d.type = type;
    d.end = at + 1;
    return true;
  }

  // Decimal digits, or "*" for the next value; `number` stays empty when
  // neither stands there. False for a number above kMaxField or a "*" that
  // finds no whole number in range.
  bool readNumber(size_t& at, std::optional<int>& number) {
    if (at < format_.size() && format_[at] == u'*') {
      ++at;
      if (next_ >= values_.size()) return false;
      std::optional<int64_t> value = WholeNumber(values_[next_++]);
      if (!value || *value < 0 || *value > kMaxField) return false;
      number = static_cast<int>(*value);
      return true;
    }
    int value = 0;
    bool any = false;
    while (at < format_.size() && format_[at] >= u'0' && format_[at] <= u'9') {
      value = value * 10 + (format_[at] - u'0');
      if (value > kMaxField) return false;
      any = true;
      ++at;
    }
    if (any) number = value;
    return true;
  }

  static std::optional<WideString> convert(const Directive& d, const Variant& value) {
    switch (d.type) {
      case u's': {
        const auto* text = std::get_if<WideString>(&value.value());
        if (!text) return std::nullopt;
        return Shortened(*text, d.precision);
      }
      case u'd':
      case u'u':
      case u'x': {
        std::optional<int64_t> whole = WholeNumber(value);
        if (!whole) return std::nullopt;
        return Widen(FormatInteger(*whole, d.type, d.precision));
      }
      default:
        if (!value.isNumber()) return std::nullopt;
        return Widen(FormatFloat(value.toDouble(), d.type, d.precision));
    }
  }

  void pad(const WideString& text, const Directive& d) {
    size_t blanks = d.width > static_cast<int>(text.size()) ? static_cast<size_t>(d.width) - text.size() : 0;
    if (!d.leftJustify) out_.append(blanks, u' ');
    out_.append(text);
    if (d.leftJustify) out_.append(blanks, u' ');
  }

  std::u16string_view format_;
  const std::vector<Variant>& values_;
  size_t next_ = 0;
  WideString out_;
};

}  // namespace

WideString FormatWithValues(std::u16string_view format, const std::vector<Variant>& values) {
  return ValueFormatter(format, values).run();
}
