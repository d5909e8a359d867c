// The shared 2D drawing services: the quads, texture coordinates, indices and
// states they hand the device.
#include <gtest/gtest.h>

#include "core/system/log.h"
#include "platform/device_fake_helpers.h"
#include "support/log_capture.h"

namespace {

class Drawing : public ::testing::Test {
 protected:
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);
  TPixmap* pixmap = nullptr;
  TPixmap* skin = nullptr;

  void SetUp() override {
    pixmap = device->CreatePixmap(32, 16);
    skin = device->CreatePixmap(8, 8);
    host.skin = skin;
    device->SetColor(0xFF102030);
  }

  const TRecordedDraw& onlyDraw() {
    EXPECT_EQ(device->draws.size(), 1u);
    return device->draws.back();
  }
};

void ExpectVertex(const TVertexPCT& v, float x, float y, float z, float u, float tv) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
  EXPECT_FLOAT_EQ(v.u, u);
  EXPECT_FLOAT_EQ(v.v, tv);
}

TEST_F(Drawing, DrawPixmapWritesOneQuadInTheQuadPattern) {
  device->DrawPixmap(pixmap, MakeRectF(10, 20, 42, 36));
  const TRecordedDraw& draw = onlyDraw();
  ASSERT_EQ(draw.format, vfPCT);
  auto v = draw.pct();
  ASSERT_EQ(v.size(), 4u);
  ExpectVertex(v[0], 10, 20, 0, 0, 0);
  ExpectVertex(v[1], 42, 20, 0, 1, 0);
  ExpectVertex(v[2], 42, 36, 0, 1, 1);
  ExpectVertex(v[3], 10, 36, 0, 0, 1);
  for (const auto& vertex : v) EXPECT_EQ(vertex.color, 0xFF102030u);  // DeviceColor is the identity here
  EXPECT_EQ(draw.indices, (std::vector<uint16_t>{1, 0, 3, 3, 2, 1}));
  EXPECT_EQ(draw.pixmap, pixmap);
  EXPECT_EQ(device->triangleCount(), 2);
}

TEST_F(Drawing, DrawPixmapWithoutPixmapDrawsNothing) {
  device->DrawPixmap(nullptr, MakeRectF(0, 0, 5, 5));
  device->DrawPixmapAt(nullptr, 0, 0);
  EXPECT_TRUE(device->draws.empty());
}

TEST_F(Drawing, DrawPixmapAtUsesThePixmapSize) {
  device->DrawPixmapAt(pixmap, 3, 4);
  auto v = onlyDraw().pct();
  ExpectVertex(v[2], 35, 20, 0, 1, 1);
}

TEST_F(Drawing, NineSliceWithZeroMarginsEqualsDrawPixmap) {
  device->DrawPixmap(pixmap, MakeRectF(5, 6, 70, 80));
  device->DrawPixmapNineSlice(pixmap, MakeRectF(5, 6, 70, 80), MakeRectF(0, 0, 0, 0));
  ASSERT_EQ(device->draws.size(), 2u);
  EXPECT_EQ(device->draws[0].vertices, device->draws[1].vertices);
  EXPECT_EQ(device->draws[0].indices, device->draws[1].indices);
}

TEST_F(Drawing, NineSliceCornersKeepTheirSizeAndEdgesStretch) {
  // 32 x 16 pixmap, margins left 4, top 2, right 8, bottom 6, over 100 x 50 at (10, 10).
  device->DrawPixmapNineSlice(pixmap, MakeRectF(10, 10, 110, 60), MakeRectF(4, 2, 8, 6));
  const TRecordedDraw& draw = onlyDraw();
  auto v = draw.pct();
  ASSERT_EQ(v.size(), 36u);
  ASSERT_EQ(draw.indices.size(), 54u);
  // Quad 0: top-left corner, 4 x 2 pixels, texture 0..4/32, 0..2/16.
  ExpectVertex(v[0], 10, 10, 0, 0, 0);
  ExpectVertex(v[2], 14, 12, 0, 4.0f / 32, 2.0f / 16);
  // Quad 4: centre from (14, 12) to (102, 54), texture inner rectangle.
  ExpectVertex(v[16], 14, 12, 0, 4.0f / 32, 2.0f / 16);
  ExpectVertex(v[18], 102, 54, 0, 1 - 8.0f / 32, 1 - 6.0f / 16);
  // Quad 8: bottom-right corner keeps 8 x 6.
  ExpectVertex(v[32], 102, 54, 0, 1 - 8.0f / 32, 1 - 6.0f / 16);
  ExpectVertex(v[34], 110, 60, 0, 1, 1);
  // The ninth quad's indices start at vertex 32.
  EXPECT_EQ(std::vector<uint16_t>(draw.indices.begin() + 48, draw.indices.end()),
            (std::vector<uint16_t>{33, 32, 35, 35, 34, 33}));
}

