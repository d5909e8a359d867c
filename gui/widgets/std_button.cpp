#include "gui/widgets/std_button.h"

#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/release_point.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/input_records.h"

const ClassInfo& TStdButton::staticClassInfo() {
  using B = TStdButton;
  static const ClassInfo info = ClassBuilder<B>("TStdButton")
                                    .property("modalResult", &B::modalResult, &B::setModalResult).defaultValue(0)
                                    .property("font", &B::font, &B::setFont)
                                    .property("text", &B::text, &B::setText)
                                    .property("textAlign", &B::textAlign_).defaultValue(taCenter)
                                    .property("onClick", &B::onClick_)
                                    .build();
  return info;
}

void TStdButton::Create(TObject* owner) {
  inherited::Create(owner);
  setHotTrack(true);
}

void TStdButton::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button == kButtonLeft) capture();
}

void TStdButton::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  inherited::mouseUp(button, shift, x, y);
  if (button != kButtonLeft) return;
  releaseCapture();
  if (ReleasedOver(*this, x, y)) click();
}

bool TStdButton::click() {
  runEffect(u"click_snd");
  runHandler(onClick_, "onClick");
  if (freePending()) return false;
  clickCallback(this);
  if (freePending()) return false;
  if (modalResult_ != 0) {
    if (auto* applet = dynamic_cast<Applet*>(this->applet())) applet->cancelModal(modalResult_);
  }
  return true;
}

void TStdButton::drawSelf() {
  TDevice* device = WidgetDevice(this);
  const TRectF client = getClientRect();
  FillArea(device, client, focused() || hot() ? 0xFFC0C0C0u : 0xFF808080u);
  OutlineArea(device, client, 0xFF000000u);
  DrawLabel(device, font(), text(), 0xFFFFFFFFu, kTextCentre | kTextMiddle, client);
}
