// Real keyboard and mouse input of an X server, typed and clicked with
// xdotool into a real window: the input records it becomes, in their
// recording form.
//
// The tests run on an X server of their own when they can (a keyboard layout
// change must not reach other test programs sharing the suite's server).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "compat/win32/activation.h"
#include "compat/win32/keyboard.h"
#include "compat/win32/mouse.h"
#include "compat/win32/test_hooks.h"
#include "compat/win32/window.h"
#include "compat/win32/window_class.h"
#include "compat/win32/window_messages.h"
#include "platform/win32/input_translation.h"
#include "tests/compat/real_pointer.h"
#include "tests/platform/input_test_owner.h"
#include "tests/support/private_x_server.h"

namespace {
bool ownServer = false;

// The window record the window procedure translates for.
TWindow* translated = nullptr;

LRESULT CALLBACK_Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (translated && translated->handle == handle && TranslateInputMessage(*translated, message, wParam, lParam, result)) {
    return result;
  }
  return DefWindowProcA(handle, message, wParam, lParam);
}

class RealInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!win32_test::DisplayStarted()) ownServer = StartPrivateXServer();
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = &CALLBACK_Procedure;
    windowClass.lpszClassName = "InputXvfbWnd";
    RegisterClassA(&windowClass);
  }

  void SetUp() override {
    win32_test::ResetKeyboard();
    window = MakeWindowRecord(owner);
    window->left = 100;
    window->top = 100;
    window->width = 200;
    window->height = 150;
    window->handle = CreateWindowExA(0, "InputXvfbWnd", "input", WS_POPUP, 100, 100, 200, 150, GetDesktopWindow(),
                                     nullptr, nullptr, nullptr);
    ASSERT_NE(window->handle, nullptr);
    translated = window.get();
    ShowWindow(window->handle, SW_SHOW);
    SetActiveWindow(window->handle);
    // Keys go to the window under the pointer when no window manager runs.
    ASSERT_TRUE(XDoTool("mousemove 200 175"));
    PumpFor(300);
    owner.clear();
  }

  void TearDown() override {
    translated = nullptr;
    if (window && window->handle) DestroyWindow(window->handle);
    win32_test::ResetKeyboard();
  }

  // The recording lines of the key records so far.
  std::vector<std::string> keyLines() const {
    std::vector<std::string> lines;
    for (TLowEvent* e : owner.records) {
      if (e->kind <= lekKeyUp) lines.push_back(WideToUtf8(EventToText(e)));
    }
    return lines;
  }
  bool keyRecords(size_t count) {
    return PumpUntil([&] { return keyLines().size() >= count; });
  }
  std::vector<std::string> linesOfKind(uint8_t kind) const {
    std::vector<std::string> lines;
    for (TLowEvent* e : owner.records) {
      if (e->kind == kind) lines.push_back(WideToUtf8(EventToText(e)));
    }
    return lines;
  }

  PointerLock lock;
  InputTestOwner owner;
  WindowRecord window;
};
}  // namespace

TEST_F(RealInput, TypedKeysBecomeTheirCharacterOrTheirVirtualKey) {
  ASSERT_STREQ(win32_test::VideoDriverName(), "x11");
  ASSERT_TRUE(XDoTool("key a Escape Left"));
  ASSERT_TRUE(keyRecords(6)) << ::testing::PrintToString(keyLines());
  EXPECT_EQ(keyLines(),
            (std::vector<std::string>{"0,0,97,", "1,0,97,", "0,27,0,", "1,27,0,", "0,37,0,", "1,37,0,"}));
  TKeyEvent* a = owner.records.front()->asKey();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->window, window.get());
  EXPECT_EQ(a->shift, 0);
}

TEST_F(RealInput, ShiftGivesTheCapitalAndControlTheControlCharacter) {
  ASSERT_TRUE(XDoTool("key shift+a ctrl+a"));
  ASSERT_TRUE(keyRecords(8)) << ::testing::PrintToString(keyLines());
  // xdotool lets go of the modifier before the letter: the letter's release
  // then reads without it, as the system's key translation does.
  EXPECT_EQ(keyLines(), (std::vector<std::string>{"0,16,0,", "0,0,65,", "1,16,0,", "1,0,97,", "0,17,0,", "0,0,1,",
                                                  "1,17,0,", "1,0,97,"}));
  std::vector<uint8_t> shifts;
  for (TLowEvent* e : owner.records) {
    if (TKeyEvent* key = e->asKey()) shifts.push_back(key->shift);
  }
  ASSERT_EQ(shifts.size(), 8u);
  EXPECT_EQ(shifts[1], kShiftShift);
  EXPECT_EQ(shifts[3], 0);
  EXPECT_EQ(shifts[5], kShiftControl);
}

