#include "core/object_xml.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

#include "core/class_registry.h"
#include "core/log.h"
#include "core/object_collection.h"
#include "core/object_reader.h"
#include "core/object_writer.h"
#include "core/stream.h"
#include "core/text_helpers.h"

// ---- escaping -------------------------------------------------------------------

namespace {
// Element levels of the XML form beyond the object records: the document
// element and a collection with its items.
constexpr unsigned kXmlLevelsAroundObjects = 8;

void AppendReference(std::string& out, uint32_t code) {
  out += "&#";
  out += std::to_string(code);
  out += ';';
}

// The five characters XML gives meaning to; false for any other.
bool AppendMarkup(std::string& out, uint32_t c) {
  switch (c) {
    case '&': out += "&#38;"; return true;
    case '<': out += "&#60;"; return true;
    case '>': out += "&#62;"; return true;
    case '"': out += "&#34;"; return true;
    case '\'': out += "&#39;"; return true;
    default: return false;
  }
}

// Control characters other than tab, line feed and carriage return cannot
// stand in an XML document at all, not even as references.
bool IsXmlChar(uint32_t c) {
  if (c < 0x20) return c == 9 || c == 10 || c == 13;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

}  // namespace

std::string EscapeXmlAnsiText(std::string_view text) {
  if (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (AppendMarkup(out, c)) continue;
    if (c >= 32 && c <= 128) {
      out.push_back(ch);
      continue;
    }
    // The reference carries the character's own code, which for the code
    // page's 0x81..0x9F differs from the byte.
    const uint32_t code = AnsiToWide(std::string_view(&ch, 1))[0];
    if (IsXmlChar(code)) AppendReference(out, code);
  }
  return out;
}

std::string EscapeXmlText(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (AppendMarkup(out, c)) continue;
    if (c >= 32 && c < 128) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    if (IsXmlChar(c)) AppendReference(out, c);
  }
  return out;
}

// ---- binary to XML ----------------------------------------------------------------

namespace {

constexpr const char* kCrLf = "\r\n";

// Element and attribute names written as they stand must be XML names.
bool IsXmlName(std::string_view name) {
  if (name.empty()) return false;
  auto start = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!start(name[0])) return false;
  for (char c : name) {
    if (!start(c) && !(c >= '0' && c <= '9') && c != '.' && c != '-') return false;
  }
  return true;
}

// Text of a double that reads back to the same double and still reads as a
// floating-point number (never as an integer).
std::string ExactDoubleText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  std::string text(buffer, error == std::errc() ? end : buffer);
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

