// The keyboard state and the characters of keys, without a display system:
// keys held through the test hook, characters from the keymap the
// environment names (US English here unless a test names another).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "compat/win32/keyboard.h"

namespace {
class compatKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    win32_test::ResetKeyboard();
    Layout("us");
  }
  void TearDown() override {
    win32_test::ResetKeyboard();
    unsetenv("XKB_DEFAULT_LAYOUT");
    win32_test::ForgetKeymap();
  }
  void Layout(const char* name) {
    setenv("XKB_DEFAULT_LAYOUT", name, 1);
    win32_test::ForgetKeymap();
  }

  BYTE state[256] = {};

  // The characters a key types in `state`; the scan code is a key message's
  // whole key data with the display system's key number in bits 16-23, or
  // 0 (the virtual key alone names the key).
  std::u16string Typed(UINT key, int scancode = 0, bool release = false) {
    char16_t buffer[10] = {};
    UINT data = scancode == 0 ? 0u : 1u | (static_cast<UINT>(scancode) << 16) | (release ? 0xC0000000u : 0u);
    int n = ToUnicodeEx(key, data, state, buffer, 10, 0, GetKeyboardLayout(0));
    EXPECT_GE(n, 0);
    return std::u16string(buffer, static_cast<size_t>(n < 0 ? 0 : n));
  }
};
}  // namespace

TEST_F(compatKeyboard, HeldKeysShowInTheKeyStateWithTheirGenericKey) {
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  win32_test::PressKey(VK_LSHIFT, true);
  EXPECT_EQ(GetKeyState(VK_LSHIFT) & 0x8000, 0x8000);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0x8000);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);  // bit 15 is the sign bit, as programs test it
  EXPECT_EQ(GetKeyState(VK_RSHIFT), 0);
  win32_test::PressKey(VK_RSHIFT, true);
  win32_test::PressKey(VK_LSHIFT, false);
  EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0x8000);  // the right one still holds it
  win32_test::PressKey(VK_RSHIFT, false);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetKeyState(-1), 0);
  EXPECT_EQ(GetKeyState(0x1FF), 0);
}

