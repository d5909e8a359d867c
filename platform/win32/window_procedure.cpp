#include "platform/win32/window_procedure.h"

#include "compat/win32/message_queue.h"
#include "compat/win32/paint.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/window_input.h"
#include "platform/win32/window_lookup.h"

namespace {
bool FullScreen(const TWindow& window) { return window.applet && window.applet->IsFullScreen(); }

// Activation by any means posts "activated" (1), losing it "deactivated" (2).
LRESULT OnActivate(TWindow& window, HWND handle, WPARAM wParam, LPARAM lParam) {
  if (WindowInput().PostWindowAction) WindowInput().PostWindowAction(window, LOWORD(wParam) != WA_INACTIVE ? 1 : 2);
  return DefWindowProcA(handle, WM_ACTIVATE, wParam, lParam);
}

LRESULT OnPaint(TWindow& window, HWND handle) {
  PAINTSTRUCT paint;
  BeginPaint(handle, &paint);
  if (window.applet && window.applet->HasDevice() && window.platform) {
    window.platform->UpdateWindow(&window, 0, 0);
    window.applet->DevicePresent();
  }
  EndPaint(handle, &paint);
  return 0;
}

LRESULT OnPositionChanged(TWindow& window, HWND handle, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefWindowProcA(handle, WM_WINDOWPOSCHANGED, wParam, lParam);
  if (FullScreen(window)) return result;
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  window.left = pos->x;
  window.top = pos->y;
  if (!(pos->flags & SWP_NOSIZE)) {
    RECT client;
    GetClientRect(handle, &client);
    window.width = client.right;
    window.height = client.bottom;
    if (window.platform) window.platform->ResizeWindow(&window, -1, -1);
  }
  return result;
}
}  // namespace

LRESULT PlatformWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  TWindow* window = FindWindowRecord(handle);
  if (!window || (window->applet && window->applet->IsTerminated())) {
    return DefWindowProcA(handle, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (WindowInput().Translate && WindowInput().Translate(*window, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ACTIVATE:
      return OnActivate(*window, handle, wParam, lParam);
    case WM_PAINT:
      return OnPaint(*window, handle);
    case WM_ERASEBKGND:
      return 1;  // nothing is erased: the device draws every pixel
    case WM_WINDOWPOSCHANGED:
      return OnPositionChanged(*window, handle, wParam, lParam);
    default:
      return DefWindowProcA(handle, message, wParam, lParam);
  }
}
