#include "engine/scene/box.h"

#include <algorithm>
#include <cmath>

#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Box::staticClassInfo() {
  using B = Box;
  static const ClassInfo info =
      publishSize(ClassBuilder<B>("Box").property("zTest", &B::zTest, &B::setZTest).defaultValue(1), 1.0f).build();
  return info;
}

void Box::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

float Box::getBoundingRadius() { return std::max({width(), height(), depth()}) / 2; }

bool Box::rayHit(const TVector4F& origin, const TVector4F& direction) {
  TVector4F localOrigin = origin, localDirection = direction;
  ToLocalRay(*this, localOrigin, localDirection);
  return RayEntersBox(localOrigin, localDirection, size());
}

bool Box::pointInObject(float x, float y) {
  const TPointF local = screenToLocalPoint(MakePointF(x, y));
  return std::fabs(local.x) < width() / 2 && std::fabs(local.y) < height() / 2;
}

void Box::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, size());
}

void Box::destroyBody() { RemoveShapeBody(*this, body_); }
