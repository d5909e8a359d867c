// Bodies: Bullet rigid bodies with the library's extras. A body starts static
// at the origin; a mass makes it dynamic (Bullet keeps static and dynamic
// bodies in different lists, so the body re-enters its world). Moving a body
// from outside an update updates its box at once, so box queries see it
// before any step, and a moved static body wakes what it now touches.
#include <cmath>

#include "compat/physics/internal/physics_objects.h"

using namespace newton_internal;

namespace {
bool Finite(const float* v, int count) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

btScalar NonNegative(float value) { return std::isfinite(value) && value > 0 ? value : 0; }

void Reenter(NewtonBody* body) {
  btDiscreteDynamicsWorld& dynamics = body->world->dynamics;
  dynamics.removeRigidBody(body->rigid.get());
  dynamics.addRigidBody(body->rigid.get());
}

btVector3 BoxMin(const NewtonBody* body, btVector3& max) {
  btVector3 min;
  body->rigid->getCollisionShape()->getAabb(body->rigid->getWorldTransform(), min, max);
  return min;
}

// After a move from outside an update: the body's box is brought up to date
// at once; a static body wakes what it left and what it now touches, a
// dynamic one wakes itself.
void Moved(NewtonBody* body, const btVector3& oldMin, const btVector3& oldMax) {
  NewtonWorld* world = body->world;
  btRigidBody& rigid = *body->rigid;
  rigid.setInterpolationWorldTransform(rigid.getWorldTransform());
  if (world->updating) return;
  if (body->outside) {
    rigid.forceActivationState(ACTIVE_TAG);
    body->outside = false;
  }
  world->dynamics.updateSingleAabb(&rigid);
  if (IsStatic(body)) {
    btVector3 max;
    btVector3 min = BoxMin(body, max);
    min.setMin(oldMin);
    max.setMax(oldMax);
    WakeBodiesIn(world, min, max);
  } else {
    rigid.activate(true);
    body->stillFrames = 0;
  }
}
}  // namespace

