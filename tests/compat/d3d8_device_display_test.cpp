// The Direct3D 8 device: clears, pixel centres, blending and depth, read back
// from real GL frames.
#include "tests/compat/d3d8_fixture.h"

namespace {

using D3D8Frame = D3D8Fixture;

TEST_F(D3D8Frame, ClearFillsTheBackBuffer) {
  ClearTo(0xFF336699);
  auto pixels = ReadBackBuffer();
  ASSERT_EQ(pixels.size(), size_t{kWidth * kHeight});
  EXPECT_EQ(At(pixels, 0, 0), 0xFF336699u);
  EXPECT_EQ(At(pixels, kWidth - 1, kHeight - 1), 0xFF336699u);
}

TEST_F(D3D8Frame, AQuadMovedByHalfAPixelCoversExactlyItsPixels) {
  ClearTo(0xFF000000);
  EXPECT_EQ(DrawList(Quad(2 - 0.5f, 3 - 0.5f, 12 - 0.5f, 8 - 0.5f, 0xFFFF0000), kFvfPCT), D3D_OK);
  auto pixels = ReadBackBuffer();
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool inside = x >= 2 && x < 12 && y >= 3 && y < 8;
      EXPECT_EQ(Rgb(At(pixels, x, y)), inside ? 0xFF0000u : 0u) << x << "," << y;
    }
  }
}

}  // namespace
