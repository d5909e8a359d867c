#include "platform/fonts/sys_font_win32.h"

#include <algorithm>

#include "compat/win32/font.h"
#include "compat/win32/gdi.h"
#include "core/objects/class_builder.h"
#include "core/system/log.h"
#include "core/text/text.h"

const ClassInfo& T3DSysFontWin32::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<T3DSysFontWin32>("T3DSysFontWin32").build();
  return info;
}

namespace {
// The font, its memory context and the bitmap drawn into; all freed together.
struct TGdiText {
  HFONT font = nullptr;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;

  ~TGdiText() {
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    if (font) DeleteObject(font);
  }
};

SIZE Extent(HDC dc, char16_t c) {
  SIZE size;
  GetTextExtentPoint32W(dc, &c, 1, &size);
  return size;
}

// Grows a square-or-wide atlas from 64 x 64 until a pass over the glyphs
// fits; false when it would have to be higher than the limit.
bool AtlasSize(HDC dc, const TGlyphTable& table, int32_t headroom, uint32_t& width, uint32_t& height) {
  width = 64;
  height = 64;
  bool fits = false;
  while (!fits) {
    if (height > kMaxAtlasHeight) return false;
    fits = true;
    int64_t x = 0, y = 0;
    for (size_t i = 0; i < table.glyphs.size() && fits; ++i) {
      if (!table.glyphs[i].enabled) continue;
      SIZE size = Extent(dc, static_cast<char16_t>(i + kFirstGlyphCode));
      size.cy += headroom;
      if (width < x + size.cx + 3) {
        x = 0;
        y += size.cy + 4;
      }
      if (height < y + size.cy + 3) {
        if (width == height) {
          width *= 2;
        } else {
          height *= 2;
        }
        fits = false;
      } else {
        x += size.cx + 4;
      }
    }
  }
  return height <= kMaxAtlasHeight;
}

int32_t Trunc(float value) { return static_cast<int32_t>(value); }

// How many rows above the font's ascent the enabled glyphs' ink reaches (an
// accent or breve over a capital may), plus one when any ink reaches the
// ascent at all: cells grow by it at their top so that no ink is cut. Each
// glyph is drawn alone into a scratch bitmap with room above its cell.
int32_t InkHeadroom(HFONT font, const TGlyphTable& table, int32_t lineHeight) {
  if (lineHeight <= 0) return 0;
  TGdiText scratch;
  scratch.dc = CreateCompatibleDC(nullptr);
  SelectObject(scratch.dc, font);
  const int32_t side = 2 * lineHeight + 2;
  BITMAPINFO info;
  info.bmiHeader.biWidth = side;
  info.bmiHeader.biHeight = -side;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  scratch.bitmap = CreateDIBSection(scratch.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!scratch.bitmap || !bits) return 0;
  SelectObject(scratch.dc, scratch.bitmap);
  SetTextColor(scratch.dc, RGB(255, 255, 255));
  SetBkMode(scratch.dc, TRANSPARENT);
  SetTextAlign(scratch.dc, TA_LEFT | TA_TOP);
  auto* pixels = static_cast<uint32_t*>(bits);
  int32_t highest = lineHeight + 1;  // the top ink row seen, the cell's top at lineHeight
  for (size_t i = 0; i < table.glyphs.size(); ++i) {
    if (!table.glyphs[i].enabled) continue;
    // Only the rows above the highest ink seen so far are looked at.
    std::fill_n(pixels, static_cast<size_t>(highest) * static_cast<size_t>(side), 0u);
    auto code = static_cast<char16_t>(i + kFirstGlyphCode);
    TextOutW(scratch.dc, lineHeight / 2, lineHeight, &code, 1);
    for (int32_t row = 0; row < highest; ++row) {
      const uint32_t* line = pixels + static_cast<size_t>(row) * static_cast<size_t>(side);
      if (std::any_of(line, line + side, [](uint32_t p) { return (p & 0xFF) != 0; })) {
        highest = row;
        break;
      }
    }
  }
  return highest <= lineHeight ? lineHeight - highest + 1 : 0;
}
}  // namespace

void T3DSysFontWin32::Rasterize() {
  TGdiText gdi;
  gdi.font = CreateFontA(-size(), 0, 0, 0, (style() & kFontBold) ? FW_BOLD : FW_NORMAL, (style() & kFontItalic) ? 1 : 0,
                         0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                         DEFAULT_PITCH, family().c_str());
  if (!gdi.font) return;
  gdi.dc = CreateCompatibleDC(nullptr);
  SelectObject(gdi.dc, gdi.font);
  TEXTMETRICA metrics;
  GetTextMetricsA(gdi.dc, &metrics);

  TGlyphTable& glyphs = mutableTable();
  const int32_t headroom = InkHeadroom(gdi.font, glyphs, metrics.tmHeight);
  uint32_t width = 0, height = 0;
  if (!AtlasSize(gdi.dc, glyphs, headroom, width, height)) {
    LogError(u"Can't create font - pixmap too large: " + AnsiToWide(family() + " " + std::to_string(size())));
    return;
  }
  BITMAPINFO info;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // rows top-down
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  gdi.bitmap = CreateDIBSection(gdi.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!gdi.bitmap) return;
  SelectObject(gdi.dc, gdi.bitmap);
  SetTextColor(gdi.dc, RGB(255, 255, 255));
  SetBkMode(gdi.dc, TRANSPARENT);
  SetTextAlign(gdi.dc, TA_LEFT | TA_TOP);

  glyphs.atlasWidth = width;
  glyphs.atlasHeight = height;
  const float fw = static_cast<float>(width), fh = static_cast<float>(height);
  const int32_t lineHeight = metrics.tmHeight + headroom;
  int32_t x = 1, y = 1;
  for (size_t i = 0; i < glyphs.glyphs.size(); ++i) {
    TGlyphRecord& glyph = glyphs.glyphs[i];
    if (!glyph.enabled) continue;
    auto code = static_cast<char16_t>(i + kFirstGlyphCode);
    ABCFLOAT abc;
    GetCharABCWidthsFloatW(gdi.dc, code, code, &abc);
    int32_t black = Trunc(abc.abcfB);
    int32_t cell = black + 2;
    if (static_cast<int64_t>(width) < int64_t{x} + black + 3) {
      x = 1;
      y += lineHeight + 1;
    }
    glyph.u0 = static_cast<float>(x) / fw;
    glyph.v0 = static_cast<float>(y) / fh;
    glyph.u1 = static_cast<float>(x + cell) / fw;
    glyph.v1 = static_cast<float>(y + lineHeight) / fh;
    glyph.before = Trunc(abc.abcfA) - 1;
    glyph.after = Trunc(abc.abcfC) - 1;
    TextOutW(gdi.dc, x - glyph.before, y + headroom, &code, 1);
    x += cell + 1;
  }

  // White everywhere, the coverage (the rendered blue byte) as alpha.
  const auto* rendered = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = ((rendered[p] & 0xFF) << 24) | 0xFFFFFF;
  if (!FillAtlas(pixels, width, height)) return;

  if (cacheManager() && !cacheBaseName().empty() && glyphs.allowRebuild) {
    SaveFn(cacheManager(), cacheBaseName());
    SaveFnbin(cacheManager(), cacheBaseName());
    StoreAtlas(cacheManager(), cacheBaseName());
  }
}
