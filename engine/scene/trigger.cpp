#include "engine/scene/trigger.h"

#include <algorithm>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Trigger::staticClassInfo() {
  using T = Trigger;
  static const ClassInfo info = publishSize(ClassBuilder<T>("Trigger"), 0).build();
  return info;
}

void Trigger::Create(TObject* owner) {
  setCollisable(true);
  inherited::Create(owner);
}

float Trigger::getBoundingRadius() { return std::max({width(), height(), depth()}); }

void Trigger::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, size());
}

void Trigger::destroyBody() { RemoveShapeBody(*this, body_); }

void Trigger::collise(PositionObject* other, const TVector4F& position, const TVector4F& normal) {
  if (isDisposed() || !other || other->onTrigger().empty()) return;
  Applet* applet = ownerApplet();
  Event* event = applet ? applet->event() : nullptr;
  if (!event) return;
  BusyScope keepSelf(this);
  BusyScope keepOther(other);
  event->pushParamObject(this);
  event->paramNormal()->setVector(normal);
  event->paramPosition()->setVector(position);
  other->runHandler(WideString(other->onTrigger()));
  event->popParamObject();
}
