#include "core/streams/object_text_form.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "core/resources/stream.h"
#include "core/streams/object_binary_stream.h"
#include "core/streams/object_writer.h"
#include "core/streams/object_xml.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendCodePoint(WideString& out, uint32_t code) {
  if (code >= 0x10000) {
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code));
  }
}

}  // namespace

// ---- buffer and lines --------------------------------------------------------------

TParser::TParser(TStream* stream, ErrorProc onError)
    : stream_(stream), onError_(std::move(onError)), buffer_(static_cast<size_t>(kBufferSize) + 1, '\0') {
  // An empty buffer whose cut is at its start: the first skip refills it.
  buffer_[0] = 0;
  advance();
}

TParser::~TParser() {
  const int64_t unread = static_cast<int64_t>(bufEnd_) - static_cast<int64_t>(sourcePtr_);
  if (unread > 0) stream_->Seek(-unread, SeekOrigin::Current);
}

void TParser::readBuffer() {
  origin_ += static_cast<int64_t>(sourcePtr_);
  buffer_[sourceEnd_] = saveChar_;
  const size_t count = bufEnd_ - sourcePtr_;
  if (count != 0 && sourcePtr_ != 0) std::memmove(buffer_.data(), buffer_.data() + sourcePtr_, count);
  bufEnd_ = count;
  const int64_t got = stream_->Read(buffer_.data() + bufEnd_, static_cast<int64_t>(kBufferSize - bufEnd_));
  if (got > 0) bufEnd_ += static_cast<size_t>(got);
  sourcePtr_ = 0;
  sourceEnd_ = bufEnd_;
  if (sourceEnd_ == static_cast<size_t>(kBufferSize)) {
    // Cut at the last line feed so that no token is split across refills.
    size_t cut = sourceEnd_;
    while (cut > 0 && buffer_[cut - 1] != '\n') --cut;
    // A line feed only at the very start leaves no complete line either.
    if (cut <= 1) {
      if (buffer_[0] == '\n') ++line_;  // the report names the long line itself
      error(" parser LineTooLong");
      sourceEnd_ = 0;  // the text ends here
    } else {
      sourceEnd_ = cut - 1;
    }
  }
  saveChar_ = buffer_[sourceEnd_];
  buffer_[sourceEnd_] = 0;
}

void TParser::skipBlanks() {
  for (;;) {
    const char c = buffer_[sourcePtr_];
    if (c == 0) {
      if (ended_ || sourcePtr_ < sourceEnd_) return;  // a NUL within the text ends it too
      readBuffer();
      if (buffer_[sourcePtr_] == 0) {
        ended_ = true;
        return;
      }
      continue;
    }
    if (c == '\n') ++line_;
    if (static_cast<unsigned char>(c) > 32) return;
    ++sourcePtr_;
  }
}

void TParser::error(const std::string& message) {
  ++errorCount_;
  if (onError_ && onError_(message)) return;
  LogError(AnsiToWide("Parse error " + message + std::to_string(line_)));
}

// ---- tokens ---------------------------------------------------------------------------

void TParser::scanString(size_t& p) {
  string_.clear();
  wideString_.clear();
  bool wide = false;
  for (;;) {
    if (at(p) == '#') {
      ++p;
      uint32_t code = 0;
      bool overflow = false;
      while (IsDigit(at(p))) {
        code = code * 10 + static_cast<uint32_t>(at(p) - '0');
        if (code > 0x10FFFF) overflow = true, code = 0x10FFFF;
        ++p;
      }
      if (overflow) error(" parser InvalidString");
      if (code >= 128) wide = true;
      AppendCodePoint(wideString_, code);
      string_.push_back(code < 256 ? static_cast<char>(code) : '?');
    } else if (at(p) == '\'') {
      ++p;
      for (;;) {
        const char c = at(p);
        if (c == 0 || c == '\n' || c == '\r') {
          error(" parser InvalidString");
          break;
        }
        ++p;
        if (c == '\'') {
          if (at(p) != '\'') break;
          ++p;
        }
        string_.push_back(c);
        wideString_ += AnsiToWide(std::string_view(&c, 1));
      }
    } else {
      break;
    }
  }
  token_ = wide ? toWString : toString;
}