// Days since 30 December 1899 as "yyyy-mm-dd[ hh:nn:ss] hh:nn:ss": the date
// (with the time unless it is midnight) followed by the time again.
std::string DateTimeText(double days) {
  if (!std::isfinite(days) || std::fabs(days) > 3e6) return ExactDoubleText(days);
  const double whole = std::floor(days);
  int64_t seconds = static_cast<int64_t>(std::llround((days - whole) * 86400.0));
  int64_t dayNumber = static_cast<int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++dayNumber;
  }
  // Civil date from days since 1970-01-01 (25569 days after the base date).
  int64_t z = dayNumber - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  char date[96];
  char time[64];
  std::snprintf(date, sizeof(date), "%04lld-%02lld-%02lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
  std::snprintf(time, sizeof(time), "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  std::string text = date;
  if (seconds != 0) text += std::string(" ") + time;
  return text + " " + time;
}

class BinaryToXml {
 public:
  BinaryToXml(TStream& source, TStream& target) : reader_(&source, kFileFilerBufferSize), out_(&target, kFileFilerBufferSize) {}

  void run() {
    char signature[4];
    reader_.fetchBytes(signature, 4);
    if (std::string_view(signature, 4) != std::string_view(kObjectStreamSignature, 4)) LogInfo(u"Invalid image");
    put(std::string("<?xml version=\"1.0\"?>") + kCrLf);
    writeObject(0);
  }

 private:
  void put(const std::string& text) { out_.emitBytes(text.data(), static_cast<int64_t>(text.size())); }
  static std::string spaces(int n) { return std::string(static_cast<size_t>(n), ' '); }

  // The attribute text of the value at the reader; false when the value has
  // no attribute form (lists, empty wide text).
  bool valueText(std::string& text) {
    const ValueTag tag = reader_.peekTag();
    switch (tag) {
      case ValueTag::vaInt8:
      case ValueTag::vaInt16:
      case ValueTag::vaInt32: text = std::to_string(reader_.fetchInteger()); return true;
      case ValueTag::vaInt64: text = std::to_string(reader_.fetchInt64()); return true;
      case ValueTag::vaExtended:
      case ValueTag::vaSingle: text = WideToAnsi(FloatToWideStr(reader_.fetchFloat())); return true;
      case ValueTag::vaDouble: text = ExactDoubleText(reader_.fetchDouble()); return true;
      case ValueTag::vaCurrency:
        text = WideToAnsi(FloatToWideStr(static_cast<double>(reader_.fetchCurrency()) / 10000.0));
        return true;
      case ValueTag::vaDate: text = DateTimeText(reader_.fetchDate()); return true;
      case ValueTag::vaString:
      case ValueTag::vaLString: text = EscapeXmlAnsiText(reader_.fetchText()); return true;
      case ValueTag::vaWString:
      case ValueTag::vaUtf8String: {
        const WideString wide = reader_.fetchWideText();
        if (wide.empty() && tag == ValueTag::vaWString) return false;
        text = EscapeXmlText(wide);
        return true;
      }
      case ValueTag::vaIdent:
      case ValueTag::vaNull:
      case ValueTag::vaFalse:
      case ValueTag::vaTrue:
      case ValueTag::vaNil: text = EscapeXmlAnsiText(reader_.fetchIdent()); return true;
      case ValueTag::vaBinary: text = hexOfBinary(); return true;
      case ValueTag::vaSet: text = setText(); return true;
      default: reader_.skipValue(); return false;
    }
  }

  std::string hexOfBinary() {
    static const char* digits = "0123456789ABCDEF";
    reader_.fetchTag();
    const int64_t length = reader_.fetchLength();
    std::string text;
    text.reserve(static_cast<size_t>(length) * 2);
    uint8_t chunk[32];
    for (int64_t done = 0; done < length;) {
      const int64_t part = std::min<int64_t>(32, length - done);
      reader_.fetchBytes(chunk, part);
      for (int64_t i = 0; i < part; ++i) {
        text += digits[chunk[i] >> 4];
        text += digits[chunk[i] & 15];
      }
      done += part;
    }
    return text;
  }

  std::string setText() {
    reader_.fetchTag();
    std::string text;
    for (;;) {
      const std::string member = reader_.fetchShortString();
      if (member.empty()) break;
      if (!text.empty()) text += ", ";
      text += EscapeXmlAnsiText(member);
    }
    return text;
  }

  // One simple property line; collections and lists are left for later.
  void writeSimpleProperty(const std::string& name, int indent, std::vector<std::string>& written) {
    std::string text;
    const bool duplicate = std::find(written.begin(), written.end(), name) != written.end();
    if (!valueText(text) || !IsXmlName(name) || duplicate) return;
    written.push_back(name);
    put(spaces(indent) + " " + name + "=\"" + text + "\"" + kCrLf);
  }

  void writeCollection(const std::string& name, int depth) {
    reader_.fetchTag();
    const bool named = IsXmlName(name);
    if (named) put(spaces(2 * (depth + 1)) + "<" + name + ">" + kCrLf);
    while (!reader_.endOfList()) {
      if (IsIntegerTag(reader_.peekTag())) reader_.fetchInteger();
      reader_.expectTag(ValueTag::vaList);
      if (named) put(spaces(2 * (depth + 2)) + "<item" + kCrLf);
      std::vector<std::string> written;
      while (!reader_.endOfList()) {
        const std::string property = reader_.fetchShortString();
        // Collections inside items have no place in the layout.
        if (reader_.peekTag() == ValueTag::vaCollection || !named) {
          reader_.skipValue();
          continue;
        }
        writeSimpleProperty(property, 2 * (depth + 2), written);
      }
      reader_.fetchTag();
      if (named) put(spaces(2 * (depth + 2)) + "/>" + kCrLf);
    }
    reader_.fetchTag();
    if (named) put(spaces(2 * (depth + 1)) + "</" + name + ">" + kCrLf);
  }

  static bool IsIntegerTag(ValueTag t) {
    return t == ValueTag::vaInt8 || t == ValueTag::vaInt16 || t == ValueTag::vaInt32;
  }

  void writeObject(int depth) {
    if (depth > kMaxStreamNesting) {
      LogInfo(u"Read error");
      throw EReadAborted("Object stream nests too deeply");
    }
    uint8_t flags;
    int32_t position;
    reader_.fetchPrefix(flags, position);
    const std::string className = reader_.fetchShortString();
    const std::string name = reader_.fetchShortString();
    if (!IsXmlName(className)) {
      // No element can carry this class name; the record cannot be written.
      LogInfo(u"Read error");
      reader_.skipObject(false);
      return;
    }
    std::vector<std::string> written;
    put(spaces(2 * depth) + "<" + className + " ");
    if (!name.empty()) {
      put(kCrLf + spaces(2 * depth) + "   name=\"" + EscapeXmlAnsiText(name) + "\"" + kCrLf);
      written.push_back("name");
    }
    if (flags & ffChildPos) {
      put(" order=\"" + std::to_string(position) + "\"");
      written.push_back("order");
    }
    const int64_t entries = reader_.position();
    while (!reader_.endOfList()) {
      const std::string property = reader_.fetchShortString();
      const bool skip = reader_.peekTag() == ValueTag::vaCollection || (!name.empty() && SameTextAscii(property, "name"));
      if (skip) {
        reader_.skipValue();
        continue;
      }
      writeSimpleProperty(property, 2 * (depth + 1), written);
    }
    put(spaces(2 * (depth + 1)) + ">" + kCrLf);
    reader_.setPosition(entries);
    while (!reader_.endOfList()) {
      const std::string property = reader_.fetchShortString();
      if (reader_.peekTag() == ValueTag::vaCollection) {
        writeCollection(property, depth);
      } else {
        reader_.skipValue();
      }
    }
    reader_.fetchTag();
    while (!reader_.endOfList()) writeObject(depth + 1);
    reader_.fetchTag();
    put(spaces(2 * depth) + "</" + className + ">" + kCrLf);
  }

  TGReader reader_;
  TGWriter out_;
};

}  // namespace

