#pragma once
// The pointer as the mouse messages see it.
#include "compat/win32/win_types.h"

#include <SDL2/SDL.h>

// Mouse-message key flags: buttons held (as the layer has seen them) and the
// shift and control keys as they are now.
WPARAM MouseKeyFlags();
// The same for a mouse event of the display system: shift and control as they
// were when the event happened, though later key events may have been
// reported since.
WPARAM MouseKeyFlagsOf(const SDL_Event& event);
void SetButtonHeld(int button, bool held);
// The pointer's screen position; where the driver has no pointer, the one the
// layer keeps, which mouse events and SetCursorPos move.
POINT PointerPosition();
void MoveVirtualPointer(POINT screen);
// The visible window whose outer rectangle holds the point (the active one
// first, then the most recently created), or null.
HWND WindowAtScreenPoint(POINT screen);
