// Keyboard events of the display system into key messages, and the character
// messages TranslateMessage makes of them.
//
// Key messages carry the system's virtual-key codes; letters and digits follow
// the keyboard layout (the key that types "a" is 'A'), the other keys their
// position. The key data (lParam) holds the repeat count 1 in bits 0-15, the
// display system's scan code in bits 16-23, the alt key in bit 29, "was down
// before" (a repeat) in bit 30 and "released" in bit 31. The character a key
// typed arrives as separate text; it is attached to its key-down message and
// comes out as WM_CHAR when the message is translated.
#include "compat/win32/activation.h"
#include "compat/win32/internal/display_events.h"
#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/keyboard.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/window_messages.h"
#include "core/text/text.h"

namespace {
struct KeyName {
  SDL_Scancode scancode;
  WORD virtualKey;
};

constexpr KeyName kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_TAB, 0x09},       {SDL_SCANCODE_RETURN, 0x0D},
    {SDL_SCANCODE_KP_ENTER, 0x0D},  {SDL_SCANCODE_LSHIFT, 0x10},    {SDL_SCANCODE_RSHIFT, 0x10},
    {SDL_SCANCODE_LCTRL, 0x11},     {SDL_SCANCODE_RCTRL, 0x11},     {SDL_SCANCODE_LALT, 0x12},
    {SDL_SCANCODE_RALT, 0x12},      {SDL_SCANCODE_PAUSE, 0x13},     {SDL_SCANCODE_CAPSLOCK, 0x14},
    {SDL_SCANCODE_ESCAPE, 0x1B},    {SDL_SCANCODE_SPACE, 0x20},     {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_PAGEDOWN, 0x22},  {SDL_SCANCODE_END, 0x23},       {SDL_SCANCODE_HOME, 0x24},
    {SDL_SCANCODE_LEFT, 0x25},      {SDL_SCANCODE_UP, 0x26},        {SDL_SCANCODE_RIGHT, 0x27},
    {SDL_SCANCODE_DOWN, 0x28},      {SDL_SCANCODE_PRINTSCREEN, 0x2C}, {SDL_SCANCODE_INSERT, 0x2D},
    {SDL_SCANCODE_DELETE, 0x2E},    {SDL_SCANCODE_LGUI, 0x5B},      {SDL_SCANCODE_RGUI, 0x5C},
    {SDL_SCANCODE_APPLICATION, 0x5D}, {SDL_SCANCODE_KP_0, 0x60},    {SDL_SCANCODE_KP_1, 0x61},
    {SDL_SCANCODE_KP_2, 0x62},      {SDL_SCANCODE_KP_3, 0x63},      {SDL_SCANCODE_KP_4, 0x64},
    {SDL_SCANCODE_KP_5, 0x65},      {SDL_SCANCODE_KP_6, 0x66},      {SDL_SCANCODE_KP_7, 0x67},
    {SDL_SCANCODE_KP_8, 0x68},      {SDL_SCANCODE_KP_9, 0x69},      {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_PLUS, 0x6B},   {SDL_SCANCODE_KP_MINUS, 0x6D},  {SDL_SCANCODE_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F}, {SDL_SCANCODE_NUMLOCKCLEAR, 0x90}, {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_SEMICOLON, 0xBA}, {SDL_SCANCODE_EQUALS, 0xBB},    {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, 0xBD},     {SDL_SCANCODE_PERIOD, 0xBE},    {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0},     {SDL_SCANCODE_LEFTBRACKET, 0xDB}, {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_APOSTROPHE, 0xDE},
};

WORD VirtualKeyOf(const SDL_Keysym& key) {
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return static_cast<WORD>('A' + (key.sym - SDLK_a));
  if (key.sym >= SDLK_0 && key.sym <= SDLK_9) return static_cast<WORD>('0' + (key.sym - SDLK_0));
  if (key.scancode >= SDL_SCANCODE_F1 && key.scancode <= SDL_SCANCODE_F12) {
    return static_cast<WORD>(0x70 + (key.scancode - SDL_SCANCODE_F1));
  }
  for (const KeyName& entry : kKeys) {
    if (entry.scancode == key.scancode) return entry.virtualKey;
  }
  // The digits' row keeps its digit keys where the layout types other
  // characters on it (é, & on a French keyboard), as the system's layouts do.
  if (key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_0) {
    return key.scancode == SDL_SCANCODE_0 ? '0' : static_cast<WORD>('1' + (key.scancode - SDL_SCANCODE_1));
  }
  // Any other key that types a character comes as the system's key for typed
  // characters, so that its text is not lost.
  const bool typesCharacter = (key.sym & SDLK_SCANCODE_MASK) == 0 && key.sym >= 0x20 && key.sym != 0x7F;
  return typesCharacter ? static_cast<WORD>(VK_PACKET) : 0;
}

