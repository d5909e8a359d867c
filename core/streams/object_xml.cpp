#include "core/streams/object_xml.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>

#include "core/objects/class_registry.h"
#include "core/objects/object_collection.h"
#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

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

class XmlToBinary;

// The parser's errors, fatal errors and warnings, with the file when the
// text is named. The context of the parse (or of an entity's text parsed
// within it) carries the conversion the messages belong to.
void ReportParserError(void* context, xmlErrorPtr error);

std::string_view NameOf(const xmlChar* name) {
  return name ? std::string_view(reinterpret_cast<const char*>(name)) : std::string_view();
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


// True when the XML declaration names an encoding other than UTF-8 (UTF-16
// in a text that reaches here is taken as UTF-8 as well), or names one in a
// way this look does not make out.
bool DeclaresOtherEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return false;
  const std::string_view declaration = text.substr(0, text.find("?>"));
  const size_t keyword = declaration.find("encoding");
  if (keyword == std::string_view::npos) return false;
  const size_t open = declaration.find_first_of("\"'", keyword);
  if (open == std::string_view::npos) return true;
  const size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string_view::npos) return true;
  const std::string name = LowerCaseAscii(declaration.substr(open + 1, close - open - 1));
  return name != "utf-8" && name != "utf8" && name != "utf-16" && name != "utf16";
}

// An input that the parser reads where the text lies (the text must end in
// a NUL, as a string's does; NULs within it are the text's own).
xmlParserInputPtr NewInputInPlace(xmlParserCtxt& context, std::string_view text) {
  xmlParserInputPtr input = xmlNewStringInputStream(&context, reinterpret_cast<const xmlChar*>(text.data()));
  if (!input) return nullptr;
  input->length = static_cast<int>(text.size());
  input->end = input->base + text.size();
  return input;
}

