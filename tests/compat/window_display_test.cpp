// Windows of the three kinds on SDL's offscreen driver: creation, placement,
// activation and destruction, with the messages the system sends for each.
#include <gtest/gtest.h>

#include "compat/win32/activation.h"
#include "compat/win32/last_error.h"
#include "compat/win32/test_hooks.h"
#include "compat/win32/window.h"
#include "tests/compat/message_recorder.h"

namespace {
constexpr DWORD kFramed = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

class compatWindow : public ::testing::Test {
 protected:
  void TearDown() override { win32_test::SetFrameInsets(std::nullopt); }
  MessageRecorder recorder;
};

TEST_F(compatWindow, CreationSendsCreateSizeAndMoveBeforeReturning) {
  HWND w = recorder.make(WS_POPUP, 0, 30, 40, 200, 100);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(recorder.messagesOf(w), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  auto size = recorder.of(w, WM_SIZE).at(0);
  EXPECT_EQ(GET_X_LPARAM(size.lParam), 200);
  EXPECT_EQ(GET_Y_LPARAM(size.lParam), 100);
  auto move = recorder.of(w, WM_MOVE).at(0);
  EXPECT_EQ(GET_X_LPARAM(move.lParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(move.lParam), 40);
  EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(compatWindow, UnknownClassGivesNoWindow) {
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

TEST_F(compatWindow, RegisteringAClassTwiceFailsIgnoringCase) {
  WNDCLASSA c;
  c.lpfnWndProc = &DefWindowProcA;
  c.lpszClassName = "TwiceWnd";
  EXPECT_NE(RegisterClassA(&c), 0);
  c.lpszClassName = "TWICEWND";
  EXPECT_EQ(RegisterClassA(&c), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  EXPECT_TRUE(UnregisterClassA("twicewnd", nullptr));
}

TEST_F(compatWindow, RefusedCreationGivesNoWindow) {
  recorder.handlers[WM_CREATE] = [](HWND, WPARAM, LPARAM) -> LRESULT { return -1; };
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 10, 10);
  EXPECT_EQ(w, nullptr);
  ASSERT_FALSE(recorder.received.empty());
  EXPECT_EQ(recorder.received.back().message, WM_NCDESTROY);
}

TEST_F(compatWindow, FramedWindowRectangleHoldsTheFrameAroundTheClientArea) {
  win32_test::SetFrameInsets(RECT{3, 22, 3, 3});
  HWND w = recorder.make(kFramed, 0, 100, 50, 206, 125);
  RECT outer, client;
  ASSERT_TRUE(GetWindowRect(w, &outer));
  ASSERT_TRUE(GetClientRect(w, &client));
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, 206);
  EXPECT_EQ(outer.bottom - outer.top, 125);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  POINT p{0, 0};
  ClientToScreen(w, &p);
  EXPECT_EQ(p.x, 103);
  EXPECT_EQ(p.y, 72);
}

TEST_F(compatWindow, ResizeReportsThePositionChangeBeforeTheCallReturns) {
  HWND w = recorder.make(WS_POPUP, 0, 10, 10, 100, 80);
  recorder.clear();
  ASSERT_TRUE(SetWindowPos(w, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_EQ(recorder.messagesOf(w), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}));
  WINDOWPOS changed = recorder.of(w, WM_WINDOWPOSCHANGED).at(0).pos;
  EXPECT_EQ(changed.cx, 300);
  EXPECT_EQ(changed.cy, 200);
  EXPECT_EQ(changed.x, 10);
  EXPECT_TRUE(changed.flags & SWP_NOMOVE);
  EXPECT_FALSE(changed.flags & SWP_NOSIZE);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 300);
}

TEST_F(compatWindow, ResizeToTheSameSizeIsReportedAsNoSize) {
  HWND w = recorder.make(WS_POPUP, 0, 10, 10, 100, 80);
  recorder.clear();
  SetWindowPos(w, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  WINDOWPOS changed = recorder.of(w, WM_WINDOWPOSCHANGED).at(0).pos;
  EXPECT_TRUE(changed.flags & SWP_NOSIZE);
  EXPECT_TRUE(recorder.of(w, WM_SIZE).empty());
}

TEST_F(compatWindow, ChangingPositionCanBeAmendedByTheProcedure) {
  HWND w = recorder.make(WS_POPUP, 0, 10, 10, 100, 80);
  recorder.handlers[WM_WINDOWPOSCHANGING] = [](HWND, WPARAM, LPARAM l) -> LRESULT {
    reinterpret_cast<WINDOWPOS*>(l)->cx = 50;
    return 0;
  };
  SetWindowPos(w, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 50);
  EXPECT_EQ(client.bottom, 200);
}

TEST_F(compatWindow, ShowingActivatesAndReportsShowWindow) {
  HWND w = recorder.make(WS_POPUP, 0, 10, 10, 100, 80);
  recorder.clear();
  EXPECT_FALSE(ShowWindow(w, SW_SHOWDEFAULT));
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(GetActiveWindow(), w);
  auto seen = recorder.messagesOf(w);
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen.front(), WM_SHOWWINDOW);
  EXPECT_EQ(seen.back(), WM_WINDOWPOSCHANGED);
  auto activate = recorder.of(w, WM_ACTIVATE);
  ASSERT_EQ(activate.size(), 1u);
  EXPECT_EQ(LOWORD(activate[0].wParam), WA_ACTIVE);
  EXPECT_TRUE(recorder.of(w, WM_WINDOWPOSCHANGED).at(0).pos.flags & SWP_SHOWWINDOW);
  EXPECT_TRUE(ShowWindow(w, SW_SHOW));  // it was visible already
}

TEST_F(compatWindow, ActivationMovesBetweenWindowsInOrder) {
  HWND a = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  HWND b = recorder.make(WS_POPUP, 0, 100, 0, 50, 50);
  ShowWindow(a, SW_SHOW);
  recorder.clear();
  ShowWindow(b, SW_SHOW);
  auto deactivate = recorder.of(a, WM_ACTIVATE);
  ASSERT_EQ(deactivate.size(), 1u);
  EXPECT_EQ(LOWORD(deactivate[0].wParam), WA_INACTIVE);
  EXPECT_EQ(reinterpret_cast<HWND>(deactivate[0].lParam), b);
  auto activate = recorder.of(b, WM_ACTIVATE);
  ASSERT_EQ(activate.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(activate[0].lParam), a);
  // a loses activation before b gains it
  size_t aIndex = 0, bIndex = 0;
  for (size_t i = 0; i < recorder.received.size(); ++i) {
    if (recorder.received[i].message != WM_ACTIVATE) continue;
    if (recorder.received[i].window == a) aIndex = i;
    if (recorder.received[i].window == b) bIndex = i;
  }
  EXPECT_LT(aIndex, bIndex);
}

TEST_F(compatWindow, FocusFromTheDisplayActivatesThroughTheQueue) {
  HWND a = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  HWND b = recorder.make(WS_POPUP, 0, 100, 0, 50, 50);
  ShowWindow(a, SW_SHOW);
  ShowWindow(b, SW_SHOW);
  recorder.clear();
  win32_test::InjectFocus(a, true);
  recorder.pump();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(LOWORD(recorder.of(a, WM_ACTIVATE).at(0).wParam), WA_ACTIVE);
  win32_test::InjectFocus(a, false);
  recorder.pump();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(LOWORD(recorder.of(a, WM_ACTIVATE).at(1).wParam), WA_INACTIVE);
}

TEST_F(compatWindow, CloseRequestReachesTheWindowAsCloseAndDestroysItByDefault) {
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  recorder.clear();
  win32_test::InjectCloseRequest(w);
  recorder.pump();
  auto seen = recorder.messagesOf(w);
  auto close = std::find(seen.begin(), seen.end(), WM_CLOSE);
  ASSERT_NE(close, seen.end());
  EXPECT_NE(std::find(close, seen.end(), WM_DESTROY), seen.end());
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(compatWindow, CloseCanBeRefusedByTheProcedure) {
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  recorder.handlers[WM_CLOSE] = [](HWND, WPARAM, LPARAM) -> LRESULT { return 0; };
  win32_test::InjectCloseRequest(w);
  recorder.pump();
  EXPECT_EQ(recorder.of(w, WM_CLOSE).size(), 1u);
  EXPECT_TRUE(IsWindow(w));
}

TEST_F(compatWindow, UserMoveAndResizeAreReportedOnce) {
  HWND w = recorder.make(WS_POPUP, 0, 10, 20, 100, 80);
  recorder.clear();
  win32_test::InjectMoved(w, 40, 60);
  win32_test::InjectResized(w, 120, 90);
  recorder.pump();
  auto changed = recorder.of(w, WM_WINDOWPOSCHANGED);
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(changed[0].pos.x, 40);
  EXPECT_EQ(changed[0].pos.y, 60);
  EXPECT_TRUE(changed[0].pos.flags & SWP_NOSIZE);
  EXPECT_EQ(changed[1].pos.cx, 120);
  EXPECT_FALSE(changed[1].pos.flags & SWP_NOSIZE);
  EXPECT_EQ(recorder.of(w, WM_SIZE).size(), 1u);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.right, 160);
}

TEST_F(compatWindow, DestroySendsDestroyMessagesAndTheHandleGoesStale) {
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  ShowWindow(w, SW_SHOW);
  recorder.clear();
  EXPECT_TRUE(DestroyWindow(w));
  auto seen = recorder.messagesOf(w);
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[seen.size() - 2], WM_DESTROY);
  EXPECT_EQ(seen.back(), WM_NCDESTROY);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_ACTIVATE), seen.end());  // it was active
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(SetWindowPos(w, nullptr, 0, 0, 1, 1, 0));
  EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 0);
}

