// Regions made of rectangles.
#include <gtest/gtest.h>

#include <vector>

#include "compat/win32/gdi.h"
#include "compat/win32/region.h"

namespace {
struct RegionBytes {
  RGNDATAHEADER header;
  RECT rects[3];
};

TEST(compatRegion, RectangleRegionHoldsItsInsideOnly) {
  HRGN r = CreateRectRgn(2, 3, 5, 7);
  EXPECT_TRUE(PtInRegion(r, 2, 3));
  EXPECT_TRUE(PtInRegion(r, 4, 6));
  EXPECT_FALSE(PtInRegion(r, 5, 6));  // right and bottom are outside
  EXPECT_FALSE(PtInRegion(r, 4, 7));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 5);
  EXPECT_TRUE(DeleteObject(r));
  EXPECT_FALSE(PtInRegion(r, 2, 3));  // gone
  EXPECT_FALSE(DeleteObject(r));
}

TEST(compatRegion, ExtCreateRegionReadsTheRectanglesAfterTheHeader) {
  RegionBytes data;
  data.header.nCount = 3;
  data.rects[0] = RECT{0, 0, 2, 1};
  data.rects[1] = RECT{10, 10, 12, 11};
  data.rects[2] = RECT{4, 4, 4, 9};  // empty: ignored
  HRGN r = ExtCreateRegion(nullptr, sizeof(data), reinterpret_cast<RGNDATA*>(&data));
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(PtInRegion(r, 11, 10));
  EXPECT_FALSE(PtInRegion(r, 4, 5));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.bottom, 11);
  DeleteObject(r);
}

TEST(compatRegion, ExtCreateRegionRefusesACountBeyondTheBytesGiven) {
  RegionBytes data;
  data.header.nCount = 3;
  DWORD shortBytes = sizeof(RGNDATAHEADER) + 2 * sizeof(RECT);
  EXPECT_EQ(ExtCreateRegion(nullptr, shortBytes, reinterpret_cast<RGNDATA*>(&data)), nullptr);
  data.header.nCount = 0xFFFFFFFF;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(data), reinterpret_cast<RGNDATA*>(&data)), nullptr);
  data.header.nCount = 0;
  data.header.iType = 7;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(data), reinterpret_cast<RGNDATA*>(&data)), nullptr);
}

TEST(compatRegion, CombineJoinsRegions) {
  HRGN all = CreateRectRgn(0, 0, 0, 0);
  HRGN a = CreateRectRgn(0, 0, 2, 2);
  HRGN b = CreateRectRgn(5, 5, 6, 6);
  RECT box;
  EXPECT_EQ(GetRgnBox(all, &box), NULLREGION);
  EXPECT_EQ(CombineRgn(all, all, a, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(all, all, b, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(all, 1, 1));
  EXPECT_TRUE(PtInRegion(all, 5, 5));
  EXPECT_FALSE(PtInRegion(all, 3, 3));
  EXPECT_EQ(CombineRgn(all, b, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_FALSE(PtInRegion(all, 1, 1));
  EXPECT_EQ(CombineRgn(all, a, reinterpret_cast<HRGN>(12345), RGN_OR), ERROR);
  for (HRGN r : {all, a, b}) DeleteObject(r);
}

TEST(compatRegion, ARegionIsNotABitmap) {
  HRGN r = CreateRectRgn(0, 0, 1, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, r), nullptr);
  DeleteDC(dc);
  DeleteObject(r);
}
}  // namespace
