#pragma once
// `Trigger`: a box volume with a static body that is a zone: objects pass
// through it rather than rest on it. An object whose collisions are tracked
// runs its own onTrigger handler, with the trigger as the event's
// paramObject, on every frame it is inside the zone.
#include "engine/scene/position_object.h"

class Trigger : public PositionObject {
  Q_OBJECT(Trigger, PositionObject)

 public:
  void Create(TObject* owner) override;

  void drawSelf() override;
  TBoundBoxF getBoundingBox() override;
  // The whole largest edge.
  float getBoundingRadius() override;
  void createBody() override;
  void destroyBody() override;
  bool isTrigger() const override { return true; }
  // Runs `other`'s onTrigger (nothing once the trigger is disposed or when
  // `other` has no such handler).
  void collise(PositionObject* other, const TVector4F& position, const TVector4F& normal) override;

  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }
  float depth() const { return depth_; }
  void setDepth(float value) { depth_ = value; }

 private:
  float width_ = 0;
  float depth_ = 0;
  float height_ = 0;
};
