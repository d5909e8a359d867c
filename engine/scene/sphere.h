#pragma once
// `Sphere`: a ball of a radius that draws nothing itself; it is there to be
// picked, to have bounds and to take part in physics as a sphere body.
#include "engine/scene/position_object.h"

class Sphere : public PositionObject {
  Q_OBJECT(Sphere, PositionObject)

 public:
  void Create(TObject* owner) override;

  TBoundBoxF getBoundingBox() override;
  float getBoundingRadius() override { return radius_; }
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
  void createBody() override;
  void destroyBody() override;

  float radius() const { return radius_; }
  void setRadius(float value) { radius_ = value; }

 private:
  float radius_ = 0.5f;
};
