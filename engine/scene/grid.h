#pragma once
// `Grid`: a grid of lines in the object's own x-y plane, from `min` to `max`
// every `step`, moved by `origin`; vertical lines first, then horizontal ones,
// all in one line call.
#include <vector>

#include "engine/scene/position_object.h"

class TPointPersistent;

// At most this many lines are drawn on each axis, whatever the file says.
inline constexpr int kMaxGridLinesPerAxis = 1000;

// The lines as point pairs. An axis whose step is not above 0 gets only its
// first line.
std::vector<TVector4F> GridLinePoints(const TPointF& min, const TPointF& max, const TPointF& origin,
                                      const TPointF& step);

class Grid : public PositionObject {
  Q_OBJECT(Grid, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void drawSelf() override;
  TBoundBoxF getCoveringBox() override;

  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }
  // Assigning a point copies its x and y into the grid's own.
  TPointPersistent* min() const { return min_; }
  void setMin(TPointPersistent* value) { copyPoint(min_, value); }
  TPointPersistent* max() const { return max_; }
  void setMax(TPointPersistent* value) { copyPoint(max_, value); }
  TPointPersistent* origin() const { return origin_; }
  void setOrigin(TPointPersistent* value) { copyPoint(origin_, value); }
  TPointPersistent* step() const { return step_; }
  void setStep(TPointPersistent* value) { copyPoint(step_, value); }

 private:
  TPointPersistent* makePoint(float x, float y);
  static void copyPoint(TPointPersistent* own, const TPointPersistent* value);

  // Kept for object files; the lines do not depend on them.
  float width_ = 0;
  float height_ = 0;
  TPointPersistent* min_ = nullptr;
  TPointPersistent* max_ = nullptr;
  TPointPersistent* origin_ = nullptr;
  TPointPersistent* step_ = nullptr;
};
