#include "core/geometry/geometry_records.h"

namespace {

// One row per layout code 0..7, in the order of the vfXXX constants. Offsets
// follow from the fixed component order: position 12 bytes, normal 12,
// colour 4, texture coordinate 8.
constexpr TVertexLayout kLayouts[8] = {
    {12, -1, -1, -1},  // vfP
    {24, 12, -1, -1},  // vfPN
    {32, 12, -1, 24},  // vfPNT
    {20, -1, -1, 12},  // vfPT
    {16, -1, 12, -1},  // vfPC
    {28, 12, 24, -1},  // vfPNC
    {24, -1, 12, 16},  // vfPCT
    {36, 12, 24, 28},  // vfPNCT
};

static_assert(offsetof(TVertexPC, color) == 12);
static_assert(offsetof(TVertexPCT, color) == 12 && offsetof(TVertexPCT, u) == 16);
static_assert(offsetof(TVertexPNCT, nx) == 12 && offsetof(TVertexPNCT, color) == 24 &&
              offsetof(TVertexPNCT, u) == 28);

}  // namespace

TVertexLayout VertexLayout(TVertexFormat format) {
  const int code = format & 0x7F;
  if (code >= 8) return TVertexLayout{};
  return kLayouts[code];
}

int VertexSize(TVertexFormat format) { return VertexLayout(format).size; }

TPointF MakePointF(float x, float y) { return {x, y}; }

TTexCoord MakeTexCoord(float u, float v) { return {u, v}; }

TRectF MakeRectF(float left, float top, float right, float bottom) {
  return {left, top, right, bottom};
}

TVector3F MakeVector3F(float x, float y, float z) { return {x, y, z}; }

TVector4F MakeVector4F(float x, float y, float z, float w) { return {x, y, z, w}; }

void VecAssign(TVector4F& v, float x, float y, float z, float w) { v = {x, y, z, w}; }

TVector4F Vector3To4(const TVector3F& v) { return {v.x, v.y, v.z, 1}; }

TVector3F Vector4To3(const TVector4F& v) { return {v.x, v.y, v.z}; }

void CopyVector3(const TVector4F& v, TVector3F& out) { out = {v.x, v.y, v.z}; }

void CopyVector3(const TVector4F& v, float out[3]) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

TSphereF MakeSphere(const TVector4F& centre, float radius) { return {centre, radius}; }

TBoundBoxF MakeBoundBox(const TVector4F& min, const TVector4F& max) { return {min, max}; }

TVertexPC MakeVertexPC(float x, float y, float z, std::uint32_t color) {
  return {x, y, z, color};
}

TVertexPCT MakeVertexPCT(float x, float y, float z, std::uint32_t color, float u,
                         float v) {
  return {x, y, z, color, u, v};
}

TVertexPNCT MakeVertexPNCT(float x, float y, float z, float nx, float ny, float nz,
                           std::uint32_t color, float u, float v) {
  return {x, y, z, nx, ny, nz, color, u, v};
}
