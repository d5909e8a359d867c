#include "engine/media/font_persistent.h"

#include <unordered_set>

#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/media/font_object.h"
#include "platform/font.h"

Q_DEFINE_ENUM(TFontStyle, "fsBold", "fsItalic")

namespace {
// Every live description, so that one whose font others borrowed can call
// the loan back when it lets the font go.
std::unordered_set<TFontPersistent*>& LiveFontDescriptions() {
  static std::unordered_set<TFontPersistent*> live;
  return live;
}
}  // namespace

const ClassInfo& TFontPersistent::staticClassInfo() {
  using F = TFontPersistent;
  static const ClassInfo info = ClassBuilder<F>("TFontPersistent")
                                    .property("family", &F::family, &F::setFamily).storedWhen(&F::familyStored)
                                    .property("size", &F::size, &F::setSize).storedWhen(&F::sizeStored)
                                    .property("style", &F::style, &F::setStyle).storedWhen(&F::styleStored)
                                    .property("color", &F::colorText, &F::setColorText).storedWhen(&F::colorStored)
                                    .property("stepHorz", &F::stepHorz, &F::setStepHorz)
                                    .property("stepVert", &F::stepVert, &F::setStepVert)
                                    .property("fontName", &F::fontName, &F::setFontName)
                                    .storedWhen(&F::fontNameStored)
                                    .build();
  return info;
}

void TFontPersistent::Create(TObject* owner) {
  inherited::Create(owner);
  LiveFontDescriptions().insert(this);
}

void TFontPersistent::Destroy() {
  dropFont();
  recallLentFont();
  LiveFontDescriptions().erase(this);
  inherited::Destroy();
}

// An empty fontName is no default here ("default" is): the writer leaves
// empty texts out, so without this the description would read back naming
// the "default" font instead of its own family, size and style.
void TFontPersistent::DefineProperties(TGFiler* filer) {
  if (!filer) return;
  filer->DefineProperty(
      "fontName", [this](TGReader& reader) { setFontName(reader.fetchWideText()); },
      // An empty 8-bit text: the text form keeps it, where it drops an empty
      // wide text.
      [](TGWriter& writer) { writer.emitAnsiText(""); }, fontName_.empty());
}

Applet* TFontPersistent::ownerApplet() const { return dynamic_cast<Applet*>(owner()); }

bool TFontPersistent::familyStored() const {
  return fontName_.empty() && !SameTextAsciiW(family_, u"arial");
}

// ---- the device font ----------------------------------------------------------------------

TFont* TFontPersistent::getFont() {
  if (!font_ && !resolving_) {
    resolving_ = true;
    resolveFont();
    resolving_ = false;
  }
  if (font_) {
    font_->charSpacing = static_cast<float>(stepHorz_);
    font_->lineSpacing = static_cast<float>(stepVert_);
  }
  return font_;
}

void TFontPersistent::resolveFont() {
  Applet* applet = ownerApplet();
  if (!applet || !applet->device()) return;
  if (!fontName_.empty()) {
    auto* named = dynamic_cast<Font*>(applet->findByClassAndName("Font", fontName_));
    if (!named) named = dynamic_cast<Font*>(applet->findByClassAndName("Font", u"default"));
    // A Font object naming itself would lend its own font to itself.
    if (named && named->font() != this) {
      font_ = named->font()->getFont();
      if (font_) lender_ = named->font();
      return;
    }
    LogError(u"Font error " + fontName_);
  }
  if (!applet->cache()) return;
  font_ = applet->cache()->getFont(family_, static_cast<int32_t>(style_.bits()), static_cast<float>(size_));
  fontFromCache_ = font_ != nullptr;
}

void TFontPersistent::dropFont() {
  TFont* font = font_;
  const bool fromCache = fontFromCache_;
  font_ = nullptr;
  fontFromCache_ = false;
  lender_ = nullptr;
  if (!fromCache || !font) return;
  // Those who borrowed the font must not keep it past its release.
  recallLentFont();
  if (Applet* applet = ownerApplet(); applet && applet->cache()) applet->cache()->releaseFont(font);
}

void TFontPersistent::recallLentFont() {
  for (TFontPersistent* other : LiveFontDescriptions()) {
    if (other->lender_ != this) continue;
    other->font_ = nullptr;
    other->lender_ = nullptr;
  }
}

// ---- setters --------------------------------------------------------------------------------

void TFontPersistent::setFamily(const WideString& value) {
  if (value == family_) return;
  family_ = value;
  if (fontFromCache_) dropFont();
}

void TFontPersistent::setSize(int32_t value) {
  if (value == size_) return;
  size_ = value;
  if (fontFromCache_) dropFont();
}

void TFontPersistent::setStyle(TFontStyles value) {
  if (value == style_) return;
  style_ = value;
  if (fontFromCache_) dropFont();
}

void TFontPersistent::Assign(const TFontPersistent& source) {
  if (&source == this) return;
  dropFont();
  family_ = source.family_;
  size_ = source.size_;
  style_ = source.style_;
  color_ = source.color_;
  stepHorz_ = source.stepHorz_;
  stepVert_ = source.stepVert_;
  fontName_ = source.fontName_;
}
