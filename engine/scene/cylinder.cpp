#include "engine/scene/cylinder.h"

#include <algorithm>

#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Cylinder::staticClassInfo() {
  using C = Cylinder;
  static const ClassInfo info = ClassBuilder<C>("Cylinder")
                                    .property("zTest", &C::zTest, &C::setZTest).defaultValue(1)
                                    .property("radius", &C::radius, &C::setRadius).floatDefault(0.5f)
                                    .property("height", &C::height, &C::setHeight).floatDefault(1.0f)
                                    .build();
  return info;
}

TVector4F RoundShapeSize(float radius, float height) { return MakeVector4F(height, 2 * radius, 2 * radius, 0); }

TBoundBoxF RoundShapeBox(float radius, float height) { return CentredBox(height, 2 * radius, 2 * radius); }

void Cylinder::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

void Cylinder::drawSelf() { DrawSolidBox(*this, getBoundingBox()); }

TBoundBoxF Cylinder::getBoundingBox() { return RoundShapeBox(radius_, height_); }

float Cylinder::getBoundingRadius() { return std::max(height_ / 2, radius_); }

bool Cylinder::rayHit(const TVector4F& origin, const TVector4F& direction) {
  TVector4F localOrigin = origin, localDirection = direction;
  ToLocalRay(*this, localOrigin, localDirection);
  return RayEntersBox(localOrigin, localDirection, RoundShapeSize(radius_, height_));
}

void Cylinder::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateCylinderBody, MakeVector4F(radius_, radius_, height_, 0));
}

void Cylinder::destroyBody() { RemoveShapeBody(*this, body_); }
