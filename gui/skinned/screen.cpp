#include "gui/skinned/screen.h"

#include <algorithm>

#include "core/text/text_helpers.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& Screen::staticClassInfo() {
  using S = Screen;
  static const ClassInfo info = ClassBuilder<S>("Screen")
                                    .property("Color", &S::colorText, &S::setColorText).storedWhen(&S::colorStored)
                                    .build();
  return info;
}

void Screen::Create(TObject* owner) {
  inherited::Create(owner);
  setHotTrack(false);
}

void Screen::setColor(TColorARGB value) {
  if (value == color_) return;
  color_ = value;
  update();
}

TColorARGB Screen::fillColor() const {
  const int alphaByte = std::clamp(RoundHalfEven(static_cast<double>(alpha()) * 255.0), 0, 255);
  return (color_ & 0x00FFFFFFu) | (static_cast<TColorARGB>(alphaByte) << 24);
}

void Screen::drawSelf() { FillArea(WidgetDevice(this), getClientRect(), fillColor()); }
