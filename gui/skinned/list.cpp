#include "gui/skinned/list.h"

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& List::staticClassInfo() {
  using L = List;
  static const ClassInfo info = ClassBuilder<L>("List")
                                    .property("pixmap", &L::pixmap, &L::setPixmap)
                                    .property("pixmapSelection", &L::pixmapSelection, &L::setPixmapSelection)
                                    .property("pixmapItem", &L::pixmapItem, &L::setPixmapItem)
                                    .property("pixmapDisabled", &L::pixmapDisabled, &L::setPixmapDisabled)
                                    .property("enabledCount", &L::enabledCount, &L::setEnabledCount).defaultValue(10)
                                    .build();
  return info;
}

void List::Create(TObject* owner) {
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmap_ = NewSkinPixmap(parent, u"edit");
  pixmapSelection_ = NewSkinPixmap(parent, u"button");
  pixmapItem_ = NewSkinPixmap(parent, u"item");
  pixmapDisabled_ = NewSkinPixmap(parent, u"empty");
  inherited::Create(owner);
}

void List::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmap_);
  FreeAndNil(pixmapSelection_);
  FreeAndNil(pixmapItem_);
  FreeAndNil(pixmapDisabled_);
}

void List::setPixmap(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmap_, value); }
void List::setPixmapSelection(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapSelection_, value); }
void List::setPixmapItem(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapItem_, value); }
void List::setPixmapDisabled(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapDisabled_, value); }

void List::setEnabledCount(int32_t value) {
  if (value == enabledCount_) return;
  enabledCount_ = value;
  update();
}

void List::drawBackground() { DrawSkin(this, pixmap_, getClientRect()); }

void List::drawRow(int32_t index, const TRectF& rect) {
  inherited::drawRow(index, rect);
  if (enabledCount_ > 0 && index >= enabledCount_) DrawSkin(this, pixmapDisabled_, rect);
}

void List::paintItemBackground(int32_t index, const TRectF& rect) {
  DrawSkin(this, index == itemIndex() ? pixmapSelection_ : pixmapItem_, rect);
}

void List::paintItemText(int32_t index, const TRectF& rect) {
  DrawWidgetText(this, items()->items(index), (kTextCentre | kTextMiddle), rect);
}
