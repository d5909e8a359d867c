#pragma once
// The pointer as the mouse messages see it.
#include "compat/win32/win_types.h"

// Mouse-message key flags: buttons held (as the layer has seen them) and the
// shift and control keys.
WPARAM MouseKeyFlags();
void SetButtonHeld(int button, bool held);
// The pointer's screen position; where the driver has no pointer, the one the
// layer keeps, which mouse events and SetCursorPos move.
POINT PointerPosition();
void MoveVirtualPointer(POINT screen);
// The visible window whose outer rectangle holds the point (the active one
// first, then the most recently created), or null.
HWND WindowAtScreenPoint(POINT screen);
