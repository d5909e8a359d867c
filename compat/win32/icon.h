#pragma once
// Icons and cursors.
#include "compat/win32/win_types.h"

struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;
};

// An icon from a 32-bit colour bitmap (its alpha is the icon's transparency)
// and a mask bitmap of the same size; the bitmaps stay the caller's.
HICON CreateIconIndirect(const ICONINFO* info);
BOOL DestroyIcon(HICON icon);
// An icon resource of the program; the program on this system carries none,
// so the answer is null and windows show the desktop's default icon.
HICON LoadIconA(HINSTANCE instance, const char* name);

// Standard cursors.
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(static_cast<uintptr_t>(32512));
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HCURSOR SetCursor(HCURSOR cursor);
// Counts requests to show (+1) or hide (-1) the cursor; it shows while the
// count is 0 or above. Answers the new count.
int ShowCursor(BOOL show);
