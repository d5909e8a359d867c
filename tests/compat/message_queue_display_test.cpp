// The message queue: posted messages, filters, the quit message, painting and
// the input messages that display-system events become.
#include <gtest/gtest.h>

#include "compat/win32/activation.h"
#include "compat/win32/mouse.h"
#include "compat/win32/paint.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"

namespace {
class compatQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    window = recorder.make(WS_POPUP, 0, 100, 50, 200, 100);
    other = recorder.make(WS_POPUP, 0, 400, 50, 100, 100);
    recorder.pump();
    recorder.clear();
  }
  void TearDown() override { ReleaseCapture(); }

  MessageRecorder recorder;
  HWND window = nullptr;
  HWND other = nullptr;
};

TEST_F(compatQueue, PostedMessagesComeOutInOrderThroughTheirWindow) {
  PostMessageA(window, WM_USER + 1, 11, 12);
  PostMessageA(other, WM_USER + 2, 21, 22);
  PostMessageA(window, WM_USER + 3, 31, 32);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  EXPECT_EQ(m.hwnd, window);
  EXPECT_EQ(m.wParam, 11u);
  ASSERT_TRUE(PeekMessageA(&m, other, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.lParam, 32);
  DispatchMessageA(&m);
  EXPECT_EQ(recorder.of(window, WM_USER + 3).size(), 1u);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(compatQueue, PostingToAWindowThatIsGoneFails) {
  HWND gone = recorder.make(WS_POPUP, 0, 0, 0, 10, 10);
  PostMessageA(gone, WM_USER, 0, 0);
  DestroyWindow(gone);
  EXPECT_FALSE(PostMessageA(gone, WM_USER, 0, 0));
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));  // its queued message went with it
}

