// Keys typed and the wheel turned with xdotool on a real X server: the key
// messages with their virtual keys and key data, the characters
// TranslateMessage makes, the keyboard state and ToUnicodeEx while a key
// message is handled, and wheel and button flags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compat/win32/activation.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/keyboard.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"
#include "tests/compat/real_pointer.h"
#include "tests/support/private_x_server.h"

namespace {
struct KeyHandled {
  UINT message;
  WPARAM key;
  uint32_t data;
  std::u16string typed;
  bool shift;
  bool control;
};

class compatRealKeyboard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!VideoStarted()) StartPrivateXServer();
  }

  void SetUp() override {
    ASSERT_STREQ(win32_test::VideoDriverName(), "x11");
    win32_test::ResetKeyboard();
    window = recorder.make(WS_POPUP, 0, 100, 100, 200, 150);
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
      recorder.handlers[message] = [this, message](HWND, WPARAM key, LPARAM data) {
        NoteKeyMessage(message, key, data);  // as the queue does when it hands the message out
        BYTE state[256];
        GetKeyboardState(state);
        char16_t buffer[10];
        int n = ToUnicodeEx(static_cast<UINT>(key), static_cast<UINT>(data), state, buffer, 10, 0,
                            GetKeyboardLayout(0));
        keys.push_back({message, key, static_cast<uint32_t>(data), std::u16string(buffer, n > 0 ? n : 0),
                        GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0});
        return LRESULT{0};
      };
    }
    // Keys go to the window under the pointer when no window manager runs.
    ASSERT_TRUE(XDoTool("mousemove 200 175"));
    PumpFor(300);
    recorder.clear();
    keys.clear();
  }
  void TearDown() override { win32_test::ResetKeyboard(); }

  std::vector<WPARAM> chars(UINT message = WM_CHAR) const {
    std::vector<WPARAM> out;
    for (const Received& r : recorder.of(window, message)) out.push_back(r.wParam);
    return out;
  }
  const KeyHandled* find(UINT message, WPARAM key) const {
    for (const KeyHandled& k : keys) {
      if (k.message == message && k.key == key) return &k;
    }
    return nullptr;
  }

  PointerLock lock;
  MessageRecorder recorder;
  HWND window = nullptr;
  std::vector<KeyHandled> keys;
};
}  // namespace

TEST_F(compatRealKeyboard, ALetterKeyHasItsVirtualKeyKeyDataAndCharacter) {
  ASSERT_TRUE(XDoTool("key a"));
  ASSERT_TRUE(PumpUntil([&] { return keys.size() >= 2 && !chars().empty(); }));
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].message, WM_KEYDOWN);
  EXPECT_EQ(keys[0].key, static_cast<WPARAM>('A'));
  EXPECT_EQ(keys[0].data & 0xFFFF, 1u);
  EXPECT_EQ((keys[0].data >> 16) & 0xFF, 4u);  // the display system's key number of "a"
  EXPECT_EQ(keys[0].data & 0xE0000000u, 0u);
  EXPECT_EQ(keys[0].typed, u"a");
  EXPECT_EQ(keys[1].message, WM_KEYUP);
  EXPECT_EQ(keys[1].data & 0xC0000000u, 0xC0000000u);
  EXPECT_EQ(keys[1].typed, u"a");
  EXPECT_EQ(chars(), (std::vector<WPARAM>{'a'}));
}

TEST_F(compatRealKeyboard, ShiftIsDownWhileItsLetterIsHandled) {
  ASSERT_TRUE(XDoTool("key shift+1 shift+b"));
  ASSERT_TRUE(PumpUntil([&] { return chars().size() >= 2 && keys.size() >= 8; }));
  const KeyHandled* one = find(WM_KEYDOWN, '1');
  ASSERT_NE(one, nullptr);
  EXPECT_TRUE(one->shift);
  EXPECT_EQ(one->typed, u"!");
  const KeyHandled* b = find(WM_KEYDOWN, 'B');
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->shift);
  EXPECT_EQ(b->typed, u"B");
  EXPECT_EQ(chars(), (std::vector<WPARAM>{'!', 'B'}));
  // Every key is up again afterwards.
  PumpFor(100);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(compatRealKeyboard, ControlLetterTypesItsControlCharacter) {
  ASSERT_TRUE(XDoTool("key ctrl+a"));
  ASSERT_TRUE(PumpUntil([&] { return keys.size() >= 4; }));
  const KeyHandled* a = find(WM_KEYDOWN, 'A');
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->control);
  EXPECT_EQ(a->typed, std::u16string(1, 1));
  // The character follows the key as it was pressed, though Control is up
  // again by the time the program translates the press.
  ASSERT_TRUE(PumpUntil([&] { return !chars().empty(); }));
  EXPECT_EQ(chars(), (std::vector<WPARAM>{1}));
}

