#include "platform/filters/mesh_binary_filter.h"

#include <algorithm>
#include <memory>
#include <cstring>
#include <string>
#include <string_view>

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/streams/stream_primitives.h"
#include "core/system/log.h"
#include "platform/device.h"

const ClassInfo& TMeshBinaryFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMeshBinaryFilter>("TMeshBinaryFilter").build();
  return info;
}

namespace {
constexpr std::string_view kMeshSignature = "MESHBIN";
constexpr int64_t kMeshReservedBytes = 512;
// The note of a converted copy at the start of the reserved bytes.
constexpr std::string_view kMadeTag = "MADE";
constexpr int64_t kReservedOffset = 23;
// Name length, start, end and frame time: the least an animation takes.
constexpr int64_t kAnimationRecordBytes = 16;

[[noreturn]] void Damaged(const char* what) { throw EReadError(std::string(what)); }

bool ReadSignature(TStream& stream) {
  char signature[kMeshSignature.size()];
  return StreamRead(stream, signature, sizeof signature) &&
         kMeshSignature == std::string_view(signature, sizeof signature);
}

std::vector<TMeshAnimation> ReadAnimations(TStream& stream) {
  int32_t count = 0;
  if (!StreamReadInt(stream, count) || !StreamFits(stream, count, kAnimationRecordBytes)) Damaged("bad animation count");
  std::vector<TMeshAnimation> animations(static_cast<size_t>(count));
  for (TMeshAnimation& animation : animations) {
    bool complete = StreamReadString(stream, animation.name);
    complete = StreamReadInt(stream, animation.startFrame) && complete;
    complete = StreamReadInt(stream, animation.endFrame) && complete;
    if (!StreamReadFloat(stream, animation.frameTime) || !complete) Damaged("file truncated");
  }
  return animations;
}

TBoundBoxF ReadBox(TStream& stream) {
  float corners[6] = {};
  if (!StreamReadDWords(stream, corners, 6)) Damaged("file truncated");
  return {MakeVector4F(corners[0], corners[1], corners[2], 1), MakeVector4F(corners[3], corners[4], corners[5], 1)};
}

void ReadHeader(TStream& stream, TMeshFileData& d) {
  int32_t format = 0, frames = 0;
  bool complete = StreamReadBool(stream, d.indexed);
  complete = StreamReadInt(stream, d.vertexCount) && complete;
  complete = StreamReadInt(stream, format) && complete;
  complete = StreamReadInt(stream, d.indexCount) && complete;
  if (!complete || !StreamFits(stream, kMeshReservedBytes)) Damaged("file truncated");
  stream.Seek(kMeshReservedBytes, SeekOrigin::Current);
  complete = StreamReadBool(stream, d.animated);
  if (!StreamReadInt(stream, frames) || !complete) Damaged("file truncated");
  d.format = static_cast<TVertexFormat>(format & 0xFF);
  d.frameCount = d.animated ? frames : 1;
  if (d.animated && frames < 1) Damaged("an animated mesh without frames");
  if (!IsValidMeshShape(d.format, d.vertexCount, d.indexed, d.indexCount, d.animated, d.frameCount)) {
    Damaged("bad vertex format or counts");
  }
  if (d.indexed && d.vertexCount > kMaxIndexedVertices) Damaged("more vertices than 16-bit indices reach");
  if (!d.indexed) d.indexCount = 0;
}
}  // namespace

bool ReadMeshFile(TStream& stream, TMeshFileData& d) {
  if (!ReadSignature(stream)) return false;
  ReadHeader(stream, d);
  d.animations = ReadAnimations(stream);
  d.box = ReadBox(stream);
  const int64_t words = int64_t{d.vertexCount} * d.frameCount * (VertexSize(d.format) / 4);
  if (!StreamFits(stream, words * 4 + int64_t{d.indexCount} * 2)) Damaged("file truncated");
  d.vertexWords.resize(static_cast<size_t>(words));
  StreamReadDWords(stream, d.vertexWords.data(), words);
  d.indices.resize(static_cast<size_t>(d.indexCount));
  StreamReadWords(stream, d.indices.data(), d.indexCount);
  for (uint16_t index : d.indices) {
    if (index >= d.vertexCount) Damaged("an index lies past the vertices");
  }
  return true;
}

// When the vertex lock fails neither vertices nor indices are filled, and
// the mesh is given as created.
TMesh* CreateMeshFromFile(TDevice& device, const TMeshFileData& d) {
  TMesh* mesh = device.CreateMesh(d.format, d.vertexCount, d.indexed, d.indexCount, false, d.animated, d.frameCount);
  if (!mesh) return nullptr;
  mesh->boundBox = d.box;
  mesh->animations = d.animations;
  void* vertices = nullptr;
  if (!device.LockMeshVertex(mesh, d.vertexCount, vertices)) return mesh;
  std::memcpy(vertices, d.vertexWords.data(), d.vertexWords.size() * 4);
  device.UnlockMeshVertex(mesh);
  uint16_t* indices = nullptr;
  if (d.indexed && device.LockMeshIndex(mesh, d.indexCount, indices)) {
    std::copy(d.indices.begin(), d.indices.end(), indices);
    device.UnlockMeshIndex(mesh);
  }
  return mesh;
}

