#include "gui/skinned/list.h"

#include <algorithm>
#include <cmath>

#include "core/coordinates.h"
#include "core/wide_strings.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widgets/widget_drawing.h"

namespace {
void Copy(TSkinPixmapPersistent* target, TSkinPixmapPersistent* value) {
  if (value && value != target) target->Assign(*value);
}
}  // namespace

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

void List::setPixmap(TSkinPixmapPersistent* value) { Copy(pixmap_, value); }
void List::setPixmapSelection(TSkinPixmapPersistent* value) { Copy(pixmapSelection_, value); }
void List::setPixmapItem(TSkinPixmapPersistent* value) { Copy(pixmapItem_, value); }
void List::setPixmapDisabled(TSkinPixmapPersistent* value) { Copy(pixmapDisabled_, value); }

void List::setEnabledCount(int32_t value) {
  if (value == enabledCount_) return;
  enabledCount_ = value;
  update();
}

void List::fitRowCount() {
  if (itemHeight() <= 0) return;
  // Margins of a row or more count apart, so that the height the row count
  // snaps to does not make another row next frame.
  const TRectF m = contentsMargin()->getRect();
  const float rowHeight = static_cast<float>(itemHeight());
  const float margins = m.top + m.bottom;
  const float usable = margins >= rowHeight ? height() - margins : height();
  setRowCount(std::max(static_cast<int32_t>(std::trunc(usable / rowHeight)), 0));
}

void List::drawSelf() {
  fitRowCount();
  clampTopIndex();
  DrawSkin(this, pixmap_, getClientRect());
  const int32_t shown = std::max(rowCount(), 0) * std::max(columnCount(), 0);
  const int32_t last = std::min(topIndex() + shown, itemCount());
  for (int32_t i = topIndex(); i < last; ++i) {
    const TRectF rect = itemRect(i);
    paintItem(i, rect);
    if (enabledCount_ > 0 && i >= enabledCount_) DrawSkin(this, pixmapDisabled_, rect);
  }
}

void List::paintItemBackground(int32_t index, const TRectF& rect) {
  DrawSkin(this, index == itemIndex() ? pixmapSelection_ : pixmapItem_, rect);
}

void List::paintItem(int32_t index, const TRectF& rect) {
  paintItemBackground(index, rect);
  // A painter set by the list's owner (the colour drop-down's swatches)
  // takes the place of the text.
  if (onPaintItem) {
    onPaintItem(this, index, rect);
  } else {
    DrawWidgetText(this, items()->items(index), (kTextCentre | kTextMiddle), rect);
  }
}
