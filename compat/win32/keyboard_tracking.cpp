#include "compat/win32/internal/keyboard_tracking.h"

#include <SDL2/SDL.h>

#include <array>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "compat/win32/internal/keyboard_layout.h"
#include "compat/win32/internal/keymap.h"
#include "compat/win32/internal/pointer.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/keyboard.h"
#include "compat/win32/window_messages.h"
#include "core/text/text.h"

namespace {
using KeySnapshot = std::array<BYTE, 256>;

// A key event of the display system whose message the program has not read.
struct WaitingKey {
  int scancode = 0;
  bool down = false;
  int level = 0;
  KeySnapshot after{};
  std::u16string text;
  uint32_t time = 0;
};

// The modifiers of a mouse event, taken when the display system reported it.
struct MouseStamp {
  Uint32 type = 0;
  Uint32 timestamp = 0;
  WPARAM modifiers = 0;
};

// A key event whose message was read long ago by nobody who said so is taken
// as read: the state then catches up with the keyboard.
constexpr uint32_t kUnreadLimitMs = 1000;
constexpr size_t kMaxWaiting = 512;

struct Tracking {
  std::mutex lock;
  std::deque<WaitingKey> waiting;
  // Set once a key message has been read: from then on keys read as of the
  // last message read.
  bool following = false;
  KeySnapshot asRead{};
  // The text each key's last read press typed, and the level it typed it in.
  std::map<int, std::pair<int, std::u16string>> pressText;
  // The message last read, so that telling the same one twice changes nothing.
  bool haveLast = false;
  UINT lastMessage = 0;
  WPARAM lastKey = 0;
  LPARAM lastData = 0;
  // The key whose press the next reported text belongs to.
  int textKey = -1;
  // Mouse events reported and not yet made into messages, oldest first.
  std::deque<MouseStamp> mouseStamps;
  // Keys held through the test hooks.
  std::array<bool, 256> testHeld{};
  bool testCaps = false;
};

Tracking& TheTracking() {
  static auto* tracking = new Tracking();
  return *tracking;
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

bool LiveKeyDown(int virtualKey, const Uint8* keys, int count) {
  if (virtualKey == VK_LBUTTON || virtualKey == VK_RBUTTON || virtualKey == VK_MBUTTON) {
    return MouseButtonHeld(virtualKey);
  }
  if (TheTracking().testHeld[virtualKey]) return true;
  if (!keys) return false;
  for (SDL_Scancode code : ScancodesOf(virtualKey)) {
    if (code < count && keys[code]) return true;
  }
  return false;
}

void ObserveKey(const SDL_KeyboardEvent& key) {
  WaitingKey entry;
  entry.scancode = key.keysym.scancode;
  entry.down = key.state == SDL_PRESSED;
  entry.level = LevelOfMods(key.keysym.mod);
  entry.time = SDL_GetTicks();
  ReadLiveKeyState(entry.after.data());
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  if (t.waiting.size() >= kMaxWaiting) t.waiting.pop_front();
  t.waiting.push_back(std::move(entry));
  if (key.state == SDL_PRESSED) t.textKey = key.keysym.scancode;
}

void ObserveText(const char* utf8) {
  std::u16string text = Utf8ToWide(utf8);
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  if (t.textKey < 0) return;
  // An input method may report one key's text in pieces.
  for (auto it = t.waiting.rbegin(); it != t.waiting.rend(); ++it) {
    if (it->down && it->scancode == t.textKey) {
      it->text += text;
      break;
    }
  }
}

bool IsMouseEvent(Uint32 type) {
  return type == SDL_MOUSEMOTION || type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP ||
         type == SDL_MOUSEWHEEL;
}

// The display system reports events as they happen, so the modifiers it holds
// while reporting a mouse event are the ones of that moment.
void ObserveMouse(const SDL_Event& event) {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  if (t.mouseStamps.size() >= kMaxWaiting) t.mouseStamps.pop_front();
  t.mouseStamps.push_back({event.type, event.common.timestamp, ModifierFlagsNow()});
}

int ObserveEvent(void* /*userdata*/, SDL_Event* event) {
  if (event->type == SDL_KEYMAPCHANGED) ForgetKeymap();
  if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) ObserveKey(event->key);
  if (event->type == SDL_TEXTINPUT) ObserveText(event->text.text);
  if (IsMouseEvent(event->type)) ObserveMouse(*event);
  return 1;
}

// Following starts with the program, before the display system starts, so
// that the first key is already seen.
const bool followingFromStart = (StartKeyboardTracking(), true);

// Key events read by nobody for long are taken as read.
void CatchUpUnread(Tracking& t) {
  uint32_t now = SDL_GetTicks();
  while (!t.waiting.empty() && now - t.waiting.front().time > kUnreadLimitMs) {
    t.asRead = t.waiting.front().after;
    t.waiting.pop_front();
  }
}
}  // namespace

