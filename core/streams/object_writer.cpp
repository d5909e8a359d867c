#include "core/streams/object_writer.h"

#include <cmath>
#include <cstring>
#include <optional>

#include "core/objects/component.h"
#include "core/objects/object_collection.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"

// ---- the filer base -------------------------------------------------------------

TGFiler::TGFiler(TStream* stream, int bufferSize)
    : stream_(stream), buffer_(static_cast<size_t>(bufferSize > 0 ? bufferSize : 1)), bufferSize_(bufferSize > 0 ? bufferSize : 1) {}

std::string ShortStringOf(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kMaxShortString)));
}

// ---- buffering ------------------------------------------------------------------

TGWriter::TGWriter(TStream* stream, int bufferSize) : TGFiler(stream, bufferSize) {
  streamBase_ = stream_->Position();
}

TGWriter::~TGWriter() { FlushBuffer(); }

void TGWriter::FlushBuffer() {
  if (bufferPos_ > 0) stream_->Write(buffer_.data(), bufferPos_);
  streamBase_ += bufferPos_;
  bufferPos_ = 0;
}

void TGWriter::emitBytes(const void* data, int64_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    int64_t room = bufferSize_ - bufferPos_;
    if (room == 0) {
      FlushBuffer();
      room = bufferSize_;
    }
    const int64_t part = std::min(room, size);
    std::memcpy(buffer_.data() + bufferPos_, bytes, static_cast<size_t>(part));
    bufferPos_ += static_cast<int>(part);
    bytes += part;
    size -= part;
  }
}

void TGWriter::ensureFree(int64_t bytes) {
  if (bufferSize_ - bufferPos_ < bytes) FlushBuffer();
}

int64_t TGWriter::position() const { return streamBase_ + bufferPos_; }

void TGWriter::setPosition(int64_t position) {
  if (position >= streamBase_ && position <= streamBase_ + bufferPos_) {
    bufferPos_ = static_cast<int>(position - streamBase_);
    return;
  }
  FlushBuffer();
  streamBase_ = stream_->Seek(position, SeekOrigin::Begin);
}

// ---- raw pieces -----------------------------------------------------------------

void TGWriter::emitSignature() { emitBytes(kObjectStreamSignature, 4); }

void TGWriter::emitInt32Raw(int32_t value) {
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  emitBytes(b, 4);
}

namespace {
void PutLittleEndian(uint8_t* out, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}
}  // namespace

void TGWriter::emitShortString(std::string_view text) {
  const std::string cut = ShortStringOf(text);
  emitByte(static_cast<uint8_t>(cut.size()));
  emitBytes(cut.data(), static_cast<int64_t>(cut.size()));
}

void TGWriter::emitPropName(std::string_view name) {
  if (propPath_.empty()) {
    emitShortString(name);
  } else {
    emitShortString(propPath_ + std::string(name));
  }
}

void TGWriter::emitPrefix(uint8_t flags, int32_t position) {
  if (flags == 0) return;
  emitByte(static_cast<uint8_t>(kPrefixMark | (flags & 0x0F)));
  if (flags & ffChildPos) emitInteger(position);
}

// ---- values ---------------------------------------------------------------------

void TGWriter::emitInteger(int32_t value) {
  uint8_t b[5];
  if (value >= -128 && value <= 127) {
    b[0] = static_cast<uint8_t>(ValueTag::vaInt8);
    PutLittleEndian(b + 1, static_cast<uint64_t>(static_cast<int64_t>(value)), 1);
    emitBytes(b, 2);
  } else if (value >= -32768 && value <= 32767) {
    b[0] = static_cast<uint8_t>(ValueTag::vaInt16);
    PutLittleEndian(b + 1, static_cast<uint64_t>(static_cast<int64_t>(value)), 2);
    emitBytes(b, 3);
  } else {
    b[0] = static_cast<uint8_t>(ValueTag::vaInt32);
    PutLittleEndian(b + 1, static_cast<uint64_t>(static_cast<int64_t>(value)), 4);
    emitBytes(b, 5);
  }
}

