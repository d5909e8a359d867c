// Mouse capture, relative-mouse mode and the cursor position.
#include "compat/win32/message_queue.h"
#include "compat/win32/mouse.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"
#include "platform/win32/platform_win32.h"

void TPlatformWin32::CaptureMouse(TWindow* window) {
  if (window && window->handle) SetCapture(window->handle);
}

void TPlatformWin32::ReleaseMouse() { ReleaseCapture(); }

void TPlatformWin32::AcquireMouse(TWindow* window) {
  if (!window) return;
  if (window->acquireCount <= 0) {
    POINT centre{window->left + window->width / 2, window->top + window->height / 2};
    // The move the warp makes is not the user's: it is dropped, and the next
    // relative move is measured from the centre, not from where the pointer
    // was before.
    window->warpGuard = window;
    SetCursorPos(centre.x, centre.y);
    MSG waiting;
    while (window->handle && PeekMessageA(&waiting, window->handle, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    window->warpGuard = nullptr;
    window->lastMouseX = centre.x;
    window->lastMouseY = centre.y;
    window->acquireCount = 0;
  }
  window->acquireCount++;
}

void TPlatformWin32::AcquireDisable(TWindow* window) {
  // Never below 0: leaving a mode that was never entered changes nothing.
  if (window && window->acquireCount > 0) window->acquireCount--;
}

TPointF TPlatformWin32::curMousePos(TWindow* window) {
  POINT p;
  GetCursorPos(&p);
  bool fullScreen = window && window->applet && window->applet->IsFullScreen();
  if (window && window->handle && !fullScreen) ScreenToClient(window->handle, &p);
  return TPointF{static_cast<float>(p.x), static_cast<float>(p.y)};
}
