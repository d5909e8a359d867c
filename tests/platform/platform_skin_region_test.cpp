// The skin region of popup windows, from the skin's key colour and margins.
#include <gtest/gtest.h>

#include "compat/win32/gdi.h"
#include "compat/win32/region.h"
#include "platform/win32/skin_region.h"
#include "platform/win32/window_owner.h"

namespace {
constexpr uint32_t kOpaque = 0xFF203040;
constexpr uint32_t kMagenta = 0xFFFF00FF;

TArgbImage Skin(int w, int h, uint32_t fill) {
  TArgbImage skin;
  skin.width = w;
  skin.height = h;
  skin.pixels.assign(static_cast<size_t>(w) * h, fill);
  return skin;
}

// The region as a mask of width x height, 1 inside.
std::vector<uint8_t> Mask(const std::vector<RECT>& rects, int width, int height) {
  HRGN region = MakeRegion(rects);
  std::vector<uint8_t> mask;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) mask.push_back(PtInRegion(region, x, y) ? 1 : 0);
  }
  DeleteObject(region);
  return mask;
}

TEST(platformSkinRegion, TransparentPixelsTakeTheKeyColour) {
  TArgbImage skin = Skin(3, 1, kOpaque);
  skin.pixels[1] = 0x00123456;
  KeyTransparentPixels(skin);
  EXPECT_EQ(skin.pixels, (std::vector<uint32_t>{kOpaque, kSkinKey, kOpaque}));
}

TEST(platformSkinRegion, OpaqueMagentaWithAnyGreenIsOutside) {
  EXPECT_TRUE(IsOutsideSkin(0xFFFF00FF));
  EXPECT_TRUE(IsOutsideSkin(0xFFFF7FFF));
  EXPECT_FALSE(IsOutsideSkin(0xFEFF00FF));
  EXPECT_FALSE(IsOutsideSkin(0xFFFF00FE));
}

TEST(platformSkinRegion, WithoutMarginsTheWholeSkinCoversTheWindowAndOnePixelMore) {
  // 2 x 2 skin, left column key coloured: the left half is cut out.
  TArgbImage skin = Skin(2, 2, kOpaque);
  skin.pixels[0] = skin.pixels[2] = kMagenta;
  auto rects = SkinRegionRects(skin, TSkinMargins{}, 3, 3);  // stretched to 4 x 4
  EXPECT_EQ(Mask(rects, 5, 5), (std::vector<uint8_t>{0, 0, 1, 1, 0,  //
                                                     0, 0, 1, 1, 0,  //
                                                     0, 0, 1, 1, 0,  //
                                                     0, 0, 1, 1, 0,  //
                                                     0, 0, 0, 0, 0}));
}

TEST(platformSkinRegion, RunsOfARowBecomeOneRectangleEach) {
  TArgbImage skin = Skin(5, 1, kOpaque);
  skin.pixels[2] = kMagenta;
  auto rects = SkinRegionRects(skin, TSkinMargins{}, 4, 0);  // 5 x 1, as the skin
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].left, 0);
  EXPECT_EQ(rects[0].right, 2);
  EXPECT_EQ(rects[1].left, 3);
  EXPECT_EQ(rects[1].right, 5);
}

TEST(platformSkinRegion, CornersKeepTheirSizeAndTheInsideIsAlwaysIn) {
  // 6 x 6 skin, margins 2: corners are 2 x 2 and map pixel for pixel. The key
  // colour in the middle of the skin is ignored: the inner rectangle is in.
  TArgbImage skin = Skin(6, 6, kOpaque);
  skin.pixels[0] = kMagenta;
  skin.pixels[1 * 6 + 1] = kMagenta;
  skin.pixels[2 * 6 + 2] = kMagenta;
  auto mask = Mask(SkinRegionRects(skin, TSkinMargins{2, 2, 2, 2}, 10, 8), 12, 10);
  auto at = [&](int x, int y) { return mask[y * 12 + x]; };
  EXPECT_EQ(at(0, 0), 0);
  EXPECT_EQ(at(1, 1), 0);
  EXPECT_EQ(at(1, 0), 1);
  EXPECT_EQ(at(2, 2), 1);
  // The window and one pixel more are covered, nothing beyond.
  EXPECT_EQ(at(10, 0), 1);
  EXPECT_EQ(at(0, 8), 1);
  EXPECT_EQ(at(10, 8), 1);
  EXPECT_EQ(at(11, 0), 0);
  EXPECT_EQ(at(0, 9), 0);
  int inside = 0;
  for (uint8_t m : mask) inside += m;
  EXPECT_EQ(inside, 11 * 9 - 2);
}

