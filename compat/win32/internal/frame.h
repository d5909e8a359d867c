#pragma once
// The frame around a framed window's client area.
#include <SDL2/SDL.h>

#include "compat/win32/win_types.h"

// The insets for a framed window created now: the test setting when there is
// one, else what the window manager reports for the window (none without one).
RECT FramedWindowInsets(SDL_Window* window);
