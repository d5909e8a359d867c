#include "gui/widgets/std_check_box.h"

#include "core/text/text_helpers.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/release_point.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/input_records.h"

const ClassInfo& TStdCheckBox::staticClassInfo() {
  using C = TStdCheckBox;
  static const ClassInfo info = ClassBuilder<C>("TStdCheckBox")
                                    .property("checked", &C::checked, &C::setChecked).defaultValue(0)
                                    .property("checkSize", &C::checkSize_).defaultValue(12)
                                    .property("font", &C::font, &C::setFont)
                                    .property("text", &C::text, &C::setText)
                                    .property("onClick", &C::onClick_)
                                    .build();
  return info;
}

void TStdCheckBox::Create(TObject* owner) {
  inherited::Create(owner);
  setHotTrack(true);
}

void TStdCheckBox::setChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  update();
}

void TStdCheckBox::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button == kButtonLeft) capture();
}

void TStdCheckBox::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  inherited::mouseUp(button, shift, x, y);
  if (button != kButtonLeft) return;
  if (ReleasedOver(*this, x, y)) {
    setChecked(!checked_);
    runHandler(onClick_, "onClick");
    if (!freePending()) clickCallback(this);
  }
  releaseCapture();
}

void TStdCheckBox::drawSelf() {
  TDevice* device = WidgetDevice(this);
  TFontPersistent* textFont = font();
  if (textFont) {
    DrawLabel(device, textFont, text(), ColorScaleAlpha(textFont->color(), alpha()), kTextMiddle,
              MakeRectF(16, 0, width(), height()));
  }
  // The check square sits centred in the square of the widget's height.
  const float offset = static_cast<float>(RoundHalfEven((height() - static_cast<float>(checkSize_)) / 2));
  const float side = static_cast<float>(checkSize_);
  const TRectF square = MakeRectF(offset, offset, offset + side, offset + side);
  OutlineArea(device, square, 0xFFFFFFFFu);
  if (checked_) FillArea(device, MakeRectF(square.left + 3, square.top + 3, square.right - 3, square.bottom - 3),
                         0xFFFFFFFFu);
}
