#include "gui/skinned/toggle.h"

#include "engine/media/font_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"

const ClassInfo& Toggle::staticClassInfo() {
  using T = Toggle;
  static const ClassInfo info = ClassBuilder<T>("Toggle")
                                    .property("font", &T::font, &T::setFont)
                                    .property("pixmap", &T::pixmap, &T::setPixmap)
                                    .build();
  return info;
}

void Toggle::drawSelf() {
  DrawSkin(this, pixmap(), getClientRect());
  inherited::drawSelf();
}
