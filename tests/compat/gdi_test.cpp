// 32-bit bitmaps and memory contexts.
#include <gtest/gtest.h>

#include <cstring>

#include "compat/win32/gdi.h"
#include "compat/win32/last_error.h"

namespace {
BITMAPINFO Info(LONG width, LONG height, WORD bits = 32) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biBitCount = bits;
  return info;
}

TEST(compatGdi, DibSectionGivesWritablePixelsOfItsSize) {
  BITMAPINFO info = Info(3, 2);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bits, nullptr);
  std::memset(bits, 0xAB, 3 * 2 * 4);  // every byte is the caller's
  BITMAP described;
  ASSERT_EQ(GetObjectA(bitmap, sizeof(described), &described), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(described.bmWidth, 3);
  EXPECT_EQ(described.bmHeight, 2);
  EXPECT_EQ(described.bmWidthBytes, 12);
  EXPECT_EQ(described.bmBitsPixel, 32);
  EXPECT_EQ(described.bmBits, bits);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(compatGdi, DibSectionRefusesWhatItCannotHold) {
  void* bits = reinterpret_cast<void*>(1);
  BITMAPINFO huge = Info(100000, 100000);
  EXPECT_EQ(CreateDIBSection(nullptr, &huge, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  BITMAPINFO empty = Info(0, 10);
  EXPECT_EQ(CreateDIBSection(nullptr, &empty, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  BITMAPINFO deep = Info(4, 4, 24);
  EXPECT_EQ(CreateDIBSection(nullptr, &deep, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  BITMAPINFO lowest = Info(4, INT32_MIN);
  EXPECT_EQ(CreateDIBSection(nullptr, &lowest, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(compatGdi, SelectingSwapsTheContextsBitmap) {
  BITMAPINFO info = Info(2, 2);
  HBITMAP a = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HBITMAP b = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, a), nullptr);
  EXPECT_EQ(SelectObject(dc, b), a);
  HDC second = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(second, b), nullptr);  // b is in the first context
  EXPECT_TRUE(DeleteDC(second));
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_FALSE(DeleteDC(dc));
}

TEST(compatGdi, ABitmapDeletedWhileSelectedGoesWithItsContext) {
  BITMAPINFO info = Info(2, 2);
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  BITMAP described;
  EXPECT_NE(GetObjectA(bitmap, sizeof(described), &described), 0);  // still in use
  DeleteDC(dc);
  EXPECT_EQ(GetObjectA(bitmap, sizeof(described), &described), 0);
}

TEST(compatGdi, MonochromeBitmapRowsArePaddedTo16Bits) {
  HBITMAP mask = CreateBitmap(17, 2, 1, 1, nullptr);
  BITMAP described;
  ASSERT_NE(GetObjectA(mask, sizeof(described), &described), 0);
  EXPECT_EQ(described.bmWidthBytes, 4);
  EXPECT_EQ(described.bmBitsPixel, 1);
  DeleteObject(mask);
  EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
}
}  // namespace
