#pragma once
// Plain geometry records: points, rectangles, vectors, matrices, bounding
// volumes, frusta and vertices. They hold no pointers and own nothing; they
// are copied by value. Every field is float32 unless said otherwise, and every
// record has the exact byte layout of the mesh files and device buffers that
// carry it (all fields are 4 bytes, so there is no padding to remove).
#include <cstddef>
#include <cstdint>

struct TPointF {
  float x = 0;
  float y = 0;
  bool operator==(const TPointF&) const = default;
};

// Same layout as TPointF; kept apart so a texture coordinate is never passed
// where a screen position is meant.
struct TTexCoord {
  float u = 0;
  float v = 0;
  bool operator==(const TTexCoord&) const = default;
};

// y grows downwards: width = right - left, height = bottom - top.
struct TRectF {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;
  bool operator==(const TRectF&) const = default;
};

struct TVector3F {
  float x = 0;
  float y = 0;
  float z = 0;
  bool operator==(const TVector3F&) const = default;
};

// The working vector. w = 1 marks a point (translated by a matrix), w = 0 a
// direction (not translated). Also serves as a plane (a, b, c, d) with
// a*x + b*y + c*z + d = 0.
struct TVector4F {
  float x = 0;
  float y = 0;
  float z = 0;
  float w = 0;
  bool operator==(const TVector4F&) const = default;
};

// Row-major, used with row vectors (v' = v x M): element (row i, column j) is
// m[4 * i + j], and the translation sits in m[12], m[13], m[14].
struct TMatrix4F {
  float m[16] = {};
  float& operator()(int row, int col) { return m[4 * row + col]; }
  float operator()(int row, int col) const { return m[4 * row + col]; }
  bool operator==(const TMatrix4F&) const = default;
};

// The one identity; routines that start from identity copy it.
inline constexpr TMatrix4F IdentityMatrix4F{{1, 0, 0, 0,  //
                                             0, 1, 0, 0,  //
                                             0, 0, 1, 0,  //
                                             0, 0, 0, 1}};

struct TBoundBoxF {
  TVector4F min;
  TVector4F max;
  bool operator==(const TBoundBoxF&) const = default;
};

struct TSphereF {
  TVector4F centre;
  float radius = 0;
  bool operator==(const TSphereF&) const = default;
};

// Plane order inside TFrustumF::planes.
inline constexpr int kFrustumLeft = 0;
inline constexpr int kFrustumTop = 1;
inline constexpr int kFrustumRight = 2;
inline constexpr int kFrustumBottom = 3;
inline constexpr int kFrustumNear = 4;
inline constexpr int kFrustumFar = 5;

// Six planes with unit normals (a, b, c); a point is inside a plane when its
// distance to it is >= 0.
struct TFrustumF {
  TVector4F planes[6];
  bool operator==(const TFrustumF&) const = default;
};

// Vertex records. The colour word is in the colour order the device asks for,
// which is why it is a bare 32-bit word here rather than a TColorARGB.
struct TVertexPC {
  float x = 0, y = 0, z = 0;
  std::uint32_t color = 0;
};

struct TVertexPCT {
  float x = 0, y = 0, z = 0;
  std::uint32_t color = 0;
  float u = 0, v = 0;
};

struct TVertexPNCT {
  float x = 0, y = 0, z = 0;
  float nx = 0, ny = 0, nz = 0;
  std::uint32_t color = 0;
  float u = 0, v = 0;
};

static_assert(sizeof(TPointF) == 8 && sizeof(TTexCoord) == 8);
static_assert(sizeof(TRectF) == 16 && sizeof(TVector3F) == 12);
static_assert(sizeof(TVector4F) == 16 && sizeof(TMatrix4F) == 64);
static_assert(sizeof(TBoundBoxF) == 32 && sizeof(TSphereF) == 20);
static_assert(sizeof(TFrustumF) == 96);
static_assert(sizeof(TVertexPC) == 16 && sizeof(TVertexPCT) == 24);
static_assert(sizeof(TVertexPNCT) == 36);

// Vertex layouts. The low seven bits of the code select the layout; bit 7 is a
// flag for the device that size and layout lookups ignore. Components always
// come in the order position, normal, colour, texture coordinate.
using TVertexFormat = std::uint8_t;
inline constexpr TVertexFormat vfP = 0;
inline constexpr TVertexFormat vfPN = 1;
inline constexpr TVertexFormat vfPNT = 2;
inline constexpr TVertexFormat vfPT = 3;
inline constexpr TVertexFormat vfPC = 4;
inline constexpr TVertexFormat vfPNC = 5;
inline constexpr TVertexFormat vfPCT = 6;
inline constexpr TVertexFormat vfPNCT = 7;
inline constexpr TVertexFormat vfFlag = 0x80;

// Bytes per vertex of a layout; 0 for codes that name no layout (8 to 127).
int VertexSize(TVertexFormat format);

// Where each component of a layout sits, in bytes from the vertex start; -1
// when the layout lacks it. The position is always at 0. Unknown codes give
// size 0 and every offset -1.
struct TVertexLayout {
  int size = 0;
  int normalOffset = -1;
  int colorOffset = -1;
  int texCoordOffset = -1;
};
TVertexLayout VertexLayout(TVertexFormat format);

// Constructors, arguments in field order.
TPointF MakePointF(float x, float y);
TTexCoord MakeTexCoord(float u, float v);
TRectF MakeRectF(float left, float top, float right, float bottom);
TVector3F MakeVector3F(float x, float y, float z);
TVector4F MakeVector4F(float x, float y, float z, float w);
void VecAssign(TVector4F& v, float x, float y, float z, float w);
TVector4F Vector3To4(const TVector3F& v);  // w = 1
TVector3F Vector4To3(const TVector4F& v);  // w dropped
void CopyVector3(const TVector4F& v, TVector3F& out);
void CopyVector3(const TVector4F& v, float out[3]);
TSphereF MakeSphere(const TVector4F& centre, float radius);
TBoundBoxF MakeBoundBox(const TVector4F& min, const TVector4F& max);
TVertexPC MakeVertexPC(float x, float y, float z, std::uint32_t color);
TVertexPCT MakeVertexPCT(float x, float y, float z, std::uint32_t color,
                         float u, float v);
TVertexPNCT MakeVertexPNCT(float x, float y, float z, float nx, float ny,
                           float nz, std::uint32_t color, float u, float v);
