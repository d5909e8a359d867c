#include "platform/font.h"

#include "core/objects/class_builder.h"
#include "platform/device_host.h"

namespace {
TGlyphSetFactory& GlyphSetClassSlot() {
  static TGlyphSetFactory factory = nullptr;
  return factory;
}
}  // namespace

const ClassInfo& TGlyphSet::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TGlyphSet>("TGlyphSet").build();
  return info;
}

const ClassInfo& TFont::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TFont>("TFont")
                                    .property("charSpacing", &TFont::charSpacing)
                                    .property("lineSpacing", &TFont::lineSpacing)
                                    .build();
  return info;
}

TDevice* TGlyphSet::device() const {
  TDevice* current = host_ ? host_->currentDevice() : nullptr;
  return current ? current : device_;
}

void SetGlyphSetClass(TGlyphSetFactory factory) { GlyphSetClassSlot() = factory; }
TGlyphSetFactory GlyphSetClass() { return GlyphSetClassSlot(); }

// The font alone frees its glyph set, so it is freed exactly once however the
// font goes.
void TFont::Destroy() {
  FreeAndNil(glyphSet);
  inherited::Destroy();
}

std::string FontCacheBaseName(const std::string& family, float size, int32_t style) {
  // Trunc of the size; a size no font can have (NaN, huge) names size 0.
  int64_t whole = (size > -1e9f && size < 1e9f) ? static_cast<int64_t>(size) : 0;
  std::string base = "cache\\" + family + std::to_string(whole);
  if (style & kFontBold) base += "bold";
  if (style & kFontItalic) base += "italic";
  return base;
}
