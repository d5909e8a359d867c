#include "platform/filters/three_ds_image.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "core/text/exceptions.h"

namespace {
constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kVersion = 0x0002;
constexpr uint16_t kEditor = 0x3D3D;
constexpr uint16_t kMeshVersion = 0x3D3E;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kHidden = 0x4010;
constexpr uint16_t kTriangles = 0x4100;
constexpr uint16_t kPoints = 0x4110;
constexpr uint16_t kFaces = 0x4120;
constexpr uint16_t kTexCoords = 0x4140;
constexpr size_t kHeaderBytes = 6;

[[noreturn]] void Damaged(const char* what) { throw EReadError(std::string(what)); }

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t DWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// A chunk's place in the file: [begin, end) holds its header and content.
struct Chunk {
  uint16_t id = 0;
  size_t begin = 0;
  size_t end = 0;
  size_t content() const { return begin + kHeaderBytes; }
};

// The chunks directly inside [from, to), every one within it.
std::vector<Chunk> Children(const std::vector<uint8_t>& file, size_t from, size_t to) {
  std::vector<Chunk> chunks;
  for (size_t at = from; at < to;) {
    if (to - at < kHeaderBytes) Damaged("chunk header past its parent");
    const uint32_t length = DWord(&file[at + 2]);
    if (length < kHeaderBytes || length > to - at) Damaged("chunk length past its parent");
    chunks.push_back({Word(&file[at]), at, at + length});
    at += length;
  }
  return chunks;
}

std::optional<Chunk> First(const std::vector<Chunk>& chunks, uint16_t id) {
  for (const Chunk& chunk : chunks) {
    if (chunk.id == id) return chunk;
  }
  return std::nullopt;
}

// An array chunk: a 16-bit count of records of `recordBytes`, which must fit.
void CheckArray(const std::vector<uint8_t>& file, const Chunk& chunk, size_t recordBytes) {
  if (chunk.end - chunk.content() < 2) Damaged("array without its count");
  const size_t count = Word(&file[chunk.content()]);
  if (count * recordBytes > chunk.end - chunk.content() - 2) Damaged("array count past its chunk");
}

// Every face's three corners name points of the object (lib3ds computes
// face normals from them as it reads).
void CheckCorners(const std::vector<uint8_t>& file, const Chunk& faces, size_t points) {
  const size_t count = Word(&file[faces.content()]);
  const uint8_t* face = &file[faces.content() + 2];
  for (size_t i = 0; i < count; ++i, face += 8) {
    if (Word(face) >= points || Word(face + 2) >= points || Word(face + 4) >= points) {
      Damaged("a face names a point its object lacks");
    }
  }
}

// ---- the clean file ---------------------------------------------------------------

class CleanWriter {
 public:
  // Opens a chunk; its length is filled in by close().
  void open(uint16_t id) {
    starts_.push_back(bytes_.size());
    word(id);
    dword(0);
  }
  void close() {
    const size_t start = starts_.back();
    starts_.pop_back();
    const auto length = static_cast<uint32_t>(bytes_.size() - start);
    for (int i = 0; i < 4; ++i) bytes_[start + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
  }
  void word(uint16_t v) { raw({static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); }
  void dword(uint32_t v) {
    word(static_cast<uint16_t>(v));
    word(static_cast<uint16_t>(v >> 16));
  }
  void raw(std::initializer_list<uint8_t> b) { bytes_.insert(bytes_.end(), b); }
  void copy(const std::vector<uint8_t>& file, size_t from, size_t to) {
    bytes_.insert(bytes_.end(), file.begin() + static_cast<ptrdiff_t>(from), file.begin() + static_cast<ptrdiff_t>(to));
  }
  // A chunk copied whole, up to the end of its array (what follows an array
  // inside its chunk is left out).
  void copyArray(const std::vector<uint8_t>& file, const Chunk& chunk, size_t recordBytes) {
    open(chunk.id);
    const size_t count = Word(&file[chunk.content()]);
    copy(file, chunk.content(), chunk.content() + 2 + count * recordBytes);
    close();
  }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  std::vector<size_t> starts_;
};

// One named object: copied when it holds a triangle mesh with points.
void CopyObject(const std::vector<uint8_t>& file, const Chunk& object, int index, CleanWriter& out) {
  const auto* name = &file[object.content()];
  const size_t room = object.end - object.content();
  const void* terminator = std::memchr(name, 0, room);
  if (!terminator) Damaged("object name past its chunk");
  const size_t after = object.content() + static_cast<size_t>(static_cast<const uint8_t*>(terminator) - name) + 1;
  const std::vector<Chunk> parts = Children(file, after, object.end);
  const std::optional<Chunk> triangles = First(parts, kTriangles);
  if (!triangles) return;
  const std::vector<Chunk> arrays = Children(file, triangles->content(), triangles->end);
  const std::optional<Chunk> points = First(arrays, kPoints);
  if (!points) return;
  const std::optional<Chunk> texCoords = First(arrays, kTexCoords);
  const std::optional<Chunk> faces = First(arrays, kFaces);
  CheckArray(file, *points, 12);
  if (texCoords) CheckArray(file, *texCoords, 8);
  if (faces) {
    CheckArray(file, *faces, 8);
    CheckCorners(file, *faces, Word(&file[points->content()]));
  }

  char cleanName[8];
  std::snprintf(cleanName, sizeof cleanName, "%05d", index);
  out.open(kNamedObject);
  for (const char* c = cleanName; *c; ++c) out.raw({static_cast<uint8_t>(*c)});
  out.raw({0});
  if (First(parts, kHidden)) {
    out.open(kHidden);
    out.close();
  }
  out.open(kTriangles);
  out.copyArray(file, *points, 12);
  if (texCoords) out.copyArray(file, *texCoords, 8);
  if (faces) out.copyArray(file, *faces, 8);
  out.close();
  out.close();
}
}  // namespace

std::vector<uint8_t> CleanThreeDsImage(const std::vector<uint8_t>& file) {
  if (file.size() < kHeaderBytes || Word(file.data()) != kMain) Damaged("not a 3DS file");
  // Whatever follows the main chunk is no part of the model.
  const Chunk main{kMain, 0, DWord(&file[2])};
  if (main.end < kHeaderBytes || main.end > file.size()) Damaged("chunk length past the file");
  const std::vector<Chunk> sections = Children(file, main.content(), main.end);
  CleanWriter out;
  out.open(kMain);
  out.open(kVersion);
  out.dword(3);
  out.close();
  out.open(kEditor);
  out.open(kMeshVersion);
  out.dword(3);
  out.close();
  int index = 0;
  for (const Chunk& section : sections) {
    if (section.id != kEditor) continue;
    for (const Chunk& object : Children(file, section.content(), section.end)) {
      if (object.id == kNamedObject && index < 100000) CopyObject(file, object, index++, out);
    }
  }
  out.close();
  out.close();
  return std::move(out.bytes());
}
