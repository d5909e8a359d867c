#pragma once
// An MD3 model file read whole ("IDP3", version 15, little-endian):
//
//   header (108 bytes): "IDP3", version, name[64], flags, frame count, tag
//     count, surface count, skin count, offsets of frames, tags, surfaces
//     and the end
//   frame records (56 bytes each) and tag records (112 bytes per frame and
//     tag) follow the header; the surfaces follow them
//   surface (at its start S): header (108 bytes): "IDP3", name[64], flags,
//     frame count, shader count, vertex count, triangle count, and the
//     offsets from S of the triangles, shaders, texture coordinates, vertex
//     frames and the surface's end (the next surface starts there);
//     shaders (68 bytes each), triangles (three int32 vertex indices),
//     texture coordinates (two float32 per vertex), vertex frames (per frame
//     and vertex: x, y, z as int16 in 1/64 units and a packed normal)
//
// Every count and offset is checked against the file before it is used.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geometry.h"

class TStream;

struct TMD3Vertex {
  int16_t x = 0, y = 0, z = 0;
  uint16_t normal = 0;  // latitude in the high byte, longitude in the low byte
};

struct TMD3Surface {
  std::string name;
  int32_t vertexCount = 0;
  std::vector<std::array<int32_t, 3>> triangles;
  std::vector<TTexCoord> texCoords;  // one per vertex
  std::vector<TMD3Vertex> vertices;  // frame after frame, vertexCount each
};

class TFileMD3 {
 public:
  // Reads the file from the stream's position to its end. Raises EReadError:
  // "Incorrect MD3 file ID (FileMD3)" and "Incorrect MD3 version number
  // (FileMD3)" for another file, and a text of its own for a count or offset
  // the file cannot hold, no frames, or a surface whose frame count differs
  // from the model's.
  void read(TStream& stream);

  int32_t frameCount() const { return frameCount_; }
  int32_t tagCount() const { return tagCount_; }
  const std::vector<TMD3Surface>& surfaces() const { return surfaces_; }

 private:
  int32_t frameCount_ = 0;
  int32_t tagCount_ = 0;
  std::vector<TMD3Surface> surfaces_;
};

// The unit vector of a packed normal.
TVector3F decodeMD3Normal(uint16_t packed);
