// Icons made from bitmaps and given to windows.
#include <gtest/gtest.h>

#include <SDL.h>

#include "compat/win32/gdi.h"
#include "compat/win32/icon.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"

namespace {
TEST(compatIcon, WindowShowsTheIconItWasSent) {
  MessageRecorder recorder;
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 10, 10);
  BITMAPINFO info;
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;  // top-down
  info.bmiHeader.biBitCount = 32;
  uint32_t* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  bits[0] = 0xFF112233;
  bits[1] = 0x00000000;
  bits[2] = 0x80FF0000;
  bits[3] = 0xFFFFFFFF;
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, nullptr);
  ICONINFO iconInfo{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&iconInfo);
  ASSERT_NE(icon, nullptr);
  DeleteObject(colour);
  DeleteObject(mask);
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)), 0);
  auto shown = win32_test::WindowIconImage(w);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->pixels, (std::vector<uint32_t>{0xFF112233, 0, 0x80FF0000, 0xFFFFFFFF}));
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
  SetClassLongPtrA(w, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  EXPECT_EQ(win32_test::ClassIcon(w), icon);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
}

TEST(compatIcon, NeedsAColourBitmapAndAMaskOfTheSameSize) {
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, nullptr);
  HBITMAP small = CreateBitmap(1, 1, 1, 32, nullptr);
  ICONINFO noColour{TRUE, 0, 0, mask, nullptr};
  EXPECT_EQ(CreateIconIndirect(&noColour), nullptr);
  ICONINFO mismatch{TRUE, 0, 0, mask, small};
  EXPECT_EQ(CreateIconIndirect(&mismatch), nullptr);
  DeleteObject(mask);
  DeleteObject(small);
}

TEST(compatIcon, TheProgramCarriesNoIconResourceButTheArrowCursorExists) {
  EXPECT_EQ(LoadIconA(nullptr, "ENGINE"), nullptr);
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  SetCursor(arrow);
  EXPECT_EQ(SetCursor(nullptr), arrow);
  int count = ShowCursor(FALSE);
  EXPECT_EQ(ShowCursor(TRUE), count + 1);
}

TEST(compatIcon, SettingNoCursorTakesThePointerOffTheScreenUntilACursorIsSetAgain) {
  MessageRecorder recorder;
  ASSERT_NE(recorder.make(WS_POPUP, 0, 0, 0, 10, 10), nullptr);  // the video system runs
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  // The show count at exactly 0: shown, and one ShowCursor(FALSE) away from hidden.
  while (ShowCursor(FALSE) >= 0) {
  }
  while (ShowCursor(TRUE) < 0) {
  }
  SetCursor(arrow);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  SetCursor(nullptr);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ShowCursor(TRUE);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "the show count does not bring a taken cursor back";
  ShowCursor(FALSE);
  SetCursor(arrow);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  ShowCursor(FALSE);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ShowCursor(TRUE);
}
}  // namespace
