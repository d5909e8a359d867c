// Vectors, rays, planes, frusta and bounding boxes.
#include "core/geometry/geometry.h"

#include <gtest/gtest.h>

namespace {

TVector4F V(float x, float y, float z, float w = 1) { return MakeVector4F(x, y, z, w); }

TBoundBoxF Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  return MakeBoundBox(V(x0, y0, z0), V(x1, y1, z1));
}

void ExpectNear(const TVector4F& got, const TVector4F& want, float tolerance = 1e-6f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
  EXPECT_NEAR(got.w, want.w, tolerance);
}

TVector4F Rotated(TVector4F v, const TVector4F& axis, float angle) {
  VecRotate(v, axis, angle);
  return v;
}

const TFrustumF kUnitCube = FrustumFromMatrix(IdentityMatrix4F);  // -1..1 on each axis

}  // namespace

TEST(GeometryVector, ArithmeticMarksPointsAndDirections) {
  EXPECT_EQ(VecAdd(V(1, 2, 3, 0), V(4, 5, 6, 0)), V(5, 7, 9, 1));
  EXPECT_EQ(VecScale(V(1, 2, 3, 0), 2), V(2, 4, 6, 1));
  EXPECT_EQ(VecCombine(V(1, 0, 0, 5), V(0, 1, 0, 7), 2, 3), V(2, 3, 0, 1));
  EXPECT_EQ(VecCombine4(V(1, 0, 0, 5), V(0, 1, 0, 7), 2, 3), V(2, 3, 0, 31));
  EXPECT_EQ(VecCross(V(2, 3, 4), V(5, 6, 7)), V(-3, 6, -3, 0));
  EXPECT_EQ(VecReflect(V(1, -1, 0, 0), V(0, 1, 0, 0)), V(1, 1, 0, 1));
  TVector4F a = V(1, 1, 1, 0);
  VecAddScaled(a, V(1, 0, -1, 0), 0.5f);
  EXPECT_EQ(a, V(1.5f, 1, 0.5f, 1));
  EXPECT_EQ(VecDot(V(1, 2, 3, 9), V(4, 5, 6, 9)), 32);  // w plays no part
  EXPECT_EQ(VecLength(V(1, 2, 2)), 3);
  EXPECT_EQ(VecDistanceSq(V(1, 1, 1), V(2, 3, 3)), 9);
  EXPECT_EQ(PointPlaneOffset(V(1, 2, -3), V(0, 0, 1), V(0, 0, 2)), -8);
}

TEST(GeometryVector, NormalizeAndAngles) {
  ExpectNear(VecNormalized(V(3, 0, 4, 1)), V(0.6f, 0, 0.8f, 0));
  EXPECT_EQ(VecNormalized(V(0, 0, 0, 1)), V(0, 0, 0, 0));  // zero stays zero
  EXPECT_NEAR(VecAngleCos(V(1, 0, 0), V(0, 5, 0)), 0, 1e-7);
  EXPECT_NEAR(VecAngleCos(V(1, 1, 0), V(0, 3, 0)), 0.70710678, 1e-6);
  EXPECT_EQ(VecAngleCos(V(0, 0, 0), V(1, 0, 0)), 0);  // no division by zero
}

TEST(GeometryVector, TransformWeighsTranslationByW) {
  TMatrix4F m = IdentityMatrix4F;  // rows (1 2 3 0) (4 5 6 0) (7 8 9 0) (1 1 1 1)
  for (int i = 0; i < 9; ++i) m(i / 3, i % 3) = static_cast<float>(i + 1);
  m(3, 0) = m(3, 1) = m(3, 2) = 1;
  EXPECT_EQ(VecTransform(V(1, 2, -1), m), V(3, 5, 7, 1));
  EXPECT_EQ(VecTransform(V(1, 2, -1, 0), m), V(2, 4, 6, 1));
  EXPECT_EQ(VecTransform(V(1, 2, -1, 2), m), V(4, 6, 8, 1));  // no division by w
}

