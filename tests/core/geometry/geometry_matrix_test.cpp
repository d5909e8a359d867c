#include "core/geometry/geometry.h"

#include <gtest/gtest.h>

namespace {

TVector4F V(float x, float y, float z, float w = 1) { return MakeVector4F(x, y, z, w); }

TMatrix4F Rows(std::initializer_list<float> values) {
  TMatrix4F m;
  int i = 0;
  for (float v : values) m.m[i++] = v;
  return m;
}

void ExpectNear(const TMatrix4F& got, const TMatrix4F& want, float tolerance = 1e-6f) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(got.m[i], want.m[i], tolerance) << "element " << i;
}

void ExpectNear(const TVector4F& got, const TVector4F& want) {
  EXPECT_NEAR(got.x, want.x, 1e-5);
  EXPECT_NEAR(got.y, want.y, 1e-5);
  EXPECT_NEAR(got.z, want.z, 1e-5);
}

}  // namespace

TEST(GeometryMatrix, MultiplyAppliesTheLeftMatrixFirst) {
  const TMatrix4F move = Rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1});
  const TMatrix4F twice = Rows({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1});
  EXPECT_EQ(VecTransform(V(1, 0, 0), MatMultiply(move, twice)), V(4, 0, 0));
  EXPECT_EQ(VecTransform(V(1, 0, 0), MatMultiply(twice, move)), V(3, 0, 0));
  // (A x P)(i, j) = A(i, j - 1): P moves each column one place right.
  const TMatrix4F a = Rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const TMatrix4F p = Rows({0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0});
  EXPECT_EQ(MatMultiply(a, p), Rows({4, 1, 2, 3, 8, 5, 6, 7, 12, 9, 10, 11, 16, 13, 14, 15}));
}

TEST(GeometryMatrix, DeterminantAndAdjoint) {
  EXPECT_EQ(Det3x3(1, 2, 3, 0, 1, 4, 5, 6, 0), 1);
  // Permutations exercise the sign of each term of the row-0 expansion.
  EXPECT_EQ(MatDeterminant(Rows({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})), -1);
  EXPECT_EQ(MatDeterminant(Rows({0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1})), 1);
  EXPECT_EQ(MatDeterminant(Rows({0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0})), -1);
  TMatrix4F m = Rows({1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2});
  EXPECT_EQ(MatDeterminant(m), -4);
  MatAdjoint(m);  // det(M) * inverse(M)
  EXPECT_EQ(m, Rows({8, -4, 0, 0, -6, 2, 0, 0, 0, 0, -4, 0, 0, 0, 0, -2}));
}

TEST(GeometryMatrix, Invert) {
  TMatrix4F m = Rows({2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 5, 0, 1, 2, 3, 1});
  const TMatrix4F original = m;
  MatInvert(m);
  ExpectNear(m, Rows({0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.2f, 0, -0.5f, -0.5f, -0.6f, 1}));
  TMatrix4F r = MatMultiply(MatRotation(V(1, 2, 3, 0), 0.7f), original);
  const TMatrix4F before = r;
  MatInvert(r);
  ExpectNear(MatMultiply(before, r), IdentityMatrix4F, 1e-5f);
}

