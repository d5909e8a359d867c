#pragma once
// A device mesh: vertices of one layout (all frames, frame after frame, for an
// animated mesh) and optional 16-bit indices, created, locked and destroyed
// only through the device that made it.
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geometry.h"
#include "core/objects/component.h"

// A named run of frames of an animated mesh.
struct TMeshAnimation {
  std::string name;
  int32_t startFrame = 0;
  int32_t endFrame = 0;
  float frameTime = 0;  // seconds a frame
  bool operator==(const TMeshAnimation&) const = default;
};

// Indices are 16-bit: one indexed draw reaches at most this many vertices.
inline constexpr int32_t kMaxIndexedVertices = 65536;

class TMesh : public TSomePersistent {
  Q_OBJECT(TMesh, TSomePersistent)

 public:
  // ---- what the mesh is (set by the device at creation) --------------------
  bool dynamic = false;
  bool indexed = false;
  int32_t vertexCount = 0;  // capacity in vertices of one frame
  TVertexFormat format = vfP;
  int32_t indexCount = 0;   // capacity in indices
  TBoundBoxF boundBox;
  bool animated = false;
  int32_t frameCount = 1;
  std::vector<TMeshAnimation> animations;

  // Sets what the mesh is, as every device's CreateMesh asks for it.
  void setShape(TVertexFormat newFormat, int32_t newVertexCount, bool isIndexed, int32_t newIndexCount,
                bool isDynamic, bool isAnimated, int32_t newFrameCount) {
    format = newFormat;
    vertexCount = newVertexCount;
    indexed = isIndexed;
    indexCount = isIndexed ? newIndexCount : 0;
    dynamic = isDynamic;
    animated = isAnimated;
    frameCount = newFrameCount;
  }

  // ---- the current batch ----------------------------------------------------
  // What the next DrawMesh draws: the vertices and indices of the last locks.
  int32_t batchVertices = 0;     // vertices locked for the batch
  int32_t batchFirstVertex = 0;  // vertex at which the batch's vertices start
  int32_t batchIndices = 0;      // indices locked for the batch
  int32_t batchFirstIndex = 0;   // index at which the batch's indices start
  int32_t batchVertexEnd = 0;    // byte end of the batch's vertices (appending devices)

  // ---- system memory ---------------------------------------------------------
  // Vertex bytes of all frames and the indices, allocated when a device needs
  // them (at creation or on the first lock).
  std::vector<uint8_t> vertexData;
  std::vector<uint16_t> indexData;

  // ---- the device's own handles -----------------------------------------------
  uintptr_t deviceVertexBuffer = 0;
  uintptr_t deviceIndexBuffer = 0;
  bool vertexLocked = false;
  bool indexLocked = false;

  // Bytes of one vertex of the current format.
  int vertexSize() const { return VertexSize(format); }
  // Bytes one frame of vertices takes at the current format.
  size_t frameBytes() const { return static_cast<size_t>(vertexCount) * vertexSize(); }
  // Bytes of all frames at the current format.
  size_t allFramesBytes() const { return frameBytes() * static_cast<size_t>(animated ? frameCount : 1); }
  // The first byte of a frame's vertices in vertexData.
  uint8_t* frameVertices(int32_t frame) { return vertexData.data() + frameBytes() * static_cast<size_t>(frame); }

  // Clears the batch cursors (the dynamic mesh at each frame start).
  void resetBatch();
};

// Whether these creation parameters make a mesh that memory can hold: a known
// vertex layout, counts within range, at least one frame, and every size in
// bytes below a limit that keeps all products within range.
bool IsValidMeshShape(TVertexFormat format, int64_t vertexCount, bool indexed, int64_t indexCount,
                      bool animated, int64_t frameCount);

// Moves the device's storage of a mesh (its handles, memory, lock and batch
// state) from one mesh object to another, leaving `from` with none; what the
// mesh is (layout, counts, flags, box, animations) stays with each object.
void MoveMeshStorage(TMesh& from, TMesh& to);
