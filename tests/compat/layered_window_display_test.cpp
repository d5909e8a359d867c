// Layered windows take their content whole from a 32-bit bitmap.
#include <gtest/gtest.h>

#include "compat/win32/gdi.h"
#include "compat/win32/keyboard.h"
#include "compat/win32/layered_window.h"
#include "compat/win32/module_exports.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"

namespace {
class compatLayered : public ::testing::Test {
 protected:
  void SetUp() override {
    window = recorder.make(WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 10, 20, 4, 3);
    ShowWindow(window, SW_SHOW);
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info;
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 3;  // bottom-up
    info.bmiHeader.biBitCount = 32;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, bitmap);
    // Row 0 in memory is the bottom row of the image.
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 4; ++x) bits[y * 4 + x] = 0x80000000u | static_cast<uint32_t>((2 - y) * 16 + x);
    }
  }
  void TearDown() override {
    DeleteObject(bitmap);
    DeleteDC(dc);
  }

  BOOL Update(POINT position, SIZE size) {
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return UpdateLayeredWindow(window, nullptr, &position, &size, dc, &origin, 0, &blend, ULW_ALPHA);
  }

  MessageRecorder recorder;
  HWND window = nullptr;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;
};

TEST_F(compatLayered, KeepsTheBitmapTopDown) {
  ASSERT_TRUE(Update(POINT{10, 20}, SIZE{4, 3}));
  auto image = win32_test::LayeredWindowImage(window);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 4);
  EXPECT_EQ(image->height, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(image->pixels[y * 4 + x], 0x80000000u | static_cast<uint32_t>(y * 16 + x)) << x << "," << y;
    }
  }
}

TEST_F(compatLayered, APlaceOrSizeChangeIsReportedInsideTheCall) {
  recorder.clear();
  ASSERT_TRUE(Update(POINT{50, 60}, SIZE{2, 2}));
  auto changed = recorder.of(window, WM_WINDOWPOSCHANGED);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0].pos.x, 50);
  EXPECT_EQ(changed[0].pos.cx, 2);
  auto image = win32_test::LayeredWindowImage(window);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels.size(), 4u);
  EXPECT_EQ(image->pixels[3], 0x80000000u | 17u);
  recorder.clear();
  ASSERT_TRUE(Update(POINT{50, 60}, SIZE{2, 2}));
  EXPECT_TRUE(recorder.of(window, WM_WINDOWPOSCHANGED).empty());
}

TEST_F(compatLayered, PixelsBeyondTheBitmapAreTransparent) {
  ASSERT_TRUE(Update(POINT{10, 20}, SIZE{5, 3}));
  auto image = win32_test::LayeredWindowImage(window);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels[4], 0u);
}

TEST_F(compatLayered, OnlyLayeredWindowsWithABitmapAreUpdated) {
  HWND plain = recorder.make(WS_POPUP, 0, 0, 0, 4, 3);
  POINT origin{0, 0};
  EXPECT_FALSE(UpdateLayeredWindow(plain, nullptr, nullptr, nullptr, dc, &origin, 0, nullptr, ULW_ALPHA));
  HDC empty = CreateCompatibleDC(nullptr);
  EXPECT_FALSE(UpdateLayeredWindow(window, nullptr, nullptr, nullptr, empty, &origin, 0, nullptr, ULW_ALPHA));
  DeleteDC(empty);
  EXPECT_FALSE(win32_test::LayeredWindowImage(plain));
}

TEST(compatEntryPoint, IsFoundByNameUnlessHidden) {
  HMODULE user32 = GetModuleHandleA("USER32.DLL");
  ASSERT_NE(user32, nullptr);
  EXPECT_EQ(GetProcAddress(user32, "UpdateLayeredWindow"), reinterpret_cast<FARPROC>(&UpdateLayeredWindow));
  win32_test::HideExport("UpdateLayeredWindow", true);
  EXPECT_EQ(GetProcAddress(user32, "UpdateLayeredWindow"), nullptr);
  win32_test::HideExport("UpdateLayeredWindow", false);
  // The platform translates keys through the entry point it finds by name.
  EXPECT_EQ(GetProcAddress(user32, "ToUnicodeEx"), reinterpret_cast<FARPROC>(&ToUnicodeEx));
  EXPECT_EQ(GetProcAddress(user32, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetModuleHandleA("kernel99.dll"), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}
}  // namespace
