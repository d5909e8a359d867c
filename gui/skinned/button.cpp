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

void Button::Create(TObject* owner) {
  // Made before the inherited construction, which may already read stored
  // values into it.
  pixmap_ = NewSkinPixmap(dynamic_cast<BaseObject*>(owner), u"button");
  inherited::Create(owner);
}

void Button::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmap_);
}

void Button::setPixmap(TSkinPixmapPersistent* value) {
  if (value && value != pixmap_) pixmap_->Assign(*value);
}

void Button::drawSelf() {
  DrawSkin(this, pixmap_, getClientRect());
  DrawWidgetText(this, text(), TextAlignFlag(textAlign()) | kTextMiddle, getClientRect());
}
