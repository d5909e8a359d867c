// The flat coordinate objects: TPlaneCoord, TPointPersistent, TRectPersistent.
#include "core/geometry/coordinates.h"
#include "core/geometry/coordinates_stored.h"
#include "core/objects/class_builder.h"

// ---- TPlaneCoord -------------------------------------------------------------------

const ClassInfo& TPlaneCoord::staticClassInfo() {
  using P = TPlaneCoord;
  static const ClassInfo info = ClassBuilder<P>("TPlaneCoord")
                                    .property("x", &P::x, &P::setX).storedWhen(&P::xStored)
                                    .property("y", &P::y, &P::setY).storedWhen(&P::yStored)
                                    .build();
  return info;
}

void TPlaneCoord::DefineProperties(TGFiler* filer) {
  DefineZeroComponent(filer, "x", x_, xStored(), [this](float v) { setX(v); });
  DefineZeroComponent(filer, "y", y_, yStored(), [this](float v) { setY(v); });
}

void TPlaneCoord::setX(float value) {
  x_ = value;
  if (onChange_) onChange_(this);
}

void TPlaneCoord::setY(float value) {
  y_ = value;
  if (onChange_) onChange_(this);
}

void TPlaneCoord::Assign(const TPlaneCoord& source) {
  x_ = source.x_;
  y_ = source.y_;
  extra_ = source.extra_;
}

// ---- TPointPersistent -----------------------------------------------------------------

const ClassInfo& TPointPersistent::staticClassInfo() {
  using P = TPointPersistent;
  static const ClassInfo info = ClassBuilder<P>("TPointPersistent")
                                    .property("x", &P::x_).storedWhen(&P::xStored)
                                    .property("y", &P::y_).storedWhen(&P::yStored)
                                    .build();
  return info;
}

void TPointPersistent::DefineProperties(TGFiler* filer) {
  DefineZeroComponent(filer, "x", x_, xStored(), [this](float v) { x_ = v; });
  DefineZeroComponent(filer, "y", y_, yStored(), [this](float v) { y_ = v; });
}

void TPointPersistent::setPoint(const TPointF& point) {
  x_ = point.x;
  y_ = point.y;
}

// ---- TRectPersistent -------------------------------------------------------------------

const ClassInfo& TRectPersistent::staticClassInfo() {
  using R = TRectPersistent;
  static const ClassInfo info = ClassBuilder<R>("TRectPersistent")
                                    .property("left", &R::left, &R::setLeft).storedWhen(&R::leftStored)
                                    .property("top", &R::top, &R::setTop).storedWhen(&R::topStored)
                                    .property("right", &R::right, &R::setRight).storedWhen(&R::rightStored)
                                    .property("bottom", &R::bottom, &R::setBottom).storedWhen(&R::bottomStored)
                                    .method("marginEmpty", &R::marginEmpty)
                                    .method("empty", &R::empty)
                                    .build();
  return info;
}

void TRectPersistent::DefineProperties(TGFiler* filer) {
  DefineZeroComponent(filer, "left", left_, leftStored(), [this](float v) { setLeft(v); });
  DefineZeroComponent(filer, "top", top_, topStored(), [this](float v) { setTop(v); });
  DefineZeroComponent(filer, "right", right_, rightStored(), [this](float v) { setRight(v); });
  DefineZeroComponent(filer, "bottom", bottom_, bottomStored(), [this](float v) { setBottom(v); });
}

void TRectPersistent::setSide(float& side, float value) {
  if (side == value) return;
  side = value;
  if (onChange_) onChange_(this);
}

void TRectPersistent::setLeft(float value) { setSide(left_, value); }
void TRectPersistent::setTop(float value) { setSide(top_, value); }
void TRectPersistent::setRight(float value) { setSide(right_, value); }
void TRectPersistent::setBottom(float value) { setSide(bottom_, value); }

void TRectPersistent::setRect(const TRectF& rect) {
  if (rect == getRect()) return;
  left_ = rect.left;
  top_ = rect.top;
  right_ = rect.right;
  bottom_ = rect.bottom;
  if (onChange_) onChange_(this);
}

TRectF TRectPersistent::shrinkRect(const TRectF& rect) const {
  return {rect.left + left_, rect.top + top_, rect.right - right_, rect.bottom - bottom_};
}

bool TRectPersistent::marginEmpty() const { return left_ == 0 && top_ == 0 && right_ == 0 && bottom_ == 0; }
