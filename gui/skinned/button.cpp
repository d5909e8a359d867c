#include "gui/skinned/button.h"

#include "engine/media/font_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& Button::staticClassInfo() {
  using B = Button;
  static const ClassInfo info = ClassBuilder<B>("Button")
                                    .property("font", &B::font, &B::setFont)
                                    .property("pixmap", &B::pixmap, &B::setPixmap)
                                    .build();
  return info;
}

void Button::drawSelf() {
  DrawSkin(this, pixmap(), getClientRect());
  DrawWidgetText(this, text(), TextAlignFlag(textAlign()) | kTextMiddle, getClientRect());
}
