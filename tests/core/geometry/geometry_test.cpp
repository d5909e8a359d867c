// Records, vertex layouts, scalar helpers and rectangles.
#include "core/geometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

TEST(GeometryRecords, VertexSizeFollowsTheLayoutTable) {
  const int sizes[8] = {12, 24, 32, 20, 16, 28, 24, 36};
  for (int code = 0; code < 8; ++code) {
    EXPECT_EQ(VertexSize(static_cast<TVertexFormat>(code)), sizes[code]) << code;
    EXPECT_EQ(VertexSize(static_cast<TVertexFormat>(code | vfFlag)), sizes[code]) << code;
  }
  EXPECT_EQ(VertexSize(8), 0);
  EXPECT_EQ(VertexSize(127), 0);
  EXPECT_EQ(VertexSize(0x88), 0);
}

TEST(GeometryRecords, LayoutOffsetsAndConstructors) {
  const TVertexLayout pnct = VertexLayout(vfPNCT | vfFlag);
  EXPECT_EQ(pnct.normalOffset, static_cast<int>(offsetof(TVertexPNCT, nx)));
  EXPECT_EQ(pnct.colorOffset, static_cast<int>(offsetof(TVertexPNCT, color)));
  EXPECT_EQ(pnct.texCoordOffset, static_cast<int>(offsetof(TVertexPNCT, u)));
  EXPECT_EQ(VertexLayout(vfPCT).texCoordOffset, static_cast<int>(offsetof(TVertexPCT, u)));
  EXPECT_EQ(VertexLayout(vfPNT).colorOffset, -1);
  EXPECT_EQ(MakeVertexPNCT(1, 2, 3, 4, 5, 6, 0xAABBCCDD, 7, 8).color, 0xAABBCCDDu);
  EXPECT_EQ(MakeRectF(1, 2, 3, 4), (TRectF{1, 2, 3, 4}));
  EXPECT_EQ(Vector3To4(MakeVector3F(1, 2, 3)), MakeVector4F(1, 2, 3, 1));
}

TEST(GeometryScalar, WrapDegreesReducesToPlusMinus180) {
  EXPECT_EQ(WrapDegrees(190), -170);
  EXPECT_EQ(WrapDegrees(-190), 170);
  EXPECT_EQ(WrapDegrees(540), 180);
  EXPECT_EQ(WrapDegrees(-540), -180);
  EXPECT_EQ(WrapDegrees(180), 180);
  EXPECT_EQ(WrapDegrees(720), 0);
  float s, c;
  SinCosF(361, s, c);  // taken as 1 radian, not 361 radians
  EXPECT_NEAR(s, 0.84147098, 1e-6);
  EXPECT_NEAR(c, 0.54030231, 1e-6);
}

TEST(GeometryScalar, SmallHelpers) {
  EXPECT_EQ(RadiansToDegrees(DegreesToRadians(180)), 180);
  EXPECT_EQ(LerpF(2, 10, -0.5f), -2);
  EXPECT_EQ(InvSqrtF(-4), 0.5f);
  EXPECT_EQ(InvSqrtF(0), 1);
  EXPECT_EQ(ClampedArcCos(2), 0);
  EXPECT_NEAR(ClampedArcCos(-7), 3.14159265, 1e-6);
  EXPECT_NEAR(ClampedArcCos(0.5f), 1.04719755, 1e-6);
}

TEST(GeometryScalar, PowersOfTwo) {
  EXPECT_EQ(NextPowerOfTwo(0), 1);
  EXPECT_EQ(NextPowerOfTwo(1), 1);
  EXPECT_EQ(NextPowerOfTwo(257), 512);
  EXPECT_EQ(NextPowerOfTwo(1 << 30), 1 << 30);
  EXPECT_EQ(NextPowerOfTwo((1 << 30) + 1), 0);  // no 32-bit answer; must not hang
  EXPECT_TRUE(IsPowerOfTwo(1));
  EXPECT_FALSE(IsPowerOfTwo(0));
  EXPECT_FALSE(IsPowerOfTwo(65));
  EXPECT_FALSE(IsPowerOfTwo(-4));
}

TEST(GeometryScalar, RoundingAndPowers) {
  EXPECT_EQ(RoundHalfUp(2.5f), 3);
  EXPECT_EQ(RoundHalfUp(-1.7f), -1);
  EXPECT_EQ(RoundHalfUp(-2.5f), -2);
  EXPECT_EQ(RoundHalfUp(0.49999997f), 0);  // the sum is not rounded to float first
  EXPECT_EQ(PowerF(0, 0), 1);
  EXPECT_EQ(PowerF(0, 2.5f), 0);
  EXPECT_EQ(PowerF(-2, 3), -8);
  EXPECT_EQ(PowerF(2, -2), 0.25f);
  EXPECT_EQ(PowerF(-2, -1), -0.5f);  // negative whole exponents keep working
  EXPECT_EQ(PowerF(4, 0.5f), 2);
  EXPECT_TRUE(std::isnan(PowerF(-8, 0.5f)));
  EXPECT_TRUE(std::isinf(PowerF(2, 1e10f)));
  EXPECT_EQ(IntPowerF(2, -3), 0.125f);
}

TEST(GeometryRect, SizesEmptinessAndEdges) {
  const TRectF r = MakeRectF(10, 20, 40, 30);
  EXPECT_EQ(RectWidth(r), 30);
  EXPECT_EQ(RectHeight(r), 10);
  EXPECT_FALSE(RectIsEmpty(r));
  EXPECT_TRUE(RectIsEmpty(MakeRectF(10, 20, 10, 30)));
  EXPECT_TRUE(RectIsEmpty(MakeRectF(40, 20, 10, 30)));
  EXPECT_TRUE(RectContains(MakePointF(10, 20), r));
  EXPECT_TRUE(RectContains(MakePointF(40, 30), r));
  EXPECT_FALSE(RectContains(MakePointF(40.001f, 25), r));
  EXPECT_FALSE(RectContains(MakePointF(20, 19.999f), r));
}

TEST(GeometryRect, MovingAndCentring) {
  TRectF r = MakeRectF(10, 20, 40, 30);
  RectOffset(r, 5, -5);
  RectInflate(r, 2, 3);
  EXPECT_EQ(r, MakeRectF(13, 12, 47, 28));

  TRectF small = MakeRectF(5, 5, 15, 25);  // 10 x 20 into 33 x 50
  EXPECT_EQ(RectCenter(small, MakeRectF(100, 200, 133, 250)), MakeRectF(111, 215, 121, 235));
  EXPECT_EQ(small, MakeRectF(111, 215, 121, 235));  // gaps 11.5 -> 11 and 15
  TRectF big = MakeRectF(-3, -3, 7, 7);  // 10 x 10 into 3 x 3: gap -3.5 -> -3
  RectCenter(big, MakeRectF(1, 1, 4, 4));
  EXPECT_EQ(big, MakeRectF(-2, -2, 8, 8));
}
