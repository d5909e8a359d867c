#pragma once
// The rigid-body physics library as the physics engine calls it: worlds,
// collision shapes, bodies with mass and inertia, matrices, callbacks for
// forces, freezing and waking, an up-vector joint, box queries, a stateless
// test of two shapes and impulses. The library is a shared module ("newton" +
// ".so" next to the program) that the engine loads at run time and binds by
// these names; when it is missing the game runs without physics.
//
// Conventions of every call:
// - Floats are single precision. A matrix is 16 floats, row-major, used with
//   row vectors: rows 0-2 are the body's x, y and z axes, elements 12-14 its
//   position. Axes handed in are normalised (a scale is dropped).
// - A world keeps its bodies inside its box (NewtonSetWorldSize); a body that
//   leaves it stops moving until it is placed inside again.
// - A body of mass 0 is static: it never moves by itself, it only blocks.
// - Force callbacks run before each integration sub-step for every awake
//   dynamic body; the force set there is the body's whole force for that step
//   (no gravity is added by the library).
// - A body with auto-freeze goes to sleep when its squared linear and angular
//   speeds stay below its thresholds for the given count of updates; its
//   auto-activation callback hears 1 when it wakes and 0 when it sleeps (also
//   0 when it is destroyed awake, so counts of awake bodies stay true).
// - Cones and cylinders lie along their x axis, centred on the origin.
// - An update simulates at most 0.05 seconds, in sub-steps of at most 1/60
//   second: a longer frame is simulated as 0.05 seconds, so a slow machine
//   slows the game down instead of making every next frame slower still.
// - A world holds at most 50,000 pairs of bodies whose boxes overlap; bodies
//   that would make more pass through each other (NewtonWorldPairsRefused
//   counts them), so bodies heaped at one point cannot take all memory.
// - A body made from a shape marked as a trigger volume is a zone: other
//   bodies pass through it; queries and NewtonCollisionCollide still see it.
// - NewtonCollisionCollide reports contacts of touching or overlapping
//   shapes: the points lie on the surface of B and the normals point from B
//   towards A.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct NewtonWorld NewtonWorld;
typedef struct NewtonBody NewtonBody;
typedef struct NewtonCollision NewtonCollision;
typedef struct NewtonJoint NewtonJoint;

typedef void* (*NewtonAllocMemory)(int sizeInBytes);
typedef void (*NewtonFreeMemory)(void* ptr, int sizeInBytes);
// Sets the body's force for the coming step (NewtonBodySetForce).
typedef void (*NewtonApplyForceAndTorque)(const NewtonBody* body);
// state 1: the body woke; 0: it went to sleep (or was destroyed awake).
typedef void (*NewtonBodyActivationState)(const NewtonBody* body, unsigned state);
// One body of a box query; userData as handed to the query.
typedef void (*NewtonBodyIterator)(const NewtonBody* body, void* userData);

#if defined(NEWTON_BUILDING_LIBRARY)
#define NEWTON_API __attribute__((visibility("default")))
#else
#define NEWTON_API
#endif

// ---- worlds ---------------------------------------------------------------------------
// A new world; the allocators are accepted for form and not used.
NEWTON_API NewtonWorld* NewtonCreate(NewtonAllocMemory malloc, NewtonFreeMemory free);
// Destroys the world with every body, shape and joint in it.
NEWTON_API void NewtonDestroy(const NewtonWorld* world);
// Solver, platform and friction choices; accepted, the library has one of each.
NEWTON_API void NewtonSetSolverModel(const NewtonWorld* world, int model);
NEWTON_API void NewtonSetPlatformArchitecture(const NewtonWorld* world, int mode);
NEWTON_API void NewtonSetFrictionModel(const NewtonWorld* world, int model);
// The box bodies live in (three floats each).
NEWTON_API void NewtonSetWorldSize(const NewtonWorld* world, const float* minPoint, const float* maxPoint);
// Advances the world by timestep seconds, in sub-steps of at most 1/60 s.
NEWTON_API void NewtonUpdate(const NewtonWorld* world, float timestep);

// ---- collision shapes -------------------------------------------------------------
// Full edge lengths; no offset matrix is supported (pass null).
NEWTON_API NewtonCollision* NewtonCreateBox(const NewtonWorld* world, float dx, float dy, float dz,
                                            const float* offsetMatrix);
