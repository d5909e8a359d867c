#pragma once
// Layered windows: their content is a 32-bit bitmap with per-pixel alpha that
// the program hands over whole, not painted through WM_PAINT.
//
// The program finds UpdateLayeredWindow by name at run time (see
// module_exports.h), as the system's older releases required.
#include "compat/win32/win_types.h"

constexpr BYTE AC_SRC_OVER = 0x00;
constexpr BYTE AC_SRC_ALPHA = 0x01;
struct BLENDFUNCTION {
  BYTE BlendOp = AC_SRC_OVER;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};
constexpr DWORD ULW_ALPHA = 0x00000002;

// Places the window at `position` with `size` (each when given, reported to
// the procedure as any move or resize) and takes its content from the bitmap
// selected into `source`, from `sourcePoint` on. FALSE for a window that is
// not layered or a source without a bitmap.
BOOL UpdateLayeredWindow(HWND window, HDC screen, const POINT* position, const SIZE* size, HDC source,
                         const POINT* sourcePoint, COLORREF key, const BLENDFUNCTION* blend, DWORD flags);
using UpdateLayeredWindowProc = decltype(&UpdateLayeredWindow);