bool binaryToXml(TStream& source, TStream& target) {
  try {
    BinaryToXml converter(source, target);
    converter.run();
    return true;
  } catch (const EReadAborted&) {
    return false;
  }
}

// ---- XML to binary ----------------------------------------------------------------

namespace {

void ReportParserError(void*, xmlErrorPtr error) {
  if (!error) return;
  std::string message = error->message ? error->message : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  std::string tail = message + " line: " + std::to_string(error->line) + " col: " + std::to_string(error->int2);
  // The parser's context carries the name of the file it reads, when it has one.
  const bool fromParser = error->domain == XML_FROM_PARSER || error->domain == XML_FROM_NAMESPACE;
  const auto* context = fromParser ? static_cast<const xmlParserCtxt*>(error->ctxt) : nullptr;
  const auto* sourceName = context ? static_cast<const WideString*>(context->_private) : nullptr;
  if (sourceName && !sourceName->empty()) tail += " in file " + WideToUtf8(*sourceName);
  switch (error->level) {
    case XML_ERR_WARNING: LogInfo(Utf8ToWide("XML Warning: " + tail)); break;
    case XML_ERR_ERROR: LogError(Utf8ToWide("XML Parser: " + tail)); break;
    case XML_ERR_FATAL: LogError(Utf8ToWide("XML Fatal Parser: " + tail)); break;
    default: break;
  }
}

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

std::string_view NameOf(const xmlChar* name) {
  return name ? std::string_view(reinterpret_cast<const char*>(name)) : std::string_view();
}

// An attribute's value as UTF-8 text: a view of the document's own text in
// the common case of a single text node, else the joined text in `storage`.
std::string_view AttributeValue(xmlAttr* attribute, std::string& storage) {
  xmlNode* first = attribute->children;
  if (!first) return {};
  if (first->type == XML_TEXT_NODE && !first->next && first->content) {
    return reinterpret_cast<const char*>(first->content);
  }
  xmlChar* joined = xmlNodeListGetString(attribute->doc, first, 1);
  storage = joined ? reinterpret_cast<const char*>(joined) : "";
  xmlFree(joined);
  return storage;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// A number as WideStrToFloat takes it ("." as separator, blanks around, an
// optional "+"), without the detour through wide text.
bool ParseFloat(std::string_view text, double& value) {
  std::string_view t = TrimView(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  return error == std::errc() && end == t.data() + t.size();
}

// 8-bit (system code page) text of a UTF-8 name from the document.
std::string AnsiOf(std::string_view utf8) {
  for (char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) return WideToAnsi(Utf8ToWide(utf8));
  }
  return std::string(utf8);
}

// Integer text as the decimal conversion takes it: blanks around, a sign,
// decimal digits, or "$" / "0x" and hexadecimal digits.
bool ParseInteger(std::string_view text, int64_t& value, int64_t low, int64_t high) {
  std::string_view t = TrimView(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (!t.empty() && t[0] == '$') {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty()) return false;
  uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
  if (error != std::errc() || end != t.data() + t.size()) return false;
  if (base == 16 && !negative && high == INT32_MAX && magnitude <= UINT32_MAX) {
    value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));  // "$FFFFFFFF" is -1
    return true;
  }
  if (negative) {
    if (magnitude > static_cast<uint64_t>(-(low + 1)) + 1) return false;
    value = static_cast<int64_t>(0 - magnitude);
  } else {
    if (magnitude > static_cast<uint64_t>(high)) return false;
    value = static_cast<int64_t>(magnitude);
  }
  return true;
}

class XmlToBinary {
 public:
  XmlToBinary(TStream& target, const WideString& sourceName, SourceLines* lines)
      : out_(&target, kFileFilerBufferSize), sourceName_(sourceName), lines_(lines) {}

