#pragma once
// The mouse pointer and mouse capture.
//
// While a window has the capture every mouse message goes to it, also when the
// pointer is outside it. Without a display server that has a pointer (SDL's
// offscreen driver), the layer keeps a pointer of its own that SetCursorPos
// and injected input move.
#include "compat/win32/win_types.h"

// Answers the window that had the capture; that window gets WM_CAPTURECHANGED.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

// Screen coordinates.
BOOL GetCursorPos(POINT* point);
// Moves the pointer; the mouse move this makes is in the queue when the call
// returns, as on the system, so that a caller can remove it.
BOOL SetCursorPos(int x, int y);
