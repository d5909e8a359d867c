#pragma once
// `Cylinder`: a round shape of a radius and a height along its local x axis,
// drawn and hit as the box around it, taking part in physics as a cylinder
// body.
#include "engine/scene/position_object.h"

class Cylinder : public PositionObject {
  Q_OBJECT(Cylinder, PositionObject)

 public:
  void Create(TObject* owner) override;

  void drawSelf() override;
  TBoundBoxF getBoundingBox() override;
  float getBoundingRadius() override;
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
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

// The box around a round shape of the radius and height: the height along x,
// the diameter along y and z.
TVector4F RoundShapeSize(float radius, float height);
TBoundBoxF RoundShapeBox(float radius, float height);
