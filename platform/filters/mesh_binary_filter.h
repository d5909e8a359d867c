#pragma once
// ".mesh", the system's own mesh file: the exact content of a device mesh.
//
//   0    "MESHBIN"
//   7    indexed (int32 boolean), vertex count N, vertex format (low byte),
//        index count I (int32 each)
//   23   512 reserved bytes, ignored on reading; zero, except that a
//        converted copy of an imported model notes there what it was made
//        with: "MADE" and the model scale (float32)
//   535  animated (int32 boolean), frame count F, animation count A
//   547  A animations: name (int32 length and 8-bit text), start frame,
//        end frame (int32 each), frame time (float32)
//        bounding box: minimum x, y, z, maximum x, y, z (float32 each)
//        vertices: F frames (one when not animated) of N vertices of the
//        format, as 32-bit words
//        indices: I uint16, when indexed
#include <optional>

#include "platform/filters/abstract_filter.h"
#include "platform/mesh.h"

class TStream;

class TMeshBinaryFilter : public TMeshFilter {
  Q_OBJECT(TMeshBinaryFilter, TMeshFilter)

 public:
  TMesh* readMesh(TResourceMan* manager, const WideString& name) override;
  bool writeMesh(TResourceMan* manager, const WideString& name, TMesh* mesh) override;
};

// What a ".mesh" file holds, checked: a known format, counts that memory
// and 16-bit indices can hold, every index within the vertices.
struct TMeshFileData {
  bool indexed = false;
  int32_t vertexCount = 0;
  TVertexFormat format = vfP;
  int32_t indexCount = 0;
  bool animated = false;
  int32_t frameCount = 1;  // of the vertex data: 1 when not animated
  std::vector<TMeshAnimation> animations;
  TBoundBoxF box;
  std::vector<uint32_t> vertexWords;  // frame after frame
  std::vector<uint16_t> indices;
};

// Reads a ".mesh" file from the stream's position. False for another
// signature; damaged data raises EReadError.
bool ReadMeshFile(TStream& stream, TMeshFileData& data);

// A new mesh of the device holding the data; nil when the device makes none.
TMesh* CreateMeshFromFile(TDevice& device, const TMeshFileData& data);

// The file of a mesh whose vertices (and indices) are in system memory;
// false when they are not (a mesh that was never locked). A converted copy
// passes the model scale it was imported at, to be noted in the file.
bool MeshFileBytes(const TMesh& mesh, std::vector<uint8_t>& bytes, std::optional<float> madeAtScale = std::nullopt);

// Writes the converted copy of an imported model, noting its model scale.
bool WriteMeshCopy(TResourceMan* manager, const WideString& name, TMesh* mesh, float madeAtScale);
// The model scale a ".mesh" copy notes; nothing for a file that notes none
// (one written by hand, or before copies noted it) or cannot be read.
std::optional<float> MeshCopyScale(TResourceMan* manager, const WideString& name);
