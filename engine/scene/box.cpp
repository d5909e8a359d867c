#include "engine/scene/box.h"

#include <algorithm>
#include <cmath>

#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Box::staticClassInfo() {
  using B = Box;
  static const ClassInfo info = ClassBuilder<B>("Box")
                                    .property("zTest", &B::zTest, &B::setZTest).defaultValue(1)
                                    .property("width", &B::width, &B::setWidth).floatDefault(1.0f)
                                    .property("height", &B::height, &B::setHeight).floatDefault(1.0f)
                                    .property("depth", &B::depth, &B::setDepth).floatDefault(1.0f)
                                    .build();
  return info;
}

void Box::Create(TObject* owner) {
  setZTest(true);
  inherited::Create(owner);
}

void Box::drawSelf() { DrawSolidBox(*this, getBoundingBox()); }

TBoundBoxF Box::getBoundingBox() { return CentredBox(width_, height_, depth_); }

float Box::getBoundingRadius() { return std::max({width_, height_, depth_}) / 2; }

bool Box::rayHit(const TVector4F& origin, const TVector4F& direction) {
  TVector4F localOrigin = origin, localDirection = direction;
  ToLocalRay(*this, localOrigin, localDirection);
  return RayEntersBox(localOrigin, localDirection, size());
}

bool Box::pointInObject(float x, float y) {
  const TPointF local = screenToLocalPoint(MakePointF(x, y));
  return std::fabs(local.x) < width_ / 2 && std::fabs(local.y) < height_ / 2;
}

void Box::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, size());
}

void Box::destroyBody() { RemoveShapeBody(*this, body_); }
