#include "compat/win32/keyboard.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "compat/win32/internal/keyboard_layout.h"
#include "compat/win32/internal/keymap.h"
#include "compat/win32/internal/keyboard_tracking.h"
#include "compat/win32/internal/video.h"

namespace {
// The scan code argument may be a key message's whole key data.
SDL_Scancode ScancodeOfArgument(UINT virtualKey, UINT scanCode) {
  UINT code = scanCode > 0xFFFF ? (scanCode >> 16) & 0xFF : scanCode & 0xFF;
  if (code != 0) return static_cast<SDL_Scancode>(code);
  std::vector<SDL_Scancode> codes = ScancodesOf(static_cast<int>(virtualKey));
  return codes.empty() ? SDL_SCANCODE_UNKNOWN : codes.front();
}

std::u16string TypedText(UINT virtualKey, UINT scanCode, const BYTE* state) {
  bool control = (state[VK_CONTROL] & 0x80) != 0;
  bool alt = (state[VK_MENU] & 0x80) != 0;
  if (control && !alt) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return std::u16string(1, static_cast<char16_t>(virtualKey - 'A' + 1));
    return {};
  }
  switch (virtualKey) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
      return std::u16string(1, static_cast<char16_t>(virtualKey));
    default:
      break;
  }
  SDL_Scancode scancode = ScancodeOfArgument(virtualKey, scanCode);
  if (scancode == SDL_SCANCODE_UNKNOWN) return {};
  int level = LevelOfState(state);
  // What this very press typed, as the display system reported it; for a key
  // not typed, what the system's keymap gives it in this state.
  std::u16string text = TextOfReadPress(scancode, level);
  if (text.empty()) text = KeymapText(scancode, level, (state[VK_NUMLOCK] & 0x01) != 0);
  return text;
}
}  // namespace

SHORT GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 0xFF) return 0;
  BYTE state[256];
  ReadKeyState(state);
  int value = ((state[virtualKey] & 0x80) ? 0x8000 : 0) | (state[virtualKey] & 0x01);
  return static_cast<SHORT>(static_cast<int16_t>(value));
}

BOOL GetKeyboardState(BYTE* keyState) {
  if (!keyState) return FALSE;
  ReadKeyState(keyState);
  return TRUE;
}

HKL GetKeyboardLayout(DWORD /*threadId*/) {
  // One layout, that of the display system; its handle only has to be stable.
  return reinterpret_cast<HKL>(static_cast<uintptr_t>(0x04090409));
}

int ToUnicodeEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, char16_t* buffer, int capacity,
                UINT /*flags*/, HKL /*layout*/) {
  if (!keyState || !buffer || capacity <= 0) return 0;
  // A character handed over with no key of its own carries it in the key
  // code's high word.
  if ((virtualKey & 0xFFFF) == VK_PACKET && (virtualKey >> 16) != 0) {
    buffer[0] = static_cast<char16_t>(virtualKey >> 16);
    if (capacity > 1) buffer[1] = 0;
    return 1;
  }
  std::u16string text = TypedText(virtualKey, scanCode, keyState);
  int count = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(capacity)));
  std::memcpy(buffer, text.data(), static_cast<size_t>(count) * sizeof(char16_t));
  if (count < capacity) buffer[count] = 0;
  return count;
}

void win32_test::ForgetKeymap() { ::ForgetKeymap(); }

void win32_test::InjectKey(int scancode, bool down, const char* typedText) {
  if (!EnsureVideo()) return;
  StartKeyboardTracking();
  auto code = static_cast<SDL_Scancode>(scancode);
  PressKey(SidedVirtualKeyOfScancode(code), down);

  Uint16 mods = KMOD_NONE;
  if (TestKeyHeld(VK_LSHIFT)) mods |= KMOD_LSHIFT;
  if (TestKeyHeld(VK_RSHIFT)) mods |= KMOD_RSHIFT;
  if (TestKeyHeld(VK_LCONTROL)) mods |= KMOD_LCTRL;
  if (TestKeyHeld(VK_RCONTROL)) mods |= KMOD_RCTRL;
  if (TestKeyHeld(VK_LMENU)) mods |= KMOD_LALT;
  if (TestKeyHeld(VK_RMENU)) mods |= KMOD_RALT;
  if (TestCapsToggled()) mods |= KMOD_CAPS;

  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = code;
  event.key.keysym.sym = SDL_GetKeyFromScancode(code);
  event.key.keysym.mod = mods;
  SDL_PushEvent(&event);
  if (down && typedText && *typedText) {
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, typedText, sizeof(text.text.text));
    SDL_PushEvent(&text);
  }
}
