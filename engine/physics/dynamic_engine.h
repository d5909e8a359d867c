#pragma once
// The rigid-body physics of an applet as positioned objects see it. An applet
// has at most one engine, made by the first object that wants a body; the
// engine keeps two worlds, one for objects of the 3D world (okSpace) and one
// for objects on the screen (okScreen). Engine classes register themselves
// by name; the one chosen as the body class is what objects instantiate.
// Bodies and worlds are handles the engine hands out (0 = none), so that an
// engine over any physics library plugs in behind these operations.
#include <cstdint>
#include <vector>

#include "core/geometry/geometry.h"
#include "core/objects/class_builder.h"
#include "core/objects/component.h"

class PositionObject;

// What kind of world a positioned object lives in.
enum TPositionObjectKind : uint8_t {
  okScreen = 0,  // 2D, in screen coordinates
  okSpace = 1,   // the 3D world
};
Q_DECLARE_ENUM(TPositionObjectKind)

using TBodyHandle = int32_t;
using TWorldHandle = int32_t;
using TPositionObjectList = std::vector<PositionObject*>;

class TDynamicEngine : public TSomePersistent {
  Q_OBJECT(TDynamicEngine, TSomePersistent)

 public:
  // ---- the operations of a physics engine ---------------------------------------
  // A new world of the kind (0 when none can be made).
  virtual TWorldHandle CreateWorld(TPositionObjectKind kind) = 0;
  virtual void DestroyWorld(TWorldHandle world) = 0;
  // Advances one world; bodies queued for removal go at the first step that
  // actually updates.
  virtual void Step(TWorldHandle world, float deltaTime) = 0;
  // Calls object->collise for every object whose body touches the object's
  // body. Nothing for an object already in `list`.
  virtual void CollectCollisions(PositionObject* object, TPositionObjectList& list) = 0;
  // The chain behind PositionObject.complexCollise: the object and every
  // object its onComplexCollise handler accepted, recursively, into `list`.
  virtual void CollectComplexCollisions(PositionObject* object, TPositionObjectList& list) = 0;
  // The object a body was made for, or nil.
  virtual PositionObject* BodyObject(TBodyHandle body) = 0;
  // Bodies for the object in its world, placed at its world matrix; 0 when
  // the object already has a body. Sizes: box (width, height, depth) as full
  // edges; sphere (r, r, r) radii; cone and cylinder (r, r, h).
  virtual TBodyHandle CreateBoxBody(PositionObject* object, const TVector4F& size) = 0;
  virtual TBodyHandle CreateSphereBody(PositionObject* object, const TVector4F& size) = 0;
  virtual TBodyHandle CreateConeBody(PositionObject* object, const TVector4F& size) = 0;
  virtual TBodyHandle CreateCylinderBody(PositionObject* object, const TVector4F& size) = 0;
  // Queues the body for destruction and sets the caller's handle to 0.
  virtual void RemoveBody(TBodyHandle& body) = 0;
  virtual void SetBodyMatrix(TBodyHandle body, const TMatrix4F& matrix) = 0;
  virtual TMatrix4F GetBodyMatrix(TBodyHandle body) = 0;
  // An impulse away from `centre` for every body within `radius` of it.
  virtual void Explode(TWorldHandle world, const TVector4F& centre, float strength, float radius) = 0;

  // ---- worlds ---------------------------------------------------------------------
  // The world of that kind, made on first use.
  TWorldHandle GetWorld(TPositionObjectKind kind);
  TWorldHandle spaceWorld() const { return spaceWorld_; }
  TWorldHandle screenWorld() const { return screenWorld_; }
  // The applet's physics step of a frame: the screen world, then the space
  // world; a world not made yet has nothing to step.
  void StepWorlds(float deltaTime);

 protected:
  // For an engine's own destruction: destroys both worlds while the engine
  // can still do so.
  void DestroyWorlds();

 private:
  TWorldHandle spaceWorld_ = 0;
  TWorldHandle screenWorld_ = 0;
};

// ---- engine classes --------------------------------------------------------------

// Adds an engine class to the engine classes, by its name (a class of a name
// already known replaces it).
void RegisterDynamicEngine(const ClassInfo& engineClass);
// The registered engine class of that name (ignoring ASCII case), or nil.
const ClassInfo* FindDynamicEngine(std::string_view name);
// The class that an object wanting a body makes its applet's engine from; nil
// until one is chosen. Choosing a class registers it as well.
const ClassInfo* DynamicEngineClass();
void SetDynamicEngineClass(const ClassInfo* engineClass);
// A new engine of the class owned by `owner`; nil for a class that is not an
// engine or cannot be built.
TDynamicEngine* CreateDynamicEngine(const ClassInfo& engineClass, TObject* owner);
