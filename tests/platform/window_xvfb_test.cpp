// An applet window under a real X server (Xvfb): the real pointer, moved and
// clicked with xdotool, reaches the window procedure; relative-mouse mode
// centres the real pointer.
#include "compat/win32/mouse.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"
#include "tests/compat/real_pointer.h"
#include "tests/platform/window_test_fixture.h"

namespace {
struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Seen>& Procedure() {
  static std::vector<Seen> seen;
  return seen;
}

bool Record(TWindow&, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
  Procedure().push_back(Seen{message, wParam, lParam});
  return false;
}

std::vector<Seen> Received(UINT message) {
  std::vector<Seen> out;
  for (const Seen& s : Procedure()) {
    if (s.message == message) out.push_back(s);
  }
  return out;
}

class platformPointer : public PlatformWindowTest {
 protected:
  void SetUp() override {
    PlatformWindowTest::SetUp();
    ASSERT_STREQ(win32_test::VideoDriverName(), "x11");
    WindowInput().Translate = &Record;
    window = Make(TWindowKind::Framed, 240, 160, 200, 150);
    platform->ShowWindow(window);
    XDoTool("mousemove 900 700");
    PumpFor(300);
    Procedure().clear();
  }

  PointerLock lock;
  TWindow* window = nullptr;
};

TEST_F(platformPointer, MovesAndClicksReachTheWindowProcedure) {
  ASSERT_TRUE(XDoTool("mousemove 230 190 click 1"));
  ASSERT_TRUE(PumpUntil([] { return !Received(WM_LBUTTONUP).empty(); }));
  auto moves = Received(WM_MOUSEMOVE);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(GET_X_LPARAM(moves.back().lParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(moves.back().lParam), 40);
  auto down = Received(WM_LBUTTONDOWN);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(down[0].lParam), 30);
  EXPECT_EQ(GET_Y_LPARAM(down[0].lParam), 40);
  EXPECT_EQ(Received(WM_LBUTTONUP).size(), 1u);
  EXPECT_EQ(platform->curMousePos(window), (TPointF{30, 40}));
}

TEST_F(platformPointer, RelativeModeCentresTheRealPointer) {
  ASSERT_TRUE(XDoTool("mousemove 210 160"));
  PumpFor(300);
  platform->AcquireMouse(window);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 200 + 120);
  EXPECT_EQ(p.y, 150 + 80);
  // The warp's own move was taken out of the queue; the next move is measured
  // from the centre.
  EXPECT_EQ(window->lastMouseX, 320);
  EXPECT_EQ(window->lastMouseY, 230);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, window->handle, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
  Procedure().clear();
  ASSERT_TRUE(XDoTool("mousemove_relative 5 0"));
  ASSERT_TRUE(PumpUntil([] { return !Received(WM_MOUSEMOVE).empty(); }));
  auto moves = Received(WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 125);  // client coordinates of centre + 5
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 80);
  platform->AcquireDisable(window);
}

TEST_F(platformPointer, CapturedWindowHearsOfMovesOutsideIt) {
  ASSERT_TRUE(XDoTool("mousemove 250 200"));
  ASSERT_TRUE(PumpUntil([] { return !Received(WM_MOUSEMOVE).empty(); }));
  platform->CaptureMouse(window);
  Procedure().clear();
  ASSERT_TRUE(XDoTool("mousemove 100 100"));
  ASSERT_TRUE(PumpUntil([] {
    auto moves = Received(WM_MOUSEMOVE);
    return !moves.empty() && GET_X_LPARAM(moves.back().lParam) == -100;
  }));
  platform->ReleaseMouse();
}
}  // namespace
