#pragma once
// Drawing contexts and bitmaps: the 32-bit device-independent bitmaps the
// system renders into, the memory contexts that hold them, and the own context
// of every window (the target of its GL context).
#include "compat/win32/win_types.h"

struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  // Positive: rows bottom-up (the first row in memory is the bottom one).
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  DWORD bmiColors[1] = {0};
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

// The window's own drawing context (the same handle every time).
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A memory context; `reference` is ignored.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);
// A 32-bit bitmap whose pixels the caller reaches through `bits`: 4 bytes a
// pixel (blue, green, red, alpha), rows of width x 4 bytes. Only 32 bits per
// pixel and BI_RGB are made; null (last error set) for anything else, for a
// size of 0 or below, or a size whose bytes would not fit in memory.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
// A bitmap of 1 or 32 bits per pixel, filled from `bits` when given.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Selects a bitmap into a memory context, or a font into any context;
// answers the one it held.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a bitmap, a font or a region; a bitmap still selected is freed once its
// context lets it go.
BOOL DeleteObject(HGDIOBJ object);

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};
int GetObjectA(HGDIOBJ object, int size, void* buffer);
