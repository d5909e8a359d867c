// Key presses as the display system delivers them: the key messages they
// become, their key data, and the characters the layout gives them as the
// window procedure handles them.
#include <SDL2/SDL.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "compat/win32/activation.h"
#include "compat/win32/keyboard.h"
#include "tests/compat/message_recorder.h"

namespace {
struct KeySeen {
  UINT message;
  WPARAM key;
  uint32_t data;
  std::u16string typed;
  bool shiftHeld;
};

class compatKeyboardInput : public ::testing::Test {
 protected:
  void SetUp() override {
    win32_test::ResetKeyboard();
    setenv("XKB_DEFAULT_LAYOUT", "us", 1);
    win32_test::ForgetKeymap();
    window = recorder.make(WS_POPUP, 0, 50, 50, 120, 80);
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
        seen.push_back({message, key, static_cast<uint32_t>(data), std::u16string(buffer, n > 0 ? n : 0),
                        (GetKeyState(VK_SHIFT) & 0x8000) != 0});
        return LRESULT{0};
      };
    }
    recorder.pump();
    recorder.clear();
  }
  void TearDown() override {
    win32_test::ResetKeyboard();
    unsetenv("XKB_DEFAULT_LAYOUT");
    win32_test::ForgetKeymap();
  }

  void Press(SDL_Scancode key, const char* text) {
    win32_test::InjectKey(key, true, text);
    win32_test::InjectKey(key, false, nullptr);
  }
  std::vector<WPARAM> chars() const {
    std::vector<WPARAM> out;
    for (const Received& r : recorder.of(window, WM_CHAR)) out.push_back(r.wParam);
    return out;
  }

  MessageRecorder recorder;
  HWND window = nullptr;
  std::vector<KeySeen> seen;
};
}  // namespace

TEST_F(compatKeyboardInput, ALetterIsAKeyDownAndUpWithItsCharacter) {
  Press(SDL_SCANCODE_A, "a");
  recorder.pump();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, WM_KEYDOWN);
  EXPECT_EQ(seen[0].key, static_cast<WPARAM>('A'));
  EXPECT_EQ(seen[0].data & 0xFFFF, 1u);  // repeat count
  EXPECT_EQ((seen[0].data >> 16) & 0xFF, static_cast<uint32_t>(SDL_SCANCODE_A));
  EXPECT_EQ(seen[0].data & 0xE0000000u, 0u);  // no alt, not down before, pressed
  EXPECT_EQ(seen[0].typed, u"a");
  EXPECT_EQ(seen[1].message, WM_KEYUP);
  EXPECT_EQ(seen[1].data & 0xC0000000u, 0xC0000000u);  // was down, released
  EXPECT_EQ(seen[1].typed, u"a");
  EXPECT_EQ(chars(), (std::vector<WPARAM>{'a'}));
}

TEST_F(compatKeyboardInput, ShiftIsHeldAndTheLayoutsShiftedCharacterComes) {
  win32_test::InjectKey(SDL_SCANCODE_LSHIFT, true, nullptr);
  Press(SDL_SCANCODE_A, "A");
  Press(SDL_SCANCODE_1, "!");
  win32_test::InjectKey(SDL_SCANCODE_LSHIFT, false, nullptr);
  recorder.pump();
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0].key, static_cast<WPARAM>(VK_SHIFT));
  EXPECT_EQ(seen[0].typed, u"");
  EXPECT_EQ(seen[1].key, static_cast<WPARAM>('A'));
  EXPECT_TRUE(seen[1].shiftHeld);
  EXPECT_EQ(seen[1].typed, u"A");
  EXPECT_EQ(seen[3].key, static_cast<WPARAM>('1'));
  EXPECT_EQ(seen[3].typed, u"!");
  EXPECT_EQ(chars(), (std::vector<WPARAM>{'A', '!'}));
}

TEST_F(compatKeyboardInput, ATypedKeyGivesWhatItTypedAndAnUntypedOneTheKeymaps) {
  // A German keyboard types "ö" on the key where US keyboards have ";".
  Press(SDL_SCANCODE_SEMICOLON, "\xC3\xB6");
  win32_test::InjectKey(SDL_SCANCODE_LSHIFT, true, nullptr);
  Press(SDL_SCANCODE_SEMICOLON, "\xC3\x96");
  win32_test::InjectKey(SDL_SCANCODE_LSHIFT, false, nullptr);
  recorder.pump();
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0].typed, u"\u00F6");
  EXPECT_EQ(seen[1].typed, u"\u00F6");
  EXPECT_EQ(seen[3].typed, u"\u00D6");
  // A press that typed nothing reads the system's keymap (US here), not
  // what the key typed before.
  seen.clear();
  Press(SDL_SCANCODE_SEMICOLON, nullptr);
  recorder.pump();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].typed, u";");
}

TEST_F(compatKeyboardInput, ControlLetterTypesAControlCharacter) {
  win32_test::InjectKey(SDL_SCANCODE_LCTRL, true, nullptr);
  Press(SDL_SCANCODE_A, nullptr);
  win32_test::InjectKey(SDL_SCANCODE_LCTRL, false, nullptr);
  recorder.pump();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[1].key, static_cast<WPARAM>('A'));
  EXPECT_EQ(seen[1].typed, std::u16string(1, 1));
}

TEST_F(compatKeyboardInput, AltKeysAreSystemKeysWithTheAltBit) {
  win32_test::InjectKey(SDL_SCANCODE_LALT, true, nullptr);
  Press(SDL_SCANCODE_X, nullptr);
  win32_test::InjectKey(SDL_SCANCODE_LALT, false, nullptr);
  recorder.pump();
  Press(SDL_SCANCODE_F10, nullptr);
  recorder.pump();
  // Alt itself, the keys pressed with it and F10 are system keys, up and down.
  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'X'}, {WM_SYSKEYUP, 'X'},
      {WM_SYSKEYUP, VK_MENU},   {WM_SYSKEYDOWN, VK_F1 + 9}, {WM_SYSKEYUP, VK_F1 + 9}};
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(seen[i].message, expected[i].first) << i;
    EXPECT_EQ(seen[i].key, expected[i].second) << i;
  }
  EXPECT_EQ(seen[1].data & KF_ALTDOWN_BIT, KF_ALTDOWN_BIT);
}

TEST_F(compatKeyboardInput, NonCharacterKeysTypeNothing) {
  Press(SDL_SCANCODE_ESCAPE, nullptr);
  Press(SDL_SCANCODE_LEFT, nullptr);
  Press(SDL_SCANCODE_F5, nullptr);
  recorder.pump();
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0].key, static_cast<WPARAM>(VK_ESCAPE));
  EXPECT_EQ(seen[0].typed, u"\x1b");
  EXPECT_EQ(seen[2].key, static_cast<WPARAM>(VK_LEFT));
  EXPECT_EQ(seen[2].typed, u"");
  EXPECT_EQ(seen[4].key, static_cast<WPARAM>(VK_F1 + 4));
  EXPECT_EQ(seen[4].typed, u"");
}
