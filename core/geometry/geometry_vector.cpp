#include "core/geometry/geometry_vector.h"

#include <bit>
#include <cmath>

#include "core/geometry/geometry_matrix.h"
#include "core/geometry/geometry_scalar.h"

namespace {

// A ray whose direction meets the plane normal with a dot product inside
// +-1e-30 (the float32 with bits 0x0DA24260) counts as parallel.
constexpr float kParallelLimit = std::bit_cast<float>(std::uint32_t{0x0DA24260});

double Dot3(const TVector4F& a, const TVector4F& b) {
  return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
         static_cast<double>(a.z) * b.z;
}

TVector4F Point(double x, double y, double z) {
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 1};
}

}  // namespace

TVector4F VecAdd(const TVector4F& a, const TVector4F& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z, 1};
}

TVector4F VecSub(const TVector4F& a, const TVector4F& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z, 1};
}

void VecAddTo(TVector4F& a, const TVector4F& b) { a = VecAdd(a, b); }

void VecAddScaled(TVector4F& a, const TVector4F& b, float s) {
  a = VecCombine(a, b, 1, s);
}

TVector4F VecScale(const TVector4F& v, float s) { return {v.x * s, v.y * s, v.z * s, 1}; }

TVector4F VecCombine(const TVector4F& a, const TVector4F& b, float s1, float s2) {
  const double p = s1, q = s2;
  return Point(p * a.x + q * b.x, p * a.y + q * b.y, p * a.z + q * b.z);
}

TVector4F VecCombine4(const TVector4F& a, const TVector4F& b, float s1, float s2) {
  TVector4F r = VecCombine(a, b, s1, s2);
  r.w = static_cast<float>(static_cast<double>(s1) * a.w + static_cast<double>(s2) * b.w);
  return r;
}

TVector4F VecReflect(const TVector4F& v, const TVector4F& n) {
  return VecCombine(v, n, 1, -2 * VecDot(v, n));
}

float VecDot(const TVector4F& a, const TVector4F& b) {
  return static_cast<float>(Dot3(a, b));
}

TVector4F VecCross(const TVector4F& a, const TVector4F& b) {
  const double x = static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y;
  const double y = static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z;
  const double z = static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x;
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 0};
}

float VecLengthSq(const TVector4F& v) { return VecDot(v, v); }

float VecLength(const TVector4F& v) {
  return static_cast<float>(std::sqrt(Dot3(v, v)));
}

float VecDistanceSq(const TVector4F& a, const TVector4F& b) {
  const double dx = static_cast<double>(a.x) - b.x;
  const double dy = static_cast<double>(a.y) - b.y;
  const double dz = static_cast<double>(a.z) - b.z;
  return static_cast<float>(dx * dx + dy * dy + dz * dz);
}

void VecNormalize(TVector4F& v) { v = VecNormalized(v); }

TVector4F VecNormalized(const TVector4F& v) {
  const float k = InvSqrtF(std::fabs(VecLengthSq(v)));
  return {v.x * k, v.y * k, v.z * k, 0};
}

float VecAngleCos(const TVector4F& a, const TVector4F& b) {
  float divisor = VecLength(a) * VecLength(b);
  if (!(divisor > kGeometryEpsilon)) divisor = kGeometryEpsilon;
  return static_cast<float>(Dot3(a, b) / divisor);
}

TVector4F VecTransform(const TVector4F& v, const TMatrix4F& m) {
  double out[3];
  for (int j = 0; j < 3; ++j) {
    out[j] = static_cast<double>(v.x) * m(0, j) + static_cast<double>(v.y) * m(1, j) +
             static_cast<double>(v.z) * m(2, j) + static_cast<double>(v.w) * m(3, j);
  }
  return Point(out[0], out[1], out[2]);
}

void VecRotate(TVector4F& v, const TVector4F& axis, float angle) {
  v = VecTransform(v, MatRotation(axis, angle));
}

float PointPlaneOffset(const TVector4F& p, const TVector4F& planePoint,
                       const TVector4F& normal) {
  return VecDot(VecSub(p, planePoint), normal);
}

bool RayPlaneIntersect(const TVector4F& origin, const TVector4F& direction,
                       const TVector4F& planePoint, const TVector4F& normal,
                       TVector4F& hit) {
  const float d = VecDot(direction, normal);
  if (-kParallelLimit <= d && d <= kParallelLimit) return false;
  const float t = VecDot(VecSub(planePoint, origin), normal) / d;
  if (!(t > 0)) return false;
  hit = VecCombine4(origin, direction, 1, t);
  return true;
}

bool RayHitsSphere(const TVector4F& origin, const TVector4F& direction,
                   const TVector4F& centre, float radius) {
  // The point of the ray closest to the centre, never behind the origin.
  const float t = FloatMax(0, PointPlaneOffset(centre, origin, direction));
  const TVector4F closest = VecCombine(origin, direction, 1, t);
  return radius * radius >= VecDistanceSq(centre, closest);
}
