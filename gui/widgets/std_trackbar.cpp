#include "gui/widgets/std_trackbar.h"

#include <algorithm>
#include <cmath>

#include "engine/media/font_persistent.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/input_records.h"

const ClassInfo& TStdTrackbar::staticClassInfo() {
  using T = TStdTrackbar;
  static const ClassInfo info = ClassBuilder<T>("TStdTrackbar")
                                    .property("onChange", &T::onChange_)
                                    .property("min", &T::min_)
                                    .property("max", &T::max_).floatDefault(100)
                                    .property("value", &T::value_, &T::setValue)
                                    .property("trackSize", &T::trackSize_).floatDefault(8)
                                    .property("thumbHeight", &T::thumbHeight_).floatDefault(16)
                                    .property("thumbWidth", &T::thumbWidth_).floatDefault(10)
                                    .property("buttonSize", &T::buttonSize_).floatDefault(10)
                                    .property("onEndDrag", &T::onEndDrag_)
                                    .property("font", &T::font, &T::setFont)
                                    .property("text", &T::text, &T::setText)
                                    .build();
  return info;
}

void TStdTrackbar::setValue(float value) {
  if (value == value_) return;
  value_ = value;
  update();
}

TRectF TStdTrackbar::trackRect() {
  TRectF r = getClientRect();
  r.top = std::trunc(height() / 2 - trackSize_ / 2);
  r.bottom = r.top + trackSize_;
  return r;
}

float TStdTrackbar::travel() const { return width() - thumbWidth_ - 2 * buttonSize_; }

TRectF TStdTrackbar::thumbRect() {
  TRectF r = getClientRect();
  r.left = max_ != min_ ? std::trunc(buttonSize_ + travel() * (value_ - min_) / (max_ - min_)) : 0;
  r.right = r.left + thumbWidth_;
  r.top = std::trunc(height() / 2 - thumbHeight_ / 2);
  r.bottom = r.top + thumbHeight_;
  return r;
}

float TStdTrackbar::valueAtThumbLeft(float x) const {
  // A track with no room to travel, or no range, keeps the value where it is.
  if (max_ == min_ || !(travel() > 0)) return value_;
  const float v = min_ + (x - buttonSize_) / travel() * (max_ - min_);
  return std::clamp(v, std::min(min_, max_), std::max(min_, max_));
}

void TStdTrackbar::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button != kButtonLeft) return;
  const TRectF thumb = thumbRect();
  if (x < thumb.left || x > thumb.right || y < thumb.top || y > thumb.bottom) return;
  grabOffset_ = x - thumb.left;
  capture();
  dragging_ = true;
}

void TStdTrackbar::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  BusyScope busy(this);
  inherited::mouseMove(shift, dx, dy, x, y);
  if (!dragging_ || freePending()) return;
  setValue(valueAtThumbLeft(x - grabOffset_));
  runHandler(onChange_, "onChange");
}

void TStdTrackbar::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  if (dragging_) {
    dragging_ = false;
    releaseCapture();
    runHandler(onEndDrag_, "onEndDrag");
    if (freePending()) return;
  }
  inherited::mouseUp(button, shift, x, y);
}

void TStdTrackbar::drawSelf() {
  TDevice* device = WidgetDevice(this);
  OutlineArea(device, getClientRect(), 0xFFFFFFFFu);
  OutlineArea(device, trackRect(), 0xFFFFFFFFu);
  FillArea(device, thumbRect(), 0xFFFFFFFFu);
}
