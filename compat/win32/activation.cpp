#include "compat/win32/activation.h"

#include "compat/win32/internal/activation_state.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"
#include "compat/win32/window_messages.h"

namespace {
HWND active = nullptr;

void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CallWindowProcedure(FindWindowState(window), message, wParam, lParam);
}

LPARAM AsParam(HWND window) { return reinterpret_cast<LPARAM>(window); }

void AskDisplayForFocus(HWND window) {
  auto state = FindWindowState(window);
  if (!state || !state->sdl || !DriverHasPointer()) return;
  SDL_RaiseWindow(state->sdl);
  SDL_SetWindowInputFocus(state->sdl);
}
}  // namespace

void ActivateWindow(HWND window, bool fromDisplay) {
  if (active == window || !FindWindowState(window)) return;
  HWND previous = active;
  active = window;
  if (FindWindowState(previous)) {
    Send(previous, WM_NCACTIVATE, FALSE, 0);
    Send(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), AsParam(window));
    Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  } else {
    Send(window, WM_ACTIVATEAPP, TRUE, 0);
  }
  if (active != window) return;  // a procedure moved activation on meanwhile
  Send(window, WM_NCACTIVATE, TRUE, 0);
  Send(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), AsParam(previous));
  Send(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  if (!fromDisplay) AskDisplayForFocus(window);
}

void DeactivateWindow(HWND window) {
  if (!window || active != window) return;
  active = nullptr;
  Send(window, WM_NCACTIVATE, FALSE, 0);
  Send(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  Send(window, WM_ACTIVATEAPP, FALSE, 0);
  Send(window, WM_KILLFOCUS, 0, 0);
}

HWND SetActiveWindow(HWND window) {
  HWND previous = active;
  if (!FindWindowState(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  ActivateWindow(window, false);
  return previous;
}

HWND GetActiveWindow() {
  if (active && !FindWindowState(active)) active = nullptr;
  return active;
}

BOOL SetForegroundWindow(HWND window) { return SetActiveWindow(window) || GetActiveWindow() == window; }

HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND GetFocus() { return GetActiveWindow(); }
