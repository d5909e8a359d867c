#include "core/geometry/geometry_rect.h"

#include <cmath>

float RectWidth(const TRectF& r) { return r.right - r.left; }

float RectHeight(const TRectF& r) { return r.bottom - r.top; }

bool RectIsEmpty(const TRectF& r) { return !(RectWidth(r) > 0 && RectHeight(r) > 0); }

bool RectContains(const TPointF& p, const TRectF& r) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

void RectOffset(TRectF& r, float dx, float dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
}

void RectInflate(TRectF& r, float dx, float dy) {
  r.left -= dx;
  r.right += dx;
  r.top -= dy;
  r.bottom += dy;
}

namespace {

// Half the difference of two sizes, cut toward zero to a whole number.
float HalfGap(float outer, float inner) {
  return static_cast<float>(std::trunc((static_cast<double>(outer) - inner) / 2));
}

}  // namespace

TRectF RectCenter(TRectF& r, const TRectF& bounds) {
  const float dx = HalfGap(RectWidth(bounds), RectWidth(r));
  const float dy = HalfGap(RectHeight(bounds), RectHeight(r));
  // Three moves in this order, each rounded to float32 as it goes: to the
  // origin, by the centring gap, then to the bounds' corner.
  RectOffset(r, -r.left, -r.top);
  RectOffset(r, dx, dy);
  RectOffset(r, bounds.left, bounds.top);
  return r;
}
