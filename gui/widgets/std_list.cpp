#include "gui/widgets/std_list.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "core/text/text_helpers.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/std_dropdown.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/input_records.h"

namespace {
// The room a scroll bar takes on the right.
constexpr float kScrollBarWidth = 7;
}  // namespace

const ClassInfo& TStdList::staticClassInfo() {
  using L = TStdList;
  static const ClassInfo info = ClassBuilder<L>("TStdList")
                                    .property("font", &L::font, &L::setFont)
                                    .property("columnCount", &L::columnCount_).defaultValue(1)
                                    .property("rowCount", &L::rowCount, &L::setRowCount).defaultValue(8)
                                    .property("contentsMargin", &L::contentsMargin, &L::setContentsMargin)
                                    .property("itemIndex", &L::itemIndex, &L::setItemIndex).defaultValue(-1)
                                    .property("items", &L::items, &L::setItems)
                                    .property("itemHeight", &L::itemHeight_).defaultValue(14)
                                    .property("wheelDelta", &L::wheelDelta_).defaultValue(1)
                                    .property("onChange", &L::onChangeMethod_)
                                    .property("onChangeItem", &L::onChangeItem_)
                                    .property("onPaintItem", &L::onPaintItemMethod_)
                                    .build();
  return info;
}

void TStdList::Create(TObject* owner) {
  items_ = New<TWideStringList>(this);
  contentsMargin_ = New<TRectPersistent>(this);
  contentsMargin_->setDefaultRect(MakeRectF(2, 2, 2, 2));
  contentsMargin_->setRect(MakeRectF(2, 2, 2, 2));
  inherited::Create(owner);
  setHotTrack(true);
}

void TStdList::Destroy() {
  // A list freed while it holds the mouse gives it back first.
  releaseCapture();
  inherited::Destroy();
  FreeAndNil(items_);
  FreeAndNil(contentsMargin_);
}

void TStdList::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == dropdown_) dropdown_ = nullptr;
}

void TStdList::setDropdown(TStdDropdown* value) {
  if (value == dropdown_) return;
  unwatchRemovalOf(dropdown_);
  dropdown_ = value;
  watchRemovalOf(dropdown_);
}

void TStdList::setItems(TWideStringList* value) {
  if (value && value != items_) items_->Assign(*value);
  clampTopIndex();
}

void TStdList::clampTopIndex() {
  topIndex_ = std::max(std::min(topIndex_, itemCount() - shownCount()), 0);
}

void TStdList::setContentsMargin(TRectPersistent* value) {
  if (value && value != contentsMargin_) contentsMargin_->Assign(*value);
}

int32_t TStdList::itemCount() const { return items_->count(); }
int32_t TStdList::columns() const { return std::max(columnCount_, 1); }
int32_t TStdList::rows() const { return std::max(rowCount_, 1); }
bool TStdList::scrolls() const { return rowCount_ * columnCount_ < itemCount(); }

// ---- geometry ---------------------------------------------------------------------------

float TStdList::columnWidth() {
  TRectF area = getClientRect();
  if (scrolls()) area.right -= kScrollBarWidth;
  area = contentsMargin_->shrinkRect(area);
  return RectWidth(area) / static_cast<float>(columns());
}

TRectF TStdList::itemRect(int32_t index) {
  const int32_t r = index - topIndex_;
  const TRectF m = contentsMargin_->getRect();
  const float h = static_cast<float>(itemHeight_);
  if (columnCount_ < 2) {
    TRectF rect = MakeRectF(m.left, m.top + r * h, width() - m.left - m.right, m.top + r * h + h);
    if (itemCount() >= rowCount_) rect.right -= kScrollBarWidth;
    return rect;
  }
  const int32_t column = r / rows();
  if (r < 0 || column >= columnCount_) return TRectF{};
  const float row = static_cast<float>(r - column * rows());
  const float w = columnWidth();
  return MakeRectF(m.left + column * w, m.top + row * h, m.left + (column + 1) * w, m.top + row * h + h);
}

void TStdList::setRowCount(int32_t value) {
  rowCount_ = value;
  if (hasState(csLoading)) return;
  const TRectF m = contentsMargin_->getRect();
  setHeight(static_cast<float>(rowCount_ * itemHeight_) + m.top + m.bottom);
}

// ---- selection --------------------------------------------------------------------------

void TStdList::setItemIndex(int32_t index) {
  if (hasState(csLoading)) keptItemIndex_ = index;
  index = std::max(std::min(index, itemCount() - 1), -1);
  itemIndex_ = index;
  if (itemCount() > 0 && index >= 0) setText(items_->items(index));
  update();
}

void TStdList::keepItemIndexUntilLoaded(int32_t index) {
  setItemIndex(index);
  keptItemIndex_ = index;
}

void TStdList::takeKeptItemIndex() {
  const int32_t kept = keptItemIndex_;
  keptItemIndex_ = -1;
  if (kept >= 0) setItemIndex(kept);
}