// The key whose press the text reported next belongs to, while it is held.
// Text reported with no key held (a key the display system knows no place
// for, such as one remapped for a moment to type é) belongs to no key.
SDL_Scancode heldTextKey = SDL_SCANCODE_UNKNOWN;

void FollowHeldKey(const SDL_KeyboardEvent& event) {
  if (event.state == SDL_PRESSED) {
    heldTextKey = event.keysym.scancode;
  } else if (event.keysym.scancode == heldTextKey) {
    heldTextKey = SDL_SCANCODE_UNKNOWN;
  }
}

// Text of no key: each unit as a press and release of the system's key for
// typed characters, the unit in the key code's high word, as input methods
// hand characters to windows.
void PostTypedCharacters(HWND target, const std::u16string& text) {
  constexpr auto kReleased = static_cast<LPARAM>(1u | KF_REPEAT_BIT | KF_UP_BIT);
  for (char16_t unit : text) {
    const WPARAM packet = static_cast<WPARAM>(VK_PACKET) | (static_cast<WPARAM>(unit) << 16);
    PostToQueue(target, WM_KEYDOWN, packet, 1);
    PostToQueue(target, WM_KEYUP, packet, kReleased);
  }
}

LPARAM KeyData(const SDL_KeyboardEvent& event, bool alt) {
  uint32_t data = 1 | ((static_cast<uint32_t>(event.keysym.scancode) & 0xFF) << 16);
  if (alt) data |= 1u << 29;
  if (event.repeat || event.state == SDL_RELEASED) data |= 1u << 30;
  if (event.state == SDL_RELEASED) data |= 1u << 31;
  return static_cast<LPARAM>(data);
}

HWND KeyboardTarget(uint32_t windowId) {
  auto window = FindWindowBySdlId(windowId);
  return window ? window->handle() : GetActiveWindow();
}

void PostKey(const SDL_KeyboardEvent& event) {
  HWND target = KeyboardTarget(event.windowID);
  WORD key = VirtualKeyOf(event.keysym);
  if (!target || !key) return;
  bool alt = (event.keysym.mod & KMOD_ALT) != 0;
  bool down = event.state == SDL_PRESSED;
  // As on the system, without control held: keys pressed with alt, the alt
  // key itself (down and up) and F10 (the menu key) are "system" keys.
  bool menuKey = key == VK_MENU || key == VK_F1 + 9;
  bool system = (alt || menuKey) && !(event.keysym.mod & KMOD_CTRL);
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  PostToQueue(target, message, key, KeyData(event, alt));
}

// Characters of keys that type no text but have one on the system.
char16_t ControlCharacter(WPARAM key) {
  switch (key) {
    case 0x08:
    case 0x09:
    case 0x0D:
    case 0x1B:
      return static_cast<char16_t>(key);
    default:
      return 0;
  }
}
}  // namespace

bool TranslateKeyboardEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      FollowHeldKey(event.key);
      PostKey(event.key);
      return true;
    case SDL_TEXTINPUT:
      if (HWND target = KeyboardTarget(event.text.windowID)) {
        if (heldTextKey == SDL_SCANCODE_UNKNOWN) {
          PostTypedCharacters(target, Utf8ToWide(event.text.text));
        } else {
          AttachTextToLastKeyDown(target, Utf8ToWide(event.text.text));
        }
      }
      return true;
    default:
      return false;
  }
}

BOOL TranslateMessage(const MSG* message) {
  if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) return FALSE;
  UINT charMessage = message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  std::u16string text = TextOfKeyMessage(*message);
  // Control as it was when the key went down: by now the user may have let go.
  NoteKeyMessage(message->message, message->wParam, message->lParam);
  bool control = GetKeyState(VK_CONTROL) < 0;
  if (text.empty() && control && message->wParam >= 'A' && message->wParam <= 'Z') {
    text = std::u16string(1, static_cast<char16_t>(message->wParam - 'A' + 1));
  }
  if (text.empty()) {
    if (char16_t c = ControlCharacter(message->wParam)) text = std::u16string(1, c);
  }
  if (text.empty() && (message->wParam & 0xFFFF) == VK_PACKET && (message->wParam >> 16) != 0) {
    text = std::u16string(1, static_cast<char16_t>(message->wParam >> 16));
  }
  for (char16_t unit : text) PostToQueue(message->hwnd, charMessage, unit, message->lParam);
  return text.empty() ? FALSE : TRUE;
}