// An input on the parser's own copy of the text, which its encoding
// converter can work on.
xmlParserInputPtr NewCopiedInput(xmlParserCtxt& context, std::string_view text) {
  xmlParserInputBufferPtr buffer =
      xmlParserInputBufferCreateMem(text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
  xmlParserInputPtr input = buffer ? xmlNewIOInputStream(&context, buffer, XML_CHAR_ENCODING_NONE) : nullptr;
  if (!input) xmlFreeParserInputBuffer(buffer);
  return input;
}

// An attribute as the parser reports it: the name (with its prefix when the
// prefix is bound to no namespace) and the value's text.
struct XmlAttribute {
  std::string_view name;
  std::string_view value;
};

// Converts the elements the parser reports, as it reports them, into the
// binary image. An element is an object record unless its parent's class has
// a collection property of its name; then its children are the items. The
// image is held until the parse has ended: a text that gives no document
// gives no image, and a text found to be in the code page is read again.
class XmlToBinary {
 public:
  explicit XmlToBinary(const WideString& sourceName) : sourceName_(sourceName) {}

  // Parses the text where it lies; `text` ends in a NUL, as a string's does.
  void parse(const std::string& text) {
    text_ = &text;
    out_.emitSignature();
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) throw EReadError("XML parser not available");
    context_ = context.get();
    listenTo(*context->sax);
    context->_private = this;
    // UTF-8 is read where it lies. Only a document that declares another
    // encoding goes through the parser's converter, which works on a copy.
    std::string_view body(text);
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const bool converted = DeclaresOtherEncoding(body);
    if (converted) body = text;
    xmlParserInputPtr input = converted ? NewCopiedInput(*context, body) : NewInputInPlace(*context, body);
    if (!input) throw EReadError("XML parser not available");
    inputPush(context.get(), input);
    // Read as UTF-8 whatever the first bytes look like, as naming the
    // encoding to xmlCtxtReadMemory does.
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET);
    context->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
    xmlCharEncodingHandlerPtr utf8 = converted ? xmlFindCharEncodingHandler("UTF-8") : nullptr;
    if (utf8) xmlSwitchToEncoding(context.get(), utf8);
    xmlParseDocument(context.get());
    wellFormed_ = context->wellFormed != 0;
    xmlFreeDoc(context->myDoc);  // only the document type and its entities
    context->myDoc = nullptr;
    context_ = nullptr;
  }

  // True when the parser met bytes that are not UTF-8: the text is in the
  // system code page and must be read again converted.
  bool inCodePage() const { return inCodePage_; }

  // Logs what the parse found and hands over the image; EReadError when the
  // text gave no document.
  void finish(TStream& target, SourceLines* lines) {
    for (const auto& [error, message] : parserMessages_) error ? LogError(message) : LogInfo(message);
    if (!wellFormed_ || !rootDone_) throw EReadError("XML document could not be read");
    for (const WideString& message : messages_) LogError(message);
    out_.FlushBuffer();
    const int64_t base = target.Position();
    const std::vector<uint8_t>& image = image_.Bytes();
    target.Write(image.data(), static_cast<int64_t>(image.size()));
    if (!lines) return;
    for (SourceLine& entry : lines_) entry.offset += base;
    lines->insert(lines->end(), lines_.begin(), lines_.end());
  }

  void parserMessage(const xmlError& error, std::string tail) {
    if (error.level == XML_ERR_FATAL && !checkedUtf8_) {
      // A first fatal error may be the parser meeting code-page bytes.
      checkedUtf8_ = true;
      inCodePage_ = !IsValidUtf8(*text_);
    }
    if (!sourceName_.empty() && (error.domain == XML_FROM_PARSER || error.domain == XML_FROM_NAMESPACE)) {
      tail += " in file " + WideToUtf8(sourceName_);
    }
    switch (error.level) {
      case XML_ERR_WARNING: parserMessages_.emplace_back(false, Utf8ToWide("XML Warning: " + tail)); break;
      case XML_ERR_ERROR: parserMessages_.emplace_back(true, Utf8ToWide("XML Parser: " + tail)); break;
      case XML_ERR_FATAL: parserMessages_.emplace_back(true, Utf8ToWide("XML Fatal Parser: " + tail)); break;
      default: break;
    }
  }

 private:
  struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
  };

  // What an open element stands for.
  enum class Role { Object, Collection, Item };
  struct OpenElement {
    Role role;
    const ClassInfo* cls;  // an object's class (nil when unknown), a collection's item class
    int depth;             // an object's nesting
    int line;
    int64_t childrenStart;  // where an object's first child record begins; -1 before one
    int64_t collectionStart;  // where a collection written after children begins; -1 otherwise
  };

  void listenTo(xmlSAXHandler& sax) {
    sax.startElementNs = [](void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, int,
                            const xmlChar**, int attributes, int defaulted, const xmlChar** values) {
      auto* parser = static_cast<xmlParserCtxt*>(context);
      auto* self = static_cast<XmlToBinary*>(parser->_private);
      // Elements in an entity's text are parsed on a context of their own;
      // the document keeps only a reference to the entity there.
      if (parser != self->context_) return;
      self->startElement(self->QualifiedName(localName, prefix, uri), attributes - defaulted, values);
    };
    sax.endElementNs = [](void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
      auto* parser = static_cast<xmlParserCtxt*>(context);
      auto* self = static_cast<XmlToBinary*>(parser->_private);
      if (parser == self->context_) self->endElement();
    };
    // Text, comments and instructions between elements carry nothing.
    sax.characters = nullptr;
    sax.ignorableWhitespace = nullptr;
    sax.cdataBlock = nullptr;
    sax.comment = nullptr;
    sax.processingInstruction = nullptr;
    sax.reference = nullptr;
    sax.serror = ReportParserError;
  }

  // A name with a prefix that is bound to no namespace keeps its prefix.
  std::string_view QualifiedName(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
    if (!prefix || uri) return NameOf(localName);
    qualified_ = std::string(NameOf(prefix)) + ":" + std::string(NameOf(localName));
    return qualified_;
  }

  // The attributes of the element being started, their values as the
  // document gives them: references and entities replaced.
  void collectAttributes(int count, const xmlChar** values) {
    attributes_.clear();
    if (static_cast<int>(storage_.size()) < 2 * count) storage_.resize(static_cast<size_t>(2 * count));
    for (int i = 0; i < count; ++i) {
      const xmlChar** a = values + 5 * i;  // name, prefix, namespace, value, value end
      std::string_view name = NameOf(a[0]);
      if (a[1] && !a[2]) name = storage_[2 * i] = std::string(NameOf(a[1])) + ":" + std::string(name);
      std::string_view value(reinterpret_cast<const char*>(a[3]), static_cast<size_t>(a[4] - a[3]));
      if (value.find('&') != std::string_view::npos) value = storage_[2 * i + 1] = decoded(a[3], a[4]);
      attributes_.push_back({name, value});
    }
  }

  // The parser leaves entity references in a value for the document to
  // resolve; the document's own functions resolve them alike.
  std::string decoded(const xmlChar* value, const xmlChar* end) const {
    xmlDoc* document = context_->myDoc;
    xmlNode* nodes = xmlStringLenGetNodeList(document, value, static_cast<int>(end - value));
    xmlChar* joined = xmlNodeListGetString(document, nodes, 1);
    std::string text = joined ? reinterpret_cast<const char*>(joined) : "";
    xmlFree(joined);
    xmlFreeNodeList(nodes);
    return text;
  }

  int currentLine() const { return context_->input ? context_->input->line : 0; }

  void startElement(std::string_view name, int attributeCount, const xmlChar** values) {
    if (ignored_ > 0) {
      ++ignored_;
      return;
    }
    if (open_.empty()) {
      collectAttributes(attributeCount, values);
      return startObject(name, 0);
    }
    OpenElement& parent = open_.back();
    if (parent.role == Role::Item) {  // nothing nests in an item
      ++ignored_;
      return;
    }
    collectAttributes(attributeCount, values);
    if (parent.role == Role::Collection) return startItem(parent.cls);
    const std::string className = AnsiOf(name);
    const ClassInfo* cls = GetClass(className);
    if (const PropInfo* collection = cls ? nullptr : collectionProperty(parent.cls, className)) {
      return startCollection(parent, *collection, className);
    }
    if (parent.depth >= kMaxStreamNesting) {
      // Deeper objects would not be read; dropping them without a word would
      // leave a game that loads part of its file.
      if (!reportedDepth_) {
        reportedDepth_ = true;
        messages_.push_back(u"Object stream nests too deeply" + where(parent.line));
      }
      ++ignored_;
      return;
    }
    if (parent.childrenStart < 0) parent.childrenStart = out_.position();
    out_.emitByte(0);
    startObject(name, parent.depth + 1, cls, true);
  }

  void endElement() {
    if (ignored_ > 0) {
      --ignored_;
      return;
    }
    const OpenElement element = open_.back();
    open_.pop_back();
    switch (element.role) {
      case Role::Object:
        out_.emitByte(0);
        if (open_.empty()) {
          out_.emitByte(0);
          rootDone_ = true;
        }
        return;
      case Role::Item: out_.emitListEnd(); return;
      case Role::Collection:
        out_.emitListEnd();
        if (element.collectionStart >= 0) moveBeforeChildren(open_.back(), element.collectionStart);
        return;
    }
  }

  void startObject(std::string_view element, int depth, const ClassInfo* known = nullptr, bool looked = false) {
    const int line = currentLine();
    std::string_view name;
    std::string_view type;
    int32_t order = -1;
    const std::string className = AnsiOf(element);
    for (const XmlAttribute& a : attributes_) {
      if (a.name == "name") {
        name = a.value;
      } else if (a.name == "type") {
        type = a.value;
      } else if (a.name == "order") {
        int64_t value;
        if (ParseInteger(a.value, value, INT32_MIN, INT32_MAX)) {
          order = static_cast<int32_t>(value);
        } else {
          messages_.push_back(Utf8ToWide("Invalid property value " + className + ".order=" + std::string(a.value)) +
                              where(line));
        }
      }
    }
    uint8_t flags = 0;
    if (type == "inline") flags |= ffInline;
    if (type == "inherited") flags |= ffInherited;
    if (order >= 0) flags |= ffChildPos;
    markLine(line);
    out_.emitPrefix(flags, order);
    out_.emitShortString(className);
    out_.emitShortString(AnsiOf(name));

    // An element that names no registered class has no properties or
    // collections; the reader puts a stand-in in its place, and its children
    // still follow.
    const ClassInfo* cls = looked ? known : GetClass(className);
    if (cls) {
      for (const XmlAttribute& a : attributes_) writeAttribute(*cls, a.name, a.value, line);
    } else {
      messages_.push_back(u"Class " + AnsiToWide(className) + u" not found." + where(line));
    }
    open_.push_back({Role::Object, cls, depth, line, -1, -1});
  }

  void startCollection(OpenElement& parent, const PropInfo& prop, const std::string& name) {
    const ClassInfo* collectionClass = prop.type.objectClass();
    const ClassInfo* itemClass = collectionClass ? CollectionItemClassOf(*collectionClass) : nullptr;
    // Collections come before the children in the record; one written after
    // a child moves there when it ends.
    const int64_t start = parent.childrenStart >= 0 ? out_.position() : -1;
    // The entry carries the element's own spelling of the property name.
    out_.emitShortString(name);
    out_.emitTag(ValueTag::vaCollection);
    open_.push_back({Role::Collection, itemClass, parent.depth, currentLine(), -1, start});
  }

  void startItem(const ClassInfo* itemClass) {
    const int line = currentLine();
    out_.emitListBegin();
    for (const XmlAttribute& a : attributes_) {
      if (itemClass) {
        writeAttribute(*itemClass, a.name, a.value, line);
      } else {
        messages_.push_back(Utf8ToWide("Property " + std::string(a.name) + " not exists") + where(line));
      }
    }
    open_.push_back({Role::Item, itemClass, 0, line, -1, -1});
  }

  // Moves the collection written from `start` to the end of the image in
  // front of the object's children, and the entries' lines with it.
  void moveBeforeChildren(OpenElement& object, int64_t start) {
    out_.FlushBuffer();
    std::vector<uint8_t>& image = image_.Bytes();
    const int64_t children = object.childrenStart;
    const int64_t end = static_cast<int64_t>(image.size());
    std::rotate(image.begin() + children, image.begin() + start, image.end());
    auto at = [&](int64_t offset) {
      return std::lower_bound(lines_.begin(), lines_.end(), offset,
                              [](const SourceLine& entry, int64_t o) { return entry.offset < o; });
    };
    const auto first = at(children);
    const auto moved = at(start);
    for (auto entry = first; entry != lines_.end(); ++entry) {
      entry->offset += entry < moved ? end - start : children - start;
    }
    std::rotate(first, moved, lines_.end());
    object.childrenStart += end - start;
  }

  // Where in the document a line points, when the document is a named file:
  // " in file main.qxml line 3", the line on which the element's start tag
  // ends (attributes have no lines of their own).
  WideString where(int line) const {
    if (sourceName_.empty()) return WideString();
    return u" in file " + sourceName_ + u" line " + AnsiToWide(std::to_string(line));
  }

  void invalidValue(const ClassInfo& cls, std::string_view attribute, std::string_view value, int line,
                    const std::string& hint = {}) {
    messages_.push_back(Utf8ToWide("Invalid property value " + cls.name() + "." + std::string(attribute) + "=" +
                                   std::string(value) + hint) +
                        where(line));
  }

  // The names an enumeration takes, for the author who wrote another.
  static std::string OneOf(const EnumInfo& names) {
    std::string text;
    for (const std::string& n : names.names()) text += (text.empty() ? " (one of " : ", ") + n;
    return text.empty() ? text : text + ")";
  }

  // The entry about to be written came from `line`.
  void markLine(int line) { lines_.push_back({out_.position(), line}); }

  // The property an attribute names: a published property of the class, or
  // a path of up to three parts through object-typed properties.
  static const PropInfo* findProperty(const ClassInfo& cls, std::string_view attribute, const ClassInfo*& searched) {
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

  void writeAttribute(const ClassInfo& cls, std::string_view attribute, std::string_view value, int line) {
    const ClassInfo* searched = nullptr;
    const PropInfo* prop = findProperty(cls, attribute, searched);
    if (!prop) {
      const std::string owner = searched ? searched->name() + "." : std::string();
      messages_.push_back(Utf8ToWide("Property " + owner + std::string(attribute) + " not exists") + where(line));
      return;
    }
    const std::string name = AnsiOf(attribute);
    // The name goes out only once the value has converted, so a bad value
    // leaves no half-written entry behind.
    switch (prop->kind()) {
      case TypeKind::Integer: {
        int64_t number;
        if (!ParseInteger(value, number, INT32_MIN, INT32_MAX)) return invalidValue(cls, attribute, value, line);
        beginEntry(name, line);
        out_.emitInteger(static_cast<int32_t>(number));
        return;
      }
      case TypeKind::Int64: {
        int64_t number;
        if (!ParseInteger(value, number, INT64_MIN, INT64_MAX)) return invalidValue(cls, attribute, value, line);
        beginEntry(name, line);
        out_.emitInt64(number);
        return;
      }
      case TypeKind::Float: {
        double number;
        if (!ParseFloat(value, number)) return invalidValue(cls, attribute, value, line);
        beginEntry(name, line);
        out_.emitSingle(static_cast<float>(number));
        return;
      }
      case TypeKind::Enumeration:
        // "yes" for a boolean or "centre" for a place would keep the default
        // without a word; the author hears of it here, with the line.
        if (prop->type.enumInfo && prop->type.enumInfo->valueOf(TrimView(value)) < 0) {
          return invalidValue(cls, attribute, value, line, OneOf(*prop->type.enumInfo));
        }
        beginEntry(name, line);
        out_.emitIdent(AnsiOf(TrimView(value)));
        return;
      case TypeKind::Object:
      case TypeKind::Callback:
        beginEntry(name, line);
        out_.emitIdent(AnsiOf(value));
        return;
      case TypeKind::Set: {
        beginEntry(name, line);
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
        beginEntry(name, line);
        writeVariantText(value);
        return;
      case TypeKind::WideText:
      case TypeKind::AnsiText:
        beginEntry(name, line);
        out_.emitUtf8Text(value);
        return;
    }
  }

  void beginEntry(const std::string& name, int line) {
    markLine(line);
    out_.emitShortString(name);
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

  // The collection property a child element that names no class fills, or
  // nil when the element stands for an object.
  static const PropInfo* collectionProperty(const ClassInfo* cls, const std::string& childName) {
    if (!cls) return nullptr;
    const PropInfo* prop = cls->findProperty(childName);
    const ClassInfo* held = prop && prop->kind() == TypeKind::Object ? prop->type.objectClass() : nullptr;
    return held && held->inheritsFrom(TGCollection::staticClassInfo()) ? prop : nullptr;
  }

  WideString sourceName_;
  const std::string* text_ = nullptr;
  xmlParserCtxt* context_ = nullptr;
  TMemoryStream image_;
  TGWriterCracker out_{&image_, kFileFilerBufferSize};
  SourceLines lines_;
  std::vector<OpenElement> open_;
  int ignored_ = 0;  // open elements that carry nothing (inside items, past the bound)
  bool rootDone_ = false;
  bool reportedDepth_ = false;
  bool wellFormed_ = false;
  bool checkedUtf8_ = false;
  bool inCodePage_ = false;
  std::vector<XmlAttribute> attributes_;
  std::vector<std::string> storage_;  // names and values that are not the parser's own text
  std::string qualified_;
  // Held until the parse ends: the parser's messages come first, and the
  // conversion's only when the text gave a document.
  std::vector<std::pair<bool, WideString>> parserMessages_;
  std::vector<WideString> messages_;
};

void ReportParserError(void* context, xmlErrorPtr error) {
  auto* self = context ? static_cast<XmlToBinary*>(static_cast<xmlParserCtxt*>(context)->_private) : nullptr;
  if (!error || !self) return;
  std::string message = error->message ? error->message : "";
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  const std::string place = " line: " + std::to_string(error->line) + " col: " + std::to_string(error->int2);
  self->parserMessage(*error, message + place);
}

std::string RestOf(TStream& source) {
  std::string text;
  const int64_t left = source.Size() - source.Position();
  if (left > 0) {
    text.resize(static_cast<size_t>(left));
    text.resize(static_cast<size_t>(std::max<int64_t>(0, source.Read(text.data(), left))));
  }
  return text;
}

}  // namespace

int SourceLineAt(const SourceLines& lines, int64_t offset) {
  auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                [](int64_t at, const SourceLine& entry) { return at < entry.offset; });
  return after == lines.begin() ? 0 : std::prev(after)->line;
}

void xmlToBinary(TStream& source, TStream& target, const WideString& sourceName, SourceLines* lines) {
  std::string text = RestOf(source);
  if (text.size() > static_cast<size_t>(INT32_MAX)) throw EReadError("XML document too large");

  // The parser's own nesting limit (256) lies below the bound every reader
  // and the writer share; a tree the writer stores must read back.
  if (xmlParserMaxDepth < static_cast<unsigned>(kMaxStreamNesting) + kXmlLevelsAroundObjects) {
    xmlParserMaxDepth = static_cast<unsigned>(kMaxStreamNesting) + kXmlLevelsAroundObjects;
  }
  auto converter = std::make_unique<XmlToBinary>(sourceName);
  converter->parse(text);
  if (converter->inCodePage()) {
    // A document that is not valid UTF-8 is taken as the system code page.
    // Only a parse that failed has the whole text checked.
    text = WideToUtf8(AnsiToWide(text));
    converter = std::make_unique<XmlToBinary>(sourceName);
    converter->parse(text);
  }
  converter->finish(target, lines);
}
