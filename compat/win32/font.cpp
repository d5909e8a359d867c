#include "compat/win32/font.h"

#include <algorithm>
#include <string>
#include <utility>

#include "compat/win32/internal/font_data.h"
#include "compat/win32/internal/gdi_data.h"
#include "compat/win32/last_error.h"

namespace {
std::shared_ptr<FontObject> FontOf(HDC dc) {
  auto context = Lookup<ContextObject>(dc);
  return context ? Lookup<FontObject>(context->font) : nullptr;
}

// A UTF-16 unit or pair at text[i] as a code point; moves i past it.
uint32_t NextCode(const char16_t* text, int length, int& i) {
  uint32_t unit = text[i++];
  if (unit >= 0xD800 && unit < 0xDC00 && i < length && text[i] >= 0xDC00 && text[i] < 0xE000) {
    uint32_t low = text[i++];
    return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
  }
  return unit;
}

uint8_t Mix(uint8_t from, uint8_t to, uint8_t coverage) {
  return static_cast<uint8_t>(from + ((static_cast<int>(to) - from) * coverage + 127) / 255);
}

// Pixel bytes are blue, green, red, alpha; a COLORREF is 0x00BBGGRR.
void Blend(uint8_t* pixel, COLORREF color, uint8_t coverage) {
  pixel[0] = Mix(pixel[0], static_cast<uint8_t>(color >> 16), coverage);
  pixel[1] = Mix(pixel[1], static_cast<uint8_t>(color >> 8), coverage);
  pixel[2] = Mix(pixel[2], static_cast<uint8_t>(color), coverage);
}

uint8_t* PixelAt(BitmapObject& bitmap, int x, int y) {
  if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) return nullptr;
  int row = bitmap.bottomUp ? bitmap.height - 1 - y : y;
  return bitmap.bytes.data() + static_cast<size_t>(row) * bitmap.stride + static_cast<size_t>(x) * 4;
}

void FillCell(BitmapObject& bitmap, int left, int top, int right, int bottom, COLORREF color) {
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (uint8_t* pixel = PixelAt(bitmap, x, y)) Blend(pixel, color, 255);
    }
  }
}

void DrawGlyph(BitmapObject& bitmap, const RenderedGlyph& glyph, int penX, int baseline, COLORREF color) {
  for (int row = 0; row < glyph.rows; ++row) {
    for (int col = 0; col < glyph.width; ++col) {
      uint8_t coverage = glyph.coverage[static_cast<size_t>(row) * glyph.width + col];
      if (coverage == 0) continue;
      if (uint8_t* pixel = PixelAt(bitmap, penX + glyph.left + col, baseline - glyph.top + row)) {
        Blend(pixel, color, coverage);
      }
    }
  }
}
}  // namespace

HFONT CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  const char* face) {
  auto font = OpenFont(face ? face : "", height, weight <= 0 ? FW_NORMAL : weight, italic != 0);
  if (!font) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return reinterpret_cast<HFONT>(AddHandle(font));
}

HFONT SelectFont(HDC dc, HFONT font) {
  auto context = Lookup<ContextObject>(dc);
  if (!context || !Lookup<FontObject>(font)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HFONT previous = context->font;
  context->font = font;
  return previous;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  auto font = FontOf(dc);
  if (!font || !metrics) return FALSE;
  *metrics = TEXTMETRICA{};
  metrics->tmAscent = font->ascent;
  metrics->tmDescent = font->descent;
  metrics->tmHeight = font->ascent + font->descent;
  metrics->tmInternalLeading = font->internalLeading;
  metrics->tmAveCharWidth = font->averageWidth;
  metrics->tmMaxCharWidth = font->maxWidth;
  metrics->tmWeight = font->weight;
  metrics->tmItalic = font->italic ? 1 : 0;
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int length, SIZE* size) {
  auto font = FontOf(dc);
  if (!font || !size || length < 0 || (length > 0 && !text)) return FALSE;
  LONG width = 0;
  for (int i = 0; i < length;) width += font->glyph(NextCode(text, length, i)).advance;
  size->cx = width;
  size->cy = font->ascent + font->descent;
  return TRUE;
}

BOOL GetCharABCWidthsFloatW(HDC dc, UINT first, UINT last, ABCFLOAT* widths) {
  auto font = FontOf(dc);
  if (!font || !widths || last < first) return FALSE;
  for (UINT code = first; code <= last; ++code) {
    const RenderedGlyph& glyph = font->glyph(code);
    ABCFLOAT& abc = widths[code - first];
    abc.abcfA = static_cast<float>(glyph.left);
    abc.abcfB = static_cast<float>(glyph.width);
    abc.abcfC = static_cast<float>(glyph.advance - glyph.left - glyph.width);
  }
  return TRUE;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  auto context = Lookup<ContextObject>(dc);
  if (!context) return 0xFFFFFFFF;
  return std::exchange(context->textColor, color);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  auto context = Lookup<ContextObject>(dc);
  if (!context) return 0xFFFFFFFF;
  return std::exchange(context->backColor, color);
}

int SetBkMode(HDC dc, int mode) {
  auto context = Lookup<ContextObject>(dc);
  if (!context || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(context->backMode, mode);
}

UINT SetTextAlign(HDC dc, UINT align) {
  auto context = Lookup<ContextObject>(dc);
  if (!context) return 0xFFFFFFFF;
  return std::exchange(context->textAlign, align);
}

BOOL TextOutW(HDC dc, int x, int y, const char16_t* text, int length) {
  auto context = Lookup<ContextObject>(dc);
  auto font = FontOf(dc);
  auto bitmap = context ? Lookup<BitmapObject>(context->selected) : nullptr;
  if (!font || !bitmap || bitmap->bitsPerPixel != 32 || length < 0 || (length > 0 && !text)) return FALSE;
  int baseline = y + font->ascent;
  int penX = x;
  for (int i = 0; i < length;) {
    const RenderedGlyph& glyph = font->glyph(NextCode(text, length, i));
    if (context->backMode == OPAQUE) {
      FillCell(*bitmap, penX, y, penX + glyph.advance, baseline + font->descent, context->backColor);
    }
    DrawGlyph(*bitmap, glyph, penX, baseline, context->textColor);
    penX += glyph.advance;
  }
  return TRUE;
}
