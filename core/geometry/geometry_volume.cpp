#include "core/geometry/geometry_volume.h"

#include <cmath>

#include "core/geometry/geometry_scalar.h"
#include "core/geometry/geometry_vector.h"

void PlaneNormalize(TVector4F& plane) {
  const float k = InvSqrtF(std::fabs(VecLengthSq(plane)));
  plane = {plane.x * k, plane.y * k, plane.z * k, plane.w * k};
}

float PlaneDistance(const TVector4F& plane, const TVector4F& p) {
  return static_cast<float>(static_cast<double>(plane.x) * p.x +
                            static_cast<double>(plane.y) * p.y +
                            static_cast<double>(plane.z) * p.z + plane.w);
}

namespace {

TVector4F Column(const TMatrix4F& m, int k) { return {m(0, k), m(1, k), m(2, k), m(3, k)}; }

// sign * a + b over all four components, then normalised.
TVector4F PlaneOf(const TVector4F& a, float sign, const TVector4F& b) {
  TVector4F plane = VecCombine4(a, b, sign, 1);
  PlaneNormalize(plane);
  return plane;
}

}  // namespace

TFrustumF FrustumFromMatrix(const TMatrix4F& m) {
  const TVector4F c0 = Column(m, 0), c1 = Column(m, 1), c2 = Column(m, 2);
  const TVector4F c3 = Column(m, 3);
  TFrustumF f;
  f.planes[kFrustumLeft] = PlaneOf(c0, 1, c3);
  f.planes[kFrustumTop] = PlaneOf(c1, -1, c3);
  f.planes[kFrustumRight] = PlaneOf(c0, -1, c3);
  f.planes[kFrustumBottom] = PlaneOf(c1, 1, c3);
  f.planes[kFrustumNear] = PlaneOf(c2, 1, c3);
  f.planes[kFrustumFar] = PlaneOf(c2, -1, c3);
  return f;
}

int FrustumTestSphere(const TFrustumF& frustum, const TSphereF& sphere) {
  int wholly = 0;
  for (const TVector4F& plane : frustum.planes) {
    const float dist = PlaneDistance(plane, sphere.centre);
    if (dist < -sphere.radius) return kCullOutside;
    if (dist >= sphere.radius) ++wholly;
  }
  return wholly == 6 ? kCullInside : kCullIntersect;
}

int FrustumTestBox(const TFrustumF& frustum, const TBoundBoxF& box) {
  const std::array<TVector4F, 8> corners = BoundBoxCorners(box);
  int wholly = 0;
  for (const TVector4F& plane : frustum.planes) {
    int inFront = 0;
    for (const TVector4F& corner : corners) {
      if (PlaneDistance(plane, corner) >= 0) ++inFront;
    }
    if (inFront == 0) return kCullOutside;
    if (inFront == 8) ++wholly;
  }
  return wholly == 6 ? kCullInside : kCullIntersect;
}

std::array<TVector4F, 8> BoundBoxCorners(const TBoundBoxF& box) {
  std::array<TVector4F, 8> corners;
  for (int i = 0; i < 8; ++i) {
    corners[i] = {(i & 4) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                  (i & 1) ? box.max.z : box.min.z, 1};
  }
  return corners;
}

void BoundBoxExtend(TBoundBoxF& box, const TVector4F& p) {
  if (p.x < box.min.x) box.min.x = p.x;
  if (p.y < box.min.y) box.min.y = p.y;
  if (p.z < box.min.z) box.min.z = p.z;
  if (p.x > box.max.x) box.max.x = p.x;
  if (p.y > box.max.y) box.max.y = p.y;
  if (p.z > box.max.z) box.max.z = p.z;
}

void BoundBoxTransform(TBoundBoxF& box, const TMatrix4F& m) {
  std::array<TVector4F, 8> corners = BoundBoxCorners(box);
  corners[0] = box.min;  // with their own w
  corners[7] = box.max;
  const TVector4F first = VecTransform(corners[0], m);
  TBoundBoxF result{first, first};
  for (int i = 1; i < 8; ++i) BoundBoxExtend(result, VecTransform(corners[i], m));
  box = result;
}
