#pragma once
// `Cylinder`: a round shape of a radius and a height along its local x axis,
// drawn and hit as the box around it, taking part in physics as a cylinder
// body.
#include "engine/scene/sized_shape.h"

class Cylinder : public RoundShape {
  Q_OBJECT(Cylinder, RoundShape)

 public:
  void Create(TObject* owner) override;
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
  void createBody() override;
  void destroyBody() override;
};
