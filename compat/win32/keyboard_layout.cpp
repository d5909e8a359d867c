#include "compat/win32/internal/keyboard_layout.h"

#include "compat/win32/internal/video.h"
#include "compat/win32/keyboard.h"

namespace {
struct KeyPlace {
  int virtualKey;
  SDL_Scancode scancode;
};

// Keys other than letters, digits and function keys.
constexpr KeyPlace kPlaces[] = {
    {VK_BACK, SDL_SCANCODE_BACKSPACE},       {VK_TAB, SDL_SCANCODE_TAB},
    {VK_RETURN, SDL_SCANCODE_RETURN},        {VK_RETURN, SDL_SCANCODE_KP_ENTER},
    {VK_SHIFT, SDL_SCANCODE_LSHIFT},         {VK_SHIFT, SDL_SCANCODE_RSHIFT},
    {VK_CONTROL, SDL_SCANCODE_LCTRL},        {VK_CONTROL, SDL_SCANCODE_RCTRL},
    {VK_MENU, SDL_SCANCODE_LALT},            {VK_MENU, SDL_SCANCODE_RALT},
    {VK_LSHIFT, SDL_SCANCODE_LSHIFT},        {VK_RSHIFT, SDL_SCANCODE_RSHIFT},
    {VK_LCONTROL, SDL_SCANCODE_LCTRL},       {VK_RCONTROL, SDL_SCANCODE_RCTRL},
    {VK_LMENU, SDL_SCANCODE_LALT},           {VK_RMENU, SDL_SCANCODE_RALT},
    {VK_PAUSE, SDL_SCANCODE_PAUSE},          {VK_CAPITAL, SDL_SCANCODE_CAPSLOCK},
    {VK_ESCAPE, SDL_SCANCODE_ESCAPE},        {VK_SPACE, SDL_SCANCODE_SPACE},
    {VK_PRIOR, SDL_SCANCODE_PAGEUP},         {VK_NEXT, SDL_SCANCODE_PAGEDOWN},
    {VK_END, SDL_SCANCODE_END},              {VK_HOME, SDL_SCANCODE_HOME},
    {VK_LEFT, SDL_SCANCODE_LEFT},            {VK_UP, SDL_SCANCODE_UP},
    {VK_RIGHT, SDL_SCANCODE_RIGHT},          {VK_DOWN, SDL_SCANCODE_DOWN},
    {VK_SNAPSHOT, SDL_SCANCODE_PRINTSCREEN}, {VK_INSERT, SDL_SCANCODE_INSERT},
    {VK_DELETE, SDL_SCANCODE_DELETE},        {VK_LWIN, SDL_SCANCODE_LGUI},
    {VK_RWIN, SDL_SCANCODE_RGUI},            {VK_APPS, SDL_SCANCODE_APPLICATION},
    {VK_NUMPAD0, SDL_SCANCODE_KP_0},         {VK_NUMPAD0 + 1, SDL_SCANCODE_KP_1},
    {VK_NUMPAD0 + 2, SDL_SCANCODE_KP_2},     {VK_NUMPAD0 + 3, SDL_SCANCODE_KP_3},
    {VK_NUMPAD0 + 4, SDL_SCANCODE_KP_4},     {VK_NUMPAD0 + 5, SDL_SCANCODE_KP_5},
    {VK_NUMPAD0 + 6, SDL_SCANCODE_KP_6},     {VK_NUMPAD0 + 7, SDL_SCANCODE_KP_7},
    {VK_NUMPAD0 + 8, SDL_SCANCODE_KP_8},     {VK_NUMPAD0 + 9, SDL_SCANCODE_KP_9},
    {VK_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY}, {VK_ADD, SDL_SCANCODE_KP_PLUS},
    {VK_SUBTRACT, SDL_SCANCODE_KP_MINUS},    {VK_DECIMAL, SDL_SCANCODE_KP_PERIOD},
    {VK_DIVIDE, SDL_SCANCODE_KP_DIVIDE},     {VK_NUMLOCK, SDL_SCANCODE_NUMLOCKCLEAR},
    {VK_SCROLL, SDL_SCANCODE_SCROLLLOCK},    {VK_OEM_1, SDL_SCANCODE_SEMICOLON},
    {VK_OEM_PLUS, SDL_SCANCODE_EQUALS},      {VK_OEM_COMMA, SDL_SCANCODE_COMMA},
    {VK_OEM_MINUS, SDL_SCANCODE_MINUS},      {VK_OEM_PERIOD, SDL_SCANCODE_PERIOD},
    {VK_OEM_2, SDL_SCANCODE_SLASH},          {VK_OEM_3, SDL_SCANCODE_GRAVE},
    {VK_OEM_4, SDL_SCANCODE_LEFTBRACKET},    {VK_OEM_5, SDL_SCANCODE_BACKSLASH},
    {VK_OEM_6, SDL_SCANCODE_RIGHTBRACKET},   {VK_OEM_7, SDL_SCANCODE_APOSTROPHE},
};

SDL_Scancode LetterOrDigitScancode(int virtualKey) {
  SDL_Keycode symbol = virtualKey >= 'A' ? SDLK_a + (virtualKey - 'A') : SDLK_0 + (virtualKey - '0');
  SDL_Scancode code = VideoStarted() ? SDL_GetScancodeFromKey(symbol) : SDL_SCANCODE_UNKNOWN;
  if (code != SDL_SCANCODE_UNKNOWN) return code;
  if (virtualKey >= 'A') return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'));
  return virtualKey == '0' ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (virtualKey - '1'));
}
}  // namespace

