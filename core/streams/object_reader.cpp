#include "core/streams/object_reader.h"

#include <cxxabi.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <typeinfo>

#include "core/objects/class_registry.h"
#include "core/objects/component.h"
#include "core/objects/object_collection.h"
#include "core/resources/resource_request.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"

namespace {

// ---- process-wide state ---------------------------------------------------------

// References into other roots, waiting for those roots to exist.
std::vector<TPropFixup>& GlobalFixups() {
  static std::vector<TPropFixup> list;
  return list;
}

// The loaded list of the outermost read in progress: reads nested inside it
// (an object that loads its own file while it is read) add their objects to
// it, and the outermost read calls their loaded hooks at its end.
std::vector<TGComponent*>* gSharedLoaded = nullptr;

void LogInvalidValue() { LogInfo(u"invalid property value"); }

// Says which member of a set was not understood and how a set is written
// ("osTick, osScriptable", not in brackets), with the names of the set's own type.
void LogSetForm(const PropInfo& prop, const std::string& member) {
  std::string example;
  const EnumInfo* names = prop.type.enumInfo;
  for (int i = 0; names && i < names->count() && i < 2; ++i) example += (i ? ", " : "") + names->nameOf(i);
  LogInfo(AnsiToWide(prop.name + ": \"" + member + "\" is not a member; write a set as \"" + example + "\""));
}

std::string StreamClassName(TStream* stream) {
  const char* mangled = typeid(*stream).name();
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = (status == 0 && plain) ? plain : mangled;
  std::free(plain);
  return name;
}

bool IsSubComponent(TObject* value) {
  auto* component = dynamic_cast<TGComponent*>(value);
  return component && (component->componentStyle() & csSubComponent);
}

// True when `candidate` is `doomed` or is freed with it (owned by it, or a
// child of it, at any depth).
bool DiesWith(TObject* candidate, TGComponent* doomed) {
  auto* c = dynamic_cast<TGComponent*>(candidate);
  if (!c) return false;
  int guard = 0;
  for (TGComponent* o = c; o && guard < 100000; o = o->GetOwner(), ++guard) {
    if (o == doomed) return true;
  }
  guard = 0;
  for (TGComponent* p = c; p && guard < 100000; p = p->GetParentComponent(), ++guard) {
    if (p == doomed) return true;
  }
  return false;
}

// Splits a reference path at ".", "->" and "-".
std::vector<std::string> SplitReferencePath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '.' || c == '-') {
      parts.push_back(part);
      part.clear();
      if (c == '-' && i + 1 < path.size() && path[i + 1] == '>') ++i;
    } else {
      part.push_back(c);
    }
  }
  parts.push_back(part);
  return parts;
}

// The object a path names, starting from `root`: each part names an object
// owned by the current one; "Owner" names the current one when nothing owned
// bears that name.
TObject* ResolveFrom(TGComponent* root, const std::string& path) {
  TGComponent* current = root;
  if (!current) return nullptr;
  for (const std::string& part : SplitReferencePath(path)) {
    TGComponent* next = current->FindComponent(AnsiToWide(part));
    if (!next && SameTextAscii(part, "Owner")) next = current;
    if (!next) return nullptr;
    current = next;
  }
  return current;
}

void SetReference(const TPropFixup& fixup, TObject* target) {
  SetObjectProp(fixup.instance, *fixup.property, target);
}

// Converts an 80-bit extended value (64-bit mantissa with explicit integer
// bit, 15-bit exponent, sign) to a double.
double ExtendedToDouble(const uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
  const int signExp = bytes[8] | (bytes[9] << 8);
  const bool negative = signExp & 0x8000;
  const int exponent = signExp & 0x7FFF;
  double value;
  if (exponent == 0 && mantissa == 0) {
    value = 0.0;
  } else if (exponent == 0x7FFF) {
    value = (mantissa << 1) == 0 ? INFINITY : NAN;
  } else {
    value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -value : value;
}

int64_t ReadLittleEndian(const uint8_t* bytes, int size) {
  uint64_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | bytes[i];
  // Sign-extend from the value's own width.
  if (size < 8 && (v & (uint64_t{1} << (size * 8 - 1)))) v |= ~uint64_t{0} << (size * 8);
  return static_cast<int64_t>(v);
}

bool IsIntegerTag(ValueTag t) {
  return t == ValueTag::vaInt8 || t == ValueTag::vaInt16 || t == ValueTag::vaInt32;
}

}  // namespace

// ---- nesting ----------------------------------------------------------------------

