#pragma once
// Regions: areas made of rectangles, used to shape a window. A window region
// is in window coordinates (0, 0 is the top-left of the outer rectangle).
#include "compat/win32/win_types.h"

// Region data as ExtCreateRegion takes it: this header, then `nCount` RECTs.
constexpr DWORD RDH_RECTANGLES = 1;
struct RGNDATAHEADER {
  DWORD dwSize = sizeof(RGNDATAHEADER);
  DWORD iType = RDH_RECTANGLES;
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};
struct RGNDATA {
  RGNDATAHEADER rdh;
  RECT Buffer[1];
};

HRGN CreateRectRgn(int left, int top, int right, int bottom);
// `transform` must be null; `byteCount` covers the header and the rectangles.
HRGN ExtCreateRegion(const void* transform, DWORD byteCount, const RGNDATA* data);

// CombineRgn modes and results.
constexpr int RGN_OR = 2;
constexpr int RGN_COPY = 5;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);
BOOL PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);

// Shapes the window; the window owns the region afterwards (null: no shape).
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
// Copies the window's region into `region`; ERROR when the window has none.
int GetWindowRgn(HWND window, HRGN region);
