#include "gui/widgets/std_toggle.h"

#include "core/objects/wide_strings.h"
#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/release_point.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/input_records.h"

const ClassInfo& TStdToggle::staticClassInfo() {
  using T = TStdToggle;
  static const ClassInfo info = ClassBuilder<T>("TStdToggle")
                                    .property("font", &T::font, &T::setFont)
                                    .property("textAlign", &T::textAlign, &T::setTextAlign).defaultValue(taCenter)
                                    .property("items", &T::items, &T::setItems)
                                    .property("itemIndex", &T::itemIndex, &T::setItemIndex).defaultValue(0)
                                    .property("onChange", &T::onChange_)
                                    .build();
  return info;
}

void TStdToggle::Create(TObject* owner) {
  items_ = New<TWideStringList>(this);
  inherited::Create(owner);
}

void TStdToggle::Destroy() {
  inherited::Destroy();
  FreeAndNil(items_);
}

void TStdToggle::Loaded() {
  inherited::Loaded();
  auto* applet = dynamic_cast<Applet*>(this->applet());
  if (!applet) return;
  for (int i = 0; i < items_->count(); ++i) items_->setItem(i, applet->translate(items_->items(i)));
}

void TStdToggle::setItems(TWideStringList* value) {
  if (value && value != items_) items_->Assign(*value);
}

void TStdToggle::setItemIndex(int32_t value) {
  if (value < 0) value = 0;
  if (value > items_->count() - 1) value = items_->count() - 1;
  if (value == itemIndex_) return;
  itemIndex_ = value;
  update();
}

void TStdToggle::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button != kButtonLeft) return;
  capture();
  pressed_ = true;
}

void TStdToggle::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  inherited::mouseUp(button, shift, x, y);
  if (!pressed_ || freePending()) return;
  pressed_ = false;
  releaseCapture();
  if (!ReleasedOver(*this, x, y)) return;
  const int32_t next = itemIndex_ + 1;
  setItemIndex(next == items_->count() ? 0 : next);
  runHandler(onChange_, "onChange");
}

void TStdToggle::drawSelf() {
  if (itemIndex_ < 0 || itemIndex_ >= items_->count()) return;
  TFontPersistent* textFont = font();
  if (!textFont) return;
  DrawLabel(WidgetDevice(this), textFont, items_->items(itemIndex_), ColorScaleAlpha(textFont->color(), alpha()),
            TextAlignFlag(textAlign()) | kTextMiddle, getClientRect());
}