class TGReader::DepthGuard {
 public:
  explicit DepthGuard(TGReader* reader) : reader_(reader) {
    if (++reader_->depth_ > kMaxStreamNesting) {
      --reader_->depth_;
      LogInfo(u"Read error");
      throw EReadAborted("Object stream nests too deeply");
    }
  }
  ~DepthGuard() { --reader_->depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  TGReader* reader_;
};

// ---- buffering ----------------------------------------------------------------------

TGReader::TGReader(TStream* stream, int bufferSize) : TGFiler(stream, bufferSize), window_(buffer_.data()) {
  streamBase_ = stream_->Position();
}

TGReader::~TGReader() {
  if (bufferEnd_ > bufferPos_) stream_->Seek(bufferPos_ - bufferEnd_, SeekOrigin::Current);
}

void TGReader::fillBuffer() {
  if (attachMemory()) return;
  window_ = buffer_.data();
  streamBase_ += bufferEnd_;
  bufferPos_ = 0;
  bufferEnd_ = 0;
  const int64_t got = stream_->Read(buffer_.data(), bufferSize_);
  bufferEnd_ = got > 0 ? static_cast<int>(got) : 0;
  if (bufferEnd_ == 0) streamEnded();
}

bool TGReader::attachMemory() {
  // A stream in memory is read where it lies, not copied buffer by buffer.
  // The stream stands at its end meanwhile, as if all of it were buffered.
  const uint8_t* memory = stream_->MemoryView();
  const int64_t size = stream_->Size();
  if (!memory || size > std::numeric_limits<int>::max()) return false;
  const int64_t at = stream_->Position();
  if (at >= size) streamEnded();
  window_ = memory;
  streamBase_ = 0;
  bufferPos_ = static_cast<int>(at);
  bufferEnd_ = static_cast<int>(size);
  stream_->Seek(0, SeekOrigin::End);
  return true;
}

void TGReader::streamEnded() {
  const std::string text = "ReadError 2 " + std::to_string(bufferSize_) + StreamClassName(stream_) +
                           " size: " + std::to_string(stream_->Size()) +
                           " pos: " + std::to_string(stream_->Position());
  LogError(AnsiToWide(text));
  throw EReadAborted(text);
}

void TGReader::readBytesAcross(void* target, int64_t size) {
  auto* out = static_cast<uint8_t*>(target);
  while (size > 0) {
    if (bufferPos_ == bufferEnd_) fillBuffer();
    const int64_t part = std::min<int64_t>(size, bufferEnd_ - bufferPos_);
    std::memcpy(out, window_ + bufferPos_, static_cast<size_t>(part));
    bufferPos_ += static_cast<int>(part);
    out += part;
    size -= part;
  }
}

void TGReader::skipBytes(int64_t size) {
  while (size > 0) {
    if (bufferPos_ == bufferEnd_) fillBuffer();
    const int64_t part = std::min<int64_t>(size, bufferEnd_ - bufferPos_);
    bufferPos_ += static_cast<int>(part);
    size -= part;
  }
}

int64_t TGReader::position() const { return streamBase_ + bufferPos_; }

void TGReader::setPosition(int64_t position) {
  if (position >= streamBase_ && position <= streamBase_ + bufferEnd_) {
    bufferPos_ = static_cast<int>(position - streamBase_);
    return;
  }
  streamBase_ = stream_->Seek(position, SeekOrigin::Begin);
  bufferPos_ = bufferEnd_ = 0;
}

void TGReader::FlushBuffer() {
  const int64_t logical = position();
  streamBase_ = stream_->Seek(logical, SeekOrigin::Begin);
  bufferPos_ = bufferEnd_ = 0;
}

int64_t TGReader::bytesLeft() const { return std::max<int64_t>(0, stream_->Size() - position()); }

int32_t TGReader::fetchInt32Raw() {
  uint8_t b[4];
  readBytes(b, 4);
  return static_cast<int32_t>(ReadLittleEndian(b, 4));
}

int64_t TGReader::fetchLength() {
  const int64_t length = fetchInt32Raw();
  // A length beyond what the stream still holds can never be satisfied.
  if (length < 0 || length > bytesLeft()) streamEnded();
  return length;
}

// ---- tags and simple values --------------------------------------------------------------

ValueTag TGReader::peekTag() {
  if (bufferPos_ == bufferEnd_) fillBuffer();
  return static_cast<ValueTag>(window_[bufferPos_]);
}

ValueTag TGReader::fetchTag() {
  uint8_t b;
  readBytes(&b, 1);
  return static_cast<ValueTag>(b);
}

void TGReader::expectTag(ValueTag expected) {
  const ValueTag got = peekTag();
  if (got == expected) {
    ++bufferPos_;
    return;
  }
  skipValue();
  LogInvalidValue();
}

std::string TGReader::fetchShortString() {
  uint8_t length;
  readBytes(&length, 1);
  std::string text(length, '\0');
  readBytes(text.data(), length);
  return text;
}

std::string_view TGReader::fetchShortString(ShortText& scratch) {
  uint8_t length;
  readBytes(&length, 1);
  readBytes(scratch.data(), length);
  scratch[length] = '\0';  // so that the name also serves as a C string
  return std::string_view(scratch.data(), length);
}

void TGReader::fetchPrefix(uint8_t& flags, int32_t& position) {
  flags = 0;
  position = 0;
  const auto first = static_cast<uint8_t>(peekTag());
  if ((first & 0xF0) != kPrefixMark) return;
  ++bufferPos_;
  flags = first & 0x0F;
  if (flags & ffChildPos) position = fetchInteger();
}

bool TGReader::fetchIntegerPayload(ValueTag tag, int64_t& value) {
  uint8_t b[8];
  int size;
  switch (tag) {
    case ValueTag::vaInt8: size = 1; break;
    case ValueTag::vaInt16: size = 2; break;
    case ValueTag::vaInt32: size = 4; break;
    case ValueTag::vaInt64: size = 8; break;
    default: return false;
  }
  readBytes(b, size);
  value = ReadLittleEndian(b, size);
  return true;
}

int32_t TGReader::fetchInteger() {
  const ValueTag tag = fetchTag();
  if (!IsIntegerTag(tag)) {
    skipValueOfTag(tag);
    LogInvalidValue();
    return 0;
  }
  int64_t value = 0;
  fetchIntegerPayload(tag, value);
  return static_cast<int32_t>(value);
}

int64_t TGReader::fetchInt64() {
  const ValueTag tag = fetchTag();
  int64_t value = 0;
  if (!fetchIntegerPayload(tag, value)) {
    skipValueOfTag(tag);
    LogInvalidValue();
    return 0;
  }
  return value;
}

bool TGReader::fetchNumber(double& value) {
  const ValueTag tag = fetchTag();
  uint8_t b[10];
  int64_t whole = 0;
  switch (tag) {
    case ValueTag::vaExtended:
      readBytes(b, 10);
      value = ExtendedToDouble(b);
      return true;
    case ValueTag::vaSingle: {
      readBytes(b, 4);
      const auto bits = static_cast<uint32_t>(ReadLittleEndian(b, 4));
      float f;
      std::memcpy(&f, &bits, 4);
      value = f;
      return true;
    }
    case ValueTag::vaDouble:
    case ValueTag::vaDate: {
      readBytes(b, 8);
      const auto bits = static_cast<uint64_t>(ReadLittleEndian(b, 8));
      std::memcpy(&value, &bits, 8);
      return true;
    }
    case ValueTag::vaCurrency:
      readBytes(b, 8);
      value = static_cast<double>(ReadLittleEndian(b, 8)) / 10000.0;
      return true;
    default:
      if (fetchIntegerPayload(tag, whole)) {
        value = static_cast<double>(whole);
        return true;
      }
      skipValueOfTag(tag);
      LogInvalidValue();
      value = 0;
      return false;
  }
}

double TGReader::fetchFloat() {
  double value = 0;
  fetchNumber(value);
  return value;
}

float TGReader::fetchSingle() { return static_cast<float>(fetchFloat()); }
double TGReader::fetchDouble() { return fetchFloat(); }
double TGReader::fetchDate() { return fetchFloat(); }

int64_t TGReader::fetchCurrency() {
  if (peekTag() == ValueTag::vaCurrency) {
    ++bufferPos_;
    uint8_t b[8];
    readBytes(b, 8);
    return ReadLittleEndian(b, 8);
  }
  const ValueTag tag = peekTag();
  if (tag == ValueTag::vaSingle || tag == ValueTag::vaDouble || tag == ValueTag::vaExtended ||
      tag == ValueTag::vaDate) {
    return static_cast<int64_t>(std::nearbyint(fetchFloat() * 10000.0));
  }
  return fetchInt64() * 10000;
}

bool TGReader::fetchIdentValue(std::string& ident) {
  const ValueTag tag = fetchTag();
  switch (tag) {
    case ValueTag::vaNull: ident = "Null"; return true;
    case ValueTag::vaIdent: ident = fetchShortString(); return true;
    case ValueTag::vaFalse: ident = "False"; return true;
    case ValueTag::vaTrue: ident = "True"; return true;
    case ValueTag::vaNil: ident = "nil"; return true;
    default:
      skipValueOfTag(tag);
      LogInvalidValue();
      ident.clear();
      return false;
  }
}

std::string TGReader::fetchIdent() {
  std::string ident;
  fetchIdentValue(ident);
  return ident;
}

bool TGReader::fetchTextValue(WideString* wide, AnsiString* ansi) {
  const ValueTag tag = fetchTag();
  switch (tag) {
    case ValueTag::vaString:
    case ValueTag::vaLString: {
      int64_t length;
      if (tag == ValueTag::vaString) {
        uint8_t b;
        readBytes(&b, 1);
        length = b;
      } else {
        length = fetchLength();
      }
      std::string text(static_cast<size_t>(length), '\0');
      readBytes(text.data(), length);
      if (ansi) *ansi = text;
      if (wide) *wide = AnsiToWide(text);
      return true;
    }
    case ValueTag::vaWString: {
      const int64_t count = fetchInt32Raw();
      if (count < 0 || count * 2 > bytesLeft()) streamEnded();
      std::string raw(static_cast<size_t>(count * 2), '\0');
      readBytes(raw.data(), count * 2);
      WideString text(static_cast<size_t>(count), u'\0');
      for (int64_t i = 0; i < count; ++i) {
        text[static_cast<size_t>(i)] = static_cast<char16_t>(static_cast<uint8_t>(raw[2 * i]) |
                                                             (static_cast<uint8_t>(raw[2 * i + 1]) << 8));
      }
      if (ansi) *ansi = WideToAnsi(text);
      if (wide) *wide = std::move(text);
      return true;
    }
    case ValueTag::vaUtf8String: {
      const int64_t length = fetchLength();
      std::string utf8(static_cast<size_t>(length), '\0');
      readBytes(utf8.data(), length);
      WideString text = Utf8ToWide(utf8);
      if (ansi) *ansi = WideToAnsi(text);
      if (wide) *wide = std::move(text);
      return true;
    }
    default:
      skipValueOfTag(tag);
      LogInvalidValue();
      return false;
  }
}

AnsiString TGReader::fetchText() {
  AnsiString text;
  fetchTextValue(nullptr, &text);
  return text;
}

WideString TGReader::fetchWideText() {
  WideString text;
  fetchTextValue(&text, nullptr);
  return text;
}

Variant TGReader::fetchVariant() {
  const ValueTag tag = peekTag();
  switch (tag) {
    case ValueTag::vaNil: ++bufferPos_; return Variant();
    case ValueTag::vaNull: ++bufferPos_; return Variant(Variant::Null{});
    case ValueTag::vaInt8:
    case ValueTag::vaInt16:
    case ValueTag::vaInt32: return Variant(fetchInteger());
    case ValueTag::vaInt64: return Variant(fetchInt64());
    case ValueTag::vaExtended:
    case ValueTag::vaSingle:
    case ValueTag::vaDouble:
    case ValueTag::vaDate:
    case ValueTag::vaCurrency: return Variant(fetchFloat());
    case ValueTag::vaString:
    case ValueTag::vaLString:
    case ValueTag::vaWString:
    case ValueTag::vaUtf8String: return Variant(fetchWideText());
    case ValueTag::vaFalse: ++bufferPos_; return Variant(false);
    case ValueTag::vaTrue: ++bufferPos_; return Variant(true);
    case ValueTag::vaBinary:
      // A variant has no form for a binary block; it reads as unassigned.
      skipValue();
      return Variant();
    default:
      skipValue();
      LogInfo(u"Read error");
      return Variant();
  }
}

// ---- skipping ----------------------------------------------------------------------------

void TGReader::skipValue() { skipValueOfTag(fetchTag()); }

void TGReader::skipValueOfTag(ValueTag tag) {
  switch (tag) {
    case ValueTag::vaNull:
    case ValueTag::vaFalse:
    case ValueTag::vaTrue:
    case ValueTag::vaNil: return;
    case ValueTag::vaList: {
      DepthGuard guard(this);
      while (!endOfList()) skipValue();
      ++bufferPos_;
      return;
    }
    case ValueTag::vaInt8: return skipBytes(1);
    case ValueTag::vaInt16: return skipBytes(2);
    case ValueTag::vaInt32:
    case ValueTag::vaSingle: return skipBytes(4);
    case ValueTag::vaExtended: return skipBytes(10);
    case ValueTag::vaString:
    case ValueTag::vaIdent: {
      uint8_t length;
      readBytes(&length, 1);
      return skipBytes(length);
    }
    case ValueTag::vaBinary:
    case ValueTag::vaLString:
    case ValueTag::vaUtf8String: return skipBytes(fetchLength());
    case ValueTag::vaSet: return skipSetBody();
    case ValueTag::vaCollection: {
      DepthGuard guard(this);
      while (!endOfList()) {
        if (IsIntegerTag(peekTag())) skipValue();
        const ValueTag item = fetchTag();
        if (item != ValueTag::vaList) {
          skipValueOfTag(item);
          continue;
        }
        skipProperties();
      }
      ++bufferPos_;
      return;
    }
    case ValueTag::vaCurrency:
    case ValueTag::vaDate:
    case ValueTag::vaInt64:
    case ValueTag::vaDouble: return skipBytes(8);
    case ValueTag::vaWString: {
      const int64_t count = fetchInt32Raw();
      if (count < 0 || count * 2 > bytesLeft()) streamEnded();
      return skipBytes(count * 2);
    }
  }
  // No value has this tag: the rest of the stream cannot be taken apart.
  LogInfo(u"Read error");
  throw EReadAborted("Unknown value tag " + std::to_string(static_cast<int>(tag)));
}

void TGReader::skipSetBody() {
  while (!fetchShortString().empty()) {
  }
}

void TGReader::skipProperties() {
  while (!endOfList()) {
    fetchShortString();
    skipValue();
  }
  ++bufferPos_;
}

void TGReader::skipRecordBody() {
  skipProperties();
  while (!endOfList()) skipObject(true);
  ++bufferPos_;
}

void TGReader::skipObject(bool withHead) {
  DepthGuard guard(this);
  if (withHead) {
    uint8_t flags;
    int32_t position;
    fetchPrefix(flags, position);
    fetchShortString();
    fetchShortString();
  }
  skipRecordBody();
}

// ---- collections ------------------------------------------------------------------------

namespace {
class UpdateScope {
 public:
  explicit UpdateScope(TGCollection* c) : c_(c) { c_->beginUpdate(); }
  ~UpdateScope() { c_->endUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  TGCollection* c_;
};
}  // namespace

void TGReader::fetchCollection(TGCollection* collection) {
  const ValueTag tag = fetchTag();
  if (tag != ValueTag::vaCollection || !collection) {
    skipValueOfTag(tag);
    LogInvalidValue();
    return;
  }
  DepthGuard guard(this);
  UpdateScope update(collection);
  // An empty collection value keeps the items the collection has.
  if (!endOfList()) collection->clear();
  while (!endOfList()) {
    if (IsIntegerTag(peekTag())) fetchInteger();  // the item's index, written by the text form only
    TGCollectionItem* item = collection->add();
    expectTag(ValueTag::vaList);
    if (item) {
      while (!endOfList()) fetchProperty(item);
      ++bufferPos_;
    } else {
      skipProperties();
    }
  }
  ++bufferPos_;
}

// ---- property entries ---------------------------------------------------------------------

void TGReader::fetchProperty(TObject* instance) {
  ShortText scratch;
  const std::string_view name = fetchShortString(scratch);
  // A file this value names and that is not there is reported with it.
  ResourceRequest request(instance, name.data());
  try {
    TObject* target = instance;
    size_t start = 0;
    size_t dot;
    // Every part but the last names a nested persistent of the current instance.
    while ((dot = name.find('.', start)) != std::string_view::npos) {
      const std::string_view part = name.substr(start, dot - start);
      const PropInfo* prop = target->classInfo().findProperty(part);
      if (!prop) {
        skipValue();
        LogInfo(u"Unknown property " + AnsiToWide(part));
        return;
      }
      TObject* nested = prop->kind() == TypeKind::Object ? GetObjectProp(target, *prop) : nullptr;
      if (!nested || !nested->inheritsFrom(TPersistent::staticClassInfo())) {
        skipValue();
        LogInfo(u"SInvalidPropertyPath");
        return;
      }
      target = nested;
      start = dot + 1;
    }
    const std::string_view last = name.substr(start);
    if (const PropInfo* prop = target->classInfo().findProperty(last)) {
      fetchPropertyValue(target, *prop);
      return;
    }
    propName_ = last;
    if (auto* persistent = dynamic_cast<TSomePersistent*>(target)) persistent->DefineProperties(this);
    if (!propName_.empty()) {
      propName_.clear();
      skipValue();
      LogInfo(u"Unknown property " + AnsiToWide(last));
    }
  } catch (const EReadAborted&) {
    throw;
  } catch (const EConvertError& e) {
    // A setter that refuses its value keeps the old one; the author learns
    // which value of which property it was.
    propName_.clear();
    const WideString message =
        AnsiToWide("Invalid property value " + instance->className() + "." + std::string(name) + ": ") + e.wideMessage();
    if (!Error(message)) LogError(message);
  } catch (const std::exception&) {
    // A fault in one entry costs only that entry; the next entry follows.
    propName_.clear();
  }
}

void TGReader::fetchPropertyValue(TObject* instance, const PropInfo& prop) {
  if (prop.readOnly() && !(prop.kind() == TypeKind::Object && IsSubComponent(GetObjectProp(instance, prop)))) {
    LogInfo(u"Read only property");
    skipValue();
    return;
  }
  switch (prop.kind()) {
    case TypeKind::Integer: {
      if (IsIntegerTag(peekTag())) {
        SetOrdProp(instance, prop, fetchInteger());
      } else if (peekTag() == ValueTag::vaIdent) {
        // No identifier-to-integer mapping is registered for any type.
        skipValue();
        LogInvalidValue();
      } else {
        fetchInteger();  // logs and skips
      }
      return;
    }
    case TypeKind::Enumeration: {
      std::string ident;
      if (!fetchIdentValue(ident)) return;
      const int value = prop.type.enumInfo ? prop.type.enumInfo->valueOf(ident) : -1;
      if (value < 0) {
        LogInvalidValue();
        return;
      }
      SetOrdProp(instance, prop, value);
      return;
    }
    case TypeKind::Set: return fetchSetValue(instance, prop);
    case TypeKind::Float: {
      double value;
      if (fetchNumber(value)) SetFloatProp(instance, prop, static_cast<float>(value));
      return;
    }
    case TypeKind::AnsiText: {
      AnsiString text;
      if (fetchTextValue(nullptr, &text)) SetStrProp(instance, prop, text);
      return;
    }
    case TypeKind::WideText: {
      WideString text;
      if (fetchTextValue(&text, nullptr)) SetWideStrProp(instance, prop, text);
      return;
    }
    case TypeKind::Object: return fetchObjectValue(instance, prop);
    case TypeKind::Callback: return fetchMethodValue(instance, prop);
    case TypeKind::Variant: {
      Variant value = fetchVariant();
      prop.set(instance, PropValue(std::move(value)));
      return;
    }
    case TypeKind::Int64: {
      const ValueTag tag = peekTag();
      if (IsIntegerTag(tag) || tag == ValueTag::vaInt64) {
        SetInt64Prop(instance, prop, fetchInt64());
      } else {
        fetchInt64();  // logs and skips
      }
      return;
    }
  }
  skipValue();
}

void TGReader::fetchSetValue(TObject* instance, const PropInfo& prop) {
  const ValueTag tag = fetchTag();
  if (tag != ValueTag::vaSet) {
    skipValueOfTag(tag);
    LogInvalidValue();
    return;
  }
  uint32_t bits = 0;
  for (;;) {
    const std::string member = fetchShortString();
    if (member.empty()) break;
    const int value = prop.type.enumInfo ? prop.type.enumInfo->valueOf(member) : -1;
    if (value < 0) {
      // An unknown member spoils the whole value: the rest is skipped and
      // the property keeps what it had.
      LogInvalidValue();
      LogSetForm(prop, member);
      skipSetBody();
      return;
    }
    if (value < 32) bits |= 1u << value;
  }
  SetOrdProp(instance, prop, static_cast<int32_t>(bits));
}

void TGReader::fetchObjectValue(TObject* instance, const PropInfo& prop) {
  const ValueTag tag = peekTag();
  if (tag == ValueTag::vaNil) {
    ++bufferPos_;
    SetObjectProp(instance, prop, nullptr);
    return;
  }
  if (tag == ValueTag::vaCollection) {
    // A collection value fills the collection the property already holds.
    auto* collection = dynamic_cast<TGCollection*>(GetObjectProp(instance, prop));
    if (!collection) {
      skipValue();
      LogInvalidValue();
      return;
    }
    fetchCollection(collection);
    return;
  }
  std::string reference;
  if (!fetchIdentValue(reference)) return;
  if (!fixups_) return;
  TPropFixup fixup;
  fixup.instance = instance;
  fixup.instanceRoot = root_;
  fixup.property = &prop;
  fixup.name = std::move(reference);
  fixup.record = currentRecord_;
  fixups_->push_back(std::move(fixup));
}

void TGReader::fetchMethodValue(TObject* instance, const PropInfo& prop) {
  if (peekTag() == ValueTag::vaNil) {
    ++bufferPos_;
    SetMethodProp(instance, prop, MethodRef{});
    return;
  }
  std::string name;
  if (!fetchIdentValue(name)) return;
  MethodRef method;
  if (!FindMethod(name, method)) {
    LogInvalidValue();
    return;
  }
  SetMethodProp(instance, prop, method);
}

// ---- custom properties ----------------------------------------------------------------------

void TGReader::DefineProperty(const std::string& name, const ReaderProc& read, const WriterProc&, bool) {
  if (propName_.empty() || !read || !SameTextAscii(name, propName_)) return;
  propName_.clear();
  read(*this);
}

void TGReader::DefineBinaryProperty(const std::string& name, const StreamProc& read, const StreamProc&, bool) {
  if (propName_.empty() || !read || !SameTextAscii(name, propName_)) return;
  propName_.clear();
  const ValueTag tag = fetchTag();
  if (tag != ValueTag::vaBinary) {
    skipValueOfTag(tag);
    LogInvalidValue();
    return;
  }
  const int64_t length = fetchLength();
  TMemoryStream block;
  block.SetSize(length);
  readBytes(block.Bytes().data(), length);
  block.SetPosition(0);
  read(block);
}

// ---- hooks ------------------------------------------------------------------------------------

bool TGReader::Error(const WideString& message) { return events_.onError ? events_.onError(message) : false; }

TGComponent* TGReader::FindAncestor(const std::string& className, const std::string& name) {
  return events_.onAncestorNotFound ? events_.onAncestorNotFound(className, name) : nullptr;
}

bool TGReader::FindMethod(const std::string& name, MethodRef& method) {
  if (events_.onFindMethod) return events_.onFindMethod(name, method);
  if (!root_) return false;
  const MethodInfo* found = root_->classInfo().findMethod(name);
  if (!found) return false;
  method = MethodRef{root_, found};
  return true;
}

void TGReader::SetName(TGComponent* component, WideString& name) {
  if (events_.onSetName) events_.onSetName(component, name);
  component->SetName(name);
}

void TGReader::ReferenceName(std::string& name) {
  if (events_.onReferenceName) events_.onReferenceName(name);
}

// ---- records --------------------------------------------------------------------------------

void TGReader::loadedAdd(TGComponent* object, bool onlyWhenAbsent) {
  if (!loaded_) return;
  if (onlyWhenAbsent && std::find(loaded_->begin(), loaded_->end(), object) != loaded_->end()) return;
  loaded_->push_back(object);
}

void TGReader::forgetRecordsOf(TGComponent* doomed, size_t fixupMark, size_t loadedMark) {
  if (fixups_ && fixupMark < fixups_->size()) {
    auto& list = *fixups_;
    list.erase(std::remove_if(list.begin() + static_cast<std::ptrdiff_t>(fixupMark), list.end(),
                              [&](const TPropFixup& f) {
                                return DiesWith(f.record, doomed) || DiesWith(f.instance, doomed);
                              }),
               list.end());
  }
  if (loaded_ && loadedMark < loaded_->size()) {
    auto& list = *loaded_;
    list.erase(std::remove_if(list.begin() + static_cast<std::ptrdiff_t>(loadedMark), list.end(),
                              [&](TGComponent* c) { return DiesWith(c, doomed); }),
               list.end());
  }
}

void TGReader::fetchBody(TGComponent* object) {
  // The outermost body of a read opens the reference list and resolves it.
  const bool opened = !fixups_;
  if (opened) fixups_ = std::make_unique<std::vector<TPropFixup>>();
  int* phase = (recordPhase_ && phaseRecord_ == object) ? recordPhase_ : nullptr;
  TGComponent* const savedRecord = currentRecord_;
  TGComponent* const savedOwner = owner_;
  TGComponent* const savedParent = parent_;
  try {
    currentRecord_ = object;
    if (phase) *phase = kPhaseProperties;
    while (!endOfList()) fetchProperty(object);
    expectTag(ValueTag::vaNull);

    // Children are made with the object's child owner (or the root) and put
    // under its child parent (or the object itself).
    parent_ = object->GetChildParent();
    if (!parent_) parent_ = object;
    owner_ = object->GetChildOwner();
    if (!owner_) owner_ = root_;
    if (phase) *phase = kPhaseChildren;
    while (!endOfList()) fetchChild();
    expectTag(ValueTag::vaNull);
    if (phase) *phase = kPhaseDone;
  } catch (...) {
    currentRecord_ = savedRecord;
    owner_ = savedOwner;
    parent_ = savedParent;
    if (opened) fixups_.reset();
    throw;
  }
  currentRecord_ = savedRecord;
  owner_ = savedOwner;
  parent_ = savedParent;
  if (opened) {
    resolveLocalFixups();
    fixups_.reset();
  }
}

TGComponent* TGReader::fetchChild() {
  DepthGuard guard(this);
  uint8_t flags;
  int32_t position;
  fetchPrefix(flags, position);
  const std::string className = fetchShortString();
  const std::string name = fetchShortString();

  const size_t fixupMark = fixups_ ? fixups_->size() : 0;
  const size_t loadedMark = loaded_ ? loaded_->size() : 0;
  TGComponent* const savedParent = parent_;
  TGComponent* const savedLookupRoot = lookupRoot_;
  TGComponent* const savedRecord = currentRecord_;
  int* const savedPhase = recordPhase_;
  TGComponent* const savedPhaseRecord = phaseRecord_;
  int phase = kPhaseNotBegun;
  TGComponent* result = nullptr;
  bool createdHere = false;
  std::vector<TGComponent*> subComponents;

  auto restore = [&] {
    parent_ = savedParent;
    lookupRoot_ = savedLookupRoot;
    currentRecord_ = savedRecord;
    recordPhase_ = savedPhase;
    phaseRecord_ = savedPhaseRecord;
    if (result) result->clearComponentState(csReading);
    for (TGComponent* sub : subComponents) sub->clearComponentState(csReading);
  };
  auto discard = [&] {
    if (createdHere && result) {
      forgetRecordsOf(result, fixupMark, loadedMark);
      TGComponent* doomed = result;
      result = nullptr;
      doomed->Free();
    }
  };

  try {
    if (flags & ffInherited) {
      result = lookupRoot_ ? lookupRoot_->FindComponent(AnsiToWide(name)) : nullptr;
      if (!result) result = FindAncestor(className, name);
      if (!result) {
        // Reading into a missing object is not possible: the record goes.
        LogInfo(u"Ancestor not found " + AnsiToWide(name));
        skipRecordBody();
        restore();
        return nullptr;
      }
      parent_ = result->GetParentComponent();
      if (!parent_) parent_ = root_;
    } else {
      const ClassInfo* cls = finder_ ? finder_->GetClass(className) : GetClass(className);
      if (events_.onFindClass) events_.onFindClass(className, cls);
      if (!cls || !cls->inheritsFrom(TGComponent::staticClassInfo()) || cls->isAbstract()) {
        LogInfo(u"Class not found " + AnsiToWide(className));
        skipRecordBody();
        restore();
        return nullptr;
      }
      if (events_.onCreateComponent) result = events_.onCreateComponent(*cls);
      if (result) {
        createdHere = true;
        if (flags & ffInline) result->setComponentState(csInline);
      } else {
        auto* fresh = dynamic_cast<TGComponent*>(cls->allocate());
        if (!fresh) {
          LogInfo(u"Class not found " + AnsiToWide(className));
          skipRecordBody();
          restore();
          return nullptr;
        }
        fresh->setComponentState(csLoading);
        if (flags & ffInline) fresh->setComponentState(csInline);
        try {
          fresh->Create(owner_);
        } catch (...) {
          fresh->Free();  // a failed constructor leaves no object
          throw;
        }
        result = fresh;
        createdHere = true;
      }
    }

    for (int i = 0; i < result->ComponentCount(); ++i) {
      TGComponent* owned = result->GetComponent(i);
      if (owned->componentStyle() & csSubComponent) subComponents.push_back(owned);
    }
    result->setComponentState(csLoading);
    for (TGComponent* sub : subComponents) sub->setComponentState(csLoading);

    if (!(flags & ffInherited)) {
      result->SetParentComponent(parent_);
      // An object that neither an owner nor a parent holds would never be
      // freed (an object-tree node under a plain component, say).
      if (!result->GetOwner() && !result->HasParent()) {
        throw Exception("Object " + className + " has no place under " + (parent_ ? parent_->className() : "nil"));
      }
      WideString wideName = AnsiToWide(name);
      SetName(result, wideName);
    }
    if (result->hasState(csInline)) lookupRoot_ = result;
    result->setComponentState(csReading);
    for (TGComponent* sub : subComponents) sub->setComponentState(csReading);
    recordPhase_ = &phase;
    phaseRecord_ = result;
    currentRecord_ = result;
    result->ReadState(this);
    phase = kPhaseDone;
    TGComponent* const placedIn = parent_;
    restore();
    if ((flags & ffChildPos) && placedIn) placedIn->SetChildOrder(result, position);
    const bool onlyWhenAbsent = (flags & (ffInherited | ffInline)) != 0;
    for (TGComponent* sub : subComponents) loadedAdd(sub, onlyWhenAbsent);
    loadedAdd(result, onlyWhenAbsent);
    return result;
  } catch (const EReadAborted&) {
    restore();
    discard();
    throw;
  } catch (const std::exception& e) {
    restore();
    discard();
    // Bring the stream to the end of this record before going on.
    if (phase == kPhaseNotBegun) {
      skipRecordBody();
    } else if (phase == kPhaseChildren) {
      while (!endOfList()) skipObject(true);
      ++bufferPos_;
    } else if (phase == kPhaseProperties) {
      throw;  // the position inside the entries is unknown
    }
    if (!Error(Utf8ToWide(e.what()))) throw;
    return nullptr;
  }
}

TGComponent* TGReader::fetchRoot(TGComponent* given) {
  char signature[4];
  readBytes(signature, 4);
  if (std::memcmp(signature, kObjectStreamSignature, 4) != 0) LogInfo(u"Invalid image");
  uint8_t flags;
  int32_t position;
  fetchPrefix(flags, position);

  TGComponent* created = nullptr;
  TGComponent* root = given;
  std::vector<TGComponent*> ownLoaded;
  const bool ownsLoaded = gSharedLoaded == nullptr;
  size_t loadedMark = 0;
  try {
    if (given) {
      fetchShortString();  // the stored class; the given root keeps its own
      if (given->hasState(csDesigning)) {
        fetchShortString();
      } else {
        given->setComponentState(csLoading | csReading);
        const std::string stored = fetchShortString();
        std::string unique = stored;
        // Roots are found by name; a second root of a taken name gets a suffix.
        for (int counter = 1; !IsUniqueGlobalComponentName(unique) && counter < 100000; ++counter) {
          unique = stored + "_" + std::to_string(counter);
        }
        given->SetName(AnsiToWide(unique));
      }
    } else {
      const std::string className = fetchShortString();
      const ClassInfo* cls = FindClass(className);
      if (!cls) return nullptr;
      TGComponent* fresh = cls->inheritsFrom(TGComponent::staticClassInfo())
                               ? dynamic_cast<TGComponent*>(cls->allocate())
                               : nullptr;
      if (!fresh) {
        LogInfo(u"Class not found " + AnsiToWide(className));
        return nullptr;
      }
      fresh->setComponentState(csLoading);
      try {
        fresh->Create(nullptr);
      } catch (...) {
        fresh->Free();
        throw;
      }
      created = fresh;
      root = fresh;
      created->SetName(AnsiToWide(fetchShortString()));
    }

    root_ = root;
    lookupRoot_ = root;
    TClassFinder finder(&root->classInfo(), true);
    finder_ = &finder;
    loaded_ = ownsLoaded ? &ownLoaded : gSharedLoaded;
    if (ownsLoaded) gSharedLoaded = &ownLoaded;
    loadedMark = loaded_->size();
    loadedAdd(root, true);
    owner_ = root;
    parent_ = nullptr;

    root->setComponentState(csLoading | csReading);
    currentRecord_ = root;
    root->ReadState(this);
    root->clearComponentState(csReading);
    currentRecord_ = nullptr;
    finder_ = nullptr;

    if (ownsLoaded) {
      // Loaded hooks may start reads of their own; those keep their own lists.
      gSharedLoaded = nullptr;
      std::vector<TGComponent*> due;
      due.swap(ownLoaded);
      for (TGComponent* object : due) {
        if (object->isLoaded() || object->hasState(csLoadingOwnFile)) continue;
        object->Loaded();
      }
    }
    loaded_ = nullptr;

    try {
      ResolveGlobalFixups();
    } catch (const std::exception& e) {
      Error(Utf8ToWide(e.what()));
    }
    dropGlobalFixupsOf(root);
    return root;
  } catch (...) {
    finder_ = nullptr;
    currentRecord_ = nullptr;
    if (root) root->clearComponentState(csReading);
    if (root) dropGlobalFixupsOf(root);
    if (loaded_ && created) forgetRecordsOf(created, fixups_ ? fixups_->size() : 0, loadedMark);
    if (ownsLoaded && gSharedLoaded == &ownLoaded) gSharedLoaded = nullptr;
    loaded_ = nullptr;
    if (created) created->Free();
    root_ = nullptr;
    lookupRoot_ = nullptr;
    throw;
  }
}

// ---- references ----------------------------------------------------------------------------

void TGReader::resolveLocalFixups() {
  if (!fixups_) return;
  std::vector<TPropFixup> pending;
  pending.swap(*fixups_);
  for (TPropFixup& fixup : pending) {
    try {
      ReferenceName(fixup.name);
      TObject* target = ResolveFrom(fixup.instanceRoot, fixup.name);
      if (!target && events_.onFindComponentInstance) {
        target = events_.onFindComponentInstance(fixup.instanceRoot, fixup.name);
      }
      auto& global = GlobalFixups();
      global.erase(std::remove_if(global.begin(), global.end(),
                                  [&](const TPropFixup& g) {
                                    return g.instance == fixup.instance && g.property == fixup.property;
                                  }),
                   global.end());
      const size_t dot = fixup.name.find('.');
      if (target || dot == std::string::npos) {
        SetReference(fixup, target);
        continue;
      }
      // The first part names another root: wait for it among the global objects.
      fixup.rootName = fixup.name.substr(0, dot);
      fixup.name = fixup.name.substr(dot + 1);
      fixup.record = nullptr;
      if (fixup.instanceRoot) fixup.instanceRoot->setComponentState(csFixups);
      global.push_back(std::move(fixup));
    } catch (const EReadAborted&) {
      throw;
    } catch (const std::exception&) {
      // A setter that refuses the object costs only this reference.
    }
  }
}

void TGReader::dropGlobalFixupsOf(TGComponent* root) {
  auto& global = GlobalFixups();
  global.erase(std::remove_if(global.begin(), global.end(),
                              [&](const TPropFixup& g) { return g.instanceRoot == root; }),
               global.end());
  root->clearComponentState(csFixups);
}

void ResolveGlobalFixups() {
  auto& global = GlobalFixups();
  std::vector<TGComponent*> touched;
  for (size_t i = 0; i < global.size();) {
    TPropFixup& fixup = global[i];
    TGComponent* other = FindGlobalComponent(fixup.rootName);
    bool done = false;
    if (other && !other->hasState(csReading)) {
      TObject* target = ResolveFrom(other, fixup.name);
      SetReference(fixup, target);
      done = true;
    } else if (!other && GetObjectProp(fixup.instance, *fixup.property) != nullptr) {
      done = true;  // the property got a value meanwhile
    }
    if (!done) {
      ++i;
      continue;
    }
    touched.push_back(fixup.instanceRoot);
    global.erase(global.begin() + static_cast<std::ptrdiff_t>(i));
  }
  for (TGComponent* root : touched) {
    if (!root) continue;
    const bool stillPending = std::any_of(global.begin(), global.end(),
                                          [&](const TPropFixup& g) { return g.instanceRoot == root; });
    if (!stillPending) root->clearComponentState(csFixups);
  }
}

size_t PendingGlobalFixupCount() { return GlobalFixups().size(); }
