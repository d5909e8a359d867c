#pragma once
// `Cone`: a round shape of a radius and a height along its local x axis,
// drawn as the box around it and never hit by rays, taking part in physics
// as a cone body.
#include "engine/scene/position_object.h"

class Cone : public PositionObject {
  Q_OBJECT(Cone, PositionObject)

 public:
  void Create(TObject* owner) override;

  void drawSelf() override;
  TBoundBoxF getBoundingBox() override;
  float getBoundingRadius() override;
  void createBody() override;
  void destroyBody() override;

  float radius() const { return radius_; }
  void setRadius(float value) { radius_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }

 private:
  float radius_ = 0.5f;
  float height_ = 1.0f;
};
