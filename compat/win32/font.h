#pragma once
// GDI text on FreeType and fontconfig: fonts made by family name (the nearest
// installed face stands in, made bold or slanted when it has no such style of
// its own), their metrics and glyph widths, and text drawn into the 32-bit
// bitmap of a memory context with 8-bit greyscale coverage.
#include "compat/win32/gdi.h"
#include "compat/win32/win_types.h"

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr DWORD DEFAULT_CHARSET = 1;
constexpr DWORD OUT_DEFAULT_PRECIS = 0;
constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
constexpr DWORD ANTIALIASED_QUALITY = 4;
constexpr DWORD DEFAULT_PITCH = 0;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

struct TEXTMETRICA {
  LONG tmHeight = 0;   // ascent + descent
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  BYTE tmItalic = 0;
};

struct ABCFLOAT {
  float abcfA = 0;  // space before the black box (left bearing)
  float abcfB = 0;  // black-box width
  float abcfC = 0;  // advance - A - B
};

// A negative height is the character height (em size) in pixels, a positive
// one the cell height (ascent + descent), 0 a default size. Width,
// escapement, orientation, underline, strike-out, character set and the
// precisions are taken and ignored. Null (last error set) when no face at all
// is installed.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const char* face);
// Selects a font into a context; answers the font it held (SelectObject
// takes fonts as well, see gdi.h).
HFONT SelectFont(HDC dc, HFONT font);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int length, SIZE* size);
BOOL GetCharABCWidthsFloatW(HDC dc, UINT first, UINT last, ABCFLOAT* widths);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
// Only TA_LEFT | TA_TOP (0) is drawn: (x, y) is the top left of the cell.
UINT SetTextAlign(HDC dc, UINT align);
// Draws into the bitmap selected into a memory context: each pixel moves
// toward the text colour by the glyph's coverage; in OPAQUE mode the cells
// are filled with the background colour first.
BOOL TextOutW(HDC dc, int x, int y, const char16_t* text, int length);