  void run(xmlNode* documentElement) {
    out_.emitSignature();
    writeElement(documentElement, 0);
    out_.emitByte(0);
    out_.emitByte(0);
  }

 private:
  // Where in the document a line points, when the document is a named file:
  // " in file main.qxml line 3", the line on which the element's start tag
  // ends (attributes have no lines of their own).
  WideString where(const xmlNode* node) const {
    if (sourceName_.empty() || !node) return WideString();
    return u" in file " + sourceName_ + u" line " + AnsiToWide(std::to_string(xmlGetLineNo(node)));
  }

  void invalidValue(const ClassInfo& cls, std::string_view attribute, std::string_view value, const xmlNode* at,
                    const std::string& hint = {}) {
    LogError(Utf8ToWide("Invalid property value " + cls.name() + "." + std::string(attribute) + "=" +
                        std::string(value) + hint) +
             where(at));
  }

  // The names an enumeration takes, for the author who wrote another.
  static std::string OneOf(const EnumInfo& names) {
    std::string text;
    for (const std::string& n : names.names()) text += (text.empty() ? " (one of " : ", ") + n;
    return text.empty() ? text : text + ")";
  }

  // The entry about to be written came from the line of `node`.
  void markLine(const xmlNode* node) {
    if (lines_ && node) lines_->push_back({out_.position(), static_cast<int>(xmlGetLineNo(node))});
  }

  // The property an attribute names: a published property of the class, or
  // a path of up to three parts through object-typed properties.
  const PropInfo* findProperty(const ClassInfo& cls, std::string_view attribute, const ClassInfo*& searched) {
    searched = &cls;
    size_t start = 0;
    for (int part = 0; part < 3; ++part) {
      const size_t dot = attribute.find('.', start);
      if (dot == std::string_view::npos || part == 2) {
        return searched->findProperty(attribute.substr(start));
      }
      const PropInfo* step = searched->findProperty(attribute.substr(start, dot - start));
      searched = step && step->kind() == TypeKind::Object ? step->type.objectClass() : nullptr;
      if (!searched) return nullptr;
      start = dot + 1;
    }
    return nullptr;
  }

