#include "platform/win32/input_translation.h"

#include "compat/win32/icon.h"
#include "compat/win32/keyboard.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/mouse.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"
#include "core/system/log.h"
#include "platform/input_records.h"
#include "platform/win32/input_owner.h"
#include "platform/win32/input_rules.h"
#include "platform/win32/system_entry_points.h"
#include "platform/win32/window.h"
#include "platform/win32/window_input.h"

namespace {
using ToUnicodeExProc = int (*)(UINT, UINT, const BYTE*, char16_t*, int, UINT, HKL);

struct KeyboardState {
  BYTE keys[256] = {};
  KeyboardState() { GetKeyboardState(keys); }
};

bool FullScreen(const TWindow& window) { return window.applet && window.applet->IsFullScreen(); }

// The system's key translation, looked up when the platform started; a system
// without the entry point still has the windows layer's own.
ToUnicodeExProc KeyTranslation() {
  if (FARPROC entry = ToUnicodeExEntry()) return reinterpret_cast<ToUnicodeExProc>(entry);
  return &ToUnicodeEx;
}

// ---- keys -------------------------------------------------------------------

TKeyFields TranslateKey(WPARAM virtualKey, LPARAM keyData, const KeyboardState& state) {
  char16_t units[10] = {};
  int count = KeyTranslation()(static_cast<UINT>(virtualKey), static_cast<UINT>(keyData), state.keys, units, 10, 0,
                               GetKeyboardLayout(0));
  return KeyFieldsOf(static_cast<UINT>(virtualKey), units, count < 0 ? 0 : count);
}

void PostKey(TWindow& window, uint8_t kind, UINT message, WPARAM virtualKey, LPARAM keyData) {
  // Keys read as they were when this key went down or up.
  NoteKeyMessage(message, virtualKey, keyData);
  if (!window.applet) return;
  KeyboardState state;
  TKeyFields fields = TranslateKey(virtualKey, keyData, state);
  PostToApplet(window, TKeyEvent::Create(kind, fields.key, fields.character, KeyShiftState(keyData, state.keys),
                                         &window));
}

// ---- mouse ------------------------------------------------------------------

// The point a mouse message carries, in the window's client frame. The
// message holds where the pointer was when the display system reported it;
// asking the pointer's position instead would answer what the display system
// last cached, which moves made by others (warps, injected moves) leave stale.
POINT MessagePoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

POINT MessageInScreen(const TWindow& window, LPARAM lParam) {
  POINT p = MessagePoint(lParam);
  if (window.handle) ClientToScreen(window.handle, &p);
  return p;
}

// Client coordinates, or screen coordinates in full screen.
POINT MessagePosition(const TWindow& window, LPARAM lParam) {
  return FullScreen(window) ? MessageInScreen(window, lParam) : MessagePoint(lParam);
}

void PostButton(TWindow& window, uint8_t kind, uint8_t button, uint8_t buttonBit, WPARAM flags, LPARAM lParam) {
  KeyboardState state;
  POINT p = MessagePosition(window, lParam);
  uint8_t shift = MouseShiftState(flags, state.keys) | buttonBit;
  PostToApplet(window, TMouseEvent::Create(kind, button, p.x, p.y, 0, 0, shift, &window));
}

void PostMove(TWindow& window, POINT p, uint8_t shift) {
  PostToApplet(window, TMouseEvent::Create(lekMouseMove, kButtonLeft, p.x, p.y, p.x - window.lastMouseX,
                                           p.y - window.lastMouseY, shift, &window));
}

// Relative mode: the move is posted in screen coordinates, then the cursor
// goes back to the window's centre; the move that warp makes is not the user's
// and is removed, and the next move is measured from the centre.
void RecentreCursor(TWindow& window) {
  POINT centre{window.left + window.width / 2, window.top + window.height / 2};
  window.warpGuard = &window;
  SetCursorPos(centre.x, centre.y);
  MSG waiting;
  while (window.handle && PeekMessageA(&waiting, window.handle, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
  }
  window.warpGuard = nullptr;
  window.lastMouseX = centre.x;
  window.lastMouseY = centre.y;
}

void OnMouseMove(TWindow& window, WPARAM flags, LPARAM lParam) {
  if (window.warpGuard) return;
  KeyboardState state;
  uint8_t shift = MouseShiftState(flags, state.keys);
  if (window.leftHeld) shift |= kShiftLeftButton;
  if (window.rightHeld) shift |= kShiftRightButton;
  if (window.acquireCount <= 0) {
    POINT p = MessagePosition(window, lParam);
    PostMove(window, p, shift);
    window.lastMouseX = p.x;
    window.lastMouseY = p.y;
    return;
  }
  POINT p = MessageInScreen(window, lParam);
  // The display system may report the warp to the centre after the warp has
  // returned; a move that ends where the last one left the cursor is that
  // report, not the user's.
  if (p.x == window.lastMouseX && p.y == window.lastMouseY) return;
  PostMove(window, p, shift);
  RecentreCursor(window);
}

void OnWheel(TWindow& window, WPARAM wParam) {
  KeyboardState state;
  PostToApplet(window, TWheelEvent::Create(lekWheel, WheelSteps(wParam), WheelShiftState(state.keys), &window));
}

// ---- cursor and window --------------------------------------------------------

// The applet draws its own cursor sprite; the system's cursor is hidden over
// the client area (and everywhere in full screen) unless the applet asks for
// the system's cursor and the mouse is not in relative mode.
bool OnSetCursor(TWindow& window, LPARAM lParam, LRESULT& result) {
  TInputOwner* owner = InputOwnerOf(window);
  if (owner && owner->CursorSystem() && window.acquireCount <= 0) return false;
  bool inside = FullScreen(window) || LOWORD(static_cast<uintptr_t>(lParam)) == HTCLIENT;
  if (!inside) {
    if (owner) owner->ShowCursorSprite(false);
    return false;
  }
  SetCursor(nullptr);
  if (owner) owner->ShowCursorSprite(true);
  result = 1;
  return true;
}

LRESULT OnHitTest(const TWindow& window, HWND handle, WPARAM wParam, LPARAM lParam) {
  if (FullScreen(window)) return HTCLIENT;
  return DefWindowProcA(handle, WM_NCHITTEST, wParam, lParam);
}

void SetPause(const TWindow& window, bool paused) {
  if (TInputOwner* owner = InputOwnerOf(window)) owner->SetPause(paused);
}

bool TranslateWindowAction(TWindow& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CLOSE:
      LogInfo(u"WM_CLOSE");
      PostWindowAction(window, kActionDeactivated);
      PostWindowAction(window, kActionClose);
      result = 0;
      return true;
    case WM_SETCURSOR:
      return OnSetCursor(window, lParam, result);
    case WM_NCHITTEST:
      result = OnHitTest(window, window.handle, wParam, lParam);
      return true;
    case WM_ENTERMENULOOP:
    case WM_ENTERSIZEMOVE:
      SetPause(window, true);
      return false;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE:
      SetPause(window, false);
      return false;
    default:
      return false;
  }
}

bool TranslateMouse(TWindow& window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(window, wParam, lParam);
      return true;
    case WM_LBUTTONDOWN:
      window.leftHeld = 1;
      PostButton(window, lekMouseDown, kButtonLeft, kShiftLeftButton, wParam, lParam);
      return true;
    case WM_LBUTTONUP:
      window.leftHeld = 0;
      PostButton(window, lekMouseUp, kButtonLeft, kShiftLeftButton, wParam, lParam);
      return true;
    case WM_RBUTTONDOWN:
      window.rightHeld = 1;
      PostButton(window, lekMouseDown, kButtonRight, kShiftRightButton, wParam, lParam);
      return true;
    case WM_RBUTTONUP:
      window.rightHeld = 0;
      PostButton(window, lekMouseUp, kButtonRight, kShiftRightButton, wParam, lParam);
      return true;
    case WM_MOUSEWHEEL:
      OnWheel(window, wParam);
      return true;
    default:
      return false;
  }
}
}  // namespace

bool TranslateInputMessage(TWindow& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_KEYDOWN:
      PostKey(window, lekKeyDown, message, wParam, lParam);
      return true;
    case WM_KEYUP:
      PostKey(window, lekKeyUp, message, wParam, lParam);
      return true;
    // Alt, the keys pressed with it and F10 arrive as "system" keys: they
    // are the system's (alt+F4, the window menu), not the game's, and are
    // left to its default handling. Keys still read as of this message.
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      NoteKeyMessage(message, wParam, lParam);
      return false;
    default:
      break;
  }
  if (TranslateMouse(window, message, wParam, lParam)) return true;
  return TranslateWindowAction(window, message, wParam, lParam, result);
}

void PostWindowAction(TWindow& window, int32_t code) {
  TInputOwner* owner = InputOwnerOf(window);
  if (!owner || !owner->HasEventQueue()) return;
  owner->QueueEvent(TActionEvent::Create(lekWindowAction, &window, code));
}

void InstallInputTranslation() {
  WindowInput().Translate = &TranslateInputMessage;
  WindowInput().PostWindowAction = &PostWindowAction;
}
