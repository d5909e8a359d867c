// Mouse messages made by hand for a real window of the windows layer (the
// display system's offscreen driver, with the layer's own pointer): the
// positions, movements and shift bytes of the records they become.
#include <gtest/gtest.h>

#include "compat/win32/keyboard.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/mouse.h"
#include "compat/win32/window.h"
#include "compat/win32/window_class.h"
#include "compat/win32/window_messages.h"
#include "platform/win32/input_translation.h"
#include "tests/platform/input_test_owner.h"

namespace {
LRESULT PlainProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle, message, wParam, lParam);
}

class MouseTranslation : public ::testing::Test {
 protected:
  void SetUp() override {
    win32_test::ResetKeyboard();
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = &PlainProcedure;
    windowClass.lpszClassName = "MouseTranslationWnd";
    RegisterClassA(&windowClass);
    window = MakeWindowRecord(owner);
    window->left = 300;
    window->top = 200;
    window->width = 160;
    window->height = 120;
    window->handle = CreateWindowExA(0, "MouseTranslationWnd", "mouse", WS_POPUP, 300, 200, 160, 120,
                                     GetDesktopWindow(), nullptr, nullptr, nullptr);
    ASSERT_NE(window->handle, nullptr);
    ShowWindow(window->handle, SW_SHOW);
    DropWaiting();
  }
  void TearDown() override {
    DestroyWindow(window->handle);
    win32_test::ResetKeyboard();
  }

  // Hands out what is waiting (painting validates the window, so this ends);
  // the window's procedure does not translate, so nothing is posted.
  void DropWaiting() {
    MSG m;
    for (int i = 0; i < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&m);
  }
  // Puts the pointer at a screen point and hands the window a message.
  void At(int x, int y, UINT message, WPARAM flags = 0) {
    SetCursorPos(x, y);
    DropWaiting();
    LRESULT result = -1;
    EXPECT_TRUE(TranslateInputMessage(*window, message, flags, MAKELPARAM(x - 300, y - 200), result));
    EXPECT_EQ(result, 0);
  }
  TMouseEvent* record(size_t i) { return owner.records.at(i)->asMouse(); }

  InputTestOwner owner;
  WindowRecord window;
};
}  // namespace

TEST_F(MouseTranslation, MovesAreClientPointsWithTheDistanceFromTheLastMove) {
  window->lastMouseX = 0;
  window->lastMouseY = 0;
  At(310, 220, WM_MOUSEMOVE);
  At(325, 215, WM_MOUSEMOVE);
  EXPECT_EQ(owner.texts(), (std::vector<std::string>{"4,1,10,20,10,20,", "4,1,25,15,15,-5,"}));
  EXPECT_EQ(window->lastMouseX, 25);
  EXPECT_EQ(window->lastMouseY, 15);
}

TEST_F(MouseTranslation, ButtonsPostTheirRecordAndAddTheirBitEvenOnRelease) {
  At(310, 220, WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(window->leftHeld, 1);
  At(312, 221, WM_MOUSEMOVE, MK_LBUTTON);
  At(312, 221, WM_LBUTTONUP, 0);
  EXPECT_EQ(window->leftHeld, 0);
  At(340, 250, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(window->rightHeld, 1);
  At(340, 250, WM_RBUTTONUP, MK_SHIFT);
  EXPECT_EQ(window->rightHeld, 0);
  ASSERT_EQ(owner.records.size(), 5u);
  EXPECT_EQ(owner.texts()[0], "2,1,10,20,0,0,");
  EXPECT_EQ(owner.texts()[2], "3,1,12,21,0,0,");
  EXPECT_EQ(owner.texts()[3], "2,2,40,50,0,0,");
  EXPECT_EQ(record(0)->shift, 8);
  EXPECT_EQ(record(1)->shift, 8);  // the move while the left button is held
  EXPECT_EQ(record(2)->shift, 8);  // the release still names its button
  EXPECT_EQ(record(3)->shift, 16 | 1);
  EXPECT_EQ(record(4)->shift, 16 | 1);
}

TEST_F(MouseTranslation, HeldButtonsAndAltShowInTheShiftOfMoves) {
  window->leftHeld = 1;
  window->rightHeld = 1;
  win32_test::PressKey(VK_LMENU, true);
  At(301, 201, WM_MOUSEMOVE, MK_CONTROL);
  ASSERT_EQ(owner.records.size(), 1u);
  EXPECT_EQ(record(0)->shift, 8 | 16 | 4 | 2);
}

TEST_F(MouseTranslation, FullScreenPositionsAreScreenPoints) {
  owner.fullScreen = true;
  At(310, 220, WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_EQ(owner.texts(), (std::vector<std::string>{"2,1,310,220,0,0,"}));
}

TEST_F(MouseTranslation, RelativeModeMovesFromTheCentreAndReturnsThere) {
  POINT centre{300 + 80, 200 + 60};
  window->acquireCount = 1;
  window->lastMouseX = centre.x;
  window->lastMouseY = centre.y;
  At(centre.x + 5, centre.y - 3, WM_MOUSEMOVE);
  ASSERT_EQ(owner.records.size(), 1u);
  EXPECT_EQ(owner.texts()[0], "4,1,385,257,5,-3,");
  POINT now;
  GetCursorPos(&now);
  EXPECT_EQ(now.x, centre.x);
  EXPECT_EQ(now.y, centre.y);
  EXPECT_EQ(window->warpGuard, nullptr);
  // Nothing of the warp is left waiting; a report of it is not posted.
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, window->handle, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
  LRESULT result = 0;
  TranslateInputMessage(*window, WM_MOUSEMOVE, 0, MAKELPARAM(80, 60), result);
  EXPECT_EQ(owner.records.size(), 1u);
  // The next move is measured from the centre.
  At(centre.x - 2, centre.y, WM_MOUSEMOVE);
  ASSERT_EQ(owner.records.size(), 2u);
  EXPECT_EQ(record(1)->dx, -2);
  EXPECT_EQ(record(1)->dy, 0);
}
