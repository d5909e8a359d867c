#include "compat/win32/paint.h"

#include "compat/win32/gdi.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"
#include "compat/win32/window_messages.h"

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  auto state = FindWindowState(window);
  if (!state || !paint) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  state->invalid = false;
  *paint = PAINTSTRUCT{};
  paint->hdc = GetDC(window);
  paint->rcPaint = RECT{0, 0, state->clientWidth, state->clientHeight};
  if (state->eraseWanted) {
    state->eraseWanted = false;
    // fErase tells the painter that the background still needs erasing.
    paint->fErase = CallWindowProcedure(state, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) ? FALSE : TRUE;
  }
  return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
  if (!window) {
    for (const auto& state : AllWindows()) InvalidateRect(state->handle(), nullptr, erase);
    return TRUE;
  }
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->invalid = true;
  if (erase) state->eraseWanted = true;
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*) {
  auto state = FindWindowState(window);
  if (!state) return FALSE;
  state->invalid = false;
  state->eraseWanted = false;
  return TRUE;
}

BOOL UpdateWindow(HWND window) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (state->invalid && state->visible && !state->layered()) CallWindowProcedure(state, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN, UINT flags) {
  if (flags & RDW_INVALIDATE) {
    if (!InvalidateRect(window, rect, (flags & RDW_ERASE) ? TRUE : FALSE)) return FALSE;
  }
  if (flags & RDW_UPDATENOW) return UpdateWindow(window);
  return window == nullptr || FindWindowState(window) != nullptr;
}
