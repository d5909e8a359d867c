#pragma once
// The physics engine of an applet over the rigid-body library (bound through
// newton_library.h): a world for the screen, where bodies fall down the screen
// and stay in the plane z = 0, and one for the 3D world; box, sphere, cone and
// cylinder bodies for positioned objects; collision queries that run the
// objects' handlers; explosions.
//
// Bodies are handles into the engine's table. A removed body leaves its world
// at once and no longer names its object; while the engine walks the bodies
// of a query (whose handlers may remove bodies, free objects or query again)
// removed bodies are only moved out of the world, and destroyed when the last
// walk ends or at the next step.
//
// Budgets: a world holds at most kMostBodiesPerWorld bodies (more are
// refused, with one error line per world), and the library bounds the pairs
// of overlapping bodies (one error line per world when it first refuses);
// a trigger's body is a zone other bodies pass through.
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/physics/dynamic_engine.h"
#include "engine/physics/newton_library.h"

inline constexpr int32_t kMostBodiesPerWorld = 5000;

class TNewtonEngine : public TDynamicEngine {
  Q_OBJECT(TNewtonEngine, TDynamicEngine)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  TWorldHandle CreateWorld(TPositionObjectKind kind) override;
  void DestroyWorld(TWorldHandle world) override;
  void Step(TWorldHandle world, float deltaTime) override;
  void CollectCollisions(PositionObject* object, TPositionObjectList& list) override;
  void CollectComplexCollisions(PositionObject* object, TPositionObjectList& list) override;
  PositionObject* BodyObject(TBodyHandle body) override;
  TBodyHandle CreateBoxBody(PositionObject* object, const TVector4F& size) override;
  TBodyHandle CreateSphereBody(PositionObject* object, const TVector4F& size) override;
  TBodyHandle CreateConeBody(PositionObject* object, const TVector4F& size) override;
  TBodyHandle CreateCylinderBody(PositionObject* object, const TVector4F& size) override;
  void RemoveBody(TBodyHandle& body) override;
  void SetBodyMatrix(TBodyHandle body, const TMatrix4F& matrix) override;
  TMatrix4F GetBodyMatrix(TBodyHandle body) override;
  void Explode(TWorldHandle world, const TVector4F& centre, float strength, float radius) override;

  // Live bodies of this engine.
  int32_t bodyCount() const { return static_cast<int32_t>(bodies_.size()); }
  // Whether some dynamic body was made; worlds are updated only after that.
  bool hasDynamic() const { return hasDynamic_; }
  // Program-wide count of awake dynamic bodies, as the library reports them.
  static int32_t activeBodies();

 private:
  using ShapeMaker = NewtonCollision* (*)(const TNewtonLibrary& api, NewtonWorld* world, const TVector4F& size);
  class Walk;
  struct ChainKeep;

  TBodyHandle createBody(PositionObject* object, const TVector4F& size, ShapeMaker makeShape);
  // False (logged once for the world) when the world holds its most bodies.
  bool roomForBody(NewtonWorld* world);
  // Logs, once for the world, that the library refused overlapping pairs.
  void notePairBudget(NewtonWorld* world);
  void makeDynamic(NewtonBody* body, NewtonWorld* world, TPositionObjectKind kind);
  NewtonWorld* worldOf(TWorldHandle world) const;
  NewtonBody* bodyOf(TBodyHandle body) const;
  // The bodies whose boxes overlap the body's box, in its world.
  std::vector<NewtonBody*> bodiesNear(NewtonBody* body) const;
  // The live, visible, script-known object of a body other than `self`.
  PositionObject* candidateObject(NewtonBody* candidate, NewtonBody* self) const;
  bool touching(NewtonBody* body, NewtonBody* other, TVector4F& point, TVector4F& normal) const;
  void chainFrom(PositionObject* object, TPositionObjectList& list, ChainKeep& keep);
  void destroyRemovedBodies();
  void showDebugValues(double seconds);

  const TNewtonLibrary* api_ = nullptr;
  bool hasDynamic_ = false;
  std::unordered_map<TWorldHandle, NewtonWorld*> worlds_;
  TWorldHandle nextWorld_ = 1;
  std::unordered_map<TBodyHandle, NewtonBody*> bodies_;
  TBodyHandle nextBody_ = 1;
  // Removed bodies waiting until no walk holds them.
  std::vector<NewtonBody*> removalQueue_;
  // Live bodies by world, and the worlds whose budgets were logged.
  std::unordered_map<NewtonWorld*, int32_t> bodiesIn_;
  std::unordered_set<NewtonWorld*> bodyBudgetLogged_;
  std::unordered_set<NewtonWorld*> pairBudgetLogged_;
  int walks_ = 0;
};

// Registers the engine class and makes it the class objects' bodies come from.
void RegisterNewtonEngine();
