#include "compat/win32/internal/pointer.h"

#include <SDL2/SDL.h>

#include "compat/win32/activation.h"
#include "compat/win32/internal/keyboard_tracking.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/window_messages.h"

namespace {
WPARAM buttonsHeld = 0;
POINT virtualPointer;

bool Holds(const WindowState& window, POINT p) {
  return window.visible && p.x >= window.x && p.y >= window.y && p.x < window.x + window.outerWidth() &&
         p.y < window.y + window.outerHeight();
}
}  // namespace

WPARAM MouseKeyFlags() { return buttonsHeld | (VideoStarted() ? ModifierFlagsNow() : 0); }

WPARAM MouseKeyFlagsOf(const SDL_Event& event) { return buttonsHeld | ModifierFlagsAtMouseEvent(event); }

void SetButtonHeld(int button, bool held) {
  WPARAM bit = button == SDL_BUTTON_LEFT ? MK_LBUTTON : button == SDL_BUTTON_RIGHT ? MK_RBUTTON
             : button == SDL_BUTTON_MIDDLE ? MK_MBUTTON : 0;
  buttonsHeld = held ? (buttonsHeld | bit) : (buttonsHeld & ~bit);
}

POINT PointerPosition() {
  if (!DriverHasPointer()) return virtualPointer;
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return POINT{x, y};
}

void MoveVirtualPointer(POINT screen) { virtualPointer = screen; }

HWND WindowAtScreenPoint(POINT screen) {
  auto active = FindWindowState(GetActiveWindow());
  if (active && Holds(*active, screen)) return active->handle();
  auto windows = AllWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (Holds(**it, screen)) return (*it)->handle();
  }
  return nullptr;
}