TEST(GeometryVector, RotationSense) {
  // Seen from the tip of the axis, positive angles turn clockwise.
  const float quarter = 1.5707964f;
  ExpectNear(Rotated(V(1, 0, 0), V(0, 0, 5, 0), quarter), V(0, -1, 0));
  ExpectNear(Rotated(V(0, 1, 0), V(1, 0, 0, 0), quarter), V(0, 0, -1));
  ExpectNear(Rotated(V(0, 0, 1, 0), V(0, 1, 0, 0), quarter), V(-1, 0, 0, 1));
  ExpectNear(Rotated(V(1, 0, 0), V(0, 0, 1, 0), quarter + 360), V(0, -1, 0), 1e-4f);
  // 120 degrees about the diagonal cycles the axes x -> z -> y -> x.
  const float third = 2.0943952f;
  const TVector4F diagonal = V(1, 1, 1, 0);
  ExpectNear(Rotated(V(1, 0, 0), diagonal, third), V(0, 0, 1));
  ExpectNear(Rotated(V(0, 1, 0), diagonal, third), V(1, 0, 0));
  ExpectNear(Rotated(V(0, 0, 1), diagonal, third), V(0, 1, 0));
}

TEST(GeometryVector, RayPlaneIntersect) {
  TVector4F hit;
  ASSERT_TRUE(RayPlaneIntersect(V(1, 2, 0), V(0, 0, 1, 0), V(0, 0, 5), V(0, 0, -1, 0), hit));
  EXPECT_EQ(hit, V(1, 2, 5, 1));
  // The hit is taken over all four components, w included.
  ASSERT_TRUE(RayPlaneIntersect(V(0, 0, 0), V(0, 0, 1, 1), V(0, 0, 5), V(0, 0, 1, 0), hit));
  EXPECT_EQ(hit, V(0, 0, 5, 6));

  const TVector4F untouched = V(7, 7, 7, 7);
  hit = untouched;
  const TVector4F up = V(0, 0, 1, 0);
  EXPECT_FALSE(RayPlaneIntersect(V(0, 0, 0), V(1, 0, 0, 0), V(0, 0, 5), up, hit));
  EXPECT_FALSE(RayPlaneIntersect(V(0, 0, 0), up, V(0, 0, -5), up, hit));  // behind
  EXPECT_FALSE(RayPlaneIntersect(V(0, 0, 5), up, V(0, 0, 5), up, hit));   // at origin
  EXPECT_FALSE(RayPlaneIntersect(V(0, 0, 0), V(1, 0, 1e-31f, 0), V(0, 0, 5), up, hit));
  EXPECT_EQ(hit, untouched);
  EXPECT_TRUE(RayPlaneIntersect(V(0, 0, 0), V(1, 0, 1e-29f, 0), V(0, 0, 5), up, hit));
}

TEST(GeometryVector, RayHitsSphere) {
  const TVector4F o = V(0, 0, 0), dir = V(1, 0, 0, 0);
  EXPECT_TRUE(RayHitsSphere(o, dir, V(5, 1, 0), 1));  // grazing counts
  EXPECT_FALSE(RayHitsSphere(o, dir, V(5, 1, 0), 0.99f));
  EXPECT_FALSE(RayHitsSphere(o, dir, V(-5, 0, 0), 1));    // behind the origin
  EXPECT_TRUE(RayHitsSphere(o, dir, V(-0.5f, 0, 0), 1));  // origin inside
}

