#pragma once
// The active window: the one top-level window that receives keyboard input.
// A change sends WM_ACTIVATE (WA_INACTIVE) to the window that loses it and
// WM_ACTIVATE (WA_ACTIVE) to the one that gains it, with WM_ACTIVATEAPP when
// the program as a whole gains or loses activation.
#include "compat/win32/win_types.h"

// Activates a visible window; answers the previously active window.
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND GetFocus();
