#pragma once
// `TGWriter`: writes an object tree as an `ObjectBinaryStream`, working from
// the published class descriptions alone. A property is written when its
// stored test holds and its value differs from its default; nested
// persistents are written as dotted paths, references to other components by
// name, collections as collection values.
#include <cstdint>
#include <string>

#include "core/objects/class_info.h"
#include "core/streams/object_binary_stream.h"
#include "core/text/text.h"

class TGCollection;

class TGWriter : public TGFiler {
 public:
  // Gives the published name of a method for a callback property, or empty
  // to fall back on the lookup root's published methods.
  using FindMethodNameProc = std::function<std::string(const MethodRef& method)>;

  TGWriter(TStream* stream, int bufferSize);
  // Flushes what the buffer still holds.
  ~TGWriter() override;

  // The signature, then the root's record; root and lookup root become `root`.
  void emitRoot(TGComponent* root);
  // One object record with its children.
  void emitObject(TGComponent* object);
  // The record of an object as its write-state hook writes it by default:
  // head, properties, end marker, children, end marker.
  void emitRecord(TGComponent* object);
  // The property entries of one object or collection item.
  void emitProperties(TObject* instance);

  // ---- values: tag and payload ------------------------------------------------
  void emitInteger(int32_t value);
  void emitInt64(int64_t value);
  void emitSingle(float value);
  void emitDouble(double value);
  // `value` is the amount; it is stored as an int64 of the amount times 10000.
  void emitCurrency(double value);
  void emitCurrencyRaw(int64_t scaled);
  void emitDate(double days);
  void emitIdent(std::string_view text);
  void emitAnsiText(std::string_view text);
  void emitWideText(std::u16string_view text);
  // UTF-8 text from a document, chosen among the text tags as emitWideText
  // chooses (ASCII text goes straight through).
  void emitUtf8Text(std::string_view utf8);
  void emitVariant(const Variant& value);
  void emitCollection(TGCollection* collection);
  void emitBinary(const void* data, int32_t size);
  void emitBinary(const StreamProc& writeData);
  void emitListBegin() { emitTag(ValueTag::vaList); }
  void emitListEnd() { emitTag(ValueTag::vaNull); }

  // ---- raw pieces for the text-form conversions ---------------------------------
  void emitSignature();
  void emitTag(ValueTag tag) { emitByte(static_cast<uint8_t>(tag)); }
  void emitByte(uint8_t byte) { emitBytes(&byte, 1); }
  void emitBytes(const void* data, int64_t size);
  // One length byte and at most 255 characters.
  void emitShortString(std::string_view text);
  // A property name: the current path prefix and the name, as a short string.
  void emitPropName(std::string_view name);

  // The logical position: the stream position plus the bytes held.
  int64_t position() const;
  // Inside the held bytes only the buffer offset moves (later bytes are
  // dropped); anywhere else the buffer is flushed and the stream seeks.
  void setPosition(int64_t position);
  void FlushBuffer() override;

  void DefineProperty(const std::string& name, const ReaderProc& read, const WriterProc& write,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const StreamProc& read, const StreamProc& write,
                            bool hasData) override;

  void setFindMethodName(FindMethodNameProc proc) { findMethodName_ = std::move(proc); }

 protected:
  // The record prefix: nothing for empty flags, else 0xF0 | flags and, with
  // the position flag, the position as an integer value.
  void emitPrefix(uint8_t flags, int32_t position);

 private:
  void emitProperty(TObject* instance, const PropInfo& prop);
  void emitObjectProperty(TObject* instance, const PropInfo& prop);
  void emitSetValue(const PropInfo& prop, uint32_t bits);
  std::string methodNameOf(const MethodRef& method) const;
  // The text a reference to another component is written as; empty when the
  // component cannot be named.
  std::string referenceText(TGComponent* target, int depth = 0) const;
  void ensureFree(int64_t bytes);
  void emitInt32Raw(int32_t value);

  std::string propPath_;  // the current dotted-path prefix
  // Nesting of records and of nested persistents being written; a cycle in
  // a published description stops here instead of recursing for ever.
  int recordDepth_ = 0;
  int nestedDepth_ = 0;
  // Nesting as the readers count it (kMaxStreamNesting bounds both).
  class NestingGuard;
  int nesting_ = 0;
  int64_t streamBase_ = 0;  // the stream position the buffer starts at
  FindMethodNameProc findMethodName_;
};

// Opens the record-prefix writer to the XML and keyword text conversions,
// which write inherited, inline and position flags that the tree writer never
// writes.
class TGWriterCracker : public TGWriter {
 public:
  using TGWriter::TGWriter;
  using TGWriter::emitPrefix;
};
