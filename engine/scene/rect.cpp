#include "engine/scene/rect.h"

#include <algorithm>
#include <cmath>

#include "core/objects/class_builder.h"
#include "engine/applet/applet.h"
#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"
#include "platform/device.h"

const ClassInfo& Rect::staticClassInfo() {
  using R = Rect;
  static const ClassInfo info = ClassBuilder<R>("Rect")
                                    .property("width", &R::width, &R::setWidth).floatDefault(10.0f)
                                    .property("height", &R::height, &R::setHeight).floatDefault(10.0f)
                                    .build();
  return info;
}

void Rect::Create(TObject* owner) {
  setMaterial(u"gui");
  inherited::Create(owner);
}

void Rect::drawSelf() {
  Applet* applet = ownerApplet();
  if (TDevice* device = applet ? applet->device() : nullptr) device->FillRectF(CentredArea(width_, height_), 0);
}

bool Rect::pointInObject(float x, float y) {
  const TPointF local = screenToLocalPoint(MakePointF(x, y));
  return visible() && std::fabs(local.x) < width_ / 2 && std::fabs(local.y) < height_ / 2;
}

float Rect::getBoundingRadius() { return std::max(width_, height_) / 2; }

TBoundBoxF Rect::getCoveringBox() { return CentredBox(width_, height_, 0); }

void Rect::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, MakeVector4F(width_, height_, kRectBodyDepth, 0));
}

void Rect::destroyBody() { RemoveShapeBody(*this, body_); }
