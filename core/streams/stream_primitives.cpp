#include "core/streams/stream_primitives.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "core/system/log.h"

namespace {

// Items go through a small buffer of bytes so that any count works without
// allocating for it.
constexpr int64_t kChunkBytes = 16384;

template <typename Unsigned>
Unsigned DecodeLittleEndian(const uint8_t* bytes) {
  Unsigned value = 0;
  for (size_t i = 0; i < sizeof(Unsigned); ++i) value |= static_cast<Unsigned>(bytes[i]) << (8 * i);
  return value;
}

template <typename Unsigned>
void EncodeLittleEndian(Unsigned value, uint8_t* bytes) {
  for (size_t i = 0; i < sizeof(Unsigned); ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Reads `count` items whose stored form is the little-endian `Unsigned`;
// `store` turns each stored value into the caller's item. Items the stream
// does not supply become zero.
template <typename Unsigned, typename Item, typename Store>
bool ReadItems(TStream& stream, Item* items, int64_t count, Store store) {
  if (count < 0) return false;
  constexpr int64_t size = sizeof(Unsigned);
  constexpr int64_t perChunk = kChunkBytes / size;
  uint8_t buffer[kChunkBytes];
  bool complete = true;
  for (int64_t done = 0; done < count;) {
    int64_t wanted = std::min(perChunk, count - done);
    int64_t got = complete ? stream.Read(buffer, wanted * size) : 0;
    if (got < wanted * size) {
      complete = false;
      std::memset(buffer + std::max<int64_t>(got, 0), 0, static_cast<size_t>(wanted * size - std::max<int64_t>(got, 0)));
    }
    for (int64_t i = 0; i < wanted; ++i) items[done + i] = store(DecodeLittleEndian<Unsigned>(buffer + i * size));
    done += wanted;
  }
  return complete;
}

template <typename Unsigned, typename Item, typename Load>
bool WriteItems(TStream& stream, const Item* items, int64_t count, Load load) {
  if (count < 0) return false;
  constexpr int64_t size = sizeof(Unsigned);
  constexpr int64_t perChunk = kChunkBytes / size;
  uint8_t buffer[kChunkBytes];
  for (int64_t done = 0; done < count;) {
    int64_t n = std::min(perChunk, count - done);
    for (int64_t i = 0; i < n; ++i) EncodeLittleEndian<Unsigned>(load(items[done + i]), buffer + i * size);
    if (stream.Write(buffer, n * size) != n * size) return false;
    done += n;
  }
  return true;
}

template <typename T>
T Same(T value) {
  return value;
}

}  // namespace

bool StreamFits(TStream& stream, int64_t count, int64_t itemSize) {
  if (count < 0 || itemSize < 0) return false;
  if (count == 0 || itemSize == 0) return true;
  int64_t remaining = stream.Remaining();
  if (remaining <= 0) return false;
  return count <= remaining / itemSize;
}

bool StreamRead(TStream& stream, void* buffer, int64_t count) {
  if (count < 0) return false;
  int64_t got = count > 0 ? stream.Read(buffer, count) : 0;
  if (got >= count) return true;
  int64_t kept = std::max<int64_t>(got, 0);
  std::memset(static_cast<uint8_t*>(buffer) + kept, 0, static_cast<size_t>(count - kept));
  return false;
}

bool StreamWrite(TStream& stream, const void* buffer, int64_t count) {
  if (count < 0) return false;
  return count == 0 || stream.Write(buffer, count) == count;
}

bool StreamReadDWords(TStream& stream, uint32_t* items, int64_t count) {
  return ReadItems<uint32_t>(stream, items, count, Same<uint32_t>);
}

bool StreamReadDWords(TStream& stream, int32_t* items, int64_t count) {
  return ReadItems<uint32_t>(stream, items, count, [](uint32_t v) { return static_cast<int32_t>(v); });
}

bool StreamReadDWords(TStream& stream, float* items, int64_t count) {
  return ReadItems<uint32_t>(stream, items, count, [](uint32_t v) { return std::bit_cast<float>(v); });
}

bool StreamWriteDWords(TStream& stream, const uint32_t* items, int64_t count) {
  return WriteItems<uint32_t>(stream, items, count, Same<uint32_t>);
}

bool StreamWriteDWords(TStream& stream, const int32_t* items, int64_t count) {
  return WriteItems<uint32_t>(stream, items, count, [](int32_t v) { return static_cast<uint32_t>(v); });
}

bool StreamWriteDWords(TStream& stream, const float* items, int64_t count) {
  return WriteItems<uint32_t>(stream, items, count, [](float v) { return std::bit_cast<uint32_t>(v); });
}

bool StreamReadPixels(TStream& stream, uint32_t* pixels, int64_t count) {
  return StreamReadDWords(stream, pixels, count);
}

bool StreamReadWords(TStream& stream, uint16_t* items, int64_t count) {
  return ReadItems<uint16_t>(stream, items, count, Same<uint16_t>);
}

bool StreamReadWords(TStream& stream, char16_t* items, int64_t count) {
  return ReadItems<uint16_t>(stream, items, count, [](uint16_t v) { return static_cast<char16_t>(v); });
}

bool StreamWriteWords(TStream& stream, const uint16_t* items, int64_t count) {
  return WriteItems<uint16_t>(stream, items, count, Same<uint16_t>);
}

bool StreamWriteWords(TStream& stream, const char16_t* items, int64_t count) {
  return WriteItems<uint16_t>(stream, items, count, [](char16_t v) { return static_cast<uint16_t>(v); });
}

// ---- single values -----------------------------------------------------------------

bool StreamReadBool(TStream& stream, bool& value) {
  uint32_t stored = 0;
  bool complete = StreamReadDWords(stream, &stored, 1);
  value = stored != 0;
  return complete;
}

bool StreamReadBool(TStream& stream) {
  bool value = false;
  StreamReadBool(stream, value);
  return value;
}

bool StreamWriteBool(TStream& stream, bool value) {
  uint32_t stored = value ? 1 : 0;
  return StreamWriteDWords(stream, &stored, 1);
}

bool StreamReadInt(TStream& stream, int32_t& value) { return StreamReadDWords(stream, &value, 1); }

int32_t StreamReadInt(TStream& stream) {
  int32_t value = 0;
  StreamReadInt(stream, value);
  return value;
}

bool StreamWriteInt(TStream& stream, int32_t value) { return StreamWriteDWords(stream, &value, 1); }

bool StreamReadFloat(TStream& stream, float& value) { return StreamReadDWords(stream, &value, 1); }

float StreamReadFloat(TStream& stream) {
  float value = 0;
  StreamReadFloat(stream, value);
  return value;
}

bool StreamWriteFloat(TStream& stream, float value) { return StreamWriteDWords(stream, &value, 1); }

bool StreamReadDouble(TStream& stream, double& value) {
  uint64_t stored = 0;
  bool complete = ReadItems<uint64_t>(stream, &stored, 1, Same<uint64_t>);
  value = std::bit_cast<double>(stored);
  return complete;
}

double StreamReadDouble(TStream& stream) {
  double value = 0;
  StreamReadDouble(stream, value);
  return value;
}

bool StreamWriteDouble(TStream& stream, double value) {
  uint64_t stored = std::bit_cast<uint64_t>(value);
  return WriteItems<uint64_t>(stream, &stored, 1, Same<uint64_t>);
}

// ---- 8-bit strings -----------------------------------------------------------------

bool StreamReadString(TStream& stream, AnsiString& value) {
  value.clear();
  int32_t count = 0;
  if (!StreamReadInt(stream, count)) return false;
  if (count == 0) return true;
  // The count comes from the file: it must not make us allocate for bytes
  // that are not there.
  if (!StreamFits(stream, count)) {
    LogError(u"Read error");
    return false;
  }
  value.resize(static_cast<size_t>(count));
  if (!StreamRead(stream, value.data(), count)) {
    value.clear();
    LogError(u"Read error");
    return false;
  }
  return true;
}

AnsiString StreamReadString(TStream& stream) {
  AnsiString value;
  StreamReadString(stream, value);
  return value;
}

bool StreamWriteString(TStream& stream, const AnsiString& value) {
  if (value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  int32_t count = static_cast<int32_t>(value.size());
  return StreamWriteInt(stream, count) && StreamWrite(stream, value.data(), count);
}