TEST_F(Drawing, NineSliceMarginsFollowTheTextureScale) {
  TTextureMatrix scaled;
  scaled.m[0][0] = 2;  // the texture is read twice as wide
  device->SetTextureMatrix(scaled);
  device->DrawPixmapNineSlice(pixmap, MakeRectF(0, 0, 100, 100), MakeRectF(8, 0, 8, 0));
  auto v = onlyDraw().pct();
  EXPECT_FLOAT_EQ(v[1].u, 8.0f / 64);
}

TEST_F(Drawing, NineSliceTiledRepeatsTheInnerPartAndCutsTheLastTile) {
  // 32 x 16 pixmap with margins 4 on every side: tiles of 24 x 8.
  // Rectangle 60 x 24: inner region 52 x 16 -> 3 columns (24, 24, 4) and 2 rows.
  device->DrawPixmapNineSliceTiled(pixmap, MakeRectF(0, 0, 60, 24), MakeRectF(4, 4, 4, 4));
  const TRecordedDraw& draw = onlyDraw();
  auto v = draw.pct();
  // 4 corners + top 3 + bottom 3 + left 2 + right 2 + centre 6.
  ASSERT_EQ(v.size(), 20u * 4);
  ASSERT_EQ(draw.indices.size(), 20u * 6);
  // Quad 1 is the first top-edge tile: x 4..28, texture u 4/32..28/32.
  ExpectVertex(v[4], 4, 0, 0, 4.0f / 32, 0);
  ExpectVertex(v[6], 28, 4, 0, 28.0f / 32, 4.0f / 16);
  // Quad 3 is the cut top-edge tile: x 52..56, its u pulled back by 20 / 32.
  ExpectVertex(v[12], 52, 0, 0, 4.0f / 32, 0);
  ExpectVertex(v[14], 56, 4, 0, 28.0f / 32 - 20.0f / 32, 4.0f / 16);
  // Every quad is a rectangle within the target.
  for (size_t q = 0; q < v.size(); q += 4) {
    EXPECT_LT(v[q].x, v[q + 2].x);
    EXPECT_LT(v[q].y, v[q + 2].y);
    EXPECT_GE(v[q].x, 0);
    EXPECT_LE(v[q + 2].x, 60);
    EXPECT_LE(v[q + 2].y, 24);
  }
}

TEST_F(Drawing, NineSliceTiledWithMarginsAsWideAsThePixmapStretchesInsteadOfLooping) {
  // Tile width 32 - 20 - 12 = 0: no tile size to repeat; the region is covered once.
  device->DrawPixmapNineSliceTiled(pixmap, MakeRectF(0, 0, 200, 40), MakeRectF(20, 4, 12, 4));
  const TRecordedDraw& draw = onlyDraw();
  EXPECT_LE(draw.pct().size(), 4u * 20);
}

TEST_F(Drawing, TiledWithTinyTilesOverAHugeRectangleRefusesOnceInsteadOfExhaustingMemory) {
  LogCapture log;
  TPixmap* dot = device->CreatePixmap(1, 1);
  // Three frames of both tiled draws: the refusal is logged once per pixmap.
  for (int frame = 0; frame < 3; ++frame) {
    device->DrawPixmapTiled(dot, MakeRectF(0, 0, 100000, 100000));
    device->DrawPixmapNineSliceTiled(pixmap, MakeRectF(0, 0, 100000, 100000), MakeRectF(15, 15, 15, 15));
  }
  EXPECT_TRUE(device->draws.empty());
  EXPECT_EQ(log.count("(e) Locked size is bigger than buffer have"), 2);
}

TEST_F(Drawing, DrawPixmapTiledRepeatsThePixmapFromTheTopLeft) {
  device->DrawPixmapTiled(pixmap, MakeRectF(0, 0, 80, 16));
  auto v = onlyDraw().pct();
  ASSERT_EQ(v.size(), 12u);  // 32 + 32 + 16
  ExpectVertex(v[8], 64, 0, 0, 0, 0);
  ExpectVertex(v[10], 80, 16, 0, 0.5f, 1);
}

TEST_F(Drawing, FillRectSamplesTheSkinsTopLeftTexelWithTexturingOff) {
  device->FillRect(10, 10, 20, 20, 0.25f);
  const TRecordedDraw& draw = onlyDraw();
  auto v = draw.pct();
  ExpectVertex(v[0], 10, 10, 0.25f, 0, 0);
  ExpectVertex(v[2], 20, 20, 0.25f, 1.0f / 8, 1.0f / 8);
  EXPECT_EQ(draw.pixmap, skin);
  EXPECT_TRUE(draw.flags[rsFilterNearest]);
  EXPECT_TRUE(draw.flags[rsTextureOff]);
  EXPECT_EQ(v[0].color, 0xFF102030u);
}