TEST_F(RealInput, ALayoutsOwnLettersComeThrough) {
  if (!ownServer) GTEST_SKIP() << "the layout is only changed on a server of this program's own";
  ASSERT_EQ(std::system("setxkbmap de"), 0);
  PumpFor(300);
  // The key right of "l" types "ö" in the German layout.
  ASSERT_TRUE(XDoTool("key odiaeresis shift+odiaeresis"));
  ASSERT_TRUE(keyRecords(6)) << ::testing::PrintToString(keyLines());
  auto lines = keyLines();
  EXPECT_EQ(lines[0], "0,0,246,");
  EXPECT_EQ(lines[1], "1,0,246,");
  EXPECT_EQ(lines[3], "0,0,214,");
  // A key not typed reads the server's keymap too: shift and the key US
  // keyboards label 2 give a double quote in the German layout.
  BYTE state[256] = {};
  state[VK_SHIFT] = 0x80;
  char16_t text[4] = {};
  EXPECT_EQ(ToUnicodeEx('2', 31u << 16, state, text, 4, 0, GetKeyboardLayout(0)), 1);
  EXPECT_EQ(text[0], u'"');
  std::system("setxkbmap us");
  PumpFor(300);
}

TEST_F(RealInput, AClickIsAButtonDownAndUpAtTheClientPoint) {
  ASSERT_TRUE(XDoTool("mousemove 110 120 click 1"));
  ASSERT_TRUE(PumpUntil([&] { return !linesOfKind(lekMouseUp).empty(); }));
  EXPECT_EQ(linesOfKind(lekMouseDown), (std::vector<std::string>{"2,1,10,20,0,0,"}));
  EXPECT_EQ(linesOfKind(lekMouseUp), (std::vector<std::string>{"3,1,10,20,0,0,"}));
  auto moves = linesOfKind(lekMouseMove);
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back().substr(0, 10), "4,1,10,20,");
  // Left-button records carry the left button in their shift byte, the
  // release too.
  for (TLowEvent* e : owner.records) {
    if (e->kind == lekMouseDown || e->kind == lekMouseUp) {
      EXPECT_EQ(e->asMouse()->shift & kShiftLeftButton, 8);
    }
  }
  EXPECT_EQ(window->leftHeld, 0);
}

TEST_F(RealInput, RightClickAndTheWheelInBothDirections) {
  ASSERT_TRUE(XDoTool("mousemove 150 150 click 3 click 4 click 5"));
  ASSERT_TRUE(PumpUntil([&] { return linesOfKind(lekWheel).size() >= 2; }));
  EXPECT_EQ(linesOfKind(lekMouseDown), (std::vector<std::string>{"2,2,50,50,0,0,"}));
  EXPECT_EQ(linesOfKind(lekWheel), (std::vector<std::string>{"5,", "5,"}));
  std::vector<int> steps;
  for (TLowEvent* e : owner.records) {
    if (TWheelEvent* wheel = e->asWheel()) steps.push_back(wheel->steps);
    if (e->kind == lekMouseUp) {
      EXPECT_EQ(e->asMouse()->shift & kShiftRightButton, 16);
    }
  }
  EXPECT_EQ(steps, (std::vector<int>{1, -1}));
}

TEST_F(RealInput, RelativeModeMeasuresFromTheCentreAndPutsTheCursorBack) {
  // As the platform enters relative mode: the cursor at the window's centre.
  POINT centre{window->left + window->width / 2, window->top + window->height / 2};
  window->acquireCount = 1;
  window->warpGuard = window.get();
  SetCursorPos(centre.x, centre.y);
  PumpFor(200);
  window->warpGuard = nullptr;
  window->lastMouseX = centre.x;
  window->lastMouseY = centre.y;
  owner.clear();

  ASSERT_TRUE(XDoTool("mousemove " + std::to_string(centre.x + 5) + " " + std::to_string(centre.y)));
  ASSERT_TRUE(PumpUntil([&] { return !linesOfKind(lekMouseMove).empty(); }));
  PumpFor(200);
  // One move: the warp back to the centre is not posted, however late the
  // X server reports it.
  std::vector<TMouseEvent*> moved;
  for (TLowEvent* e : owner.records) {
    TMouseEvent* move = e->asMouse();
    if (move && move->kind == lekMouseMove) moved.push_back(move);
  }
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0]->dx, 5);
  EXPECT_EQ(moved[0]->dy, 0);
  EXPECT_EQ(moved[0]->x, centre.x + 5);  // screen coordinates in relative mode
  POINT now;
  GetCursorPos(&now);
  EXPECT_EQ(now.x, centre.x);
  EXPECT_EQ(now.y, centre.y);
  EXPECT_EQ(window->lastMouseX, centre.x);
}
