#pragma once
// `Box`: a solid box of width x height x depth centred on the object's
// position, hit by rays that enter it, taking part in physics as a box body.
#include "engine/scene/sized_shape.h"

class Box : public BoxShape {
  Q_OBJECT(Box, BoxShape)

 public:
  Box() : BoxShape(1.0f) {}
  void Create(TObject* owner) override;

  float getBoundingRadius() override;
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
  bool pointInObject(float x, float y) override;
  void createBody() override;
  void destroyBody() override;
};