bool MeshFileBytes(const TMesh& mesh, std::vector<uint8_t>& bytes, std::optional<float> madeAtScale) {
  const int32_t frames = mesh.animated ? mesh.frameCount : 1;
  const int64_t words = int64_t{mesh.vertexCount} * frames * (mesh.vertexSize() / 4);
  if (mesh.vertexData.size() < static_cast<size_t>(words) * 4 ||
      (mesh.indexed && mesh.indexData.size() < static_cast<size_t>(mesh.indexCount))) {
    return false;
  }
  TMemoryStream file;
  file.Write(kMeshSignature.data(), static_cast<int64_t>(kMeshSignature.size()));
  StreamWriteBool(file, mesh.indexed);
  StreamWriteInt(file, mesh.vertexCount);
  StreamWriteInt(file, mesh.format);
  StreamWriteInt(file, mesh.indexed ? mesh.indexCount : 0);
  std::vector<uint8_t> reserved(static_cast<size_t>(kMeshReservedBytes), 0);
  if (madeAtScale) {
    TMemoryStream note;
    note.Write(kMadeTag.data(), static_cast<int64_t>(kMadeTag.size()));
    StreamWriteFloat(note, *madeAtScale);
    std::copy(note.Bytes().begin(), note.Bytes().end(), reserved.begin());
  }
  file.Write(reserved.data(), kMeshReservedBytes);
  StreamWriteBool(file, mesh.animated);
  StreamWriteInt(file, mesh.frameCount);
  StreamWriteInt(file, static_cast<int32_t>(mesh.animations.size()));
  for (const TMeshAnimation& animation : mesh.animations) {
    StreamWriteString(file, animation.name);
    StreamWriteInt(file, animation.startFrame);
    StreamWriteInt(file, animation.endFrame);
    StreamWriteFloat(file, animation.frameTime);
  }
  const TBoundBoxF& box = mesh.boundBox;
  const float corners[6] = {box.min.x, box.min.y, box.min.z, box.max.x, box.max.y, box.max.z};
  StreamWriteDWords(file, corners, 6);
  std::vector<uint32_t> vertexWords(static_cast<size_t>(words));
  std::memcpy(vertexWords.data(), mesh.vertexData.data(), vertexWords.size() * 4);
  StreamWriteDWords(file, vertexWords.data(), words);
  if (mesh.indexed) StreamWriteWords(file, mesh.indexData.data(), mesh.indexCount);
  bytes = std::move(file.Bytes());
  return true;
}

TMesh* TMeshBinaryFilter::readMesh(TResourceMan* manager, const WideString& name) {
  TMesh* mesh = readMeshWith(manager, name, [](TStream& stream, TDevice& device) -> TMesh* {
    TMeshFileData data;
    return ReadMeshFile(stream, data) ? CreateMeshFromFile(device, data) : nullptr;
  });
  if (mesh) LogInfo(u"file was loaded " + name);
  return mesh;
}

bool TMeshBinaryFilter::writeMesh(TResourceMan* manager, const WideString& name, TMesh* mesh) {
  std::vector<uint8_t> bytes;
  if (!mesh || !MeshFileBytes(*mesh, bytes)) {
    LogError(u"Can't save " + name + u": the mesh has no vertices in memory");
    return false;
  }
  return WriteFilterFile(manager, name, bytes);
}

bool WriteMeshCopy(TResourceMan* manager, const WideString& name, TMesh* mesh, float madeAtScale) {
  std::vector<uint8_t> bytes;
  return mesh && MeshFileBytes(*mesh, bytes, madeAtScale) && WriteFilterFile(manager, name, bytes);
}

std::optional<float> MeshCopyScale(TResourceMan* manager, const WideString& name) {
  std::unique_ptr<TStream, FreeDeleter> stream(manager ? manager->createStream(name, fmOpenRead) : nullptr);
  if (!stream || !ReadSignature(*stream) || !StreamFits(*stream, kReservedOffset - 7 + 8)) return std::nullopt;
  stream->Seek(kReservedOffset, SeekOrigin::Begin);
  char tag[kMadeTag.size()];
  float scale = 0;
  if (!StreamRead(*stream, tag, sizeof tag) || kMadeTag != std::string_view(tag, sizeof tag) ||
      !StreamReadFloat(*stream, scale)) {
    return std::nullopt;
  }
  return scale;
}
