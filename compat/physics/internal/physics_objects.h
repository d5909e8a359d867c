#pragma once
// What the library's handles are on Bullet: a world is a discrete dynamics
// world with its own broadphase, dispatcher and solver; a shape is a convex
// Bullet shape counted by its users; a body is a rigid body with the
// library's extras (user data, callbacks, freezing, the last activity its
// callback heard). Only the library's own files include this.
#include <btBulletDynamicsCommon.h>

#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

#include "compat/physics/newton.h"

struct NewtonCollision {
  std::unique_ptr<btConvexShape> shape;
  // Bodies made from it are zones that others pass through.
  bool trigger = false;
  // The caller's reference plus one for every body made from it.
  int references = 1;
};

struct NewtonJoint {
  // Unit direction the body may turn about; zero when the body has no joint.
  btVector3 pin{0, 0, 0};
};

struct NewtonBody {
  NewtonWorld* world = nullptr;
  NewtonCollision* collision = nullptr;
  std::unique_ptr<btRigidBody> rigid;
  void* userData = nullptr;
  NewtonApplyForceAndTorque forceCallback = nullptr;
  NewtonBodyActivationState activationCallback = nullptr;
  NewtonJoint upJoint;
  // Freezing: squared speed limits and the count of still updates needed.
  bool autoFreeze = false;
  float freezeSpeed2 = 0.01f;
  float freezeOmega2 = 0.01f;
  int freezeFrames = 10;
  int stillFrames = 0;
  // The activity the activation callback heard last (a new body counts as
  // asleep, so its first update that moves it reports it awake).
  bool reportedAwake = false;
  // Stopped because it left the world's box.
  bool outside = false;
  // Place in the world's body list.
  std::size_t index = 0;
};

// Refuses new overlapping pairs once the world holds its most, so that a
// heap of bodies at one point cannot take all memory.
struct PairBudget : btOverlapFilterCallback {
  bool needBroadphaseCollision(btBroadphaseProxy* a, btBroadphaseProxy* b) const override;
  btOverlappingPairCache* cache = nullptr;
  mutable int refused = 0;
};

struct NewtonWorld {
  NewtonWorld();
  ~NewtonWorld();

  btDefaultCollisionConfiguration configuration;
  btCollisionDispatcher dispatcher{&configuration};
  btDbvtBroadphase broadphase;
  btSequentialImpulseConstraintSolver solver;
  btDiscreteDynamicsWorld dynamics{&dispatcher, &broadphase, &solver, &configuration};
  PairBudget pairBudget;
  std::vector<NewtonBody*> bodies;
  std::unordered_set<NewtonCollision*> shapes;
  btVector3 minPoint{-100, -100, -100};
  btVector3 maxPoint{100, 100, 100};
  // Inside NewtonUpdate: bodies moved by callbacks are left to the step.
  bool updating = false;
  // Being destroyed: its bodies go without waking their neighbours.
  bool closing = false;
};

namespace newton_internal {
// The world's and the body's handles as the library's own objects.
inline NewtonWorld* Mutable(const NewtonWorld* world) { return const_cast<NewtonWorld*>(world); }
inline NewtonBody* Mutable(const NewtonBody* body) { return const_cast<NewtonBody*>(body); }
inline NewtonCollision* Mutable(const NewtonCollision* shape) { return const_cast<NewtonCollision*>(shape); }

// A 16-float row-major matrix (row vectors) as a rigid transform: axes
// normalised and made orthogonal, scale dropped. False for a matrix with
// anything but finite numbers or without two independent axes.
bool MatrixToTransform(const float* matrix, btTransform& transform);
void TransformToMatrix(const btTransform& transform, float* matrix);

bool IsStatic(const NewtonBody* body);
// One shape reference less; the shape goes with the last.
void ReleaseShape(NewtonWorld* world, NewtonCollision* shape);
// Wakes every dynamic body whose box overlaps [min, max].
void WakeBodiesIn(NewtonWorld* world, const btVector3& min, const btVector3& max);
// After an update: bodies that left the box stop, still bodies are frozen,
// and activation callbacks hear every change of activity.
void FinishUpdate(NewtonWorld* world);
// Tells the activation callback when the body's activity changed.
void ReportActivity(NewtonBody* body, bool awake);
}  // namespace newton_internal
