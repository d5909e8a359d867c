#include "compat/win32/keyboard.h"

#include <SDL2/SDL.h>

#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "compat/win32/internal/pointer.h"
#include "compat/win32/internal/utf16.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/window_messages.h"

namespace {
// The keys of the display system that stand for a virtual key. Letters and
// digits are looked up through the layout instead (the key that types "a" is
// 'A' whatever its place).
struct KeyPlace {
  int virtualKey;
  SDL_Scancode scancode;
};

constexpr KeyPlace kPlaces[] = {
    {VK_BACK, SDL_SCANCODE_BACKSPACE},     {VK_TAB, SDL_SCANCODE_TAB},
    {VK_RETURN, SDL_SCANCODE_RETURN},      {VK_RETURN, SDL_SCANCODE_KP_ENTER},
    {VK_SHIFT, SDL_SCANCODE_LSHIFT},       {VK_SHIFT, SDL_SCANCODE_RSHIFT},
    {VK_CONTROL, SDL_SCANCODE_LCTRL},      {VK_CONTROL, SDL_SCANCODE_RCTRL},
    {VK_MENU, SDL_SCANCODE_LALT},          {VK_MENU, SDL_SCANCODE_RALT},
    {VK_LSHIFT, SDL_SCANCODE_LSHIFT},      {VK_RSHIFT, SDL_SCANCODE_RSHIFT},
    {VK_LCONTROL, SDL_SCANCODE_LCTRL},     {VK_RCONTROL, SDL_SCANCODE_RCTRL},
    {VK_LMENU, SDL_SCANCODE_LALT},         {VK_RMENU, SDL_SCANCODE_RALT},
    {VK_PAUSE, SDL_SCANCODE_PAUSE},        {VK_CAPITAL, SDL_SCANCODE_CAPSLOCK},
    {VK_ESCAPE, SDL_SCANCODE_ESCAPE},      {VK_SPACE, SDL_SCANCODE_SPACE},
    {VK_PRIOR, SDL_SCANCODE_PAGEUP},       {VK_NEXT, SDL_SCANCODE_PAGEDOWN},
    {VK_END, SDL_SCANCODE_END},            {VK_HOME, SDL_SCANCODE_HOME},
    {VK_LEFT, SDL_SCANCODE_LEFT},          {VK_UP, SDL_SCANCODE_UP},
    {VK_RIGHT, SDL_SCANCODE_RIGHT},        {VK_DOWN, SDL_SCANCODE_DOWN},
    {VK_SNAPSHOT, SDL_SCANCODE_PRINTSCREEN}, {VK_INSERT, SDL_SCANCODE_INSERT},
    {VK_DELETE, SDL_SCANCODE_DELETE},      {VK_LWIN, SDL_SCANCODE_LGUI},
    {VK_RWIN, SDL_SCANCODE_RGUI},          {VK_APPS, SDL_SCANCODE_APPLICATION},
    {VK_NUMPAD0, SDL_SCANCODE_KP_0},       {VK_NUMPAD0 + 1, SDL_SCANCODE_KP_1},
    {VK_NUMPAD0 + 2, SDL_SCANCODE_KP_2},   {VK_NUMPAD0 + 3, SDL_SCANCODE_KP_3},
    {VK_NUMPAD0 + 4, SDL_SCANCODE_KP_4},   {VK_NUMPAD0 + 5, SDL_SCANCODE_KP_5},
    {VK_NUMPAD0 + 6, SDL_SCANCODE_KP_6},   {VK_NUMPAD0 + 7, SDL_SCANCODE_KP_7},
    {VK_NUMPAD0 + 8, SDL_SCANCODE_KP_8},   {VK_NUMPAD0 + 9, SDL_SCANCODE_KP_9},
    {VK_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY}, {VK_ADD, SDL_SCANCODE_KP_PLUS},
    {VK_SUBTRACT, SDL_SCANCODE_KP_MINUS},  {VK_DECIMAL, SDL_SCANCODE_KP_PERIOD},
    {VK_DIVIDE, SDL_SCANCODE_KP_DIVIDE},   {VK_NUMLOCK, SDL_SCANCODE_NUMLOCKCLEAR},
    {VK_SCROLL, SDL_SCANCODE_SCROLLLOCK},  {VK_OEM_1, SDL_SCANCODE_SEMICOLON},
    {VK_OEM_PLUS, SDL_SCANCODE_EQUALS},    {VK_OEM_COMMA, SDL_SCANCODE_COMMA},
    {VK_OEM_MINUS, SDL_SCANCODE_MINUS},    {VK_OEM_PERIOD, SDL_SCANCODE_PERIOD},
    {VK_OEM_2, SDL_SCANCODE_SLASH},        {VK_OEM_3, SDL_SCANCODE_GRAVE},
    {VK_OEM_4, SDL_SCANCODE_LEFTBRACKET},  {VK_OEM_5, SDL_SCANCODE_BACKSLASH},
    {VK_OEM_6, SDL_SCANCODE_RIGHTBRACKET}, {VK_OEM_7, SDL_SCANCODE_APOSTROPHE},
};

// Characters of the keys of a US keyboard, unshifted and shifted: what a key
// types before the display system has shown what it types in this layout.
struct UsKey {
  SDL_Scancode scancode;
  char plain;
  char shifted;
};

constexpr UsKey kUsKeys[] = {
    {SDL_SCANCODE_1, '1', '!'},           {SDL_SCANCODE_2, '2', '@'},           {SDL_SCANCODE_3, '3', '#'},
    {SDL_SCANCODE_4, '4', '$'},           {SDL_SCANCODE_5, '5', '%'},           {SDL_SCANCODE_6, '6', '^'},
    {SDL_SCANCODE_7, '7', '&'},           {SDL_SCANCODE_8, '8', '*'},           {SDL_SCANCODE_9, '9', '('},
    {SDL_SCANCODE_0, '0', ')'},           {SDL_SCANCODE_SPACE, ' ', ' '},       {SDL_SCANCODE_MINUS, '-', '_'},
    {SDL_SCANCODE_EQUALS, '=', '+'},      {SDL_SCANCODE_LEFTBRACKET, '[', '{'}, {SDL_SCANCODE_RIGHTBRACKET, ']', '}'},
    {SDL_SCANCODE_BACKSLASH, '\\', '|'},  {SDL_SCANCODE_SEMICOLON, ';', ':'},   {SDL_SCANCODE_APOSTROPHE, '\'', '"'},
    {SDL_SCANCODE_GRAVE, '`', '~'},       {SDL_SCANCODE_COMMA, ',', '<'},       {SDL_SCANCODE_PERIOD, '.', '>'},
    {SDL_SCANCODE_SLASH, '/', '?'},       {SDL_SCANCODE_KP_MULTIPLY, '*', '*'}, {SDL_SCANCODE_KP_PLUS, '+', '+'},
    {SDL_SCANCODE_KP_MINUS, '-', '-'},    {SDL_SCANCODE_KP_DIVIDE, '/', '/'},
};

// The shift state a character was typed in: it selects the character a key
// types, so it is part of what the layout is taught.
enum ShiftLevel : int { kLevelShift = 1, kLevelCaps = 2, kLevelAltGr = 4 };

struct Tracking {
  std::mutex lock;
  // Text typed by a key in a shift level, as the display system reported it.
  std::map<std::pair<int, int>, std::u16string> typed;
  // The key down the next text belongs to; -1 when text came already.
  int lastKeyDown = -1;
  int lastLevel = 0;
  bool lastKeyHasText = false;
  // Keys held through the test hooks, by virtual key.
  std::array<bool, 256> pressed{};
  bool capsToggled = false;
};

Tracking& TheTracking() {
  static auto* tracking = new Tracking();
  return *tracking;
}

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
  // The system reports AltGr as control and alt held together.
  bool altGr = (state[VK_RMENU] & 0x80) || ((state[VK_CONTROL] & 0x80) && (state[VK_MENU] & 0x80));
  if (altGr) level |= kLevelAltGr;
  return level;
}