void TGWriter::emitInt64(int64_t value) {
  if (value >= INT32_MIN && value <= INT32_MAX) {
    emitInteger(static_cast<int32_t>(value));
    return;
  }
  uint8_t b[9];
  b[0] = static_cast<uint8_t>(ValueTag::vaInt64);
  PutLittleEndian(b + 1, static_cast<uint64_t>(value), 8);
  emitBytes(b, 9);
}

void TGWriter::emitSingle(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  uint8_t b[5];
  b[0] = static_cast<uint8_t>(ValueTag::vaSingle);
  PutLittleEndian(b + 1, bits, 4);
  emitBytes(b, 5);
}

namespace {
void EmitFloat64(TGWriter& writer, ValueTag tag, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, 8);
  uint8_t b[9];
  b[0] = static_cast<uint8_t>(tag);
  PutLittleEndian(b + 1, bits, 8);
  writer.emitBytes(b, 9);
}
}  // namespace

void TGWriter::emitDouble(double value) { EmitFloat64(*this, ValueTag::vaDouble, value); }
void TGWriter::emitDate(double days) { EmitFloat64(*this, ValueTag::vaDate, days); }

void TGWriter::emitCurrency(double value) {
  const double scaled = std::nearbyint(value * 10000.0);
  // Amounts beyond what the int64 holds are clamped rather than wrapped.
  int64_t stored = 0;
  if (std::isnan(scaled)) {
    stored = 0;
  } else if (scaled >= 9.2233720368547758e18) {
    stored = INT64_MAX;
  } else if (scaled <= -9.2233720368547758e18) {
    stored = INT64_MIN;
  } else {
    stored = static_cast<int64_t>(scaled);
  }
  emitCurrencyRaw(stored);
}

void TGWriter::emitCurrencyRaw(int64_t scaled) {
  uint8_t b[9];
  b[0] = static_cast<uint8_t>(ValueTag::vaCurrency);
  PutLittleEndian(b + 1, static_cast<uint64_t>(scaled), 8);
  emitBytes(b, 9);
}

void TGWriter::emitIdent(std::string_view text) {
  if (SameTextAscii(text, "False")) return emitTag(ValueTag::vaFalse);
  if (SameTextAscii(text, "True")) return emitTag(ValueTag::vaTrue);
  if (SameTextAscii(text, "Null")) return emitTag(ValueTag::vaNull);
  if (SameTextAscii(text, "nil")) return emitTag(ValueTag::vaNil);
  emitTag(ValueTag::vaIdent);
  emitShortString(text);
}

namespace {
// The 8-bit text as tag 6 (short) or 12 (long).
void EmitPlainAnsi(TGWriter& writer, std::string_view text) {
  if (text.size() >= 256) {
    writer.emitTag(ValueTag::vaLString);
    const auto n = static_cast<int32_t>(text.size());
    uint8_t b[4];
    PutLittleEndian(b, static_cast<uint32_t>(n), 4);
    writer.emitBytes(b, 4);
  } else {
    writer.emitTag(ValueTag::vaString);
    writer.emitByte(static_cast<uint8_t>(text.size()));
  }
  writer.emitBytes(text.data(), static_cast<int64_t>(text.size()));
}

void EmitUtf8(TGWriter& writer, std::string_view utf8) {
  writer.emitTag(ValueTag::vaUtf8String);
  uint8_t b[4];
  PutLittleEndian(b, static_cast<uint32_t>(utf8.size()), 4);
  writer.emitBytes(b, 4);
  writer.emitBytes(utf8.data(), static_cast<int64_t>(utf8.size()));
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}
}  // namespace

void TGWriter::emitAnsiText(std::string_view text) {
  // Pure ASCII reads the same in every code page; anything else is stored as
  // UTF-8 so that it does not depend on the code page of the reader.
  if (IsAscii(text)) return EmitPlainAnsi(*this, text);
  const std::string utf8 = WideToUtf8(AnsiToWide(text));
  if (utf8 != text) return EmitUtf8(*this, utf8);
  EmitPlainAnsi(*this, text);
}

