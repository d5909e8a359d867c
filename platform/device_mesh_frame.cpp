// One frame of an animated mesh, blended between its two key frames, drawn
// through the dynamic mesh.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/device.h"
#include "platform/device_mesh_frame.h"

namespace {
int32_t ClampFrame(int64_t frame, int32_t frameCount) {
  return static_cast<int32_t>(std::clamp<int64_t>(frame, 0, frameCount - 1));
}

}  // namespace

TMeshFrameChoice ChooseMeshFrames(int32_t start, bool loop, int32_t end, float frameTime, float time,
                                  int32_t frameCount) {
  TMeshFrameChoice choice;
  choice.current = ClampFrame(start, frameCount);
  int64_t range = int64_t{end} - start;
  if (time == 0 || !(frameTime > 0) || !std::isfinite(time) || range <= 0) return choice;
  double steps = std::floor(static_cast<double>(time) / frameTime);
  if (!(steps >= 0) || steps > 1e15) return choice;
  auto k = static_cast<int64_t>(steps);
  float past = time - frameTime * static_cast<float>(k);
  choice.weight = std::clamp(past / frameTime, 0.0f, 1.0f);
  if (loop) {
    int64_t cur = k % range + start;
    int64_t next = (k + 1) % range + start;
    if (next >= end) next = start;
    if (cur >= end) cur = start;
    choice.current = ClampFrame(cur, frameCount);
    choice.next = ClampFrame(next, frameCount);
    choice.blend = true;
    return choice;
  }
  int64_t cur = k + start;
  if (cur > end || cur + 1 >= end) {
    choice.current = ClampFrame(end, frameCount);
    return choice;
  }
  choice.current = ClampFrame(cur, frameCount);
  choice.next = ClampFrame(cur + 1, frameCount);
  choice.blend = true;
  return choice;
}

namespace {
// cur + (next - cur) x w for the three floats at `offset` of every vertex.
void BlendTriples(uint8_t* out, const uint8_t* cur, const uint8_t* next, int32_t count, int size, int offset,
                  float w) {
  for (int32_t i = 0; i < count; ++i) {
    float a[3], b[3];
    std::memcpy(a, cur + static_cast<size_t>(i) * size + offset, sizeof a);
    std::memcpy(b, next + static_cast<size_t>(i) * size + offset, sizeof b);
    for (int c = 0; c < 3; ++c) a[c] += (b[c] - a[c]) * w;
    std::memcpy(out + static_cast<size_t>(i) * size + offset, a, sizeof a);
  }
}
}  // namespace

void TDevice::DrawMeshFrame(TMesh* mesh, int32_t startFrame, bool loop, int32_t endFrame, float frameTime,
                            float time) {
  TMesh* target = dynamicMesh_;
  if (!mesh || !target || mesh->frameCount < 1 || mesh->vertexCount < 1) return;
  int32_t frames = mesh->animated ? mesh->frameCount : 1;
  if (mesh->vertexData.size() < mesh->frameBytes() * static_cast<size_t>(frames)) return;
  TMeshFrameChoice choice = ChooseMeshFrames(startFrame, loop, endFrame, frameTime, time, frames);

  TVertexFormat previous = target->format;
  target->format = mesh->format;
  void* memory = nullptr;
  if (LockMeshVertex(target, mesh->vertexCount, memory)) {
    auto* out = static_cast<uint8_t*>(memory);
    const uint8_t* cur = mesh->frameVertices(choice.current);
    std::memcpy(out, cur, mesh->frameBytes());
    if (choice.blend && choice.next != choice.current) {
      TVertexLayout layout = VertexLayout(mesh->format);
      const uint8_t* next = mesh->frameVertices(choice.next);
      BlendTriples(out, cur, next, mesh->vertexCount, layout.size, 0, choice.weight);
      if (layout.normalOffset >= 0) {
        BlendTriples(out, cur, next, mesh->vertexCount, layout.size, layout.normalOffset, choice.weight);
      }
    }
    int32_t first = target->batchFirstVertex;
    bool useMeshIndices = mesh->indexed && !mesh->indexData.empty();
    auto indexCount = static_cast<int32_t>(useMeshIndices ? mesh->indexData.size() : mesh->vertexCount);
    uint16_t* indices = nullptr;
    if (LockMeshIndex(target, indexCount, indices)) {
      for (int32_t i = 0; i < indexCount; ++i) {
        int32_t index = useMeshIndices ? mesh->indexData[static_cast<size_t>(i)] : i;
        if (index >= mesh->vertexCount) index = 0;  // never let a stored index reach past the vertices
        indices[i] = static_cast<uint16_t>(first + index);
      }
      UnlockMeshIndex(target);
      UnlockMeshVertex(target);
      DrawMesh(target);
    } else {
      UnlockMeshVertex(target);
    }
  }
  target->format = previous;
}
