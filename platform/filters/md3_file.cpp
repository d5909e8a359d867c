#include "platform/filters/md3_file.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <string_view>

#include "core/resources/stream.h"
#include "core/streams/stream_primitives.h"
#include "core/text/exceptions.h"

namespace {
constexpr std::string_view kIdent = "IDP3";
constexpr int32_t kVersion = 15;
constexpr int64_t kHeaderBytes = 108;
constexpr int64_t kFrameBytes = 56;
constexpr int64_t kTagBytes = 112;
constexpr int64_t kSurfaceHeaderBytes = 108;
constexpr int64_t kTriangleBytes = 12;
constexpr int64_t kTexCoordBytes = 8;
constexpr int64_t kVertexBytes = 8;
constexpr int kNameBytes = 64;

[[noreturn]] void Damaged(const std::string& what) { throw EReadError(what); }

// The whole file, read through stream primitives at checked places.
class Md3Bytes {
 public:
  explicit Md3Bytes(std::vector<uint8_t> bytes)
      : bytes_(std::move(bytes)), stream_(bytes_.data(), static_cast<int64_t>(bytes_.size())) {}

  int64_t size() const { return static_cast<int64_t>(bytes_.size()); }
  // Places the reader at `offset`, where `count` records of `recordBytes`
  // must lie within the file.
  TStream& at(int64_t offset, int64_t count, int64_t recordBytes, const char* what) {
    if (offset < 0 || offset > size() || count < 0) Damaged(std::string("bad ") + what);
    stream_.SetPosition(offset);
    if (!StreamFits(stream_, count, recordBytes)) Damaged(std::string("bad ") + what);
    return stream_;
  }
  TStream& stream() { return stream_; }

 private:
  std::vector<uint8_t> bytes_;
  TReadOnlyMemoryStream stream_;
};

std::string ReadName(TStream& stream) {
  char name[kNameBytes] = {};
  StreamRead(stream, name, kNameBytes);
  return std::string(name, strnlen(name, kNameBytes));
}

void ReadIdent(TStream& stream, const char* message) {
  char ident[4] = {};
  StreamRead(stream, ident, 4);
  if (std::string_view(ident, 4) != kIdent) Damaged(message);
}

struct SurfaceHeader {
  int32_t frames = 0, shaders = 0, vertices = 0, triangles = 0;
  int32_t trianglesAt = 0, shadersAt = 0, texCoordsAt = 0, verticesAt = 0, endAt = 0;
};

TMD3Surface ReadSurface(Md3Bytes& file, int64_t start, int32_t modelFrames, int64_t& next) {
  TStream& header = file.at(start, 1, kSurfaceHeaderBytes, "surface offset");
  ReadIdent(header, "Incorrect MD3 surface ID (FileMD3)");
  TMD3Surface surface;
  surface.name = ReadName(header);
  StreamReadInt(header);  // flags
  SurfaceHeader h;
  int32_t* fields[] = {&h.frames,    &h.shaders,     &h.vertices,   &h.triangles, &h.trianglesAt,
                       &h.shadersAt, &h.texCoordsAt, &h.verticesAt, &h.endAt};
  for (int32_t* field : fields) StreamReadInt(header, *field);
  if (h.frames != modelFrames) Damaged("surface frame count differs from the model's");
  if (h.endAt < kSurfaceHeaderBytes) Damaged("bad surface end");
  file.at(start + h.shadersAt, h.shaders, 68, "shader offset");
  surface.vertexCount = h.vertices;

  TStream& triangles = file.at(start + h.trianglesAt, h.triangles, kTriangleBytes, "triangle offset");
  surface.triangles.resize(static_cast<size_t>(h.triangles));
  for (auto& triangle : surface.triangles) StreamReadDWords(triangles, triangle.data(), 3);

  TStream& texCoords = file.at(start + h.texCoordsAt, h.vertices, kTexCoordBytes, "texture coordinate offset");
  surface.texCoords.resize(static_cast<size_t>(h.vertices));
  for (TTexCoord& st : surface.texCoords) {
    st.u = StreamReadFloat(texCoords);
    st.v = StreamReadFloat(texCoords);
  }

  const int64_t vertexRecords = int64_t{h.frames} * h.vertices;
  TStream& vertices = file.at(start + h.verticesAt, vertexRecords, kVertexBytes, "vertex offset");
  surface.vertices.resize(static_cast<size_t>(vertexRecords));
  for (TMD3Vertex& v : surface.vertices) {
    uint16_t words[4] = {};
    StreamReadWords(vertices, words, 4);
    v = {static_cast<int16_t>(words[0]), static_cast<int16_t>(words[1]), static_cast<int16_t>(words[2]), words[3]};
  }
  next = start + h.endAt;
  return surface;
}
}  // namespace

void TFileMD3::read(TStream& stream) {
  const int64_t remaining = stream.Remaining();
  if (remaining < kHeaderBytes) Damaged("Incorrect MD3 file ID (FileMD3)");
  std::vector<uint8_t> bytes(static_cast<size_t>(remaining));
  StreamRead(stream, bytes.data(), remaining);
  Md3Bytes file(std::move(bytes));
  TStream& header = file.at(0, 1, kHeaderBytes, "header");
  ReadIdent(header, "Incorrect MD3 file ID (FileMD3)");
  if (StreamReadInt(header) != kVersion) Damaged("Incorrect MD3 version number (FileMD3)");
  ReadName(header);
  StreamReadInt(header);  // flags
  frameCount_ = StreamReadInt(header);
  tagCount_ = StreamReadInt(header);
  const int32_t surfaceCount = StreamReadInt(header);
  if (frameCount_ < 1) Damaged("an MD3 model without frames");
  if (tagCount_ < 0 || surfaceCount < 0) Damaged("bad MD3 counts");

  // Frame and tag records follow the header; the surfaces follow them.
  file.at(kHeaderBytes, frameCount_, kFrameBytes, "frame count");
  const int64_t tagsAt = kHeaderBytes + int64_t{frameCount_} * kFrameBytes;
  file.at(tagsAt, int64_t{frameCount_} * tagCount_, kTagBytes, "tag count");
  int64_t surfaceAt = tagsAt + int64_t{frameCount_} * tagCount_ * kTagBytes;
  surfaces_.clear();
  for (int32_t i = 0; i < surfaceCount; ++i) surfaces_.push_back(ReadSurface(file, surfaceAt, frameCount_, surfaceAt));
}

TVector3F decodeMD3Normal(uint16_t packed) {
  constexpr double kStep = 2 * std::numbers::pi / 255;
  const double lat = ((packed >> 8) & 0xFF) * kStep;
  const double lng = (packed & 0xFF) * kStep;
  return MakeVector3F(static_cast<float>(-std::cos(lat) * std::sin(lng)),
                      static_cast<float>(-std::sin(lat) * std::sin(lng)), static_cast<float>(-std::cos(lng)));
}