TEST_F(compatRealKeyboard, AltKeysAreSystemKeysWithTheContextBit) {
  ASSERT_TRUE(XDoTool("key alt+x"));
  ASSERT_TRUE(PumpUntil([&] { return find(WM_SYSKEYUP, 'X') || find(WM_KEYUP, 'X'); }));
  const KeyHandled* x = find(WM_SYSKEYDOWN, 'X');
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->data & KF_ALTDOWN_BIT, KF_ALTDOWN_BIT);
  const KeyHandled* alt = find(WM_SYSKEYDOWN, VK_MENU);
  ASSERT_NE(alt, nullptr);
}

TEST_F(compatRealKeyboard, NonCharacterKeysTypeNothing) {
  ASSERT_TRUE(XDoTool("key Left F5 Home"));
  ASSERT_TRUE(PumpUntil([&] { return keys.size() >= 6; }));
  for (WPARAM key : {WPARAM{VK_LEFT}, WPARAM{VK_F1 + 4}, WPARAM{VK_HOME}}) {
    const KeyHandled* k = find(WM_KEYDOWN, key);
    ASSERT_NE(k, nullptr) << key;
    EXPECT_EQ(k->typed, u"") << key;
  }
  EXPECT_TRUE(chars().empty());
}

TEST_F(compatRealKeyboard, WheelNotchesAreStepsOf120AndButtonsCarryTheirFlags) {
  ASSERT_TRUE(XDoTool("mousemove 150 150 click 4 click 5 keydown shift"));
  PumpFor(200);
  ASSERT_TRUE(XDoTool("click 1"));
  PumpFor(200);
  ASSERT_TRUE(XDoTool("keyup shift"));
  ASSERT_TRUE(PumpUntil([&] { return !recorder.of(window, WM_LBUTTONUP).empty(); }));
  auto wheel = recorder.of(window, WM_MOUSEWHEEL);
  ASSERT_EQ(wheel.size(), 2u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), 120);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), -120);
  auto down = recorder.of(window, WM_LBUTTONDOWN);
  auto up = recorder.of(window, WM_LBUTTONUP);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].wParam & (MK_LBUTTON | MK_SHIFT), MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(up[0].wParam & MK_SHIFT, MK_SHIFT);
  EXPECT_EQ(up[0].wParam & MK_LBUTTON, 0u);  // the released button is no longer held
}

TEST_F(compatRealKeyboard, ButtonsCarryTheModifiersOfTheirMomentThoughTheKeysAreUpBeforeTheyAreRead) {
  ASSERT_TRUE(XDoTool("mousemove 150 150"));
  PumpFor(200);
  recorder.clear();
  // One batch, read only after the keys are released again.
  ASSERT_TRUE(XDoTool("keydown shift click 1 keyup shift keydown ctrl click 3 keyup ctrl click 1"));
  PumpFor(300);
  ASSERT_TRUE(PumpUntil([&] { return recorder.of(window, WM_LBUTTONUP).size() >= 2; }));
  auto left = recorder.of(window, WM_LBUTTONDOWN);
  auto right = recorder.of(window, WM_RBUTTONDOWN);
  ASSERT_EQ(left.size(), 2u);
  ASSERT_EQ(right.size(), 1u);
  EXPECT_EQ(left[0].wParam & (MK_SHIFT | MK_CONTROL), MK_SHIFT);
  EXPECT_EQ(right[0].wParam & (MK_SHIFT | MK_CONTROL), MK_CONTROL);
  EXPECT_EQ(left[1].wParam & (MK_SHIFT | MK_CONTROL), 0u);
}