// Radii on the three axes; the sphere takes the largest.
NEWTON_API NewtonCollision* NewtonCreateSphere(const NewtonWorld* world, float radiusX, float radiusY,
                                               float radiusZ, const float* offsetMatrix);
NEWTON_API NewtonCollision* NewtonCreateCone(const NewtonWorld* world, float radius, float height,
                                             const float* offsetMatrix);
NEWTON_API NewtonCollision* NewtonCreateCylinder(const NewtonWorld* world, float radius, float height,
                                                 const float* offsetMatrix);
// Gives up the caller's reference; bodies made from the shape keep theirs.
NEWTON_API void NewtonReleaseCollision(const NewtonWorld* world, const NewtonCollision* collision);

// ---- bodies ---------------------------------------------------------------------------
// A static body of the shape at the origin, in the world.
NEWTON_API NewtonBody* NewtonCreateBody(const NewtonWorld* world, const NewtonCollision* collision);
NEWTON_API void NewtonDestroyBody(const NewtonWorld* world, const NewtonBody* body);
NEWTON_API NewtonWorld* NewtonBodyGetWorld(const NewtonBody* body);
NEWTON_API NewtonCollision* NewtonBodyGetCollision(const NewtonBody* body);
NEWTON_API void NewtonBodySetUserData(const NewtonBody* body, void* userData);
NEWTON_API void* NewtonBodyGetUserData(const NewtonBody* body);
// A matrix with anything but finite numbers is ignored.
NEWTON_API void NewtonBodySetMatrix(const NewtonBody* body, const float* matrix);
NEWTON_API void NewtonBodyGetMatrix(const NewtonBody* body, float* matrix);
// Mass 0 makes the body static; the inertia is the diagonal of the tensor.
NEWTON_API void NewtonBodySetMassMatrix(const NewtonBody* body, float mass, float Ixx, float Iyy, float Izz);
NEWTON_API void NewtonBodySetForceAndTorqueCallback(const NewtonBody* body, NewtonApplyForceAndTorque callback);
// Only inside the body's force callback.
NEWTON_API void NewtonBodySetForce(const NewtonBody* body, const float* force);
NEWTON_API void NewtonBodySetAutoFreeze(const NewtonBody* body, int state);
NEWTON_API void NewtonBodySetFreezeTreshold(const NewtonBody* body, float freezeSpeedMag2, float freezeOmegaMag2,
                                            int framesCount);
NEWTON_API void NewtonBodySetAutoactiveCallback(const NewtonBody* body, NewtonBodyActivationState callback);
// The body's box in world coordinates (three floats each).
NEWTON_API void NewtonBodyGetAABB(const NewtonBody* body, float* p0, float* p1);
// Adds the velocity change at the point (world coordinates) and wakes the body.
NEWTON_API void NewtonAddBodyImpulse(const NewtonBody* body, const float* pointDeltaVeloc, const float* pointPosit);

// ---- joints -----------------------------------------------------------------------
// Keeps the body's rotation to turns about the pin (a world direction).
NEWTON_API NewtonJoint* NewtonConstraintCreateUpVector(const NewtonWorld* world, const float* pinDir,
                                                       const NewtonBody* body);

// ---- zones and budgets ---------------------------------------------------------------
// Bodies made from the shape afterwards let other bodies pass (trigger != 0).
NEWTON_API void NewtonCollisionSetAsTriggerVolume(const NewtonCollision* collision, int trigger);
// Pairs of overlapping bodies the world has refused since it was made.
NEWTON_API int NewtonWorldPairsRefused(const NewtonWorld* world);

// ---- queries --------------------------------------------------------------------------
// Calls back for every body whose box overlaps the box p0..p1, static bodies
// included, whether or not the world was ever updated.
NEWTON_API void NewtonWorldForEachBodyInAABBDo(const NewtonWorld* world, const float* p0, const float* p1,
                                               NewtonBodyIterator callback, void* userData);
// Tests two shapes at two matrices; at most maxSize contacts (points and
// normals three floats each, one penetration depth each). The count of
// contacts: 0 when the shapes do not touch.
NEWTON_API int NewtonCollisionCollide(const NewtonWorld* world, int maxSize, const NewtonCollision* collisionA,
                                      const float* matrixA, const NewtonCollision* collisionB,
                                      const float* matrixB, float* contacts, float* normals, float* penetration);

#ifdef __cplusplus
}
#endif
