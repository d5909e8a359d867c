#include "gui/widgets/std_dropdown.h"

#include <algorithm>
#include <cmath>

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/release_point.h"
#include "gui/widgets/std_list.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& TStdDropdown::staticClassInfo() {
  using D = TStdDropdown;
  static const ClassInfo info = ClassBuilder<D>("TStdDropdown")
                                    .property("textAlign", &D::textAlign, &D::setTextAlign).defaultValue(taCenter)
                                    .property("listWidth", &D::listWidth_)
                                    .property("itemHeight", &D::itemHeight, &D::setItemHeight).floatDefault(14)
                                    .property("itemIndex", &D::itemIndex, &D::setItemIndex).defaultValue(-1)
                                    .property("items", &D::items, &D::setItems)
                                    .property("contentsMargin", &D::contentsMargin, &D::setContentsMargin)
                                    .property("rowCount", &D::rowCount, &D::setRowCount).defaultValue(8)
                                    .property("onChange", &D::onChange_)
                                    .build();
  return info;
}

void TStdDropdown::Create(TObject* owner) {
  inherited::Create(owner);
  ownList();
}

// The root of an object file reads its stored values inside the inherited
// construction, before Create above gets to the list: the first value read
// or asked for makes it then. Once made it is never made again (a list a
// script freed stays gone).
TStdList* TStdDropdown::ownList() const {
  if (!listMade_) {
    auto* self = const_cast<TStdDropdown*>(this);
    self->listMade_ = true;
    self->list_ = self->createList();
    self->watchRemovalOf(list_);
  }
  return list_;
}

TStdList* TStdDropdown::createList() {
  auto* list = New<TStdList>(this);
  // Made anew with every drop-down: storing it would double it on reading.
  list->setComponentStyle(csExternal);
  list->setDropdown(this);
  list->onPaintItem.set([this](TStdList*, int32_t index, const TRectF& rect) { paintItem(index, rect); });
  list->hide();
  return list;
}

void TStdDropdown::Destroy() {
  // An open list lives under the drop-down's parent: it goes with the
  // drop-down all the same (and gives the mouse back as it goes).
  if (TStdList* list = list_) {
    list_ = nullptr;
    unwatchRemovalOf(list);
    list->onPaintItem.clear();
    list->setDropdown(nullptr);
    if (list->parent() != this) list->Free();
  }
  inherited::Destroy();
}

void TStdDropdown::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == list_) {
    list_ = nullptr;
    dropped_ = false;
  }
}

void TStdDropdown::paintItem(int32_t index, const TRectF& rect) {
  if (!list_ || index < 0 || index >= list_->itemCount()) return;
  DrawLabel(WidgetDevice(this), list_->font(), list_->items()->items(index), 0xFF000000u,
            TextAlignFlag(textAlign()) | kTextMiddle, rect);
}

void TStdDropdown::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  inherited::mouseUp(button, shift, x, y);
  if (freePending()) return;
  if (dropped_) {
    close();
  } else if (ReleasedOver(*this, x, y)) {
    drop();
  }
}

void TStdDropdown::drop() {
  // With nothing to choose the list would only hold the mouse.
  if (!list_ || list_->itemCount() == 0) return;
  BaseObject* holder = parent();
  if (!holder) return;
  list_->moveTo(holder);
  list_->setAlpha(alpha());
  const float listW = listWidth_ > 0 ? listWidth_ : width();
  const float listH =
      static_cast<float>(std::min(rowCount_, list_->itemCount()) * list_->itemHeight()) + 4;
  list_->setRect(MakeRectF(x(), y() + height(), x() + listW, y() + height() + listH));
  list_->focus();
  list_->show();
  list_->capture();
  dropped_ = true;
  update();
}

void TStdDropdown::close() {
  dropped_ = false;
  if (!list_) return;
  list_->releaseCapture();
  list_->hide();
}

void TStdDropdown::runChange() { runHandler(onChange_, "onChange"); }

// ---- forwarded to the list ----------------------------------------------------------------

float TStdDropdown::itemHeight() const { return ownList() ? static_cast<float>(ownList()->itemHeight()) : 0; }
void TStdDropdown::setItemHeight(float value) {
  if (ownList()) ownList()->setItemHeight(static_cast<int32_t>(std::trunc(value)));
}
int32_t TStdDropdown::itemIndex() const { return ownList() ? ownList()->itemIndex() : -1; }
void TStdDropdown::setItemIndex(int32_t value) {
  if (!ownList()) return;
  if (hasState(csLoading)) {
    ownList()->keepItemIndexUntilLoaded(value);
  } else {
    ownList()->setItemIndex(value);
  }
  setText(ownList()->text());
}

void TStdDropdown::Loaded() {
  inherited::Loaded();
  if (!ownList()) return;
  ownList()->takeKeptItemIndex();
  if (ownList()->itemIndex() >= 0) setText(ownList()->text());
}
TWideStringList* TStdDropdown::items() const { return ownList() ? ownList()->items() : nullptr; }
void TStdDropdown::setItems(TWideStringList* value) {
  if (ownList()) ownList()->setItems(value);
}
TRectPersistent* TStdDropdown::contentsMargin() const { return ownList() ? ownList()->contentsMargin() : nullptr; }
void TStdDropdown::setContentsMargin(TRectPersistent* value) {
  if (ownList()) ownList()->setContentsMargin(value);
}
int32_t TStdDropdown::rowCount() const { return rowCount_; }
void TStdDropdown::setRowCount(int32_t value) {
  rowCount_ = value;
  if (ownList()) ownList()->setRowCount(value);
}
