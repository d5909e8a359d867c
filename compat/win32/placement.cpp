#include "compat/win32/internal/placement.h"

#include <SDL2/SDL_shape.h>

#include <algorithm>

#include "compat/win32/internal/activation_state.h"
#include "compat/win32/internal/region_data.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/paint.h"
#include "compat/win32/window_messages.h"

namespace {
void ApplyStacking(WindowState& state, HWND insertAfter) {
  if (insertAfter == HWND_TOPMOST) {
    state.topmost = true;
  } else if (insertAfter == HWND_NOTOPMOST || insertAfter == HWND_BOTTOM) {
    // The display system cannot lower a window below others; it only stops
    // keeping it on top.
    state.topmost = false;
  } else {
    if (state.sdl && state.visible) SDL_RaiseWindow(state.sdl);
    return;
  }
  if (state.sdl) SDL_SetWindowAlwaysOnTop(state.sdl, state.topmost ? SDL_TRUE : SDL_FALSE);
}

// Remembers what the display system was asked, so that its later report of
// the same change is not taken for a change made by the user.
void RememberRequested(WindowState& state) {
  auto& moves = state.requestedOrigins;
  moves.push_back(POINT{state.clientX(), state.clientY()});
  if (moves.size() > 16) moves.erase(moves.begin());
  auto& sizes = state.requestedSizes;
  sizes.push_back(SIZE{state.clientWidth, state.clientHeight});
  if (sizes.size() > 16) sizes.erase(sizes.begin());
}

void ApplyToDisplay(WindowState& state, bool moved, bool sized) {
  if (!state.sdl || (!moved && !sized)) return;
  RememberRequested(state);
  if (sized) SDL_SetWindowSize(state.sdl, std::max(1, state.clientWidth), std::max(1, state.clientHeight));
  if (moved) SDL_SetWindowPosition(state.sdl, state.clientX(), state.clientY());
  if (sized) ApplyShapeToDisplay(state);
}

void ApplyVisibility(const std::shared_ptr<WindowState>& state, UINT flags) {
  if ((flags & SWP_SHOWWINDOW) && !state->visible) {
    state->visible = true;
    if (state->sdl) SDL_ShowWindow(state->sdl);
    ApplyShapeToDisplay(*state);
    InvalidateRect(state->handle(), nullptr, TRUE);
  } else if ((flags & SWP_HIDEWINDOW) && state->visible) {
    state->visible = false;
    if (state->sdl) SDL_HideWindow(state->sdl);
    DeactivateWindow(state->handle());
  }
}

WINDOWPOS CurrentPlacement(const WindowState& state, HWND insertAfter, UINT flags) {
  WINDOWPOS pos;
  pos.hwnd = state.handle();
  pos.hwndInsertAfter = insertAfter;
  pos.x = state.x;
  pos.y = state.y;
  pos.cx = state.outerWidth();
  pos.cy = state.outerHeight();
  pos.flags = flags;
  return pos;
}

// Takes the new outer rectangle; answers which parts changed.
void TakeRectangle(WindowState& state, const WINDOWPOS& pos, bool& moved, bool& sized) {
  int clientWidth = std::max(0, pos.cx - state.insets.left - state.insets.right);
  int clientHeight = std::max(0, pos.cy - state.insets.top - state.insets.bottom);
  moved = !(pos.flags & SWP_NOMOVE) && (pos.x != state.x || pos.y != state.y);
  sized = !(pos.flags & SWP_NOSIZE) && (clientWidth != state.clientWidth || clientHeight != state.clientHeight);
  if (moved) {
    state.x = pos.x;
    state.y = pos.y;
  }
  if (sized) {
    state.clientWidth = clientWidth;
    state.clientHeight = clientHeight;
  }
}

void SendChanged(const std::shared_ptr<WindowState>& state, HWND insertAfter, UINT flags, bool moved, bool sized) {
  UINT reported = flags & ~(SWP_NOMOVE | SWP_NOSIZE);
  if (!moved) reported |= SWP_NOMOVE;
  if (!sized) reported |= SWP_NOSIZE;
  WINDOWPOS pos = CurrentPlacement(*state, insertAfter, reported);
  CallWindowProcedure(state, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}
}  // namespace

BOOL PlaceWindow(const std::shared_ptr<WindowState>& state, HWND insertAfter, int x, int y, int width, int height,
                 UINT flags) {
  WINDOWPOS pos = CurrentPlacement(*state, insertAfter, flags);
  if (!(flags & SWP_NOMOVE)) {
    pos.x = x;
    pos.y = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    pos.cx = std::max(0, width);
    pos.cy = std::max(0, height);
  }
  CallWindowProcedure(state, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  if (state->destroyed) return FALSE;
  bool moved = false, sized = false;
  TakeRectangle(*state, pos, moved, sized);
  ApplyToDisplay(*state, moved, sized);
  if (!(pos.flags & SWP_NOZORDER)) ApplyStacking(*state, pos.hwndInsertAfter);
  ApplyVisibility(state, pos.flags);
  if (sized && !(pos.flags & SWP_NOREDRAW)) InvalidateRect(state->handle(), nullptr, TRUE);
  if (!(pos.flags & SWP_NOACTIVATE) && state->visible) ActivateWindow(state->handle(), false);
  if (state->destroyed) return TRUE;
  SendChanged(state, pos.hwndInsertAfter, pos.flags, moved, sized);
  return TRUE;
}

void ReportDisplayPlacement(const std::shared_ptr<WindowState>& state, int clientX, int clientY, int clientWidth,
                            int clientHeight) {
  WINDOWPOS pos = CurrentPlacement(*state, nullptr, SWP_NOZORDER | SWP_NOACTIVATE);
  pos.x = clientX - state->insets.left;
  pos.y = clientY - state->insets.top;
  pos.cx = clientWidth + state->insets.left + state->insets.right;
  pos.cy = clientHeight + state->insets.top + state->insets.bottom;
  CallWindowProcedure(state, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  if (state->destroyed) return;
  bool moved = false, sized = false;
  TakeRectangle(*state, pos, moved, sized);
  if (sized) {
    ApplyShapeToDisplay(*state);
    InvalidateRect(state->handle(), nullptr, TRUE);
  }
  SendChanged(state, nullptr, pos.flags, moved, sized);
}
