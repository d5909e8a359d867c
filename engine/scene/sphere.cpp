#include "engine/scene/sphere.h"

#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Sphere::staticClassInfo() {
  using S = Sphere;
  static const ClassInfo info = ClassBuilder<S>("Sphere")
                                    .property("zTest", &S::zTest, &S::setZTest).defaultValue(1)
                                    .property("radius", &S::radius, &S::setRadius).floatDefault(0.5f)
                                    .build();
  return info;
}

void Sphere::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

TBoundBoxF Sphere::getBoundingBox() { return CentredBox(2 * radius_, 2 * radius_, 2 * radius_); }

bool Sphere::rayHit(const TVector4F& origin, const TVector4F& direction) {
  TVector4F localOrigin = origin, localDirection = direction;
  ToLocalRay(*this, localOrigin, localDirection);
  return RayHitsSphere(localOrigin, localDirection, MakeVector4F(0, 0, 0, 1), radius_);
}

void Sphere::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateSphereBody, MakeVector4F(radius_, radius_, radius_, 0));
}

void Sphere::destroyBody() { RemoveShapeBody(*this, body_); }
