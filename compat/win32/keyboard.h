#pragma once
// The keyboard as programs ask it: virtual-key codes, the state of every key,
// the keyboard layout and the characters a key types in a given state.
//
// The state of a key is what the display system reported of the real keyboard,
// together with keys pressed through the test hooks below, as of the key
// message being handled (NoteKeyMessage). The characters of a key are what
// the display system reported the press typed; for a key not typed (a
// release, a question about another key or state) they come from the
// system's keymap (libxkbcommon), so every layout, shift and AltGr level
// comes out as the user sees it.
#include "compat/win32/win_types.h"

using SHORT = int16_t;
using HKL = void*;

// Virtual-key codes (the system's own numbers).
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their own codes.
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;       // ;:
constexpr int VK_OEM_PLUS = 0xBB;    // =+
constexpr int VK_OEM_COMMA = 0xBC;   // ,<
constexpr int VK_OEM_MINUS = 0xBD;   // -_
constexpr int VK_OEM_PERIOD = 0xBE;  // .>
constexpr int VK_OEM_2 = 0xBF;       // /?
constexpr int VK_OEM_3 = 0xC0;       // `~
constexpr int VK_OEM_4 = 0xDB;       // [{
constexpr int VK_OEM_5 = 0xDC;       // \|
constexpr int VK_OEM_6 = 0xDD;       // ]}
constexpr int VK_OEM_7 = 0xDE;       // '"
constexpr int VK_PACKET = 0xE7;      // a key that types a character but has no key code of its own

// Key-data bits of key messages (lParam).
constexpr LPARAM KF_REPEAT_COUNT_MASK = 0xFFFF;
constexpr uint32_t KF_ALTDOWN_BIT = 1u << 29;
constexpr uint32_t KF_REPEAT_BIT = 1u << 30;
constexpr uint32_t KF_UP_BIT = 1u << 31;

// The state of one key: bit 15 (0x8000) set while it is down, bit 0 set while a
// toggle key (caps lock, num lock, scroll lock) is on.
SHORT GetKeyState(int virtualKey);
// The same for every key at once: 256 bytes, 0x80 down, 0x01 toggled.
BOOL GetKeyboardState(BYTE* keyState);

// The keyboard layout of a thread (there is one for the program).
HKL GetKeyboardLayout(DWORD threadId);

// The characters a key types with the keys of `keyState` held, into `buffer`;
// answers how many code units were written (0: the key types nothing). The
// scan code is either the display system's key number or a key message's whole
// key data (bits 16-23 hold it there; bit 31 marks a release, which types the
// same characters). Control + a letter types the control character (Ctrl+A is
// 1); backspace, tab, return and escape type 8, 9, 13 and 27.
int ToUnicodeEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, char16_t* buffer, int capacity, UINT flags,
                HKL layout);

// Keys read as of the key message being handled, as on the system: the queue
// tells each key message as it hands it out (and the applet's input
// translation as it handles one; telling the same message twice changes
// nothing). Until some key message has been told, keys read as the keyboard
// holds them now.
void NoteKeyMessage(UINT message, WPARAM virtualKey, LPARAM keyData);

// Starts following the display system's key events (idempotent). It runs as
// the program starts; the display system forgets it when it stops, so a
// restart of the display system calls it again.
void StartKeyboardTracking();

namespace win32_test {
// Holds a key down (or lets it go) as the keyboard state reports it, on top of
// the real keyboard: for tests that hand-make key messages.
void PressKey(int virtualKey, bool down);
// Lets go of every key pressed through PressKey and forgets the characters
// typed so far.
void ResetKeyboard();
// Reads the system's keymap again when next asked (after a layout change the
// display system did not report, such as XKB_DEFAULT_LAYOUT set by a test).
void ForgetKeymap();
// A key press (and its release) as the display system delivers it, with the
// text it typed (UTF-8, may be empty): it becomes key messages when the queue
// is next read.
void InjectKey(int scancode, bool down, const char* typedText);
}  // namespace win32_test
