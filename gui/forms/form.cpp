#include "gui/forms/form.h"

#include "engine/media/font_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/font.h"
#include "platform/input_records.h"

Q_DEFINE_ENUM(TFormStyle, "fsMoveable", "fsSizeble")

namespace {
constexpr float kTitleHeight = 20;
constexpr uint8_t kTitleFlags = kTextCentre | kTextMiddle;
}  // namespace

// ---- Form ------------------------------------------------------------------------------------

const ClassInfo& Form::staticClassInfo() {
  using F = Form;
  static const ClassInfo info = ClassBuilder<F>("Form")
                                    .property("font", &F::font, &F::setFont)
                                    .property("text", &F::text, &F::setText)
                                    .property("style", &F::style, &F::setStyle).storedWhen(&F::styleStored)
                                    .method("close", &F::close)
                                    .build();
  return info;
}

void Form::Create(TObject* owner) {
  inherited::Create(owner);
  setHotTrack(style_.contains(fsMoveable));
}

void Form::setStyle(TFormStyles value) {
  style_ = value;
  setHotTrack(style_.contains(fsMoveable));
}

void Form::drawTitle() { DrawWidgetText(this, text(), kTitleFlags, MakeRectF(0, 0, width(), kTitleHeight)); }

void Form::drawSelf() { drawTitle(); }

void Form::focusGained() {
  inherited::focusGained();
  if (!WidgetGone(this)) bringToFront();
}

void Form::close() {
  if (hasEffect(u"close")) {
    runEffect(u"close");
  } else {
    hide();
  }
}

void Form::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  // The press's handlers may have freed the form.
  if (WidgetGone(this)) return;
  if (style_.contains(fsMoveable) && button == kButtonLeft && !designTime()) {
    dragging_ = true;
    capture();
  }
}

void Form::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  inherited::mouseMove(shift, dx, dy, x, y);
  if (!dragging_ || WidgetGone(this)) return;
  setX(this->x() + dx);
  setY(this->y() + dy);
}

void Form::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  if (!WidgetGone(this)) releaseCapture();
}

// ---- ImageForm -------------------------------------------------------------------------------

const ClassInfo& ImageForm::staticClassInfo() {
  using F = ImageForm;
  static const ClassInfo info =
      ClassBuilder<F>("ImageForm").property("pixmap", &F::pixmap, &F::setPixmap).build();
  return info;
}

void ImageForm::drawSelf() {
  DrawFadedPixmap(this, pixmap(), getClientRect());
  drawTitle();
}