extern "C" {

NewtonBody* NewtonCreateBody(const NewtonWorld* world, const NewtonCollision* collision) {
  if (!world || !collision) return nullptr;
  auto* body = new NewtonBody();
  body->world = Mutable(world);
  body->collision = Mutable(collision);
  ++body->collision->references;
  btRigidBody::btRigidBodyConstructionInfo info(0, nullptr, body->collision->shape.get());
  body->rigid = std::make_unique<btRigidBody>(info);
  body->rigid->setUserPointer(body);
  if (body->collision->trigger) {
    body->rigid->setCollisionFlags(body->rigid->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
  }
  body->index = body->world->bodies.size();
  body->world->bodies.push_back(body);
  body->world->dynamics.addRigidBody(body->rigid.get());
  return body;
}

void NewtonDestroyBody(const NewtonWorld* world, const NewtonBody* body) {
  if (!world || !body) return;
  NewtonBody* doomed = Mutable(body);
  NewtonWorld* w = doomed->world;
  ReportActivity(doomed, false);
  btVector3 max;
  const btVector3 min = BoxMin(doomed, max);
  w->dynamics.removeRigidBody(doomed->rigid.get());
  // What rested on the body falls once it is gone.
  if (!w->closing) WakeBodiesIn(w, min, max);
  NewtonBody* last = w->bodies.back();
  w->bodies[doomed->index] = last;
  last->index = doomed->index;
  w->bodies.pop_back();
  NewtonCollision* shape = doomed->collision;
  delete doomed;
  ReleaseShape(w, shape);
}

NewtonWorld* NewtonBodyGetWorld(const NewtonBody* body) { return body ? body->world : nullptr; }

NewtonCollision* NewtonBodyGetCollision(const NewtonBody* body) { return body ? body->collision : nullptr; }

void NewtonCollisionSetAsTriggerVolume(const NewtonCollision* collision, int trigger) {
  if (collision) Mutable(collision)->trigger = trigger != 0;
}

void NewtonBodySetUserData(const NewtonBody* body, void* userData) {
  if (body) Mutable(body)->userData = userData;
}

void* NewtonBodyGetUserData(const NewtonBody* body) { return body ? body->userData : nullptr; }

void NewtonBodySetMatrix(const NewtonBody* body, const float* matrix) {
  if (!body || !matrix) return;
  btTransform transform;
  if (!MatrixToTransform(matrix, transform)) return;
  NewtonBody* b = Mutable(body);
  // Setting a body where it is changes nothing, so that it may sleep.
  if (transform == b->rigid->getWorldTransform() && !b->outside) return;
  btVector3 oldMax;
  const btVector3 oldMin = BoxMin(b, oldMax);
  b->rigid->setWorldTransform(transform);
  Moved(b, oldMin, oldMax);
}

void NewtonBodyGetMatrix(const NewtonBody* body, float* matrix) {
  if (body && matrix) TransformToMatrix(body->rigid->getWorldTransform(), matrix);
}

void NewtonBodySetMassMatrix(const NewtonBody* body, float mass, float Ixx, float Iyy, float Izz) {
  if (!body) return;
  NewtonBody* b = Mutable(body);
  const btScalar m = NonNegative(mass);
  b->rigid->setMassProps(m, btVector3(NonNegative(Ixx), NonNegative(Iyy), NonNegative(Izz)) * (m > 0 ? 1 : 0));
  b->rigid->updateInertiaTensor();
  Reenter(b);
  if (m > 0) {
    b->rigid->activate(true);
  } else {
    ReportActivity(b, false);
  }
}

void NewtonBodySetForceAndTorqueCallback(const NewtonBody* body, NewtonApplyForceAndTorque callback) {
  if (body) Mutable(body)->forceCallback = callback;
}

void NewtonBodySetForce(const NewtonBody* body, const float* force) {
  if (!body || !force || !Finite(force, 3)) return;
  btRigidBody& rigid = *Mutable(body)->rigid;
  rigid.clearForces();
  rigid.applyCentralForce(btVector3(force[0], force[1], force[2]));
}

void NewtonBodySetAutoFreeze(const NewtonBody* body, int state) {
  if (!body) return;
  NewtonBody* b = Mutable(body);
  b->autoFreeze = state != 0;
  // Without auto-freeze Bullet must not put the body to sleep by itself.
  if (!b->autoFreeze) {
    b->rigid->forceActivationState(DISABLE_DEACTIVATION);
  } else if (b->rigid->getActivationState() == DISABLE_DEACTIVATION) {
    b->rigid->forceActivationState(ACTIVE_TAG);
  }
}

void NewtonBodySetFreezeTreshold(const NewtonBody* body, float freezeSpeedMag2, float freezeOmegaMag2,
                                 int framesCount) {
  if (!body) return;
  NewtonBody* b = Mutable(body);
  b->freezeSpeed2 = NonNegative(freezeSpeedMag2);
  b->freezeOmega2 = NonNegative(freezeOmegaMag2);
  b->freezeFrames = framesCount > 0 ? framesCount : 1;
  // Bullet's own sleeping test uses the same limits (it compares speeds).
  b->rigid->setSleepingThresholds(std::sqrt(b->freezeSpeed2), std::sqrt(b->freezeOmega2));
}

void NewtonBodySetAutoactiveCallback(const NewtonBody* body, NewtonBodyActivationState callback) {
  if (body) Mutable(body)->activationCallback = callback;
}

void NewtonBodyGetAABB(const NewtonBody* body, float* p0, float* p1) {
  if (!body || !p0 || !p1) return;
  btVector3 max;
  const btVector3 min = BoxMin(body, max);
  for (int axis = 0; axis < 3; ++axis) {
    p0[axis] = min[axis];
    p1[axis] = max[axis];
  }
}

void NewtonAddBodyImpulse(const NewtonBody* body, const float* pointDeltaVeloc, const float* pointPosit) {
  if (!body || !pointDeltaVeloc || !pointPosit || !Finite(pointDeltaVeloc, 3) || !Finite(pointPosit, 3)) return;
  NewtonBody* b = Mutable(body);
  if (IsStatic(b) || b->outside) return;
  btRigidBody& rigid = *b->rigid;
  const btScalar mass = 1 / rigid.getInvMass();
  const btVector3 change(pointDeltaVeloc[0], pointDeltaVeloc[1], pointDeltaVeloc[2]);
  const btVector3 point(pointPosit[0], pointPosit[1], pointPosit[2]);
  rigid.activate(true);
  b->stillFrames = 0;
  rigid.applyImpulse(change * mass, point - rigid.getCenterOfMassPosition());
}

NewtonJoint* NewtonConstraintCreateUpVector(const NewtonWorld* world, const float* pinDir, const NewtonBody* body) {
  if (!world || !pinDir || !body || !Finite(pinDir, 3)) return nullptr;
  btVector3 pin(std::fabs(pinDir[0]), std::fabs(pinDir[1]), std::fabs(pinDir[2]));
  if (pin.length2() == 0) return nullptr;
  pin.normalize();
  NewtonBody* b = Mutable(body);
  b->upJoint.pin = pin;
  // Turns are kept to the pin's axis by scaling the body's angular response
  // per world axis: exact for pins along an axis, as the engine uses them.
  b->rigid->setAngularFactor(pin);
  return &b->upJoint;
}

}  // extern "C"
