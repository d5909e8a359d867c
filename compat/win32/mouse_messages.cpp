// Mouse events of the display system into mouse messages.
#include "compat/win32/internal/display_events.h"
#include "compat/win32/internal/pointer.h"
#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/mouse.h"
#include "compat/win32/window_messages.h"

namespace {
UINT ButtonMessage(Uint8 button, bool down) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT:
      return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE:
      return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
      return 0;
  }
}

// Event coordinates are relative to the window the display system names;
// messages go to the window holding the capture when there is one.
void PostMouse(UINT message, const SDL_Event& event, uint32_t windowId, int x, int y) {
  auto source = FindWindowBySdlId(windowId);
  if (!source) return;
  POINT screen{source->clientX() + x, source->clientY() + y};
  MoveVirtualPointer(screen);
  auto target = FindWindowState(GetCapture());
  if (!target) target = source;
  PostToQueue(target->handle(), message, MouseKeyFlagsOf(event),
              MAKELPARAM(screen.x - target->clientX(), screen.y - target->clientY()));
}

void PostWheel(const SDL_Event& event) {
  const SDL_MouseWheelEvent& wheel = event.wheel;
  auto target = FindWindowBySdlId(wheel.windowID);
  if (!target) return;
  int steps = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
  POINT screen = PointerPosition();
  PostToQueue(target->handle(), WM_MOUSEWHEEL,
              MAKEWPARAM(static_cast<int>(MouseKeyFlagsOf(event)), steps * WHEEL_DELTA),
              MAKELPARAM(screen.x, screen.y));
}
}  // namespace

bool TranslateMouseEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEMOTION:
      PostMouse(WM_MOUSEMOVE, event, event.motion.windowID, event.motion.x, event.motion.y);
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      bool down = event.type == SDL_MOUSEBUTTONDOWN;
      UINT message = ButtonMessage(event.button.button, down);
      if (!message) return true;
      SetButtonHeld(event.button.button, down);
      PostMouse(message, event, event.button.windowID, event.button.x, event.button.y);
      return true;
    }
    case SDL_MOUSEWHEEL:
      PostWheel(event);
      return true;
    default:
      return false;
  }
}
