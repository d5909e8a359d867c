// Text through the fonts' glyph sets: laying out, measuring and drawing, and
// making fonts from their cache files.
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "platform/device.h"
#include "platform/device_host.h"
#include "platform/font.h"

namespace {
constexpr float kNoWidthLimit = 65535;

// A font without glyphs says so once, not on every frame it is drawn in.
void ReportMissingGlyphs(TFont* font) {
  if (font->missingReported) return;
  font->missingReported = true;
  LogError(W("Font error ") + AnsiToWide(font->family) + W(" ") + FloatToWideStr(font->size));
}

int32_t TruncSize(float size) { return (size > -1e9f && size < 1e9f) ? static_cast<int32_t>(size) : 0; }
}  // namespace

void TDevice::DrawText(TFont* font, const WideString& text, TColorARGB color, uint8_t flags, const TRectF& rect) {
  if (text.empty() || color <= 0xFFFFFF || stateFlags_[rsWireframe] || !font) return;
  TGlyphSet* glyphs = font->glyphSet;
  if (!glyphs) {
    ReportMissingGlyphs(font);
    return;
  }
  glyphs->useDevice(this, host());
  SetPixmap(0, glyphs->Atlas());
  SetRenderState(rsFilterLinear);
  SetRenderState(rsTextureModulate);
  // The text's colour is for the text alone: whatever the caller draws next
  // keeps the material it had set.
  const TMaterial callerMaterial = material_;
  SetColor(color);
  std::vector<TTextLine> lines;
  int32_t count = 0;
  TRectF area = rect;
  glyphs->LayoutText(font, flags, text, lines, count, kNoWidthLimit, area);
  for (const TTextLine& line : lines) {
    glyphs->BuildText(font, IdentityMatrix4F, line.text, static_cast<float>(TruncSize(line.rect.left)),
                      static_cast<float>(TruncSize(line.rect.top)));
  }
  SetMaterial(callerMaterial);
}

void TDevice::MeasureText(TFont* font, const WideString& text, float widthLimit, int32_t& fitCount, uint8_t flags,
                          TRectF& rect) {
  fitCount = 0;
  if (text.empty()) {
    rect.right = rect.left;
    return;
  }
  if (!font) return;
  if (!font->glyphSet) {
    ReportMissingGlyphs(font);
    return;
  }
  std::vector<TTextLine> lines;
  font->glyphSet->useDevice(this, host());
  font->glyphSet->LayoutText(font, flags, text, lines, fitCount, widthLimit, rect);
}

void TDevice::DrawTextFit(TFont* font, const WideString& text, TColorARGB color, uint8_t flags, TRectF& rect) {
  flags &= static_cast<uint8_t>(~kTextWordWrap);
  int32_t fitCount = 0;
  MeasureText(font, text, RectWidth(rect), fitCount, flags, rect);
  WideString shown = text;
  if (text.find(u'\r') == WideString::npos && fitCount >= 0 && static_cast<size_t>(fitCount) < text.size()) {
    shown = text.substr(0, static_cast<size_t>(fitCount));
  }
  DrawText(font, shown, color, flags, rect);
}

TFont* TDevice::CreateFont(const std::string& family, float size, int32_t style) {
  auto* font = New<TFont>(owner());
  font->family = family;
  font->size = size;
  font->style = style;
  TGlyphSetFactory makeGlyphs = GlyphSetClass();
  if (!makeGlyphs) return font;
  font->glyphSet = makeGlyphs(owner());
  if (!font->glyphSet) return font;
  font->glyphSet->useDevice(this, host());

  TResourceMan* manager = host() ? host()->fontResourceManager() : nullptr;
  std::string base = FontCacheBaseName(family, size, style);
  int32_t wholeSize = TruncSize(size);
  TGlyphSet* glyphs = font->glyphSet;
  WideString fn = AnsiToWide(base + ".fn"), fnbin = AnsiToWide(base + ".fnbin");
  bool haveFn = manager && manager->streamExists(fn);
  bool haveFnbin = manager && manager->streamExists(fnbin);
  bool loaded = false;
  if (haveFn) {
    if (!haveFnbin || IsCacheOutdated(manager, fn, fnbin)) {
      loaded = glyphs->LoadFn(manager, base, style, wholeSize, family);
      if (loaded) glyphs->SaveFnbin(manager, base);
    } else {
      loaded = glyphs->LoadFnbin(manager, base, style, wholeSize, family);
    }
  } else if (haveFnbin) {
    loaded = glyphs->LoadFnbin(manager, base, style, wholeSize, family);
  }
  // Damaged or incomplete cache files are replaced by a new rasterisation.
  if (!loaded) glyphs->BuildFromSystem(manager, base, style, wholeSize, family);
  return font;
}

void TDevice::DestroyFont(TFont* font) {
  if (!font) return;
  if (font->glyphSet) font->glyphSet->useDevice(this, host());
  font->Free();
}
