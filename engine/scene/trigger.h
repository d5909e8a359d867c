#pragma once
// `Trigger`: a box volume with a static body that is a zone: objects pass
// through it rather than rest on it. An object whose collisions are tracked
// runs its own onTrigger handler, with the trigger as the event's
// paramObject, on every frame it is inside the zone.
#include "engine/scene/sized_shape.h"

class Trigger : public BoxShape {
  Q_OBJECT(Trigger, BoxShape)

 public:
  Trigger() : BoxShape(0) {}
  void Create(TObject* owner) override;

  // The whole largest edge.
  float getBoundingRadius() override;
  void createBody() override;
  void destroyBody() override;
  bool isTrigger() const override { return true; }
  // Runs `other`'s onTrigger (nothing once the trigger is disposed or when
  // `other` has no such handler).
  void collise(PositionObject* other, const TVector4F& position, const TVector4F& normal) override;
};
