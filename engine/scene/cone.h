#pragma once
// `Cone`: a round shape of a radius and a height along its local x axis,
// drawn as the box around it and never hit by rays, taking part in physics
// as a cone body.
#include "engine/scene/sized_shape.h"

class Cone : public RoundShape {
  Q_OBJECT(Cone, RoundShape)

 public:
  void Create(TObject* owner) override;
  void createBody() override;
  void destroyBody() override;
};
