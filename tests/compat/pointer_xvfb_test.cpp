// The real pointer of an X server (Xvfb), moved and clicked with xdotool:
// mouse messages, the cursor position, capture and window shapes.
#include <gtest/gtest.h>

#include "compat/win32/activation.h"
#include "compat/win32/gdi.h"
#include "compat/win32/mouse.h"
#include "compat/win32/region.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"
#include "tests/compat/real_pointer.h"

namespace {
class compatPointer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_STREQ(win32_test::VideoDriverName(), "x11");
    window = recorder.make(WS_POPUP, 0, 100, 100, 200, 150);
    ShowWindow(window, SW_SHOW);
    XDoTool("mousemove 700 600");
    PumpFor(300);
    recorder.clear();
  }
  void TearDown() override { ReleaseCapture(); }

  bool Has(UINT message) const { return !recorder.of(window, message).empty(); }

  PointerLock lock;
  MessageRecorder recorder;
  HWND window = nullptr;
};

TEST_F(compatPointer, SettingTheCursorMovesTheRealPointerAndQueuesTheMove) {
  ASSERT_TRUE(SetCursorPos(150, 130));
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  EXPECT_EQ(GET_X_LPARAM(m.lParam), 50);
  EXPECT_EQ(GET_Y_LPARAM(m.lParam), 30);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 150);
  EXPECT_EQ(p.y, 130);
}

TEST_F(compatPointer, ClicksArriveAsButtonMessagesAtTheClientPoint) {
  ASSERT_TRUE(XDoTool("mousemove 110 120 click 1"));
  ASSERT_TRUE(PumpUntil([&] { return Has(WM_LBUTTONUP); }));
  auto down = recorder.of(window, WM_LBUTTONDOWN);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(down[0].lParam), 10);
  EXPECT_EQ(GET_Y_LPARAM(down[0].lParam), 20);
  EXPECT_TRUE(down[0].wParam & MK_LBUTTON);
  auto moves = recorder.of(window, WM_MOUSEMOVE);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(GET_X_LPARAM(moves.back().lParam), 10);
  auto seen = recorder.messagesOf(window);
  auto firstDown = std::find(seen.begin(), seen.end(), WM_LBUTTONDOWN);
  EXPECT_NE(std::find(firstDown, seen.end(), WM_LBUTTONUP), seen.end());
}

TEST_F(compatPointer, RightClickAndWheel) {
  ASSERT_TRUE(XDoTool("mousemove 150 150 click 3 click 4 click 5"));
  ASSERT_TRUE(PumpUntil([&] { return recorder.of(window, WM_MOUSEWHEEL).size() == 2; }));
  EXPECT_EQ(recorder.of(window, WM_RBUTTONDOWN).size(), 1u);
  EXPECT_EQ(recorder.of(window, WM_RBUTTONUP).size(), 1u);
  auto wheel = recorder.of(window, WM_MOUSEWHEEL);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), 120);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), -120);
}

TEST_F(compatPointer, WithoutCaptureMovesOutsideTheWindowAreNotSeen) {
  ASSERT_TRUE(XDoTool("mousemove 150 150"));
  ASSERT_TRUE(PumpUntil([&] { return Has(WM_MOUSEMOVE); }));
  recorder.clear();
  ASSERT_TRUE(XDoTool("mousemove 500 400"));
  PumpFor(300);
  for (const Received& r : recorder.of(window, WM_MOUSEMOVE)) {
    EXPECT_LT(GET_X_LPARAM(r.lParam), 200) << "a move beyond the window reached it";
  }
}

TEST_F(compatPointer, CapturedWindowSeesMovesOutsideIt) {
  ASSERT_TRUE(XDoTool("mousemove 150 150"));
  ASSERT_TRUE(PumpUntil([&] { return Has(WM_MOUSEMOVE); }));
  SetCapture(window);
  recorder.clear();
  ASSERT_TRUE(XDoTool("mousemove 500 400"));
  ASSERT_TRUE(PumpUntil([&] {
    auto moves = recorder.of(window, WM_MOUSEMOVE);
    return !moves.empty() && GET_X_LPARAM(moves.back().lParam) == 400;
  }));
  EXPECT_EQ(GET_Y_LPARAM(recorder.of(window, WM_MOUSEMOVE).back().lParam), 300);
}

TEST_F(compatPointer, AShapedWindowLetsClicksThroughWhereItIsCutOut) {
  // Keep only the right half of the window.
  ASSERT_TRUE(SetWindowRgn(window, CreateRectRgn(100, 0, 200, 150), TRUE));
  ASSERT_TRUE(XDoTool("mousemove 130 150 click 1"));  // left half: cut out
  PumpFor(300);
  EXPECT_TRUE(recorder.of(window, WM_LBUTTONDOWN).empty());
  ASSERT_TRUE(XDoTool("mousemove 250 150 click 1"));  // right half
  ASSERT_TRUE(PumpUntil([&] { return Has(WM_LBUTTONDOWN); }));
  EXPECT_EQ(GET_X_LPARAM(recorder.of(window, WM_LBUTTONDOWN)[0].lParam), 150);
}
}  // namespace