TEST_F(compatWindow, DestroyingFromInsideItsOwnProcedureIsSafe) {
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  recorder.handlers[WM_WINDOWPOSCHANGING] = [](HWND self, WPARAM, LPARAM) -> LRESULT {
    DestroyWindow(self);
    return 0;
  };
  EXPECT_FALSE(SetWindowPos(w, nullptr, 0, 0, 10, 10, SWP_NOZORDER));
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(compatWindow, TitleIsKeptAsUnicode) {
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 50, 50);
  ASSERT_TRUE(SetWindowTextW(w, u"Grüße \u4E16"));
  char16_t buffer[32];
  EXPECT_EQ(GetWindowTextW(w, buffer, 32), 7);
  EXPECT_EQ(std::u16string(buffer), u"Grüße \u4E16");
  EXPECT_EQ(GetWindowTextW(w, buffer, 3), 2);
  EXPECT_EQ(std::u16string(buffer), u"Gr");
}

TEST_F(compatWindow, StylesReadBack) {
  HWND w = recorder.make(WS_POPUP, WS_EX_LAYERED | WS_EX_TOOLWINDOW, 0, 0, 50, 50);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)), WS_EX_LAYERED | WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE);
  ShowWindow(w, SW_SHOW);
  EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(compatWindow, ScreenMetricsComeFromTheDisplay) {
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
}
}  // namespace
