#include "platform/filters/imported_mesh.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/text/exceptions.h"
#include "platform/device.h"

namespace {
[[noreturn]] void Damaged(const char* what) { throw EReadError(std::string(what)); }

}  // namespace

void CheckImportedModel(const TImportedModel& model) {
  if (model.vertexCount < 0 || model.frameCount < 1) Damaged("no frames");
  if (model.vertexCount > kMaxIndexedVertices) Damaged("more vertices than 16-bit indices reach");
  const size_t perFrame = static_cast<size_t>(model.vertexCount);
  const size_t all = perFrame * static_cast<size_t>(model.frameCount);
  if (model.positions.size() != all || model.normals.size() != all || model.texCoords.size() != perFrame) {
    Damaged("vertex arrays do not match the counts");
  }
  if (model.indices.size() > static_cast<size_t>(INT32_MAX)) Damaged("too many indices");
  for (int64_t index : model.indices) {
    if (index < 0 || index >= model.vertexCount) Damaged("an index lies past the vertices");
  }
}

namespace {

TBoundBoxF ScaledBox(const TImportedModel& model, float scale) {
  TVector3F low{65535, 65535, 65535}, high{-65535, -65535, -65535};
  for (const TVector3F& p : model.positions) {
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  return {MakeVector4F(low.x * scale, low.y * scale, low.z * scale, 1),
          MakeVector4F(high.x * scale, high.y * scale, high.z * scale, 1)};
}

// Vertex i of all frames, position-normal-texture: 8 floats.
void WriteVertices(uint8_t* out, const TImportedModel& model, float scale) {
  for (size_t i = 0; i < model.positions.size(); ++i) {
    const TVector3F& p = model.positions[i];
    const TVector3F& n = model.normals[i];
    const TTexCoord& t = model.texCoords[i % static_cast<size_t>(model.vertexCount)];
    const float vertex[8] = {p.x * scale, p.y * scale, p.z * scale, n.x, n.y, n.z, t.u, t.v};
    std::memcpy(out + i * sizeof vertex, vertex, sizeof vertex);
  }
}
}  // namespace

TMesh* CreateImportedMesh(TDevice& device, const TImportedModel& model, float scale) {
  CheckImportedModel(model);
  const bool animated = model.frameCount > 1;
  const auto indexCount = static_cast<int32_t>(model.indices.size());
  TMesh* mesh = device.CreateMesh(vfPNT, model.vertexCount, true, indexCount, false, animated, model.frameCount);
  if (!mesh) return nullptr;
  mesh->boundBox = ScaledBox(model, scale);
  void* vertices = nullptr;
  if (device.LockMeshVertex(mesh, model.vertexCount, vertices)) {
    WriteVertices(static_cast<uint8_t*>(vertices), model, scale);
    device.UnlockMeshVertex(mesh);
  }
  uint16_t* indices = nullptr;
  if (device.LockMeshIndex(mesh, indexCount, indices)) {
    for (int32_t i = 0; i < indexCount; ++i) indices[i] = static_cast<uint16_t>(model.indices[static_cast<size_t>(i)]);
    device.UnlockMeshIndex(mesh);
  }
  return mesh;
}
