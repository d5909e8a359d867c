#include "engine/scene/grid.h"

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "platform/device.h"

namespace {
constexpr float kGridLineWidth = 0.2f;

// from, from + step, ... while within `to`, at most kMaxGridLinesPerAxis.
template <typename AddLine>
void EachLine(float from, float to, float step, AddLine addLine) {
  for (int i = 0; i < kMaxGridLinesPerAxis; ++i) {
    const float at = i == 0 ? from : from + static_cast<float>(i) * step;
    if (!(at <= to)) return;
    addLine(at);
    if (!(step > 0)) return;
  }
}
}  // namespace

std::vector<TVector4F> GridLinePoints(const TPointF& min, const TPointF& max, const TPointF& origin,
                                      const TPointF& step) {
  std::vector<TVector4F> points;
  EachLine(min.x, max.x, step.x, [&](float x) {
    points.push_back(MakeVector4F(x - origin.x, min.y - origin.y, 0, 1));
    points.push_back(MakeVector4F(x - origin.x, max.y - origin.y, 0, 1));
  });
  EachLine(min.y, max.y, step.y, [&](float y) {
    points.push_back(MakeVector4F(min.x - origin.x, y - origin.y, 0, 1));
    points.push_back(MakeVector4F(max.x - origin.x, y - origin.y, 0, 1));
  });
  return points;
}

const ClassInfo& Grid::staticClassInfo() {
  using G = Grid;
  static const ClassInfo info = ClassBuilder<G>("Grid")
                                    .property("zTest", &G::zTest, &G::setZTest).defaultValue(1)
                                    .property("width", &G::width, &G::setWidth)
                                    .property("height", &G::height, &G::setHeight)
                                    .property("min", &G::min, &G::setMin)
                                    .property("max", &G::max, &G::setMax)
                                    .property("origin", &G::origin, &G::setOrigin)
                                    .property("step", &G::step, &G::setStep)
                                    .build();
  return info;
}

TPointPersistent* Grid::makePoint(float x, float y) {
  auto* point = New<TPointPersistent>(this);
  point->setPoint({x, y});
  // Left out of files while it holds the value the grid starts with.
  point->setDefaultPoint({x, y});
  return point;
}

void Grid::copyPoint(TPointPersistent* own, const TPointPersistent* value) {
  if (value && value != own) own->setPoint(value->getPoint());
}

void Grid::Create(TObject* owner) {
  min_ = makePoint(-10, -10);
  max_ = makePoint(10, 10);
  origin_ = makePoint(0, 0);
  step_ = makePoint(1, 1);
  setZTest(true);
  inherited::Create(owner);
}

void Grid::Destroy() {
  inherited::Destroy();
  FreeAndNil(min_);
  FreeAndNil(max_);
  FreeAndNil(origin_);
  FreeAndNil(step_);
}

void Grid::drawSelf() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return;
  const std::vector<TVector4F> points =
      GridLinePoints(min_->getPoint(), max_->getPoint(), origin_->getPoint(), step_->getPoint());
  if (!points.empty()) device->DrawLine(points.data(), static_cast<int32_t>(points.size()), kGridLineWidth);
}

TBoundBoxF Grid::getCoveringBox() {
  const TPointF low = min_->getPoint(), high = max_->getPoint(), at = origin_->getPoint();
  return TBoundBoxF{MakeVector4F(low.x - at.x, low.y - at.y, 0, 1), MakeVector4F(high.x - at.x, high.y - at.y, 0, 1)};
}