TEST(platformSkinRegion, CutOutCornersAtAllFourSides) {
  TArgbImage skin = Skin(6, 6, kOpaque);
  for (int y : {0, 1, 4, 5}) {
    for (int x : {0, 1, 4, 5}) skin.pixels[y * 6 + x] = 0x00000000;
  }
  KeyTransparentPixels(skin);
  auto mask = Mask(SkinRegionRects(skin, TSkinMargins{2, 2, 2, 2}, 8, 8), 10, 10);
  auto at = [&](int x, int y) { return mask[y * 10 + x]; };
  for (int y : {0, 1, 7, 8}) {
    for (int x : {0, 1, 7, 8}) EXPECT_EQ(at(x, y), 0) << x << "," << y;
  }
  EXPECT_EQ(at(2, 0), 1);
  EXPECT_EQ(at(6, 0), 1);
  EXPECT_EQ(at(0, 2), 1);
  EXPECT_EQ(at(8, 6), 1);
}

TEST(platformSkinRegion, EdgesStretchAlongTheWindow) {
  // The skin's top edge is cut out: the whole top edge of a wide window is,
  // while its corners stay.
  TArgbImage skin = Skin(6, 6, kOpaque);
  for (int y : {0, 1}) {
    for (int x : {2, 3}) skin.pixels[y * 6 + x] = kMagenta;
  }
  auto mask = Mask(SkinRegionRects(skin, TSkinMargins{2, 2, 2, 2}, 10, 4), 12, 6);
  auto at = [&](int x, int y) { return mask[y * 12 + x]; };
  EXPECT_EQ(at(0, 0), 1);
  EXPECT_EQ(at(1, 1), 1);
  for (int x = 2; x <= 8; ++x) {
    EXPECT_EQ(at(x, 0), 0) << x;
    EXPECT_EQ(at(x, 1), 0) << x;
  }
  EXPECT_EQ(at(9, 0), 1);
  EXPECT_EQ(at(10, 1), 1);
  EXPECT_EQ(at(5, 2), 1);
  EXPECT_EQ(at(5, 4), 1);
}

TEST(platformSkinRegion, MarginsWiderThanTheWindowOrTheSkinDoNotBreakIt) {
  TArgbImage skin = Skin(4, 4, kOpaque);
  EXPECT_NO_FATAL_FAILURE(SkinRegionRects(skin, TSkinMargins{10, 10, 10, 10}, 3, 3));
  EXPECT_NO_FATAL_FAILURE(SkinRegionRects(skin, TSkinMargins{2, 2, 2, 2}, 100, 100));
  EXPECT_TRUE(SkinRegionRects(Skin(0, 0, 0), TSkinMargins{}, 10, 10).empty());
  TArgbImage shortSkin = Skin(4, 4, kOpaque);
  shortSkin.pixels.resize(3);
  EXPECT_TRUE(SkinRegionRects(shortSkin, TSkinMargins{}, 10, 10).empty());
}

TEST(platformSkinRegion, ManyRunsGoInBatches) {
  // A checkerboard row gives one rectangle per pixel: more than one batch.
  TArgbImage skin = Skin(1201, 1, kOpaque);
  for (int x = 1; x < 1201; x += 2) skin.pixels[x] = kMagenta;
  auto rects = SkinRegionRects(skin, TSkinMargins{}, 1200, 0);
  EXPECT_EQ(rects.size(), 601u);
  HRGN region = MakeRegion(rects);
  EXPECT_TRUE(PtInRegion(region, 1200, 0));
  EXPECT_FALSE(PtInRegion(region, 1199, 0));
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  DeleteObject(region);
}
}  // namespace