TEST(GeometryVolume, FrustumPlanesComeFromTheColumns) {
  TVector4F plane = V(0, 0, 2, 4);
  PlaneNormalize(plane);
  EXPECT_EQ(plane, V(0, 0, 1, 2));
  EXPECT_EQ(kUnitCube.planes[kFrustumLeft], V(1, 0, 0, 1));
  EXPECT_EQ(kUnitCube.planes[kFrustumTop], V(0, -1, 0, 1));
  EXPECT_EQ(kUnitCube.planes[kFrustumRight], V(-1, 0, 0, 1));
  EXPECT_EQ(kUnitCube.planes[kFrustumBottom], V(0, 1, 0, 1));
  EXPECT_EQ(kUnitCube.planes[kFrustumNear], V(0, 0, 1, 1));
  EXPECT_EQ(kUnitCube.planes[kFrustumFar], V(0, 0, -1, 1));
  // A pixel projection: normalised planes measure distances in pixels.
  const TFrustumF f = FrustumFromMatrix(MatOrtho(0, 640, 480, 0, 0, 1));
  EXPECT_NEAR(PlaneDistance(f.planes[kFrustumLeft], V(-7, 0, 0)), -7, 1e-4);
  EXPECT_NEAR(PlaneDistance(f.planes[kFrustumRight], V(600, 0, 0)), 40, 1e-4);
  EXPECT_NEAR(PlaneDistance(f.planes[kFrustumBottom], V(0, 470, 0)), 10, 1e-4);
}

TEST(GeometryVolume, SphereCulling) {
  EXPECT_EQ(FrustumTestSphere(kUnitCube, MakeSphere(V(0, 0, 0), 1)), kCullInside);
  EXPECT_EQ(FrustumTestSphere(kUnitCube, MakeSphere(V(1, 0, 0), 0.5f)), kCullIntersect);
  EXPECT_EQ(FrustumTestSphere(kUnitCube, MakeSphere(V(2, 0, 0), 1)), kCullIntersect);
  // Outside one plane only, inside the other five: still outside.
  EXPECT_EQ(FrustumTestSphere(kUnitCube, MakeSphere(V(0, 0, -1.6f), 0.5f)), kCullOutside);
}

TEST(GeometryVolume, BoxCulling) {
  EXPECT_EQ(FrustumTestBox(kUnitCube, Box(-1, -1, -1, 1, 1, 1)), kCullInside);
  EXPECT_EQ(FrustumTestBox(kUnitCube, Box(0.5f, 0, 0, 2, 0.5f, 0.5f)), kCullIntersect);
  EXPECT_EQ(FrustumTestBox(kUnitCube, Box(-5, -5, -5, 5, 5, 5)), kCullIntersect);
  EXPECT_EQ(FrustumTestBox(kUnitCube, Box(2, 0, 0, 3, 0.5f, 0.5f)), kCullOutside);
  // Corners on the plane count as in front.
  EXPECT_EQ(FrustumTestBox(kUnitCube, Box(1, 0, 0, 2, 0.5f, 0.5f)), kCullIntersect);
}

TEST(GeometryVolume, CornersAndExtend) {
  const auto c = BoundBoxCorners(MakeBoundBox(V(1, 2, 3, 0), V(4, 5, 6, 0)));
  EXPECT_EQ(c[0], V(1, 2, 3));
  EXPECT_EQ(c[1], V(1, 2, 6));
  EXPECT_EQ(c[2], V(1, 5, 3));
  EXPECT_EQ(c[4], V(4, 2, 3));
  EXPECT_EQ(c[7], V(4, 5, 6));
  TBoundBoxF box = Box(0, 0, 0, 1, 1, 1);
  BoundBoxExtend(box, V(2, -1, 0.5f, 9));
  EXPECT_EQ(box, Box(0, -1, 0, 2, 1, 1));
}

TEST(GeometryVolume, TransformBoundsTheMovedCorners) {
  TMatrix4F m = IdentityMatrix4F;  // (x, y, z) -> (10 - y, x, z)
  m(0, 0) = m(1, 1) = 0;
  m(0, 1) = 1;
  m(1, 0) = -1;
  m(3, 0) = 10;
  TBoundBoxF box = Box(0, 0, 0, 1, 2, 3);
  BoundBoxTransform(box, m);
  EXPECT_EQ(box, Box(8, 0, 0, 10, 1, 3));
  // min and max keep their own w: a min with w = 0 is not moved.
  TBoundBoxF marked = MakeBoundBox(V(0, 0, 0, 0), V(1, 1, 1, 1));
  TMatrix4F shift = IdentityMatrix4F;
  shift(3, 0) = 10;
  BoundBoxTransform(marked, shift);
  EXPECT_EQ(marked, Box(0, 0, 0, 11, 1, 1));
}
