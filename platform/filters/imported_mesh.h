#pragma once
// What the model importers (".md3", ".3ds") gather before a device mesh is
// made: positions and normals of every frame, one texture coordinate per
// vertex, and triangle indices. One builder turns it into an indexed mesh
// of the position-normal-texture layout, so both importers share the checks
// and the scaling.
#include <cstdint>
#include <vector>

#include "core/geometry/geometry.h"

class TDevice;
class TMesh;

struct TImportedModel {
  int32_t vertexCount = 0;            // vertices of one frame
  int32_t frameCount = 1;             // more than one: an animated mesh
  std::vector<TVector3F> positions;   // frame after frame, unscaled
  std::vector<TVector3F> normals;     // as the positions
  std::vector<TTexCoord> texCoords;   // one per vertex, the same in every frame
  std::vector<int64_t> indices;       // three per triangle
};

// Raises EReadError when the vertices are more than 16-bit indices reach, an
// index lies outside them, or the arrays do not match the counts.
void CheckImportedModel(const TImportedModel& model);

// The mesh of the model: every position and the bounding box (taken over all
// frames before scaling, from corners that start at plus and minus 65535)
// multiplied by `scale`. Checks the model first (making nothing when it
// raises); nil when the device makes no mesh.
TMesh* CreateImportedMesh(TDevice& device, const TImportedModel& model, float scale);
