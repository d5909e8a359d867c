// Window events of the display system into window messages.
#include <algorithm>

#include "compat/win32/activation.h"
#include "compat/win32/internal/activation_state.h"
#include "compat/win32/internal/display_events.h"
#include "compat/win32/internal/frame.h"
#include "compat/win32/internal/placement.h"
#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/paint.h"
#include "compat/win32/window_messages.h"
#include "compat/win32/close_watch.h"

namespace {
// True when the display system reports what the layer asked of it; such a
// report and the older ones before it are consumed.
template <typename T, typename Same>
bool ConsumeRequested(std::vector<T>& requested, Same same) {
  auto found = std::find_if(requested.begin(), requested.end(), same);
  if (found == requested.end()) return false;
  requested.erase(requested.begin(), found + 1);
  return true;
}

void OnMoved(const std::shared_ptr<WindowState>& window, int x, int y) {
  if (ConsumeRequested(window->requestedOrigins, [&](const POINT& p) { return p.x == x && p.y == y; })) return;
  if (x == window->clientX() && y == window->clientY()) return;
  ReportDisplayPlacement(window, x, y, window->clientWidth, window->clientHeight);
}

void OnResized(const std::shared_ptr<WindowState>& window, int width, int height) {
  if (ConsumeRequested(window->requestedSizes, [&](const SIZE& s) { return s.cx == width && s.cy == height; })) {
    return;
  }
  // The display system never makes a window smaller than 1 x 1.
  if (width == std::max(1, window->clientWidth) && height == std::max(1, window->clientHeight)) return;
  ReportDisplayPlacement(window, window->clientX(), window->clientY(), width, height);
}

// A window manager decorates a framed window once it shows it; the client area
// stays where it is and the outer rectangle grows around it.
void TakeDecoration(WindowState& window) {
  if ((window.style & WS_CAPTION) != WS_CAPTION) return;
  RECT insets = FramedWindowInsets(window.sdl);
  int clientX = window.clientX(), clientY = window.clientY();
  window.insets = insets;
  window.x = clientX - insets.left;
  window.y = clientY - insets.top;
}
}  // namespace

void TranslateWindowEvent(const SDL_WindowEvent& event) {
  auto window = FindWindowBySdlId(event.windowID);
  if (!window) return;
  HWND handle = window->handle();
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      NoteCloseRequested();
      PostToQueue(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      ActivateWindow(handle, true);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      DeactivateWindow(handle);
      break;
    case SDL_WINDOWEVENT_MOVED:
      OnMoved(window, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      OnResized(window, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_SHOWN:
      TakeDecoration(*window);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      InvalidateRect(handle, nullptr, TRUE);
      break;
    default:
      break;
  }
}
