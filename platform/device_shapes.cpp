// Solid and wire boxes, bound boxes and line segments in the current colour.
#include <algorithm>
#include <array>

#include "platform/device.h"

namespace {
// The eight corners of the box between lo and hi; corner i takes x from hi
// when bit 2 is set, y when bit 1 is, z when bit 0 is.
std::array<TVector4F, 8> BoxCorners(const TVector3F& a, const TVector3F& b) {
  TBoundBoxF box = MakeBoundBox(MakeVector4F(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z), 1),
                                MakeVector4F(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z), 1));
  return BoundBoxCorners(box);
}

// Each face's four corners, ordered so that its edges (v1 - v0) x (v3 - v0)
// point into the box: the winding the device draws as a front face when seen
// from outside, as for screen quads.
constexpr int kBoxFaces[6][4] = {
    {4, 5, 7, 6},  // +x
    {0, 2, 3, 1},  // -x
    {2, 6, 7, 3},  // +y
    {0, 1, 5, 4},  // -y
    {1, 3, 7, 5},  // +z
    {0, 4, 6, 2},  // -z
};

// The twelve edges as corner pairs.
constexpr int kBoxEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                  {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
}  // namespace

void TDevice::DrawBox(const TVector3F& corner1, const TVector3F& corner2) {
  if ((material_.diffuse >> 24) == 0 || !dynamicMesh_) return;
  SetPixmap(0, defaultSkin());
  SetRenderState(rsFilterNearest);
  SetRenderState(rsTextureModulate);
  std::array<TVector4F, 8> c = BoxCorners(corner1, corner2);
  TMesh* mesh = dynamicMesh_;
  TVertexFormat previous = mesh->format;
  mesh->format = vfPNCT;
  void* memory = nullptr;
  if (LockMeshVertex(mesh, 24, memory)) {
    uint32_t color = DeviceColor(material_.diffuse);
    auto* vertex = static_cast<TVertexPNCT*>(memory);
    for (const auto& face : kBoxFaces) {
      const TVector4F& v0 = c[face[0]];
      // Outward: the reverse of the winding's edge product.
      TVector4F normal = VecNormalized(VecCross(VecSub(c[face[3]], v0), VecSub(c[face[1]], v0)));
      for (int corner : face) {
        const TVector4F& p = c[corner];
        *vertex++ = MakeVertexPNCT(p.x, p.y, p.z, normal.x, normal.y, normal.z, color, 0, 0);
      }
    }
    int32_t first = mesh->batchFirstVertex;
    uint16_t* indices = nullptr;
    if (LockMeshIndex(mesh, 36, indices)) {
      for (int q = 0; q < 6; ++q) {
        auto b = static_cast<uint16_t>(first + 4 * q);
        const uint16_t pattern[6] = {static_cast<uint16_t>(b + 1), b, static_cast<uint16_t>(b + 3),
                                     static_cast<uint16_t>(b + 3), static_cast<uint16_t>(b + 2),
                                     static_cast<uint16_t>(b + 1)};
        std::copy(pattern, pattern + 6, indices + 6 * q);
      }
      UnlockMeshIndex(mesh);
      UnlockMeshVertex(mesh);
      DrawMesh(mesh);
    } else {
      UnlockMeshVertex(mesh);
    }
  }
  mesh->format = previous;
}

void TDevice::DrawWireBox(const TVector3F& corner1, const TVector3F& corner2, float width) {
  if (width < 0) return;
  std::array<TVector4F, 8> c = BoxCorners(corner1, corner2);
  std::array<TVector4F, 24> points;
  for (int e = 0; e < 12; ++e) {
    points[2 * e] = c[kBoxEdges[e][0]];
    points[2 * e + 1] = c[kBoxEdges[e][1]];
  }
  DrawLine(points.data(), 24, width);
}

void TDevice::DrawBoundBox(const TBoundBoxF& box, float width) {
  DrawWireBox(Vector4To3(box.min), Vector4To3(box.max), width);
}

void TDevice::DrawSegment(const TVector4F& from, const TVector4F& to, float width) {
  const TVector4F points[2] = {from, to};
  DrawLine(points, 2, width);
}
