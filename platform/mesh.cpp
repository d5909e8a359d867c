#include "platform/mesh.h"

#include <utility>

#include "core/objects/class_builder.h"

namespace {
// No mesh of the system needs more than this in one buffer; the limit keeps
// vertex count x size x frames far from overflow.
constexpr int64_t kMaxMeshBytes = int64_t{1} << 30;
}  // namespace

const ClassInfo& TMesh::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMesh>("TMesh").build();
  return info;
}

void TMesh::resetBatch() {
  batchVertices = 0;
  batchFirstVertex = 0;
  batchIndices = 0;
  batchFirstIndex = 0;
  batchVertexEnd = 0;
}

bool IsValidMeshShape(TVertexFormat format, int64_t vertexCount, bool indexed, int64_t indexCount,
                      bool animated, int64_t frameCount) {
  int size = VertexSize(format);
  if (size == 0 || vertexCount < 0 || indexCount < 0 || frameCount < 1) return false;
  if (!animated) frameCount = 1;
  if (vertexCount > kMaxMeshBytes / size / frameCount) return false;
  return !indexed || indexCount <= kMaxMeshBytes / 2;
}

void MoveMeshStorage(TMesh& from, TMesh& to) {
  to.vertexData = std::move(from.vertexData);
  to.indexData = std::move(from.indexData);
  from.vertexData.clear();
  from.indexData.clear();
  to.deviceVertexBuffer = std::exchange(from.deviceVertexBuffer, 0);
  to.deviceIndexBuffer = std::exchange(from.deviceIndexBuffer, 0);
  to.vertexLocked = std::exchange(from.vertexLocked, false);
  to.indexLocked = std::exchange(from.indexLocked, false);
  to.batchVertices = from.batchVertices;
  to.batchFirstVertex = from.batchFirstVertex;
  to.batchIndices = from.batchIndices;
  to.batchFirstIndex = from.batchFirstIndex;
  to.batchVertexEnd = from.batchVertexEnd;
  from.resetBatch();
}
