// The system's handling of messages a window procedure leaves to it.
#include <SDL2/SDL.h>

#include "compat/win32/icon.h"
#include "compat/win32/internal/class_record.h"
#include "compat/win32/internal/icon_data.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/paint.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"

namespace {
LRESULT OnPositionChanged(HWND window, const WINDOWPOS* pos) {
  auto state = FindWindowState(window);
  if (!state || !pos) return 0;
  if (!(pos->flags & SWP_NOMOVE)) {
    CallWindowProcedure(state, WM_MOVE, 0, MAKELPARAM(state->clientX(), state->clientY()));
  }
  if (!(pos->flags & SWP_NOSIZE) && !state->destroyed) {
    CallWindowProcedure(state, WM_SIZE, SIZE_RESTORED, MAKELPARAM(state->clientWidth, state->clientHeight));
  }
  return 0;
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  return 0;
}

LRESULT OnHitTest(HWND window, LPARAM lParam) {
  auto state = FindWindowState(window);
  if (!state) return HTNOWHERE;
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (p.x < state->x || p.y < state->y || p.x >= state->x + state->outerWidth() ||
      p.y >= state->y + state->outerHeight()) {
    return HTNOWHERE;
  }
  ScreenToClient(window, &p);
  if (p.x >= 0 && p.y >= 0 && p.x < state->clientWidth && p.y < state->clientHeight) return HTCLIENT;
  return p.y < 0 ? HTCAPTION : HTNOWHERE;
}

LRESULT OnSetCursor(HWND window, LPARAM lParam) {
  auto state = FindWindowState(window);
  if (state && LOWORD(static_cast<uintptr_t>(lParam)) == HTCLIENT && state->windowClass->cursor) {
    SetCursor(state->windowClass->cursor);
    return TRUE;
  }
  return FALSE;
}

LRESULT OnSetIcon(HWND window, WPARAM which, LPARAM lParam) {
  auto state = FindWindowState(window);
  if (!state) return 0;
  HICON icon = reinterpret_cast<HICON>(lParam);
  HICON& slot = which == ICON_BIG ? state->bigIcon : state->smallIcon;
  HICON previous = slot;
  slot = icon;
  if (which == ICON_BIG) ShowIconOnWindow(*state, icon);
  return reinterpret_cast<LRESULT>(previous);
}
}  // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_WINDOWPOSCHANGED:
      return OnPositionChanged(window, reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_PAINT:
      return OnPaint(window);
    case WM_NCHITTEST:
      return OnHitTest(window, lParam);
    case WM_SETCURSOR:
      return OnSetCursor(window, lParam);
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_SETICON:
      return OnSetIcon(window, wParam, lParam);
    case WM_SETTEXT:
      return SetWindowTextW(window, reinterpret_cast<const char16_t*>(lParam));
    default:
      return 0;
  }
}