TEST(GeometryMatrix, InvertOfASingularMatrixIsTheIdentity) {
  TMatrix4F m = Rows({1, 2, 3, 4, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 1});
  MatInvert(m);
  EXPECT_EQ(m, IdentityMatrix4F);
  TMatrix4F tiny = IdentityMatrix4F;  // determinant 1e-44, below the epsilon
  MatScaleAll(tiny, 1e-11f);
  MatInvert(tiny);
  EXPECT_EQ(tiny, IdentityMatrix4F);
  // Determinant 4e-40: its reciprocal does not fit in a float32, the inverse does.
  TMatrix4F almost = Rows({2e-20f, 0, 0, 0, 0, 2e-20f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  MatInvert(almost);
  EXPECT_NEAR(almost.m[0] / 5e19f, 1, 1e-4);
  EXPECT_NEAR(almost.m[10], 1, 1e-4);
  EXPECT_EQ(almost.m[1], 0);
}

TEST(GeometryMatrix, OrthoMapsPixelsToClipSpace) {
  const TMatrix4F m = MatOrtho(0, 640, 480, 0, 0, 1);  // bottom > top: y down
  ExpectNear(VecTransform(V(0, 0, 0), m), V(-1, 1, 0));
  ExpectNear(VecTransform(V(640, 480, 1), m), V(1, -1, 1));
  const TMatrix4F d = MatOrtho(-1, 1, -1, 1, 10, 20);
  ExpectNear(VecTransform(V(0, 0, 10), d), V(0, 0, 0));
  ExpectNear(VecTransform(V(0, 0, 20), d), V(0, 0, 1));
}

TEST(GeometryMatrix, Perspective) {
  const TMatrix4F m = MatPerspective(1.5707964f, 0.75f, 1, 101);
  ExpectNear(m, Rows({1.5f, 0, 0, 0, 0, -2, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 1}));
  // The near distance scales the picture: 2n over the cotangent.
  const TMatrix4F n2 = MatPerspective(1.5707964f, 1, 2, 101);
  EXPECT_NEAR(n2.m[0], 4, 1e-6);
  EXPECT_NEAR(n2.m[5], -4, 1e-6);
  // The half angle is wrapped by 360 like every radian argument.
  ExpectNear(MatPerspective(1.5707964f + 720, 0.75f, 1, 101), m, 1e-4f);
}

TEST(GeometryMatrix, DegenerateProjectionsAreTheIdentity) {
  EXPECT_EQ(MatOrtho(0, 0, 480, 0, 0, 1), IdentityMatrix4F);  // minimised window
  EXPECT_EQ(MatOrtho(0, 640, 0, 0, 0, 1), IdentityMatrix4F);
  EXPECT_EQ(MatOrtho(0, 640, 480, 0, 1, 1), IdentityMatrix4F);
  EXPECT_EQ(MatPerspective(0, 0.75f, 1, 100), IdentityMatrix4F);
  EXPECT_EQ(MatPerspective(1, 0, 1, 100), IdentityMatrix4F);
  EXPECT_EQ(MatPerspective(1, 0.75f, 5, 5), IdentityMatrix4F);
}

TEST(GeometryMatrix, LookAtPutsTheEyeAtTheOriginLookingDownMinusZ) {
  const TVector4F eye = V(1, 2, 3);
  const TMatrix4F m = MatLookAt(eye, V(7, 0, 0, 0), V(0, 0, 1, 0));
  // Columns 0..2 hold the x axis (0, -1, 0), y axis (0, 0, 1), z axis (-1, 0, 0).
  ExpectNear(m, Rows({0, 0, -1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 2, -3, 1, 1}));
  ExpectNear(VecTransform(eye, m), V(0, 0, 0));
  ExpectNear(VecTransform(V(6, 2, 3), m), V(0, 0, -5));  // 5 ahead
  ExpectNear(VecTransform(V(1, 2, 4), m), V(0, 1, 0));   // 1 above
  ExpectNear(VecTransform(V(1, 1, 3), m), V(1, 0, 0));   // 1 to the right
}

TEST(GeometryMatrix, ReflectionMirrorsPointsAndDirections) {
  const TMatrix4F m = MatReflection(V(0, 0, 2), V(0, 0, 1, 0));
  EXPECT_EQ(VecTransform(V(1, 2, 5), m), V(1, 2, -1));
  EXPECT_EQ(VecTransform(V(0, 0, 1, 0), m), V(0, 0, -1));
  EXPECT_EQ(m.m[3], 0);
  EXPECT_EQ(m.m[15], 1);
  const float h = 0.70710678f;  // the plane x = y through the origin
  ExpectNear(VecTransform(V(3, 1, 4), MatReflection(V(0, 0, 0), V(h, -h, 0, 0))), V(1, 3, 4));
}
