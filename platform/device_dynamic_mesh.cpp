// The shared dynamic mesh: one indexed vfPCT mesh that all 2D drawing fills
// and draws call by call. It starts at the program-wide capacities and grows
// in steps; a lock that does not fit fails and asks the next Tick to grow it,
// so no drawing call ever loses the mesh it is writing into.
#include <algorithm>

#include "core/system/log.h"
#include "platform/device.h"

void TDevice::CreateDynamicMesh() {
  const TDynamicMeshCapacity& capacity = DynamicMeshCapacity();
  dynamicMesh_ = CreateMesh(vfPCT, capacity.vertices, true, capacity.indices, true, false, 1);
  BuildRenderStates();
}

void TDevice::GrowDynamicMesh() {
  TDynamicMeshCapacity& capacity = DynamicMeshCapacity();
  int32_t vertices = std::min(capacity.vertices + kDynamicVertexStep, kDynamicVertexLimit);
  int32_t indices = std::min(capacity.indices + kDynamicIndexStep, kDynamicIndexLimit);
  if (vertices == capacity.vertices && indices == capacity.indices) return;
  capacity.vertices = vertices;
  capacity.indices = indices;
  if (dynamicMesh_) {
    TMesh* old = dynamicMesh_;
    if (lastMesh_ == old) lastMesh_ = nullptr;
    DestroyMesh(old);
  }
  dynamicMesh_ = CreateMesh(vfPCT, vertices, true, indices, true, false, 1);
  LogInfo(W("Dynamic mesh increased to new size VB=") + AnsiToWide(std::to_string(vertices)) + W(" IB=") +
          AnsiToWide(std::to_string(indices)));
}

bool TDevice::DynamicVertexLockFits(TMesh* mesh, int64_t firstVertex, int64_t count, size_t byteCapacity) {
  int64_t size = mesh->vertexSize();
  bool fits = count >= 0 && size > 0 && (firstVertex + count) * size <= static_cast<int64_t>(byteCapacity);
  // Indices are 16-bit: an indexed batch must end within their reach.
  if (fits && mesh->indexed) fits = firstVertex + count <= kMaxIndexedVertices;
  if (fits) return true;
  if (mesh == dynamicMesh_) growRequested_ = true;
  LogError(W("Locked size is bigger than buffer have"));
  return false;
}

bool TDevice::DynamicIndexLockFits(TMesh* mesh, int64_t firstIndex, int64_t count, int64_t capacity) {
  if (count >= 0 && firstIndex + count <= capacity) return true;
  if (mesh == dynamicMesh_) growRequested_ = true;
  LogError(W("Locked size is bigger than index buffer have"));
  return false;
}
