#include "engine/scene/cylinder.h"

#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Cylinder::staticClassInfo() {
  using C = Cylinder;
  static const ClassInfo info =
      publishSize(ClassBuilder<C>("Cylinder").property("zTest", &C::zTest, &C::setZTest).defaultValue(1)).build();
  return info;
}

void Cylinder::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

bool Cylinder::rayHit(const TVector4F& origin, const TVector4F& direction) {
  TVector4F localOrigin = origin, localDirection = direction;
  ToLocalRay(*this, localOrigin, localDirection);
  return RayEntersBox(localOrigin, localDirection, RoundShapeSize(radius(), height()));
}

void Cylinder::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateCylinderBody, bodySize());
}

void Cylinder::destroyBody() { RemoveShapeBody(*this, body_); }
