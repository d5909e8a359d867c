#pragma once
// `TGReader`: rebuilds an object tree from an `ObjectBinaryStream`. It checks
// the signature, creates the root or fills a given one, creates each child
// through the class registry, sets properties through the published class
// descriptions, connects references by name once every object exists, and
// calls each object's loaded hook at the end.
//
// It goes on after bad data: most faults are logged and reading continues
// with the next entry. Two faults end the read with EReadAborted: the stream
// ending before a value is complete (also a length that runs past the end)
// and nesting deeper than kMaxStreamNesting. Then the objects created for
// the failed records are freed; a given root keeps what was read so far.
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/objects/class_info.h"
#include "core/streams/object_binary_stream.h"
#include "core/text/exceptions.h"
#include "core/text/text.h"

class TGCollection;
class TClassFinder;

// The read cannot go on: the stream ended early, a length ran past its end,
// or the data nests too deeply. Never dropped by the per-entry handling.
class EReadAborted : public EReadError {
  using EReadError::EReadError;
};

// A reference to another object, resolved once the objects of the read exist.
struct TPropFixup {
  TObject* instance = nullptr;       // the object whose property gets the reference
  TGComponent* instanceRoot = nullptr;  // the root of the read
  const PropInfo* property = nullptr;
  std::string rootName;  // empty for a local reference
  std::string name;      // the reference path
  TGComponent* record = nullptr;  // the component whose record held the entry
};

class TGReader : public TGFiler {
 public:
  // Optional hooks; each is empty by default.
  struct Events {
    // An exception from a child record; answers true when it was handled.
    std::function<bool(const WideString& message)> onError;
    // A callback property's method by name; answers true when found.
    std::function<bool(const std::string& name, MethodRef& method)> onFindMethod;
    // May change the name a new child is given.
    std::function<void(TGComponent* component, WideString& name)> onSetName;
    // May rewrite a reference path before it is resolved.
    std::function<void(std::string& name)> onReferenceName;
    // The object of an inherited record that the lookup root does not own.
    std::function<TGComponent*(const std::string& className, const std::string& name)> onAncestorNotFound;
    // May set or replace the class of a child record.
    std::function<void(const std::string& className, const ClassInfo*& cls)> onFindClass;
    // May build the object of a child record itself (constructed, with its
    // owner); nil leaves it to the reader.
    std::function<TGComponent*(const ClassInfo& cls)> onCreateComponent;
    // The object a reference names when the owned-object lookup finds none.
    std::function<TObject*(TGComponent* root, const std::string& name)> onFindComponentInstance;
  };

  TGReader(TStream* stream, int bufferSize);
  // Steps the stream back by what the buffer holds unread, so the stream
  // stands right after the last byte consumed.
  ~TGReader() override;

  Events& events() { return events_; }

  // Reads the signature and the root's record into `given`, or into a new
  // object of the stored class when `given` is nil. Answers the root, or nil
  // when the class is unknown. Raises EReadAborted (after freeing a root it
  // created) when the read cannot go on.
  TGComponent* fetchRoot(TGComponent* given = nullptr);
  // The default read-state hook: an object's properties, children and both
  // end markers; resolves the references of the read when it opened them.
  void fetchBody(TGComponent* object);
  // One child record; the object, or nil.
  TGComponent* fetchChild();

  // ---- values -------------------------------------------------------------------
  ValueTag peekTag();
  ValueTag fetchTag();
  bool endOfList() { return peekTag() == ValueTag::vaNull; }
  // Reads a byte; when it is not `expected`, steps back, skips that value and
  // logs "invalid property value".
  void expectTag(ValueTag expected);
  int32_t fetchInteger();
  int64_t fetchInt64();
  double fetchFloat();
  float fetchSingle();
  double fetchDouble();
  // The stored int64 (the amount times 10000).
  int64_t fetchCurrency();
  double fetchDate();
  std::string fetchIdent();
  AnsiString fetchText();
  WideString fetchWideText();
  Variant fetchVariant();
  // Reads a collection value into `collection` (an empty one keeps its items).
  void fetchCollection(TGCollection* collection);
  std::string fetchShortString();
  // The same, into the caller's room, without allocating; the view lives as
  // long as `scratch`.
  using ShortText = std::array<char, 256>;
  std::string_view fetchShortString(ShortText& scratch);
  // Raw bytes, and an int32 length checked against what the stream holds.
  void fetchBytes(void* target, int64_t size) { readBytes(target, size); }
  int64_t fetchLength();
  // The record prefix.
  void fetchPrefix(uint8_t& flags, int32_t& position);
  void skipValue();
  // A whole object record; `withHead` false when prefix, class and name are
  // already consumed.
  void skipObject(bool withHead = true);

