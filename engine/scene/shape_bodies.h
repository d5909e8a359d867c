#pragma once
// Bodies of the scene's shapes in the applet's physics engine: each shape
// asks the engine for its kind of body at its size, and gives it back. Both do
// nothing without an engine; a shape that already has a body gets no second.
#include "engine/physics/dynamic_engine.h"

class PositionObject;

using TBodyMaker = TBodyHandle (TDynamicEngine::*)(PositionObject* object, const TVector4F& size);

void CreateShapeBody(PositionObject& object, TBodyHandle& body, TBodyMaker make, const TVector4F& size);
void RemoveShapeBody(PositionObject& object, TBodyHandle& body);
