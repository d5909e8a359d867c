#pragma once
// Activation changes made by the layer itself.
#include "compat/win32/win_types.h"

// `fromDisplay`: the display system reported the change, so it is not asked
// to give the window input focus again.
void ActivateWindow(HWND window, bool fromDisplay);
// The window loses activation (hidden, destroyed, or focus went elsewhere).
void DeactivateWindow(HWND window);
