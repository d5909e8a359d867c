#include "compat/win32/mouse.h"

#include <SDL2/SDL.h>

#include "compat/win32/internal/display_events.h"
#include "compat/win32/internal/pointer.h"
#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"

namespace {
HWND capture = nullptr;

// Where the display system has no pointer, the move is the layer's own: the
// window under the new position (or the one holding the capture) hears of it.
void MoveOwnPointer(POINT screen) {
  MoveVirtualPointer(screen);
  HWND target = capture ? capture : WindowAtScreenPoint(screen);
  if (!target) return;
  POINT client = screen;
  ScreenToClient(target, &client);
  PostToQueue(target, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(client.x, client.y));
}

// The display system reports a warp as a motion event; take it into the queue
// now so that it is there when the call returns.
void TakeWarpMotion() {
  SDL_PumpEvents();
  SDL_Event events[32];
  int n = 0;
  while ((n = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION)) > 0) {
    for (int i = 0; i < n; ++i) TranslateDisplayEvent(events[i]);
  }
}
}  // namespace

HWND SetCapture(HWND window) {
  HWND previous = capture;
  if (!FindWindowState(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return previous;
  }
  if (previous == window) return previous;
  capture = window;
  if (FindWindowState(previous)) SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  // Outside X11 the display system cannot grab the pointer; the layer still
  // routes every mouse message to the window.
  if (DriverHasPointer()) SDL_CaptureMouse(SDL_TRUE);
  return previous;
}

BOOL ReleaseCapture() {
  HWND previous = capture;
  if (!previous) return TRUE;
  capture = nullptr;
  if (DriverHasPointer()) SDL_CaptureMouse(SDL_FALSE);
  if (FindWindowState(previous)) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  if (capture && !FindWindowState(capture)) capture = nullptr;
  return capture;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = PointerPosition();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  if (!DriverHasPointer()) {
    MoveOwnPointer(POINT{x, y});
    return TRUE;
  }
  SDL_WarpMouseGlobal(x, y);
  TakeWarpMotion();
  return TRUE;
}