void ObserveKeyDown(const SDL_KeyboardEvent& key) {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  t.lastKeyDown = key.keysym.scancode;
  t.lastLevel = LevelOfMods(key.keysym.mod);
  t.lastKeyHasText = false;
}

void ObserveText(const char* text) {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  if (t.lastKeyDown < 0) return;
  std::u16string& entry = t.typed[{t.lastKeyDown, t.lastLevel}];
  // An input method may report one key's text in pieces.
  if (!t.lastKeyHasText) entry.clear();
  entry += Utf8ToUnicode(text);
  t.lastKeyHasText = true;
}

int ObserveEvent(void* /*userdata*/, SDL_Event* event) {
  if (event->type == SDL_KEYDOWN) ObserveKeyDown(event->key);
  if (event->type == SDL_TEXTINPUT) ObserveText(event->text.text);
  return 1;
}

// Tracking starts with the program, before the display system starts, so that
// the first key typed is already seen.
const bool trackingStarted = (StartKeyboardTracking(), true);

// The display system's keys that stand for a virtual key.
std::vector<SDL_Scancode> ScancodesOf(int virtualKey) {
  std::vector<SDL_Scancode> codes;
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
    SDL_Keycode symbol = virtualKey >= 'A' ? SDLK_a + (virtualKey - 'A') : SDLK_0 + (virtualKey - '0');
    SDL_Scancode code = VideoStarted() ? SDL_GetScancodeFromKey(symbol) : SDL_SCANCODE_UNKNOWN;
    if (code == SDL_SCANCODE_UNKNOWN) {
      code = virtualKey >= 'A' ? static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'))
             : virtualKey == '0' ? SDL_SCANCODE_0
                                 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (virtualKey - '1'));
    }
    codes.push_back(code);
    return codes;
  }
  if (virtualKey >= VK_F1 && virtualKey <= VK_F12) {
    codes.push_back(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + (virtualKey - VK_F1)));
    return codes;
  }
  for (const KeyPlace& place : kPlaces) {
    if (place.virtualKey == virtualKey) codes.push_back(place.scancode);
  }
  return codes;
}

