#pragma once
// The physics library's functions as the engine calls them: one table for the
// whole program, bound by name from the module "newton" that the library
// loader finds next to the program. The first engine loads it and the last
// one to go unloads it; when the module or any function is missing there is
// no table and the game runs without physics.
#include <string>

#include "compat/physics/newton.h"

#define Q_NEWTON_FUNCTIONS(X)                                                                              \
  X(NewtonCreate) X(NewtonDestroy) X(NewtonSetSolverModel) X(NewtonSetPlatformArchitecture)                \
  X(NewtonSetFrictionModel) X(NewtonSetWorldSize) X(NewtonUpdate) X(NewtonCreateBox) X(NewtonCreateSphere) \
  X(NewtonCreateCone) X(NewtonCreateCylinder) X(NewtonReleaseCollision) X(NewtonCreateBody)                \
  X(NewtonDestroyBody) X(NewtonBodyGetWorld) X(NewtonBodyGetCollision) X(NewtonBodySetUserData)            \
  X(NewtonBodyGetUserData) X(NewtonBodySetMatrix) X(NewtonBodyGetMatrix) X(NewtonBodySetMassMatrix)        \
  X(NewtonBodySetForceAndTorqueCallback) X(NewtonBodySetForce) X(NewtonBodySetAutoFreeze)                  \
  X(NewtonBodySetFreezeTreshold) X(NewtonBodySetAutoactiveCallback) X(NewtonBodyGetAABB)                   \
  X(NewtonAddBodyImpulse) X(NewtonConstraintCreateUpVector) X(NewtonWorldForEachBodyInAABBDo)              \
  X(NewtonCollisionCollide) X(NewtonCollisionSetAsTriggerVolume) X(NewtonWorldPairsRefused)

// The bound functions, under the library's own names.
struct TNewtonLibrary {
#define Q_NEWTON_FIELD(name) decltype(&::name) name = nullptr;
  Q_NEWTON_FUNCTIONS(Q_NEWTON_FIELD)
#undef Q_NEWTON_FIELD
};

// The base name the module is loaded by.
inline constexpr char kNewtonLibraryName[] = "newton";
// The base name the next first user loads; tests name a missing module.
void SetNewtonLibraryName(const std::string& name);

// One more user of the library: loads and binds it for the first. Nil when
// it cannot be loaded (logged); every call needs one ReleaseNewtonLibrary.
const TNewtonLibrary* AcquireNewtonLibrary();
void ReleaseNewtonLibrary();
// The bound table while some user holds it, else nil.
const TNewtonLibrary* NewtonLibrary();
