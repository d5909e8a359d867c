#include "gui/skinned/image.h"

#include "engine/media/skin_pixmap_persistent.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& Image::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<Image>("Image").property("pixmap", &Image::pixmap, &Image::setPixmap).build();
  return info;
}

void Image::drawSelf() { DrawFadedPixmap(this, pixmap(), getClientRect()); }
