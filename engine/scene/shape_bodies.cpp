#include "engine/scene/shape_bodies.h"

#include "engine/scene/position_object.h"

void CreateShapeBody(PositionObject& object, TBodyHandle& body, TBodyMaker make, const TVector4F& size) {
  TDynamicEngine* engine = object.dynamicEngine();
  if (engine && !body) body = (engine->*make)(&object, size);
}

void RemoveShapeBody(PositionObject& object, TBodyHandle& body) {
  if (TDynamicEngine* engine = object.dynamicEngine()) engine->RemoveBody(body);
}