  void writeAttribute(const ClassInfo& cls, std::string_view attribute, std::string_view value, const xmlNode* at) {
    const ClassInfo* searched = nullptr;
    const PropInfo* prop = findProperty(cls, attribute, searched);
    if (!prop) {
      if (searched) {
        LogError(Utf8ToWide("Property " + searched->name() + "." + std::string(attribute) + " not exists") + where(at));
      } else {
        LogError(Utf8ToWide("Property " + std::string(attribute) + " not exists") + where(at));
      }
      return;
    }
    const std::string name = AnsiOf(attribute);
    // The name goes out only once the value has converted, so a bad value
    // leaves no half-written entry behind.
    switch (prop->kind()) {
      case TypeKind::Integer: {
        int64_t number;
        if (!ParseInteger(value, number, INT32_MIN, INT32_MAX)) return invalidValue(cls, attribute, value, at);
        markLine(at);
        out_.emitShortString(name);
        out_.emitInteger(static_cast<int32_t>(number));
        return;
      }
      case TypeKind::Int64: {
        int64_t number;
        if (!ParseInteger(value, number, INT64_MIN, INT64_MAX)) return invalidValue(cls, attribute, value, at);
        markLine(at);
        out_.emitShortString(name);
        out_.emitInt64(number);
        return;
      }
      case TypeKind::Float: {
        double number;
        if (!ParseFloat(value, number)) return invalidValue(cls, attribute, value, at);
        markLine(at);
        out_.emitShortString(name);
        out_.emitSingle(static_cast<float>(number));
        return;
      }
      case TypeKind::Enumeration:
        // "yes" for a boolean or "centre" for a place would keep the default
        // without a word; the author hears of it here, with the line.
        if (prop->type.enumInfo && prop->type.enumInfo->valueOf(TrimView(value)) < 0) {
          return invalidValue(cls, attribute, value, at, OneOf(*prop->type.enumInfo));
        }
        markLine(at);
        out_.emitShortString(name);
        out_.emitIdent(AnsiOf(TrimView(value)));
        return;
      case TypeKind::Object:
      case TypeKind::Callback:
        markLine(at);
        out_.emitShortString(name);
        out_.emitIdent(AnsiOf(value));
        return;
      case TypeKind::Set: {
        markLine(at);
        out_.emitShortString(name);
        out_.emitTag(ValueTag::vaSet);
        std::string members(TrimView(value));
        while (!members.empty()) {
          const std::string member = ExtractToken(members, ",");
          // An empty name would end the set early.
          if (!member.empty()) out_.emitShortString(AnsiOf(member));
        }
        out_.emitByte(0);
        return;
      }
      case TypeKind::Variant:
        markLine(at);
        out_.emitShortString(name);
        writeVariantText(value);
        return;
      case TypeKind::WideText:
      case TypeKind::AnsiText:
        markLine(at);
        out_.emitShortString(name);
        out_.emitUtf8Text(value);
        return;
    }
  }

  // A variant's text gives back the kind of value it was written from:
  // integers, floating-point numbers and the identifiers Null, False, True.
  void writeVariantText(std::string_view value) {
    int64_t number;
    if (ParseInteger(value, number, INT64_MIN, INT64_MAX) && value.find_first_of("$xX") == std::string_view::npos) {
      return out_.emitInt64(number);
    }
    double real;
    const bool looksReal =
        value.find_first_of(".eE") != std::string_view::npos || value == "NAN" || value == "INF" || value == "-INF";
    if (looksReal && ParseFloat(value, real)) return out_.emitDouble(real);
    if (value == "Null" || value == "False" || value == "True") return out_.emitIdent(value);
    out_.emitUtf8Text(value);
  }

  void writeCollection(const PropInfo& prop, xmlNode* element) {
    // The entry carries the element's own spelling of the property name.
    const ClassInfo* collectionClass = prop.type.objectClass();
    const ClassInfo* itemClass = collectionClass ? CollectionItemClassOf(*collectionClass) : nullptr;
    out_.emitShortString(AnsiOf(NameOf(element->name)));
    out_.emitTag(ValueTag::vaCollection);
    for (xmlNode* item = element->children; item; item = item->next) {
      if (item->type != XML_ELEMENT_NODE) continue;
      out_.emitListBegin();
      for (xmlAttr* a = item->properties; a; a = a->next) {
        if (itemClass) {
          writeAttribute(*itemClass, NameOf(a->name), AttributeValue(a, storage_), item);
        } else {
          LogError(Utf8ToWide("Property " + std::string(NameOf(a->name)) + " not exists") + where(item));
        }
      }
      out_.emitListEnd();
    }
    out_.emitListEnd();
  }