void TGWriter::emitWideText(std::u16string_view text) {
  bool ascii = !text.empty();
  for (char16_t c : text) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) {
    std::string plain(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) plain[i] = static_cast<char>(text[i]);
    return EmitPlainAnsi(*this, plain);
  }
  const std::string utf8 = WideToUtf8(text);
  if (utf8.size() < 2 * text.size()) {
    const std::string ansi = WideToAnsi(text);
    if (ansi != utf8) return EmitUtf8(*this, utf8);
    return EmitPlainAnsi(*this, ansi);
  }
  emitTag(ValueTag::vaWString);
  emitInt32Raw(static_cast<int32_t>(text.size()));
  std::string units(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    units[2 * i] = static_cast<char>(text[i] & 0xFF);
    units[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  emitBytes(units.data(), static_cast<int64_t>(units.size()));
}

void TGWriter::emitUtf8Text(std::string_view utf8) {
  if (!utf8.empty() && IsAscii(utf8)) return EmitPlainAnsi(*this, utf8);
  emitWideText(Utf8ToWide(utf8));
}

void TGWriter::emitVariant(const Variant& value) {
  struct Visitor {
    TGWriter& w;
    void operator()(std::monostate) { w.emitTag(ValueTag::vaNil); }
    void operator()(Variant::Null) { w.emitTag(ValueTag::vaNull); }
    void operator()(bool b) { w.emitTag(b ? ValueTag::vaTrue : ValueTag::vaFalse); }
    void operator()(int32_t i) { w.emitInteger(i); }
    void operator()(int64_t i) { w.emitInt64(i); }
    void operator()(double d) { w.emitDouble(d); }
    void operator()(const WideString& s) { w.emitWideText(s); }
    // An object has no stored form; a null keeps the stream well formed.
    void operator()(TObject*) { w.emitTag(ValueTag::vaNull); }
  };
  std::visit(Visitor{*this}, value.value());
}

void TGWriter::emitBinary(const void* data, int32_t size) {
  emitTag(ValueTag::vaBinary);
  emitInt32Raw(size);
  emitBytes(data, size);
}

void TGWriter::emitBinary(const StreamProc& writeData) {
  TMemoryStream block;
  if (writeData) writeData(block);
  emitBinary(block.Memory(), static_cast<int32_t>(block.Size()));
}

// Counts the nesting the readers count (child records and collection values,
// not the root) and refuses to go past their bound: a tree written deeper
// could never be read back, so it is not written at all.
class TGWriter::NestingGuard {
 public:
  explicit NestingGuard(TGWriter& writer) : writer_(writer) {
    if (++writer_.nesting_ > kMaxStreamNesting) {
      --writer_.nesting_;
      throw EWriteError("the object tree nests deeper than " + std::to_string(kMaxStreamNesting) + " levels");
    }
  }
  ~NestingGuard() { --writer_.nesting_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  TGWriter& writer_;
};

void TGWriter::emitCollection(TGCollection* collection) {
  NestingGuard nested(*this);
  const std::string savedPath = std::move(propPath_);
  propPath_.clear();
  emitTag(ValueTag::vaCollection);
  if (collection) {
    for (int i = 0; i < collection->count(); ++i) {
      emitListBegin();
      emitProperties(collection->item(i));
      emitListEnd();
    }
  }
  emitListEnd();
  propPath_ = savedPath;
}

// ---- records --------------------------------------------------------------------

void TGWriter::emitRoot(TGComponent* root) {
  root_ = root;
  lookupRoot_ = root;
  emitSignature();
  emitObject(root);
}

namespace {
// Marks an object and its owned sub-components as being written for as long
// as its record is written.
class WritingMark {
 public:
  explicit WritingMark(TGComponent* object) : object_(object) {
    mark(object_);
    for (int i = 0; i < object_->ComponentCount(); ++i) {
      TGComponent* owned = object_->GetComponent(i);
      if (owned->componentStyle() & csSubComponent) {
        mark(owned);
      }
    }
  }
  ~WritingMark() {
    for (TGComponent* c : marked_) c->clearComponentState(csWriting);
  }

 private:
  void mark(TGComponent* c) {
    if (c->hasState(csWriting)) return;
    c->setComponentState(csWriting);
    marked_.push_back(c);
  }
  TGComponent* object_;
  std::vector<TGComponent*> marked_;
};
}  // namespace

void TGWriter::emitObject(TGComponent* object) {
  if (!object) return;
  std::optional<NestingGuard> nested;
  if (recordDepth_ > 0) nested.emplace(*this);
  ++recordDepth_;
  WritingMark mark(object);
  try {
    object->WriteState(this);
  } catch (...) {
    --recordDepth_;
    throw;
  }
  --recordDepth_;
}

void TGWriter::emitRecord(TGComponent* object) {
  const std::string className = ShortStringOf(object->className());
  const std::string name = ShortStringOf(WideToAnsi(object->name()));
  // The head stays in one buffer so that positions within it can be revisited.
  ensureFree(static_cast<int64_t>(className.size() + name.size()) + 9);
  const uint8_t flags = object->hasState(csInline) ? ffInline : 0;
  emitPrefix(flags, 0);
  emitShortString(className);
  emitShortString(name);
  emitProperties(object);
  emitListEnd();
  object->GetChildren([this](TGComponent* child) { emitObject(child); }, root_);
  emitListEnd();
}

void TGWriter::emitProperties(TObject* instance) {
  if (!instance) return;
  for (const PropInfo* prop : instance->classInfo().properties()) {
    if (IsStoredProp(instance, *prop)) emitProperty(instance, *prop);
  }
  if (auto* persistent = dynamic_cast<TSomePersistent*>(instance)) persistent->DefineProperties(this);
}

// ---- one property ---------------------------------------------------------------

namespace {
bool IsSubComponent(TObject* value) {
  auto* component = dynamic_cast<TGComponent*>(value);
  return component && (component->componentStyle() & csSubComponent);
}
}  // namespace

void TGWriter::emitProperty(TObject* instance, const PropInfo& prop) {
  if (!prop.get) return;
  if (prop.kind() == TypeKind::Object) return emitObjectProperty(instance, prop);
  if (prop.readOnly()) return;
  if (IsDefaultPropValue(instance, prop)) return;
  switch (prop.kind()) {
    case TypeKind::Integer:
      emitPropName(prop.name);
      emitInteger(GetOrdProp(instance, prop));
      return;
    case TypeKind::Enumeration: {
      const int32_t value = GetOrdProp(instance, prop);
      const std::string name = prop.type.enumInfo ? prop.type.enumInfo->nameOf(value) : std::string();
      emitPropName(prop.name);
      // A value outside the type's names has no identifier; its number keeps it.
      if (name.empty()) {
        emitInteger(value);
      } else {
        emitIdent(name);
      }
      return;
    }
    case TypeKind::Set:
      emitPropName(prop.name);
      emitSetValue(prop, static_cast<uint32_t>(GetOrdProp(instance, prop)));
      return;
    case TypeKind::Float:
      emitPropName(prop.name);
      emitSingle(GetFloatProp(instance, prop));
      return;
    case TypeKind::WideText:
    case TypeKind::AnsiText:
      emitPropName(prop.name);
      emitWideText(GetWideStrProp(instance, prop));
      return;
    case TypeKind::Callback: {
      const MethodRef method = GetMethodProp(instance, prop);
      const std::string name = methodNameOf(method);
      if (name.empty()) return;  // no published name: nothing to store
      emitPropName(prop.name);
      emitIdent(name);
      return;
    }
    case TypeKind::Variant: {
      PropValue value = prop.get(instance);
      const Variant* v = std::get_if<Variant>(&value);
      if (!v) return;
      emitPropName(prop.name);
      emitVariant(*v);
      return;
    }
    case TypeKind::Int64:
      emitPropName(prop.name);
      emitInt64(GetInt64Prop(instance, prop));
      return;
    case TypeKind::Object: return;
  }
}

void TGWriter::emitSetValue(const PropInfo& prop, uint32_t bits) {
  emitTag(ValueTag::vaSet);
  for (int i = 0; i < 32; ++i) {
    if (!(bits & (1u << i))) continue;
    // A member with no name cannot be written; an empty name would end the set.
    const std::string name = prop.type.enumInfo ? prop.type.enumInfo->nameOf(i) : std::to_string(i);
    if (!name.empty()) emitShortString(name);
  }
  emitByte(0);
}

std::string TGWriter::methodNameOf(const MethodRef& method) const {
  if (!method) return {};
  if (findMethodName_) {
    std::string name = findMethodName_(method);
    if (!name.empty()) return name;
  }
  if (!lookupRoot_) return {};
  // The name under which the lookup root's class publishes that method.
  const MethodInfo* published = lookupRoot_->classInfo().findMethod(method.method->name);
  return published == method.method ? published->name : std::string();
}

void TGWriter::emitObjectProperty(TObject* instance, const PropInfo& prop) {
  TObject* value = GetObjectProp(instance, prop);
  if (prop.readOnly() && !IsSubComponent(value)) return;
  if (!value) return;  // the default: no object
  if (!value->inheritsFrom(TPersistent::staticClassInfo())) return;
  auto* component = dynamic_cast<TGComponent*>(value);
  if (!component || IsSubComponent(value)) {
    // A nested persistent: its properties under the dotted path (as deep as
    // a short-string name can hold).
    if (nestedDepth_ >= kMaxStreamNesting || propPath_.size() + prop.name.size() >= kMaxShortString) return;
    const std::string saved = propPath_;
    propPath_ += prop.name + ".";
    ++nestedDepth_;
    emitProperties(value);
    --nestedDepth_;
    propPath_ = saved;
    if (auto* collection = dynamic_cast<TGCollection*>(value)) {
      emitPropName(prop.name);
      emitCollection(collection);
    }
    return;
  }
  const std::string reference = referenceText(component);
  if (reference.empty()) return;
  emitPropName(prop.name);
  emitIdent(reference);
}

namespace {
bool IsOwnedBy(const TGComponent* candidate, const TGComponent* owner) {
  int guard = 0;
  for (const TGComponent* c = candidate ? candidate->GetOwner() : nullptr; c && guard < 10000;
       c = c->GetOwner(), ++guard) {
    if (c == owner) return true;
  }
  return false;
}
}  // namespace

std::string TGWriter::referenceText(TGComponent* target, int depth) const {
  const std::string name = WideToAnsi(target->name());
  TGComponent* owner = target->GetOwner();
  if (owner && owner == lookupRoot_) return name;
  if (target == lookupRoot_) return "Owner";
  if (owner && depth < kMaxStreamNesting && !owner->name().empty() && !name.empty()) {
    if (IsOwnedBy(owner, lookupRoot_)) {
      const std::string ownerText = referenceText(owner, depth + 1);
      return ownerText.empty() ? std::string() : ownerText + "." + name;
    }
    return WideToAnsi(owner->name()) + "." + name;
  }
  return name;
}

// ---- custom properties ------------------------------------------------------------

void TGWriter::DefineProperty(const std::string& name, const ReaderProc&, const WriterProc& write, bool hasData) {
  if (!hasData || !write) return;
  emitPropName(name);
  write(*this);
}

void TGWriter::DefineBinaryProperty(const std::string& name, const StreamProc&, const StreamProc& write,
                                    bool hasData) {
  if (!hasData || !write) return;
  emitPropName(name);
  emitBinary(write);
}
