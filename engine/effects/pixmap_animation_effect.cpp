#include "engine/effects/pixmap_animation_effect.h"

#include <cmath>

#include "engine/media/pixmap_persistent.h"
#include "engine/visual_object.h"

namespace {
// Delphi's Frac: the part after the point, with the value's sign.
float Frac(float value) { return value - std::trunc(value); }
}  // namespace

float InverseOrZero(float value) {
  const float inverse = value != 0 ? 1.0f / value : 0.0f;
  return std::isfinite(inverse) ? inverse : 0.0f;
}

TObject* PublishedObject(BaseObject* owner, std::string_view name) {
  if (!owner) return nullptr;
  const PropInfo* prop = owner->classInfo().findProperty(name, KindSet{TypeKind::Object});
  return prop ? GetObjectProp(owner, *prop) : nullptr;
}

void UpdateVisualOwner(const Effect& effect) {
  if (dynamic_cast<VisualObject*>(effect.parent())) effect.parent()->update();
}

// ---- the sheet of cells ----------------------------------------------------------------

void PixmapAnimationEffect::Loaded() {
  inherited::Loaded();
  target_ = PublishedPart<TPixmapPersistent>(parent(), "pixmap");
  if (running()) {
    measureRun();
  } else {
    showCell(0);
  }
}

void PixmapAnimationEffect::setRunning(bool value) {
  // Started: the run's length is known before its first step, so the run
  // is not taken for one of no length. Stopped: the first cell.
  if (value) measureRun();
  inherited::setRunning(value);
  if (!value) showCell(0);
}

void PixmapAnimationEffect::setParent(BaseObject* parent) {
  if (parent != this->parent()) target_ = nullptr;
  inherited::setParent(parent);
}

const ClassInfo& PixmapAnimationEffect::staticClassInfo() {
  using P = PixmapAnimationEffect;
  static const ClassInfo info = ClassBuilder<P>("PixmapAnimationEffect")
                                    .property("width", &P::width, &P::setWidth).defaultValue(0)
                                    .property("height", &P::height, &P::setHeight).defaultValue(0)
                                    .property("keyTime", &P::keyTime, &P::setKeyTime).stored(false)
                                    .property("keyPerSecond", &P::keyPerSecond, &P::setKeyPerSecond)
                                    .build();
  return info;
}

float PixmapAnimationEffect::keyPerSecond() const { return InverseOrZero(keyTime_); }

void PixmapAnimationEffect::setKeyPerSecond(float value) { keyTime_ = InverseOrZero(value); }

int64_t PixmapAnimationEffect::cellCount(int32_t& columns) const {
  // Without a grid of whole cells (no cell size, or a pixmap smaller than a
  // cell) there are no cells.
  columns = target_ && width_ > 0 ? target_->width() / width_ : 0;
  const int32_t rows = target_ && height_ > 0 ? target_->height() / height_ : 0;
  return columns > 0 && rows > 0 ? int64_t{columns} * rows : 0;
}

void PixmapAnimationEffect::measureRun() {
  int32_t columns = 0;
  const int64_t cells = cellCount(columns);
  if (cells > 0 && keyTime_ > 0) setRunningTime(keyTime_ * static_cast<float>(cells));
}

void PixmapAnimationEffect::showCell(int64_t cell) {
  int32_t columns = 0;
  if (cellCount(columns) == 0) return;  // the source rectangle stays as it is
  const auto left = static_cast<float>(cell % columns * width_);
  const auto top = static_cast<float>(cell / columns * height_);
  target_->rect()->setRect(MakeRectF(left, top, left + static_cast<float>(width_), top + static_cast<float>(height_)));
  UpdateVisualOwner(*this);
}

void PixmapAnimationEffect::apply(double time, double step) {
  inherited::apply(time, step);
  if (!target_) return;
  int32_t columns = 0;
  const int64_t cells = cellCount(columns);
  int64_t cell = 0;
  if (cells > 0 && running() && keyTime_ > 0) {
    measureRun();
    // The run's very end (or a clock past it) shows the last cell.
    const double due = std::trunc(static_cast<double>(elapsed()) / keyTime_);
    cell = due >= static_cast<double>(cells) ? cells - 1 : (due > 0 ? static_cast<int64_t>(due) : 0);
  }
  showCell(cell);
  UpdateVisualOwner(*this);
}

// ---- the scrolling offset ---------------------------------------------------------------

void PixmapOffsetAnimationEffect::Loaded() {
  inherited::Loaded();
  target_ = PublishedPart<TPixmapPersistent>(parent(), "pixmap");
}

void PixmapOffsetAnimationEffect::setParent(BaseObject* parent) {
  if (parent != this->parent()) target_ = nullptr;
  inherited::setParent(parent);
}

const ClassInfo& PixmapOffsetAnimationEffect::staticClassInfo() {
  using P = PixmapOffsetAnimationEffect;
  static const ClassInfo info = ClassBuilder<P>("PixmapOffsetAnimationEffect")
                                    .property("offsetx", &P::offsetX, &P::setOffsetX).defaultValue(0)
                                    .property("offsety", &P::offsetY, &P::setOffsetY).defaultValue(0)
                                    .property("keyTime", &P::keyTime_)
                                    .build();
  return info;
}

void PixmapOffsetAnimationEffect::apply(double time, double step) {
  inherited::apply(time, step);
  TPixmapPersistent* pixmap = target_;
  if (!pixmap) return;
  const float now = elapsed();
  const auto w = static_cast<float>(pixmap->width());
  const auto h = static_cast<float>(pixmap->height());
  if (offsetX_ != 0 && w > 0) pixmap->offset()->setX(Frac(now * static_cast<float>(offsetX_) / w) * w);
  if (offsetY_ != 0 && h > 0) pixmap->offset()->setY(Frac(now * static_cast<float>(offsetY_) / h) * h);
  UpdateVisualOwner(*this);
}
