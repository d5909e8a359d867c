#pragma once
// Helpers for tests of the object streams: writing trees to bytes, reading
// bytes back, and spelling expected streams byte by byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"

using Bytes = std::vector<uint8_t>;

inline Bytes WriteTree(TGComponent* root, int bufferSize = kFileFilerBufferSize) {
  TMemoryStream stream;
  {
    TGWriter writer(&stream, bufferSize);
    writer.emitRoot(root);
  }
  return stream.Bytes();
}

// Reads a stream into a new root (nil when none results); aborted reads
// answer nil too.
inline TGComponent* ReadTree(const Bytes& bytes, TGComponent* given = nullptr) {
  TMemoryStream stream(bytes);
  TGReader reader(&stream, kFileFilerBufferSize);
  try {
    return reader.fetchRoot(given);
  } catch (const EReadAborted&) {
    return nullptr;
  }
}

// Builds an expected byte sequence.
class ByteSpell {
 public:
  ByteSpell& sig() { return raw("GFE0"); }
  ByteSpell& b(std::initializer_list<int> values) {
    for (int v : values) bytes_.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  ByteSpell& raw(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  // A short string: length byte and characters.
  ByteSpell& s(const std::string& text) {
    bytes_.push_back(static_cast<uint8_t>(text.size()));
    return raw(text);
  }
  ByteSpell& i32(int32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  ByteSpell& i64(int64_t v) {
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
    return *this;
  }
  ByteSpell& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return i32(static_cast<int32_t>(bits));
  }
  ByteSpell& f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return i64(static_cast<int64_t>(bits));
  }
  // A record head without prefix.
  ByteSpell& head(const std::string& cls, const std::string& name) { return s(cls).s(name); }
  // Tag 6 text.
  ByteSpell& text(const std::string& t) { return b({6}).s(t); }
  ByteSpell& ident(const std::string& t) { return b({7}).s(t); }
  ByteSpell& end() { return b({0}); }
  Bytes bytes() const { return bytes_; }
  operator Bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

inline std::string HexOf(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
    out += ' ';
  }
  return out;
}

#define EXPECT_BYTES(expected, actual) EXPECT_EQ(HexOf(Bytes(expected)), HexOf(Bytes(actual)))