int TParser::advance() {
  skipBlanks();
  size_t p = sourcePtr_;
  tokenPtr_ = p;
  floatSuffix_ = 0;
  const char c = at(p);
  if (IsLetter(c)) {
    while (IsLetter(at(p)) || IsDigit(at(p))) ++p;
    token_ = toSymbol;
  } else if (c == '#' || c == '\'') {
    scanString(p);
  } else if (c == '$') {
    ++p;
    while (HexValue(at(p)) >= 0) ++p;
    token_ = toInteger;
  } else if (c == '-' || IsDigit(c)) {
    ++p;
    while (IsDigit(at(p))) ++p;
    token_ = toInteger;
    while (IsDigit(at(p)) || at(p) == '.' || at(p) == 'e' || at(p) == 'E' || at(p) == '+' || at(p) == '-') {
      ++p;
      token_ = toFloat;
    }
    tokenEnd_ = p;
    const char s = static_cast<char>(at(p) & ~0x20);
    if (s == 'S' || s == 'C' || s == 'D') {
      floatSuffix_ = s;
      token_ = toFloat;
      ++p;
    }
    sourcePtr_ = p;
    return token_;
  } else {
    token_ = static_cast<unsigned char>(c);
    if (c != 0) ++p;
  }
  tokenEnd_ = p;
  sourcePtr_ = p;
  return token_;
}

bool TParser::requireKind(int kind) {
  if (token_ == kind) return true;
  switch (kind) {
    case toSymbol: error(" parser IdentifierExpected"); break;
    case toString:
    case toWString: error(" parser StringExpected"); break;
    case toInteger:
    case toFloat: error(" parser NumberExpected"); break;
    default: error("CharExpected"); break;
  }
  return false;
}

bool TParser::isKeyword(std::string_view keyword) const {
  return token_ == toSymbol && SameTextAscii(std::string_view(buffer_.data() + tokenPtr_, tokenEnd_ - tokenPtr_), keyword);
}

bool TParser::requireKeyword(std::string_view keyword) {
  if (isKeyword(keyword)) return true;
  error("SSymbolExpected");
  return false;
}

std::string TParser::currentText() const {
  if (token_ == toString) return string_;
  if (token_ == toWString) return WideToAnsi(wideString_);
  return std::string(buffer_.data() + tokenPtr_, tokenEnd_ - tokenPtr_);
}

WideString TParser::currentWideText() const {
  if (token_ == toWString) return wideString_;
  if (token_ == toString) return AnsiToWide(string_);
  return AnsiToWide(currentText());
}