int VirtualKeyOfScancode(SDL_Scancode scancode) {
  for (int key = 'A'; key <= 'Z'; ++key) {
    if (ScancodesOf(key).front() == scancode) return key;
  }
  for (int key = '0'; key <= '9'; ++key) {
    if (ScancodesOf(key).front() == scancode) return key;
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return VK_F1 + (scancode - SDL_SCANCODE_F1);
  for (const KeyPlace& place : kPlaces) {
    if (place.scancode == scancode) return place.virtualKey;
  }
  return 0;
}

bool MouseButtonHeld(int virtualKey) {
  WPARAM flags = MouseKeyFlags();
  switch (virtualKey) {
    case VK_LBUTTON: return (flags & MK_LBUTTON) != 0;
    case VK_RBUTTON: return (flags & MK_RBUTTON) != 0;
    case VK_MBUTTON: return (flags & MK_MBUTTON) != 0;
    default: return false;
  }
}

bool KeyDown(int virtualKey) {
  if (virtualKey <= 0 || virtualKey > 0xFF) return false;
  if (virtualKey == VK_LBUTTON || virtualKey == VK_RBUTTON || virtualKey == VK_MBUTTON) {
    return MouseButtonHeld(virtualKey);
  }
  if (TheTracking().pressed[virtualKey]) return true;
  if (!VideoStarted()) return false;
  int count = 0;
  const Uint8* keys = SDL_GetKeyboardState(&count);
  for (SDL_Scancode code : ScancodesOf(virtualKey)) {
    if (code < count && keys[code]) return true;
  }
  return false;
}

bool KeyToggled(int virtualKey) {
  SDL_Keymod mods = VideoStarted() ? SDL_GetModState() : KMOD_NONE;
  switch (virtualKey) {
    case VK_CAPITAL: return (mods & KMOD_CAPS) || TheTracking().capsToggled;
    case VK_NUMLOCK: return (mods & KMOD_NUM) != 0;
    default: return false;
  }
}

// The scan code argument may be a key message's whole key data.
SDL_Scancode ScancodeOfArgument(UINT virtualKey, UINT scanCode) {
  UINT code = scanCode > 0xFFFF ? (scanCode >> 16) & 0xFF : scanCode & 0xFF;
  if (code != 0) return static_cast<SDL_Scancode>(code);
  std::vector<SDL_Scancode> codes = ScancodesOf(static_cast<int>(virtualKey));
  return codes.empty() ? SDL_SCANCODE_UNKNOWN : codes.front();
}

std::u16string TaughtText(SDL_Scancode scancode, int level) {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.typed.find({scancode, level});
  return found == t.typed.end() ? std::u16string() : found->second;
}

// What the key types before the layout has shown it: its symbol in the layout
// (a letter shifted by shift and caps lock), or a US keyboard's character.
std::u16string UntaughtText(UINT virtualKey, SDL_Scancode scancode, int level) {
  if (level & kLevelAltGr) return {};
  bool shift = (level & kLevelShift) != 0;
  if (virtualKey >= 'A' && virtualKey <= 'Z') {
    bool upper = shift != ((level & kLevelCaps) != 0);
    return std::u16string(1, static_cast<char16_t>(upper ? virtualKey : virtualKey - 'A' + 'a'));
  }
  if (VideoStarted() && !shift) {
    SDL_Keycode symbol = SDL_GetKeyFromScancode(scancode);
    if (symbol >= 32 && symbol < 0xD800 && symbol != 127) return std::u16string(1, static_cast<char16_t>(symbol));
  }
  for (const UsKey& key : kUsKeys) {
    if (key.scancode == scancode) return std::u16string(1, static_cast<char16_t>(shift ? key.shifted : key.plain));
  }
  return {};
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
  std::u16string taught = TaughtText(scancode, level);
  if (!taught.empty()) return taught;
  return UntaughtText(virtualKey, scancode, level);
}
}  // namespace