void TStdList::Loaded() {
  inherited::Loaded();
  takeKeptItemIndex();
}

void TStdList::selectAt(float x, float y) {
  clampTopIndex();
  const int32_t last = std::min(topIndex_ + shownCount(), itemCount());
  for (int32_t i = topIndex_; i < last; ++i) {
    const TRectF r = itemRect(i);
    if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) {
      setItemIndex(i);
      return;
    }
  }
}

// ---- input -------------------------------------------------------------------------------

void TStdList::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if ((shift & kShiftLeftButton) || dropdown_) selectAt(x, y);
}

void TStdList::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  inherited::mouseMove(shift, dx, dy, x, y);
  if ((shift & kShiftLeftButton) || dropdown_) selectAt(x, y);
}

void TStdList::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  inherited::mouseUp(button, shift, x, y);
  if (freePending()) return;
  if (dropdown_) {
    releaseFromDropdown(x, y);
  } else if (shift & kShiftLeftButton) {
    runHandler(onChangeItem_, "onChangeItem");
  }
}

void TStdList::releaseFromDropdown(float x, float y) {
  // The mouse goes back and the list closes even with no entries: an empty
  // list that kept the mouse would take every later click.
  releaseCapture();
  TStdDropdown* owner = dropdown_;
  if (itemCount() == 0) {
    owner->close();
    return;
  }
  const bool inside = x >= 0 && x <= width() && y >= 0 && y <= height();
  if (inside && itemIndex_ >= 0) owner->setText(items_->items(itemIndex_));
  owner->close();
  if (inside) owner->focus();
  onChange(this);
  if (!onChange && onChangeMethod_) CallMethodRef(onChangeMethod_, {Variant(static_cast<TObject*>(this))});
  // The callback may have freed the drop-down (and with it this list's link).
  if (freePending() || !dropdown_) return;
  dropdown_->runChange();
}

void TStdList::mouseWheel(uint8_t shift, int32_t delta) {
  inherited::mouseWheel(shift, delta);
  const int32_t old = topIndex_;
  clampTopIndex();
  const int32_t count = itemCount();
  const int32_t step = std::abs(wheelDelta_ * delta);
  if (delta < 0 && topIndex_ < count - rowCount_) {
    topIndex_ = std::max(std::min(topIndex_ + step, count - rowCount_ * columnCount_), 0);
  } else if (delta > 0 && topIndex_ > 0) {
    topIndex_ = std::max(topIndex_ - step, 0);
  }
  if (topIndex_ != old) update();
}

void TStdList::focusLost() {
  inherited::focusLost();
  if (dropdown_) dropdown_->close();
}

// ---- drawing ------------------------------------------------------------------------------

void TStdList::paintItemBackground(int32_t index, const TRectF& rect) {
  if (index == itemIndex_) FillArea(WidgetDevice(this), rect, 0x660000FFu);
}

void TStdList::paintItemText(int32_t index, const TRectF& rect) {
  DrawLabel(WidgetDevice(this), font(), items_->items(index), 0xFF000000u, kTextMiddle, rect);
}

void TStdList::paintItem(int32_t index, const TRectF& rect) {
  paintItemBackground(index, rect);
  if (onPaintItem) {
    onPaintItem(this, index, rect);
  } else if (onPaintItemMethod_) {
    CallMethodRef(onPaintItemMethod_, {Variant(static_cast<TObject*>(this)), Variant(index)});
  } else {
    paintItemText(index, rect);
  }
}

void TStdList::fitRowCount() {
  if (itemHeight_ <= 0) return;
  // Whole rows only; margins of a row or more count apart, so that the
  // snapped height does not make another row next frame.
  const TRectF m = contentsMargin_->getRect();
  const float ih = static_cast<float>(itemHeight_);
  const float margins = m.top + m.bottom;
  const float usable = margins >= ih ? height() - margins : height();
  setRowCount(std::max(static_cast<int32_t>(std::trunc(usable / ih)), 0));
}

void TStdList::drawBackground() {
  TDevice* device = WidgetDevice(this);
  FillArea(device, getClientRect(), 0xFF808080u);
  if (!scrolls()) return;
  const int32_t count = itemCount();
  const float track = height() - 4;
  const float top = 2 + static_cast<float>(RoundHalfEven(static_cast<double>(topIndex_) / count * track));
  const float bottom = 2 + static_cast<float>(RoundHalfEven(static_cast<double>(topIndex_ + rowCount_) / count * track));
  FillArea(device, MakeRectF(width() - 9, top, width() - 2, bottom), 0x660000FFu);
}

void TStdList::drawSelf() {
  fitRowCount();
  clampTopIndex();
  drawBackground();
  const int32_t last = std::min(topIndex_ + shownCount(), itemCount());
  for (int32_t i = topIndex_; i < last; ++i) drawRow(i, itemRect(i));
}
