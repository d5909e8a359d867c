#pragma once
// Copies of the frames a window shows, for tests.
#include "compat/win32/internal/window_state.h"

// Reads the current GL context's back buffer into the window's last frame.
void CaptureBackBuffer(WindowState& window);