void StartKeyboardTracking() {
  // Idempotent: the display system forgets its watchers when it stops.
  SDL_DelEventWatch(ObserveEvent, nullptr);
  SDL_AddEventWatch(ObserveEvent, nullptr);
}

SHORT GetKeyState(int virtualKey) {
  int value = (KeyDown(virtualKey) ? 0x8000 : 0) | (KeyToggled(virtualKey) ? 1 : 0);
  return static_cast<SHORT>(static_cast<int16_t>(value));
}

BOOL GetKeyboardState(BYTE* keyState) {
  if (!keyState) return FALSE;
  for (int key = 0; key < 256; ++key) {
    keyState[key] = static_cast<BYTE>((KeyDown(key) ? 0x80 : 0) | (KeyToggled(key) ? 1 : 0));
  }
  return TRUE;
}

HKL GetKeyboardLayout(DWORD /*threadId*/) {
  // One layout, that of the display system; its handle only has to be stable.
  return reinterpret_cast<HKL>(static_cast<uintptr_t>(0x04090409));
}

int ToUnicodeEx(UINT virtualKey, UINT scanCode, const BYTE* keyState, char16_t* buffer, int capacity,
                UINT /*flags*/, HKL /*layout*/) {
  if (!keyState || !buffer || capacity <= 0) return 0;
  std::u16string text = TypedText(virtualKey, scanCode, keyState);
  int count = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(capacity)));
  std::memcpy(buffer, text.data(), static_cast<size_t>(count) * sizeof(char16_t));
  if (count < capacity) buffer[count] = 0;
  return count;
}

void win32_test::PressKey(int virtualKey, bool down) {
  if (virtualKey <= 0 || virtualKey > 0xFF) return;
  Tracking& t = TheTracking();
  if (virtualKey == VK_CAPITAL && down && !t.pressed[VK_CAPITAL]) t.capsToggled = !t.capsToggled;
  t.pressed[virtualKey] = down;
  // The generic shift, control and alt keys follow their left and right keys.
  auto follow = [&](int generic, int left, int right) { t.pressed[generic] = t.pressed[left] || t.pressed[right]; };
  if (virtualKey == VK_LSHIFT || virtualKey == VK_RSHIFT) follow(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  if (virtualKey == VK_LCONTROL || virtualKey == VK_RCONTROL) follow(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  if (virtualKey == VK_LMENU || virtualKey == VK_RMENU) follow(VK_MENU, VK_LMENU, VK_RMENU);
}

void win32_test::ResetKeyboard() {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  t.pressed.fill(false);
  t.capsToggled = false;
  t.typed.clear();
  t.lastKeyDown = -1;
}

void win32_test::InjectKey(int scancode, bool down, const char* typedText) {
  if (!EnsureVideo()) return;
  StartKeyboardTracking();
  auto code = static_cast<SDL_Scancode>(scancode);
  int virtualKey = VirtualKeyOfScancode(code);
  if (virtualKey == VK_SHIFT || virtualKey == VK_CONTROL || virtualKey == VK_MENU) {
    // Name the left or right key, as the keyboard does.
    for (const KeyPlace& place : kPlaces) {
      if (place.scancode == code && place.virtualKey >= VK_LSHIFT) virtualKey = place.virtualKey;
    }
  }
  PressKey(virtualKey, down);

  Uint16 mods = KMOD_NONE;
  const Tracking& t = TheTracking();
  if (t.pressed[VK_LSHIFT]) mods |= KMOD_LSHIFT;
  if (t.pressed[VK_RSHIFT]) mods |= KMOD_RSHIFT;
  if (t.pressed[VK_LCONTROL]) mods |= KMOD_LCTRL;
  if (t.pressed[VK_RCONTROL]) mods |= KMOD_RCTRL;
  if (t.pressed[VK_LMENU]) mods |= KMOD_LALT;
  if (t.pressed[VK_RMENU]) mods |= KMOD_RALT;
  if (t.capsToggled) mods |= KMOD_CAPS;

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
