#include "engine/scene/cone.h"

#include "engine/scene/shape_bodies.h"

const ClassInfo& Cone::staticClassInfo() {
  using C = Cone;
  static const ClassInfo info =
      publishSize(ClassBuilder<C>("Cone").property("zTest", &C::zTest, &C::setZTest).defaultValue(1)).build();
  return info;
}

void Cone::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

void Cone::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateConeBody, bodySize());
}

void Cone::destroyBody() { RemoveShapeBody(*this, body_); }