int LevelOfMods(Uint16 mods) {
  int level = 0;
  if (mods & KMOD_SHIFT) level |= kLevelShift;
  if (mods & KMOD_CAPS) level |= kLevelCaps;
  if (mods & (KMOD_MODE | KMOD_RALT)) level |= kLevelAltGr;
  return level;
}

int LevelOfState(const BYTE* state) {
  int level = 0;
  if (state[VK_SHIFT] & 0x80) level |= kLevelShift;
  if (state[VK_CAPITAL] & 0x01) level |= kLevelCaps;
  bool altGr = (state[VK_RMENU] & 0x80) || ((state[VK_CONTROL] & 0x80) && (state[VK_MENU] & 0x80));
  if (altGr) level |= kLevelAltGr;
  return level;
}

std::vector<SDL_Scancode> ScancodesOf(int virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
    return {LetterOrDigitScancode(virtualKey)};
  }
  if (virtualKey >= VK_F1 && virtualKey <= VK_F12) {
    return {static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + (virtualKey - VK_F1))};
  }
  std::vector<SDL_Scancode> codes;
  for (const KeyPlace& place : kPlaces) {
    if (place.virtualKey == virtualKey) codes.push_back(place.scancode);
  }
  return codes;
}

int VirtualKeyOfScancode(SDL_Scancode scancode) {
  for (int key = 'A'; key <= 'Z'; ++key) {
    if (LetterOrDigitScancode(key) == scancode) return key;
  }
  for (int key = '0'; key <= '9'; ++key) {
    if (LetterOrDigitScancode(key) == scancode) return key;
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return VK_F1 + (scancode - SDL_SCANCODE_F1);
  for (const KeyPlace& place : kPlaces) {
    if (place.scancode == scancode) return place.virtualKey;
  }
  return 0;
}

int SidedVirtualKeyOfScancode(SDL_Scancode scancode) {
  for (const KeyPlace& place : kPlaces) {
    if (place.scancode == scancode && place.virtualKey >= VK_LSHIFT && place.virtualKey <= VK_RMENU) {
      return place.virtualKey;
    }
  }
  return VirtualKeyOfScancode(scancode);
}