TEST_F(Drawing, FrameRectDrawsFourBarsThatDoNotOverlap) {
  device->FrameRectF(MakeRectF(0, 0, 10, 8), 0, 2);
  const TRecordedDraw& draw = onlyDraw();
  auto v = draw.pct();
  ASSERT_EQ(v.size(), 16u);
  EXPECT_EQ(draw.indices.size(), 24u);
  EXPECT_TRUE(draw.flags[rsTextureModulate]);
  // Count how many bars cover each pixel centre: exactly one on the border, none inside.
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      int covered = 0;
      for (size_t q = 0; q < 16; q += 4) {
        float px = x + 0.5f, py = y + 0.5f;
        if (px > v[q].x && px < v[q + 2].x && py > v[q].y && py < v[q + 2].y) covered += 1;
      }
      bool border = x < 2 || x >= 8 || y < 2 || y >= 6;
      EXPECT_EQ(covered, border ? 1 : 0) << x << "," << y;
    }
  }
}

TEST_F(Drawing, FrameRectOfNoWidthDrawsNothing) {
  device->FrameRectF(MakeRectF(0, 0, 10, 8), 0, 0);
  device->FrameRectF(MakeRectF(0, 0, 10, 8), 0, -1);
  EXPECT_TRUE(device->draws.empty());
}

TEST_F(Drawing, DrawBoxWritesOutwardNormalsAndGetsItsFormatBack) {
  device->DrawBox(MakeVector3F(1, 2, 3), MakeVector3F(-1, -2, -3));  // corners in any order
  const TRecordedDraw& draw = onlyDraw();
  EXPECT_EQ(draw.format, vfPNCT);
  EXPECT_EQ(device->dynamicMesh()->format, vfPCT);
  auto v = draw.pnct();
  ASSERT_EQ(v.size(), 24u);
  ASSERT_EQ(draw.indices.size(), 36u);
  for (size_t face = 0; face < 6; ++face) {
    float cx = 0, cy = 0, cz = 0;
    for (size_t i = 0; i < 4; ++i) {
      cx += v[face * 4 + i].x / 4;
      cy += v[face * 4 + i].y / 4;
      cz += v[face * 4 + i].z / 4;
    }
    const TVertexPNCT& first = v[face * 4];
    // The normal is a unit axis pointing from the box centre (origin) through the face centre.
    EXPECT_FLOAT_EQ(first.nx * first.nx + first.ny * first.ny + first.nz * first.nz, 1);
    EXPECT_GT(first.nx * cx + first.ny * cy + first.nz * cz, 0) << face;
    // Every corner of the face lies in its plane.
    for (size_t i = 0; i < 4; ++i) {
      const TVertexPNCT& p = v[face * 4 + i];
      EXPECT_FLOAT_EQ(p.x * first.nx + p.y * first.ny + p.z * first.nz, cx * first.nx + cy * first.ny + cz * first.nz);
    }
  }
  EXPECT_TRUE(draw.flags[rsTextureModulate]);
  EXPECT_EQ(draw.pixmap, skin);
}

TEST_F(Drawing, DrawBoxInATransparentColourDrawsNothing) {
  device->SetColor(0x00FFFFFF);
  device->DrawBox(MakeVector3F(0, 0, 0), MakeVector3F(1, 1, 1));
  EXPECT_TRUE(device->draws.empty());
}

TEST_F(Drawing, WireBoxIsTwelveEdgesInOneLineCall) {
  device->DrawWireBox(MakeVector3F(0, 0, 0), MakeVector3F(1, 2, 3), 1.5f);
  ASSERT_EQ(device->lines.size(), 1u);
  const TRecordedLine& line = device->lines[0];
  ASSERT_EQ(line.points.size(), 24u);
  EXPECT_FLOAT_EQ(line.width, 1.5f);
  EXPECT_EQ(line.color, 0xFF102030u);
  // Each edge runs along exactly one axis, and has that axis's full length.
  float total = 0;
  for (size_t e = 0; e < 24; e += 2) {
    TVector4F d = VecSub(line.points[e + 1], line.points[e]);
    int axes = (d.x != 0) + (d.y != 0) + (d.z != 0);
    EXPECT_EQ(axes, 1);
    total += std::abs(d.x) + std::abs(d.y) + std::abs(d.z);
  }
  EXPECT_FLOAT_EQ(total, 4 * (1 + 2 + 3));
}

TEST_F(Drawing, NegativeWidthWireBoxDrawsNothingAndSegmentsDrawTwoPoints) {
  device->DrawWireBox(MakeVector3F(0, 0, 0), MakeVector3F(1, 1, 1), -1);
  EXPECT_TRUE(device->lines.empty());
  device->DrawBoundBox(MakeBoundBox(MakeVector4F(0, 0, 0, 1), MakeVector4F(1, 1, 1, 1)), 0);
  EXPECT_EQ(device->lines.size(), 1u);
  device->DrawSegment(MakeVector4F(1, 2, 3, 1), MakeVector4F(4, 5, 6, 1), 2);
  ASSERT_EQ(device->lines.size(), 2u);
  EXPECT_EQ(device->lines[1].points.size(), 2u);
  EXPECT_FLOAT_EQ(device->lines[1].points[1].y, 5);
}

TEST_F(Drawing, SetColorIsAFlatUnlitMaterial) {
  device->SetColor(0x7F00FF00);
  EXPECT_EQ(device->material(), (TMaterial{false, 0x7F00FF00, 0x7F00FF00, 0x7F00FF00}));
}

}  // namespace
