#pragma once
// The window procedure that serves every applet window.
#include "compat/win32/win_types.h"

LRESULT PlatformWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