  void writeElement(xmlNode* element, int depth) {
    std::string name;
    std::string type;
    int32_t order = -1;
    const std::string className = AnsiOf(NameOf(element->name));
    for (xmlAttr* a = element->properties; a; a = a->next) {
      const std::string_view attribute = NameOf(a->name);
      if (attribute == "name") {
        name = AttributeValue(a, storage_);
      } else if (attribute == "type") {
        type = AttributeValue(a, storage_);
      } else if (attribute == "order") {
        int64_t value;
        const std::string_view text = AttributeValue(a, storage_);
        if (ParseInteger(text, value, INT32_MIN, INT32_MAX)) {
          order = static_cast<int32_t>(value);
        } else {
          LogError(Utf8ToWide("Invalid property value " + className + ".order=" + std::string(text)) + where(element));
        }
      }
    }
    uint8_t flags = 0;
    if (type == "inline") flags |= ffInline;
    if (type == "inherited") flags |= ffInherited;
    if (order >= 0) flags |= ffChildPos;
    markLine(element);
    out_.emitPrefix(flags, order);
    out_.emitShortString(className);
    out_.emitShortString(AnsiOf(name));

    // An element that names no registered class has no properties or
    // collections; the reader puts a stand-in in its place, and its children
    // still follow.
    const ClassInfo* cls = GetClass(className);
    if (cls) {
      for (xmlAttr* a = element->properties; a; a = a->next) {
        writeAttribute(*cls, NameOf(a->name), AttributeValue(a, storage_), element);
      }
      for (xmlNode* child = element->children; child; child = child->next) {
        if (const PropInfo* prop = collectionProperty(cls, child)) writeCollection(*prop, child);
      }
    } else {
      LogError(u"Class " + AnsiToWide(className) + u" not found." + where(element));
    }
    if (depth >= kMaxStreamNesting) {
      // Deeper objects would not be read; dropping them without a word would
      // leave a game that loads part of its file.
      if (hasObjectChildren(cls, element) && !reportedDepth_) {
        reportedDepth_ = true;
        LogError(u"Object stream nests too deeply" + where(element));
      }
      return;
    }
    for (xmlNode* child = element->children; child; child = child->next) {
      if (child->type != XML_ELEMENT_NODE || collectionProperty(cls, child)) continue;
      out_.emitByte(0);
      writeElement(child, depth + 1);
      out_.emitByte(0);
    }
  }

  static bool hasObjectChildren(const ClassInfo* cls, xmlNode* element) {
    for (xmlNode* child = element->children; child; child = child->next) {
      if (child->type == XML_ELEMENT_NODE && !collectionProperty(cls, child)) return true;
    }
    return false;
  }

  // The collection property a child element fills, or nil when the element
  // stands for an object.
  static const PropInfo* collectionProperty(const ClassInfo* cls, xmlNode* child) {
    if (!cls || child->type != XML_ELEMENT_NODE) return nullptr;
    const std::string childName = AnsiOf(NameOf(child->name));
    if (GetClass(childName)) return nullptr;
    const PropInfo* prop = cls->findProperty(childName);
    const ClassInfo* held = prop && prop->kind() == TypeKind::Object ? prop->type.objectClass() : nullptr;
    return held && held->inheritsFrom(TGCollection::staticClassInfo()) ? prop : nullptr;
  }

  TGWriterCracker out_;
  WideString sourceName_;
  SourceLines* lines_ = nullptr;
  bool reportedDepth_ = false;
  std::string storage_;  // attribute text that is not a single text node
};

}  // namespace

int SourceLineAt(const SourceLines& lines, int64_t offset) {
  auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                [](int64_t at, const SourceLine& entry) { return at < entry.offset; });
  return after == lines.begin() ? 0 : std::prev(after)->line;
}

void xmlToBinary(TStream& source, TStream& target, const WideString& sourceName, SourceLines* lines) {
  std::string text;
  const int64_t left = source.Size() - source.Position();
  if (left > 0) {
    text.resize(static_cast<size_t>(left));
    text.resize(static_cast<size_t>(std::max<int64_t>(0, source.Read(text.data(), left))));
  }
  // A document that is not valid UTF-8 is taken as the system code page.
  if (!IsValidUtf8(text)) text = WideToUtf8(AnsiToWide(text));
  if (text.size() > static_cast<size_t>(INT32_MAX)) throw EReadError("XML document too large");

  // The parser's own nesting limit (256) lies below the bound every reader
  // and the writer share; a tree the writer stores must read back.
  if (xmlParserMaxDepth < static_cast<unsigned>(kMaxStreamNesting) + kXmlLevelsAroundObjects) {
    xmlParserMaxDepth = static_cast<unsigned>(kMaxStreamNesting) + kXmlLevelsAroundObjects;
  }
  std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
  if (!context) throw EReadError("XML parser not available");
  context->sax->serror = ReportParserError;
  context->_private = const_cast<WideString*>(&sourceName);
  std::unique_ptr<xmlDoc, DocFree> document(xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()),
                                                               nullptr, "UTF-8", XML_PARSE_NONET));
  xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
  if (!root) throw EReadError("XML document could not be read");
  XmlToBinary converter(target, sourceName, lines);
  converter.run(root);
}
