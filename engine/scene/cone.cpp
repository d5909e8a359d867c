#include "engine/scene/cone.h"

#include <algorithm>

#include "engine/scene/cylinder.h"
#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Cone::staticClassInfo() {
  using C = Cone;
  static const ClassInfo info = ClassBuilder<C>("Cone")
                                    .property("zTest", &C::zTest, &C::setZTest).defaultValue(1)
                                    .property("radius", &C::radius, &C::setRadius).floatDefault(0.5f)
                                    .property("height", &C::height, &C::setHeight).floatDefault(1.0f)
                                    .build();
  return info;
}

void Cone::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

void Cone::drawSelf() { DrawSolidBox(*this, getBoundingBox()); }

TBoundBoxF Cone::getBoundingBox() { return RoundShapeBox(radius_, height_); }

float Cone::getBoundingRadius() { return std::max(height_ / 2, radius_); }

void Cone::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateConeBody, MakeVector4F(radius_, radius_, height_, 0));
}

void Cone::destroyBody() { RemoveShapeBody(*this, body_); }