TEST_F(compatKeyboard, CapsLockTogglesOnEachPress) {
  win32_test::PressKey(VK_CAPITAL, true);
  EXPECT_EQ(GetKeyState(VK_CAPITAL), static_cast<SHORT>(0x8001));
  win32_test::PressKey(VK_CAPITAL, false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
  win32_test::PressKey(VK_CAPITAL, true);
  win32_test::PressKey(VK_CAPITAL, false);
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
}

TEST_F(compatKeyboard, KeyboardStateHoldsEveryKey) {
  win32_test::PressKey(VK_LCONTROL, true);
  win32_test::PressKey('Q', true);
  BYTE keys[256];
  std::fill(std::begin(keys), std::end(keys), 0x55);
  ASSERT_TRUE(GetKeyboardState(keys));
  for (int key = 0; key < 256; ++key) {
    bool held = key == VK_LCONTROL || key == VK_CONTROL || key == 'Q';
    EXPECT_EQ(keys[key], held ? 0x80 : 0) << key;
  }
  EXPECT_FALSE(GetKeyboardState(nullptr));
}

TEST_F(compatKeyboard, LettersFollowShiftAndCapsLock) {
  EXPECT_EQ(Typed('A', 4), u"a");
  state[VK_SHIFT] = 0x80;
  EXPECT_EQ(Typed('A', 4), u"A");
  state[VK_CAPITAL] = 0x01;
  EXPECT_EQ(Typed('A', 4), u"a");
  state[VK_SHIFT] = 0;
  EXPECT_EQ(Typed('A', 4), u"A");
  // A release types the same as the press.
  EXPECT_EQ(Typed('A', 4, true), u"A");
  // Without a key number the virtual key names the key.
  EXPECT_EQ(Typed('Z'), u"Z");
}

TEST_F(compatKeyboard, DigitsAndPunctuationTypeUsCharacters) {
  EXPECT_EQ(Typed('1', 30), u"1");
  EXPECT_EQ(Typed(VK_OEM_1, 51), u";");
  EXPECT_EQ(Typed(VK_SPACE, 44), u" ");
  state[VK_SHIFT] = 0x80;
  EXPECT_EQ(Typed('1', 30), u"!");
  EXPECT_EQ(Typed(VK_OEM_1, 51), u":");
  EXPECT_EQ(Typed(VK_OEM_7), u"\"");
  // Caps lock shifts letters only.
  state[VK_SHIFT] = 0;
  state[VK_CAPITAL] = 0x01;
  EXPECT_EQ(Typed('1', 30), u"1");
}

TEST_F(compatKeyboard, ControlKeysAndControlLettersTypeControlCharacters) {
  EXPECT_EQ(Typed(VK_BACK, 42), u"\b");
  EXPECT_EQ(Typed(VK_TAB, 43), u"\t");
  EXPECT_EQ(Typed(VK_RETURN, 40), u"\r");
  EXPECT_EQ(Typed(VK_ESCAPE, 41), u"\x1b");
  state[VK_CONTROL] = 0x80;
  EXPECT_EQ(Typed('A', 4), std::u16string(1, 1));
  EXPECT_EQ(Typed('Z', 29), std::u16string(1, 26));
  EXPECT_EQ(Typed('1', 30), u"");
}

TEST_F(compatKeyboard, KeysWithoutCharactersTypeNothing) {
  for (UINT key : {VK_LEFT, VK_UP, VK_F1, VK_SHIFT, VK_DELETE, VK_HOME, VK_CAPITAL}) {
    EXPECT_EQ(Typed(key), u"") << key;
  }
  // AltGr (control and alt) types only what the layout has shown it.
  state[VK_CONTROL] = 0x80;
  state[VK_MENU] = 0x80;
  EXPECT_EQ(Typed('Q', 20), u"");
}

TEST_F(compatKeyboard, KeysNotTypedReadTheSystemsKeymap) {
  Layout("de");
  // Scan codes are the display system's key numbers: 29 is the key US
  // keyboards label Z, 31 the 2, 20 the Q, 45 the minus key.
  const struct {
    BYTE shift, control, alt;
    UINT key;
    int scancode;
    const char16_t* typed;
  } keys[] = {
      {0, 0, 0, 'Y', 29, u"y"},      {0x80, 0, 0, '2', 31, u"\""},
      {0, 0x80, 0x80, 'Q', 20, u"@"}, {0, 0, 0, 0xDB, 45, u"\u00DF"},
      {0x80, 0, 0, 0xDB, 45, u"?"},
  };
  for (const auto& k : keys) {
    state[VK_SHIFT] = k.shift;
    state[VK_CONTROL] = k.control;
    state[VK_MENU] = k.alt;
    EXPECT_EQ(Typed(k.key, k.scancode), k.typed) << k.scancode;
  }
}

TEST_F(compatKeyboard, TheBufferBoundsWhatIsWritten) {
  char16_t buffer[2] = {u'x', u'y'};
  EXPECT_EQ(ToUnicodeEx('A', 4 << 16, state, buffer, 0, 0, nullptr), 0);
  EXPECT_EQ(buffer[0], u'x');
  EXPECT_EQ(ToUnicodeEx('A', 4 << 16, state, buffer, 1, 0, nullptr), 1);
  EXPECT_EQ(buffer[0], u'a');
  EXPECT_EQ(buffer[1], u'y');
  EXPECT_EQ(ToUnicodeEx('A', 4 << 16, nullptr, buffer, 2, 0, nullptr), 0);
  EXPECT_EQ(ToUnicodeEx('A', 4 << 16, state, nullptr, 2, 0, nullptr), 0);
}