TEST_F(compatQueue, QuitComesAfterTheMessagesPostedBeforeIt) {
  PostMessageA(window, WM_USER, 0, 0);
  PostQuitMessage(7);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(compatQueue, PaintComesWhileVisibleAndInvalidUntilValidated) {
  MSG m;
  InvalidateRect(window, nullptr, TRUE);
  EXPECT_FALSE(PeekMessageA(&m, window, 0, 0, PM_REMOVE));  // hidden windows are not painted
  ShowWindow(window, SW_SHOW);
  ASSERT_TRUE(PeekMessageA(&m, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  ASSERT_TRUE(PeekMessageA(&m, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);  // still invalid: nobody painted
  recorder.clear();
  DispatchMessageA(&m);  // the default handling paints, erasing first
  EXPECT_EQ(recorder.messagesOf(window), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  EXPECT_FALSE(PeekMessageA(&m, window, 0, 0, PM_REMOVE));
}

TEST_F(compatQueue, PaintWaitsForPostedMessages) {
  ShowWindow(window, SW_SHOW);
  PostMessageA(window, WM_USER, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER);
}

TEST_F(compatQueue, UpdateWindowPaintsAtOnce) {
  ShowWindow(window, SW_SHOW);
  recorder.clear();
  UpdateWindow(window);
  EXPECT_EQ(recorder.of(window, WM_PAINT).size(), 1u);
  UpdateWindow(window);
  EXPECT_EQ(recorder.of(window, WM_PAINT).size(), 1u);  // valid now
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(recorder.of(window, WM_PAINT).size(), 2u);
}

TEST_F(compatQueue, LayeredWindowsAreNeverPainted) {
  HWND layered = recorder.make(WS_POPUP, WS_EX_LAYERED, 0, 0, 20, 20);
  ShowWindow(layered, SW_SHOW);
  InvalidateRect(layered, nullptr, TRUE);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, layered, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(compatQueue, MouseEventsBecomeMouseMessagesInClientCoordinates) {
  ShowWindow(window, SW_SHOW);
  recorder.pump();
  recorder.clear();
  win32_test::InjectMouseMove(window, 15, 25);
  win32_test::InjectMouseButton(window, 1, true, 15, 25);
  win32_test::InjectMouseMove(window, 18, 27);
  win32_test::InjectMouseButton(window, 1, false, 18, 27);
  win32_test::InjectMouseButton(window, 3, true, 18, 27);
  win32_test::InjectMouseButton(window, 3, false, 18, 27);
  recorder.pump();
  std::vector<UINT> mouse;
  for (UINT m : recorder.messagesOf(window)) {
    if (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) mouse.push_back(m);
  }
  EXPECT_EQ(mouse, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONDOWN,
                                      WM_RBUTTONUP}));
  auto moves = recorder.of(window, WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(moves[1].lParam), 18);
  EXPECT_EQ(GET_Y_LPARAM(moves[1].lParam), 27);
  EXPECT_EQ(moves[0].wParam & MK_LBUTTON, 0u);
  EXPECT_EQ(moves[1].wParam & MK_LBUTTON, MK_LBUTTON);  // held while moving
  EXPECT_EQ(recorder.of(window, WM_LBUTTONUP)[0].wParam & MK_LBUTTON, 0u);
  EXPECT_EQ(recorder.of(window, WM_RBUTTONDOWN)[0].wParam & MK_RBUTTON, MK_RBUTTON);
  POINT screen;
  GetCursorPos(&screen);
  EXPECT_EQ(screen.x, 118);
  EXPECT_EQ(screen.y, 77);
}

TEST_F(compatQueue, TakingAMouseMessageLetsTheWindowSetTheCursor) {
  ShowWindow(window, SW_SHOW);
  recorder.pump();
  recorder.clear();
  win32_test::InjectMouseMove(window, 5, 5);
  recorder.pump();
  EXPECT_EQ(recorder.messagesOf(window), (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE}));
  auto setCursor = recorder.of(window, WM_SETCURSOR).at(0);
  EXPECT_EQ(LOWORD(static_cast<uintptr_t>(setCursor.lParam)), HTCLIENT);
  EXPECT_EQ(HIWORD(static_cast<uintptr_t>(setCursor.lParam)), WM_MOUSEMOVE);
}

TEST_F(compatQueue, CapturedMouseMessagesGoToTheCapturingWindow) {
  SetCapture(window);
  EXPECT_EQ(GetCapture(), window);
  win32_test::InjectMouseMove(other, 10, 10);  // over the other window: screen 410, 60
  recorder.pump();
  auto moves = recorder.of(window, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 310);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 10);
  EXPECT_TRUE(recorder.of(other, WM_MOUSEMOVE).empty());
  recorder.clear();
  SetCapture(other);
  EXPECT_EQ(recorder.of(window, WM_CAPTURECHANGED).size(), 1u);
  ReleaseCapture();
  EXPECT_EQ(recorder.of(other, WM_CAPTURECHANGED).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(compatQueue, PositionsLeftOfTheWindowAreNegative) {
  SetCapture(window);
  win32_test::InjectMouseMove(window, -30, -2);
  recorder.pump();
  auto moves = recorder.of(window, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), -30);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), -2);
}

TEST_F(compatQueue, WheelNotchesAreMultiplesOf120) {
  win32_test::InjectWheel(window, 1);
  win32_test::InjectWheel(window, -2);
  recorder.pump();
  auto wheel = recorder.of(window, WM_MOUSEWHEEL);
  ASSERT_EQ(wheel.size(), 2u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), 120);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), -240);
}

TEST_F(compatQueue, SettingTheCursorPositionQueuesAMoveForTheWindowUnderIt) {
  ShowWindow(window, SW_SHOW);
  recorder.pump();
  recorder.clear();
  ASSERT_TRUE(SetCursorPos(150, 70));
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 150);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  EXPECT_EQ(GET_X_LPARAM(m.lParam), 50);
  EXPECT_EQ(GET_Y_LPARAM(m.lParam), 20);
}
}  // namespace