  // The logical position: the stream position less the unread buffered bytes.
  int64_t position() const;
  void setPosition(int64_t position);
  // Seeks the stream to the logical position and empties the buffer.
  void FlushBuffer() override;
  // Bytes between the logical position and the end of the stream.
  int64_t bytesLeft() const;

  void DefineProperty(const std::string& name, const ReaderProc& read, const WriterProc& write,
                      bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const StreamProc& read, const StreamProc& write,
                            bool hasData) override;

  TGComponent* owner() const { return owner_; }
  TGComponent* parent() const { return parent_; }

 protected:
  // ---- overridable hooks (the defaults ask the events) --------------------------
  virtual bool Error(const WideString& message);
  virtual TGComponent* FindAncestor(const std::string& className, const std::string& name);
  virtual bool FindMethod(const std::string& name, MethodRef& method);
  virtual void SetName(TGComponent* component, WideString& name);
  virtual void ReferenceName(std::string& name);

 private:
  class DepthGuard;

  enum RecordPhase { kPhaseNotBegun, kPhaseProperties, kPhaseChildren, kPhaseDone };

  void readBytes(void* target, int64_t size) {
    // Most values lie whole in the buffer. An empty value may have no
    // storage at all (a nil target), and memcpy must not see it.
    if (size <= bufferEnd_ - bufferPos_) {
      if (size <= 0) return;
      std::memcpy(target, window_ + bufferPos_, static_cast<size_t>(size));
      bufferPos_ += static_cast<int>(size);
      return;
    }
    readBytesAcross(target, size);
  }
  void readBytesAcross(void* target, int64_t size);
  void fillBuffer();
  // Reads a stream that holds its bytes in memory in place; false for others.
  bool attachMemory();
  [[noreturn]] void streamEnded();
  void skipBytes(int64_t size);
  int32_t fetchInt32Raw();
  bool fetchIntegerPayload(ValueTag tag, int64_t& value);
  // The value readers proper: false (after logging and skipping the value)
  // when the tag does not fit.
  bool fetchNumber(double& value);
  bool fetchIdentValue(std::string& ident);
  bool fetchTextValue(WideString* wide, AnsiString* ansi);
  void skipValueOfTag(ValueTag tag);
  void fetchProperty(TObject* instance);
  void fetchPropertyValue(TObject* instance, const PropInfo& prop);
  void fetchSetValue(TObject* instance, const PropInfo& prop);
  void fetchObjectValue(TObject* instance, const PropInfo& prop);
  void fetchMethodValue(TObject* instance, const PropInfo& prop);
  void skipSetBody();
  void skipProperties();
  void skipRecordBody();
  void resolveLocalFixups();
  void dropGlobalFixupsOf(TGComponent* root);
  // Forgets the references and loaded entries added since the marks that
  // belong to an object about to be freed (and to what it frees).
  void forgetRecordsOf(TGComponent* doomed, size_t fixupMark, size_t loadedMark);
  void loadedAdd(TGComponent* object, bool onlyWhenAbsent);

  Events events_;
  int64_t streamBase_ = 0;  // the stream position the buffer was read from
  // The bytes the buffer's offsets count in: the buffer, or the stream's
  // own memory.
  const uint8_t* window_ = nullptr;
  TGComponent* owner_ = nullptr;
  TGComponent* parent_ = nullptr;
  TGComponent* currentRecord_ = nullptr;
  std::unique_ptr<std::vector<TPropFixup>> fixups_;
  std::vector<TGComponent*>* loaded_ = nullptr;
  std::string propName_;  // the custom property being looked for
  const TClassFinder* finder_ = nullptr;
  int depth_ = 0;
  // How far the body of the record being read has come, so that a failed
  // record can be skipped to its end.
  int* recordPhase_ = nullptr;
  TGComponent* phaseRecord_ = nullptr;
};

// Resolves the pending references into other roots (kept between the end of
// a read's local resolution and the end of that read). Called by the reader;
// exposed for the object files, which load roots one after another.
void ResolveGlobalFixups();
// Pending references of other roots, for tests and diagnostics.
size_t PendingGlobalFixupCount();
