#include "gui/skinned/checkbox.h"

#include <cmath>

#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& Checkbox::staticClassInfo() {
  using C = Checkbox;
  static const ClassInfo info = ClassBuilder<C>("Checkbox")
                                    .property("pixmapChecked", &C::pixmapChecked, &C::setPixmapChecked)
                                    .property("pixmapUnchecked", &C::pixmapUnchecked, &C::setPixmapUnchecked)
                                    .build();
  return info;
}

void Checkbox::Create(TObject* owner) {
  // The built-in skin names its two squares "checked" and "unchecked".
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmapChecked_ = NewSkinPixmap(parent, u"checked");
  pixmapUnchecked_ = NewSkinPixmap(parent, u"unchecked");
  inherited::Create(owner);
}

void Checkbox::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmapChecked_);
  FreeAndNil(pixmapUnchecked_);
}

void Checkbox::setPixmapChecked(TSkinPixmapPersistent* value) {
  if (value && value != pixmapChecked_) pixmapChecked_->Assign(*value);
}

void Checkbox::setPixmapUnchecked(TSkinPixmapPersistent* value) {
  if (value && value != pixmapUnchecked_) pixmapUnchecked_->Assign(*value);
}

void Checkbox::drawSelf() {
  const float side = static_cast<float>(checkSize());
  DrawWidgetText(this, text(), kTextMiddle, MakeRectF(1.5f * side, 0, width(), height()));
  // The square sits centred in the square of the widget's height.
  const float offset = std::nearbyint((height() - side) / 2);
  DrawSkin(this, checked() ? pixmapChecked_ : pixmapUnchecked_, MakeRectF(offset, offset, offset + side, offset + side));
}
