// Window regions: the shape a popup window takes.
#include <gtest/gtest.h>

#include "compat/win32/gdi.h"
#include "compat/win32/region.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"

namespace {
TEST(compatWindowShape, TheWindowKeepsTheRegionItWasGiven) {
  MessageRecorder recorder;
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 4, 2);
  EXPECT_FALSE(win32_test::WindowShapeMask(w, 4, 2));
  HRGN left = CreateRectRgn(0, 0, 1, 2);
  HRGN right = CreateRectRgn(3, 1, 4, 2);
  CombineRgn(left, left, right, RGN_OR);
  DeleteObject(right);
  ASSERT_TRUE(SetWindowRgn(w, left, TRUE));
  auto mask = win32_test::WindowShapeMask(w, 4, 2);
  ASSERT_TRUE(mask);
  EXPECT_EQ(*mask, (std::vector<uint8_t>{1, 0, 0, 0, 1, 0, 0, 1}));
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(w, copy), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(copy, 3, 1));
  DeleteObject(copy);
  // A new region replaces (and frees) the old one.
  HRGN whole = CreateRectRgn(0, 0, 4, 2);
  ASSERT_TRUE(SetWindowRgn(w, whole, FALSE));
  EXPECT_FALSE(PtInRegion(left, 0, 0));
  EXPECT_EQ(*win32_test::WindowShapeMask(w, 4, 2), std::vector<uint8_t>(8, 1));
  ASSERT_TRUE(SetWindowRgn(w, nullptr, FALSE));
  EXPECT_FALSE(win32_test::WindowShapeMask(w, 4, 2));
}
}  // namespace