void ReadLiveKeyState(BYTE* state) {
  int count = 0;
  const Uint8* keys = VideoStarted() ? SDL_GetKeyboardState(&count) : nullptr;
  SDL_Keymod mods = VideoStarted() ? SDL_GetModState() : KMOD_NONE;
  for (int key = 0; key < 256; ++key) state[key] = LiveKeyDown(key, keys, count) ? 0x80 : 0;
  if ((mods & KMOD_CAPS) || TheTracking().testCaps) state[VK_CAPITAL] |= 0x01;
  if (mods & KMOD_NUM) state[VK_NUMLOCK] |= 0x01;
}

void ReadKeyState(BYTE* state) {
  Tracking& t = TheTracking();
  {
    std::lock_guard<std::mutex> guard(t.lock);
    if (t.following) {
      CatchUpUnread(t);
      std::copy(t.asRead.begin(), t.asRead.end(), state);
    }
  }
  if (!t.following) {
    ReadLiveKeyState(state);
    return;
  }
  // The mouse buttons are not key events: they read as they are.
  for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
    state[button] = MouseButtonHeld(button) ? 0x80 : 0;
  }
}

std::u16string TextOfReadPress(int scancode, int level) {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.pressText.find(scancode);
  if (found == t.pressText.end() || found->second.first != level) return {};
  return found->second.second;
}

WPARAM ModifierFlagsNow() {
  SDL_Keymod mods = SDL_GetModState();
  return ((mods & KMOD_SHIFT) ? MK_SHIFT : 0) | ((mods & KMOD_CTRL) ? MK_CONTROL : 0);
}

WPARAM ModifierFlagsAtMouseEvent(const SDL_Event& event) {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  // Stamps of events nobody made into messages are dropped on the way.
  while (!t.mouseStamps.empty()) {
    MouseStamp stamp = t.mouseStamps.front();
    t.mouseStamps.pop_front();
    if (stamp.type == event.type && stamp.timestamp == event.common.timestamp) return stamp.modifiers;
  }
  return ModifierFlagsNow();
}

bool TestKeyHeld(int virtualKey) { return virtualKey >= 0 && virtualKey < 256 && TheTracking().testHeld[virtualKey]; }

bool TestCapsToggled() { return TheTracking().testCaps; }

void StartKeyboardTracking() {
  // Idempotent: the display system forgets its watchers when it stops.
  SDL_DelEventWatch(ObserveEvent, nullptr);
  SDL_AddEventWatch(ObserveEvent, nullptr);
}

void NoteKeyMessage(UINT message, WPARAM virtualKey, LPARAM keyData) {
  if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP) return;
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  if (t.haveLast && t.lastMessage == message && t.lastKey == virtualKey && t.lastData == keyData) return;
  t.haveLast = true;
  t.lastMessage = message;
  t.lastKey = virtualKey;
  t.lastData = keyData;
  auto data = static_cast<uint32_t>(keyData);
  int scancode = static_cast<int>((data >> 16) & 0xFF);
  bool down = (data & KF_UP_BIT) == 0;
  for (size_t i = 0; i < t.waiting.size(); ++i) {
    const WaitingKey& entry = t.waiting[i];
    if (entry.scancode != scancode || entry.down != down) continue;
    t.following = true;
    t.asRead = entry.after;
    if (down) t.pressText[scancode] = {entry.level, entry.text};
    t.waiting.erase(t.waiting.begin(), t.waiting.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    return;
  }
}

void win32_test::PressKey(int virtualKey, bool down) {
  if (virtualKey <= 0 || virtualKey > 0xFF) return;
  Tracking& t = TheTracking();
  if (virtualKey == VK_CAPITAL && down && !t.testHeld[VK_CAPITAL]) t.testCaps = !t.testCaps;
  t.testHeld[virtualKey] = down;
  // The generic shift, control and alt keys follow their left and right keys.
  auto follow = [&](int generic, int left, int right) { t.testHeld[generic] = t.testHeld[left] || t.testHeld[right]; };
  if (virtualKey == VK_LSHIFT || virtualKey == VK_RSHIFT) follow(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
  if (virtualKey == VK_LCONTROL || virtualKey == VK_RCONTROL) follow(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
  if (virtualKey == VK_LMENU || virtualKey == VK_RMENU) follow(VK_MENU, VK_LMENU, VK_RMENU);
}

void win32_test::ResetKeyboard() {
  Tracking& t = TheTracking();
  std::lock_guard<std::mutex> guard(t.lock);
  t.testHeld.fill(false);
  t.testCaps = false;
  t.textKey = -1;
  t.waiting.clear();
  t.following = false;
  t.pressText.clear();
  t.haveLast = false;
}