bool TParser::currentFloat(double& value) const {
  try {
    value = WideStrToFloat(AnsiToWide(std::string(buffer_.data() + tokenPtr_, tokenEnd_ - tokenPtr_)));
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

bool TParser::currentInt64(int64_t& value) const {
  std::string_view text(buffer_.data() + tokenPtr_, tokenEnd_ - tokenPtr_);
  if (!text.empty() && text[0] == '$') {
    text.remove_prefix(1);
    uint64_t bits = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
    value = static_cast<int64_t>(bits);
    return true;
  }
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

std::string TParser::currentDottedName() {
  std::string name = currentText();
  advance();
  while (token_ == '.') {
    advance();
    if (!requireKind(toSymbol)) break;
    // Appended piece by piece: `"." + text` makes GCC 12 at -O3 warn of an
    // overlapping copy inside std::string that cannot happen (-Wrestrict).
    name += '.';
    name += currentText();
    advance();
  }
  return name;
}

std::vector<uint8_t> TParser::readHexBlock() {
  std::vector<uint8_t> bytes;
  bool reported = false;
  for (;;) {
    skipBlanks();
    const char c = at(sourcePtr_);
    if (c == '}') {
      ++sourcePtr_;
      break;
    }
    if (c == 0) {
      if (!reported) error(" parser InvalidBinary");
      break;
    }
    const int high = HexValue(c);
    const int low = HexValue(at(sourcePtr_ + 1));
    if (high >= 0 && low >= 0) {
      bytes.push_back(static_cast<uint8_t>(high * 16 + low));
      sourcePtr_ += 2;
      continue;
    }
    if (!reported) error(" parser InvalidBinary");
    reported = true;
    ++sourcePtr_;
  }
  advance();
  return bytes;
}

// ---- conversion to binary ---------------------------------------------------------------

namespace {

// The conversion gives up on text nested deeper than the reader would
// follow, and on text so broken that further reports say nothing new.
struct NestingTooDeep {};
struct TooManyErrors {};
constexpr int kMaxReportedErrors = 100;

class TextToBinary {
 public:
  TextToBinary(TStream& source, TStream& target) : parser_(&source), out_(&target, kFileFilerBufferSize) {}

  void run() {
    out_.emitSignature();
    try {
      convertObject(0);
    } catch (const NestingTooDeep&) {
      parser_.error(" parser NestingTooDeep");
    } catch (const TooManyErrors&) {
    }
  }

 private:
  bool atObjectKeyword() const {
    return parser_.isKeyword("object") || parser_.isKeyword("inherited") || parser_.isKeyword("inline");
  }
  bool atEnd() const { return parser_.token() == TParser::toEOF; }
  void enter(int depth) const {
    if (depth > kMaxStreamNesting) throw NestingTooDeep{};
    if (parser_.errorCount() > kMaxReportedErrors) throw TooManyErrors{};
  }

  // An identifier, or a report and an empty text (the token stays).
  std::string identifier() {
    if (!parser_.requireKind(TParser::toSymbol)) return {};
    std::string text = parser_.currentText();
    parser_.advance();
    return text;
  }

  // After a bad entry the rest of its line goes with it, so that one
  // mistake gives one report.
  void skipLine() {
    const int line = parser_.lineNumber();
    do {
      parser_.advance();
    } while (!atEnd() && parser_.lineNumber() == line && !parser_.isKeyword("end") && !atObjectKeyword());
  }

  void expectChar(char c) {
    if (parser_.token() == c) {
      parser_.advance();
    } else {
      parser_.error("CharExpected");
    }
  }

  void convertObject(int depth) {
    enter(depth);
    uint8_t flags = 0;
    if (parser_.isKeyword("inherited")) {
      flags = ffInherited;
    } else if (parser_.isKeyword("inline")) {
      flags = ffInline;
    } else if (!parser_.isKeyword("object")) {
      parser_.error("SSymbolExpected");
    }
    if (atObjectKeyword()) parser_.advance();
    std::string name;
    std::string className = identifier();
    if (parser_.token() == ':') {
      parser_.advance();
      name = className;
      className = identifier();
    }
    int32_t position = 0;
    if (parser_.token() == '[') {
      parser_.advance();
      int64_t value = 0;
      if (parser_.token() == TParser::toInteger && parser_.currentInt64(value) && value >= INT32_MIN &&
          value <= INT32_MAX) {
        position = static_cast<int32_t>(value);
        flags |= ffChildPos;
        parser_.advance();
      } else {
        parser_.error(" parser NumberExpected");
      }
      expectChar(']');
    }
    out_.emitPrefix(flags, position);
    out_.emitShortString(className);
    out_.emitShortString(name);
    while (!atEnd() && !parser_.isKeyword("end") && !atObjectKeyword()) convertProperty(depth);
    out_.emitByte(0);
    while (!atEnd() && !parser_.isKeyword("end")) {
      if (atObjectKeyword()) {
        convertObject(depth + 1);
      } else {
        parser_.error("SSymbolExpected");
        skipLine();
      }
    }
    out_.emitByte(0);
    if (parser_.requireKeyword("end")) parser_.advance();
  }

  void convertProperty(int depth) {
    enter(depth);
    if (parser_.token() != TParser::toSymbol) {
      parser_.error(" parser IdentifierExpected");
      skipLine();
      return;
    }
    out_.emitShortString(parser_.currentDottedName());
    expectChar('=');
    convertValue(depth);
  }

  // Writes exactly one value, a null one when the text holds none.
  void convertValue(int depth) {
    enter(depth);
    const int token = parser_.token();
    switch (token) {
      case TParser::toSymbol: out_.emitIdent(parser_.currentDottedName()); return;
      case TParser::toString:
      case TParser::toWString: {
        WideString text = parser_.currentWideText();
        parser_.advance();
        while (parser_.token() == '+') {
          parser_.advance();
          if (parser_.token() != TParser::toString && parser_.token() != TParser::toWString) {
            parser_.error(" parser StringExpected");
            break;
          }
          text += parser_.currentWideText();
          parser_.advance();
        }
        out_.emitWideText(text);
        return;
      }
      case TParser::toInteger: {
        int64_t value;
        if (parser_.currentInt64(value)) {
          out_.emitInt64(value);
        } else {
          parser_.error(" parser NumberExpected");
          out_.emitTag(ValueTag::vaNull);
        }
        parser_.advance();
        return;
      }
      case TParser::toFloat: return convertFloat();
      case '(':
        parser_.advance();
        out_.emitListBegin();
        while (!atEnd() && parser_.token() != ')') {
          // Tag 0 ends a list, so a null inside one is written as nil.
          if (parser_.isKeyword("null")) {
            out_.emitTag(ValueTag::vaNil);
            parser_.advance();
            continue;
          }
          convertValue(depth + 1);
        }
        out_.emitListEnd();
        expectChar(')');
        return;
      case '[': return convertSet();
      case '<': return convertCollection(depth);
      case '{': {
        const std::vector<uint8_t> bytes = parser_.readHexBlock();
        out_.emitBinary(bytes.data(), static_cast<int32_t>(bytes.size()));
        return;
      }
      default:
        parser_.error(" parser InvalidProperty");
        out_.emitTag(ValueTag::vaNull);
        if (!atEnd()) parser_.advance();
        return;
    }
  }

  void convertFloat() {
    double value;
    if (!parser_.currentFloat(value)) {
      parser_.error(" parser NumberExpected");
      out_.emitTag(ValueTag::vaNull);
    } else if (parser_.floatSuffix() == 'C') {
      // The text holds the amount times 10000.
      const double rounded = std::nearbyint(value);
      out_.emitCurrencyRaw(std::fabs(rounded) < 9.2e18 ? static_cast<int64_t>(rounded) : 0);
    } else if (parser_.floatSuffix() == 'D') {
      out_.emitDate(value);
    } else {
      out_.emitSingle(static_cast<float>(value));
    }
    parser_.advance();
  }

  void convertSet() {
    parser_.advance();
    out_.emitTag(ValueTag::vaSet);
    while (!atEnd() && parser_.token() != ']') {
      const int token = parser_.token();
      if (token == TParser::toSymbol) {
        out_.emitShortString(parser_.currentText());
        parser_.advance();
      } else if (token == TParser::toString || token == TParser::toWString) {
        const WideString text = parser_.currentWideText();
        std::string code = "#";  // built by appending, as in currentDottedName
        code += std::to_string(text.empty() ? 0 : static_cast<int>(text[0]));
        out_.emitShortString(code);
        parser_.advance();
      } else if (token != ',') {
        parser_.error(" parser IdentifierExpected");
        parser_.advance();
        continue;
      }
      if (parser_.token() == ',') {
        parser_.advance();
      } else if (parser_.token() != ']') {
        parser_.error("CharExpected");
        if (!atEnd()) parser_.advance();
      }
    }
    out_.emitByte(0);
    expectChar(']');
  }

  void convertCollection(int depth) {
    parser_.advance();
    out_.emitTag(ValueTag::vaCollection);
    while (!atEnd() && parser_.token() != '>') {
      if (!parser_.requireKeyword("item")) {
        parser_.advance();
        continue;
      }
      parser_.advance();
      if (parser_.token() == '[') {
        parser_.advance();
        int64_t index = 0;
        if (parser_.token() == TParser::toInteger && parser_.currentInt64(index)) {
          out_.emitInt64(index);
          parser_.advance();
        } else {
          parser_.error(" parser NumberExpected");
        }
        expectChar(']');
      }
      out_.emitListBegin();
      while (!atEnd() && !parser_.isKeyword("end")) convertProperty(depth + 1);
      out_.emitListEnd();
      if (parser_.requireKeyword("end")) parser_.advance();
    }
    out_.emitListEnd();
    expectChar('>');
  }

  TParser parser_;
  TGWriterCracker out_;
};

}  // namespace

void objectTextToBinary(TStream& source, TStream& target) {
  TextToBinary converter(source, target);
  converter.run();
}

namespace {
// The keyword form begins with a keyword; text whose first character is "<"
// is XML written without its declaration.
bool BeginsWithMarkup(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && text[first] == '<';
}
}  // namespace

void convertTextForm(TStream& source, TStream& target, const WideString& sourceName, SourceLines* lines) {
  char head[256];
  const int64_t got = std::max<int64_t>(0, source.Read(head, sizeof(head)));
  source.Seek(-got, SeekOrigin::Current);
  std::string_view text(head, static_cast<size_t>(got));
  text = text.substr(0, text.find('\0'));
  if (text.substr(0, 10).find("xml") != std::string_view::npos || BeginsWithMarkup(text)) {
    xmlToBinary(source, target, sourceName, lines);
  } else {
    objectTextToBinary(source, target);
  }
}
