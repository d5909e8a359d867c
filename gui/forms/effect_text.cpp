#include "gui/forms/effect_text.h"

#include "core/objects/effect.h"
#include "core/resources/stream.h"
#include "core/streams/object_file.h"
#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "gui/skinned/static_text.h"
#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

namespace {
// Each letter starts its effects this much later than the one before it.
constexpr float kLetterDelay = 0.08f;
constexpr float kMeasureArea = 1000;
constexpr float kMeasureWidthLimit = 65535;

// The letter's font describes the text's own: the same named font, or the
// same family, style, size and colour.
void CopyFont(const TFontPersistent& from, TFontPersistent& to) {
  to.setFontName(from.fontName());
  to.setFamily(from.family());
  to.setStyle(from.style());
  to.setSize(from.size());
  to.setColor(from.color());
}

// A copy of the effect under the letter, through the binary object form.
Effect* CopyEffect(Effect& effect, BaseObject& letter) {
  Applet* applet = AppletOf(&letter);
  TMemoryStream stream;
  SaveObjectToStream(stream, &effect);
  stream.SetPosition(0);
  return dynamic_cast<Effect*>(
      LoadObjectFromStream(applet ? applet->resourceManager() : nullptr, stream, &letter, nullptr));
}
}  // namespace

const ClassInfo& EffectText::staticClassInfo() {
  using E = EffectText;
  static const ClassInfo info = ClassBuilder<E>("EffectText")
                                    .property("font", &E::font, &E::setFont)
                                    .property("text", &E::text, &GuiObject::setText)
                                    .build();
  return info;
}

void EffectText::Create(TObject* owner) {
  inherited::Create(owner);
  setHideOwnEffects(true);
}

void EffectText::Loaded() {
  inherited::Loaded();
  rebuild();
}

void EffectText::setText(const WideString& value) {
  inherited::setText(value);
  // While the text is read its effects may not be there yet: Loaded makes
  // the letters once it is whole.
  if (!hasState(csLoading)) rebuild();
}

void EffectText::rebuild() {
  for (int i = count() - 1; i >= 0; --i) {
    if (i < count() && dynamic_cast<GuiObject*>(childAt(i))) childAt(i)->Free();
  }
  for (size_t index = 0; index < text().size(); ++index) addLetter(index);
  // A text read from a file may name a font the applet adds only once the
  // file is read: its letters take their places when first drawn.
  lettersPlaced_ = false;
  if (fontAvailable()) placeLetters();
}

bool EffectText::fontAvailable() const {
  const WideString& name = font()->fontName();
  if (name.empty()) return true;
  Applet* applet = AppletOf(const_cast<EffectText*>(this));
  return applet && (applet->findByClassAndName("Font", name) || applet->findByClassAndName("Font", u"default"));
}

void EffectText::placeLetters() {
  lettersPlaced_ = true;
  size_t index = 0;
  for (int i = 0; i < count(); ++i) {
    auto* letter = dynamic_cast<StaticText*>(childAt(i));
    if (!letter) continue;
    if (index > 0) letter->setX(leadingWidth(index));
    ++index;
  }
}

void EffectText::drawSelf() {
  if (!lettersPlaced_) placeLetters();
  inherited::drawSelf();
}

void EffectText::addLetter(size_t index) {
  // The effects to copy are the text's own, not those of letters made before.
  std::vector<Effect*> templates;
  for (int i = 0; i < count(); ++i) {
    if (auto* effect = dynamic_cast<Effect*>(childAt(i))) templates.push_back(effect);
  }
  auto* letter = New<StaticText>(this);
  MarkSelfMade(letter);
  CopyFont(*font(), *letter->font());
  letter->setText(text().substr(index, 1));
  const float delay = static_cast<float>(index + 1) * kLetterDelay;
  for (Effect* effect : templates) {
    if (Effect* copy = CopyEffect(*effect, *letter)) copy->setShiftTime(delay);
  }
}

float EffectText::leadingWidth(size_t count) {
  TDevice* device = WidgetDevice(this);
  TFont* font = this->font()->getFont();
  if (!device || !font) return 0;
  TRectF measured = MakeRectF(0, 0, kMeasureArea, kMeasureArea);
  int32_t fitCount = 0;
  device->MeasureText(font, text().substr(0, count), kMeasureWidthLimit, fitCount, 0, measured);
  return measured.right - measured.left;
}
