#pragma once
// The "GFE0" binary form of an object tree (`ObjectBinaryStream`).
//
// Every stored or loaded object tree passes through this one form: ".qbin"
// object files, the memory images the XML and keyword text forms are turned
// into before they are read, and collection comparisons. A stream is the
// four-byte signature and one object record:
//
//   [prefix] class-name object-name { property-name value } 0 { child-record } 0
//
// Names are short strings (one length byte, then 8-bit characters); a value is
// a tag byte and its payload. Everything is little-endian.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/objects/object.h"

class TStream;
class TGComponent;
class TGReader;
class TGWriter;

// The tag byte that opens each value (prefixed names keep clear of the
// platform headers' True/False/None macros).
enum class ValueTag : uint8_t {
  vaNull = 0,  // also the end marker of lists, records and collections
  vaList = 1,  // values up to a Null; also one item of a collection
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,  // 80-bit floating point
  vaString = 6,    // one length byte + 8-bit characters
  vaIdent = 7,     // short string
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,      // int32 length + bytes
  vaSet = 11,         // short strings ended by an empty one
  vaLString = 12,     // int32 length + 8-bit characters
  vaNil = 13,
  vaCollection = 14,  // items (tag 1, entries, 0) ended by 0
  vaSingle = 15,
  vaCurrency = 16,  // int64, value times 10000
  vaDate = 17,      // float64, days since 30 December 1899
  vaWString = 18,   // int32 count of UTF-16 units + the units
  vaInt64 = 19,
  vaUtf8String = 20,  // int32 byte length + UTF-8 bytes
  vaDouble = 21,
};
constexpr uint8_t kLastValueTag = 21;

// The stream's first four bytes.
constexpr char kObjectStreamSignature[4] = {'G', 'F', 'E', '0'};

// Record prefix: one byte 0xF0 | flags, present only when flags are set.
enum FilerFlag : uint8_t {
  ffInherited = 0x1,
  ffChildPos = 0x2,  // a position (an integer value) follows the prefix byte
  ffInline = 0x4,
};
constexpr uint8_t kPrefixMark = 0xF0;

// Buffer sizes the callers use.
constexpr int kFileFilerBufferSize = 4096;
constexpr int kCompareFilerBufferSize = 1024;

// Short strings hold at most 255 characters; longer names are cut.
constexpr size_t kMaxShortString = 255;

// Nesting of object records and of list or collection values that readers
// and converters follow before they give up on the data.
constexpr int kMaxStreamNesting = 300;

// The common base of the object writer and reader: the stream, the buffer,
// the root being written or read and the root that names resolve against.
class TGFiler {
 public:
  using ReaderProc = std::function<void(TGReader& reader)>;
  using WriterProc = std::function<void(TGWriter& writer)>;
  using StreamProc = std::function<void(TStream& stream)>;

  TGFiler(TStream* stream, int bufferSize);
  TGFiler(const TGFiler&) = delete;
  TGFiler& operator=(const TGFiler&) = delete;
  virtual ~TGFiler() = default;

  // A custom property that a persistent adds to its published ones: the
  // writer calls `write` (when `hasData`) after writing the name; the reader
  // calls `read` when it meets the name.
  virtual void DefineProperty(const std::string& name, const ReaderProc& read, const WriterProc& write,
                              bool hasData) = 0;
  // A custom property stored as a binary block (tag 10).
  virtual void DefineBinaryProperty(const std::string& name, const StreamProc& read, const StreamProc& write,
                                    bool hasData) = 0;
  virtual void FlushBuffer() = 0;

  TStream* stream() const { return stream_; }
  TGComponent* root() const { return root_; }
  void setRoot(TGComponent* root) { root_ = root; }
  TGComponent* lookupRoot() const { return lookupRoot_; }
  void setLookupRoot(TGComponent* root) { lookupRoot_ = root; }
  int bufferSize() const { return bufferSize_; }

 protected:
  TStream* stream_;
  std::vector<uint8_t> buffer_;
  int bufferSize_;
  int bufferEnd_ = 0;  // count of valid bytes (reader)
  int bufferPos_ = 0;  // current offset in the buffer
  TGComponent* root_ = nullptr;
  TGComponent* lookupRoot_ = nullptr;
};

// A short string as stored: the 8-bit text cut to 255 characters.
std::string ShortStringOf(std::string_view text);
