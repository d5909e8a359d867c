#pragma once
// A positioned object with a size, as the shapes are: a ball of a published
// radius that records where every change of its position put it, is hit by
// rays through its sphere, and makes and frees a sphere body through the
// applet's physics engine.
#include <vector>

#include "core/geometry/coordinates.h"
#include "engine/scene/position_object.h"

class TestBall : public PositionObject {
  Q_OBJECT(TestBall, PositionObject)

 public:
  float radius = 0;
  // The position after every change of it, in order.
  std::vector<TVector4F> moves;

  float getBoundingRadius() override { return radius; }
  TBoundBoxF getBoundingBox() override {
    return TBoundBoxF{MakeVector4F(-radius, -radius, -radius, 1), MakeVector4F(radius, radius, radius, 1)};
  }
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override {
    return RayHitsSphere(origin, direction, getWorldPosition(), radius);
  }
  void positionChanged() override {
    inherited::positionChanged();
    moves.push_back(position()->vector());
  }
  void createBody() override {
    inherited::createBody();
    if (TDynamicEngine* engine = dynamicEngine(); engine && !body_) {
      body_ = engine->CreateSphereBody(this, MakeVector4F(radius, radius, radius, 1));
    }
  }
  void destroyBody() override {
    if (TDynamicEngine* engine = dynamicEngine()) engine->RemoveBody(body_);
  }
};

inline const ClassInfo& TestBall::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TestBall>("TestBall").property("radius", &TestBall::radius).build();
  return info;
}
