#include "engine/scene/rect.h"

#include <algorithm>
#include <cmath>

#include "core/class_builder.h"
#include "engine/applet.h"
#include "platform/device.h"

const ClassInfo& Rect::staticClassInfo() {
  using R = Rect;
  static const ClassInfo info = ClassBuilder<R>("Rect")
                                    .property("width", &R::width, &R::setWidth).floatDefault(10.0f)
                                    .property("height", &R::height, &R::setHeight).floatDefault(10.0f)
                                    .build();
  return info;
}

TRectF CentredArea(float width, float height) {
  return MakeRectF(-width / 2, -height / 2, width / 2, height / 2);
}

void CreateFlatBoxBody(PositionObject& object, TBodyHandle& body, float width, float height, float depth) {
  if (TDynamicEngine* engine = object.dynamicEngine()) {
    body = engine->CreateBoxBody(&object, MakeVector4F(width, height, depth, 0));
  }
}

void RemoveFlatBody(PositionObject& object, TBodyHandle& body) {
  if (TDynamicEngine* engine = object.dynamicEngine()) engine->RemoveBody(body);
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

void Rect::createBody() {
  inherited::createBody();
  CreateFlatBoxBody(*this, body_, width_, height_, kRectBodyDepth);
}

void Rect::destroyBody() { RemoveFlatBody(*this, body_); }
