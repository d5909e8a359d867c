// Worlds: a Bullet dynamics world without gravity (forces come from the
// bodies' callbacks, which run before every integration sub-step), a box the
// bodies live in, and the bookkeeping after each update: bodies that left the
// box stop, still bodies freeze, activation callbacks hear what changed.
#include <algorithm>
#include <cmath>

#include "compat/physics/internal/physics_objects.h"

using namespace newton_internal;

namespace {
// Updates are cut into sub-steps no longer than this, so that a slow frame
// does not make bodies tunnel or explode; an update simulates at most this
// many sub-steps: past that the game slows down, so that a slow frame does
// not make the next one slower still.
constexpr float kLongestSubStep = 1.0f / 60.0f;
constexpr int kMostSubSteps = 3;
// Overlapping pairs a world holds at most (each costs Bullet a contact
// manifold of about 1-2 KB).
constexpr int kMostPairs = 50000;
// Far enough for Bullet to count a frozen body as asleep at its next check.
constexpr btScalar kFrozenTime = btScalar(1e6);

void RunForceCallbacks(btDynamicsWorld* dynamics, btScalar) {
  auto* world = static_cast<NewtonWorld*>(dynamics->getWorldUserInfo());
  for (NewtonBody* body : world->bodies) {
    if (body->forceCallback && !IsStatic(body) && body->rigid->isActive()) body->forceCallback(body);
  }
}

bool Inside(const NewtonWorld* world, const btVector3& p) {
  for (int axis = 0; axis < 3; ++axis) {
    if (p[axis] < world->minPoint[axis] || p[axis] > world->maxPoint[axis]) return false;
  }
  return true;
}

void StopOutside(NewtonBody* body) {
  btRigidBody& rigid = *body->rigid;
  rigid.setLinearVelocity(btVector3(0, 0, 0));
  rigid.setAngularVelocity(btVector3(0, 0, 0));
  rigid.forceActivationState(DISABLE_SIMULATION);
  body->outside = true;
}

// Counts the updates a body spends below its limits; at the count Bullet is
// told the body wants to sleep, and its island sleeps once every body in it
// agrees.
void CountStillness(NewtonBody* body) {
  btRigidBody& rigid = *body->rigid;
  const bool still = rigid.getLinearVelocity().length2() < body->freezeSpeed2 &&
                     rigid.getAngularVelocity().length2() < body->freezeOmega2;
  body->stillFrames = still ? body->stillFrames + 1 : 0;
  if (body->stillFrames >= body->freezeFrames) {
    rigid.setDeactivationTime(kFrozenTime);
    if (rigid.getActivationState() == ACTIVE_TAG) rigid.setActivationState(WANTS_DEACTIVATION);
  }
}
}  // namespace

bool PairBudget::needBroadphaseCollision(btBroadphaseProxy* a, btBroadphaseProxy* b) const {
  const bool wanted = (a->m_collisionFilterGroup & b->m_collisionFilterMask) != 0 &&
                      (b->m_collisionFilterGroup & a->m_collisionFilterMask) != 0;
  if (!wanted) return false;
  if (cache->getNumOverlappingPairs() < kMostPairs) return true;
  ++refused;
  return false;
}

NewtonWorld::NewtonWorld() {
  pairBudget.cache = broadphase.getOverlappingPairCache();
  pairBudget.cache->setOverlapFilterCallback(&pairBudget);
  dynamics.setGravity(btVector3(0, 0, 0));
  dynamics.setInternalTickCallback(RunForceCallbacks, this, true);
  // Bodies moved from outside have their boxes updated when they move; a
  // step updates only the boxes of awake bodies.
  dynamics.setForceUpdateAllAabbs(false);
}

NewtonWorld::~NewtonWorld() {
  closing = true;
  while (!bodies.empty()) NewtonDestroyBody(this, bodies.back());
  for (NewtonCollision* shape : shapes) delete shape;
}

namespace newton_internal {
bool IsStatic(const NewtonBody* body) { return body->rigid->getInvMass() == 0; }

void ReportActivity(NewtonBody* body, bool awake) {
  if (awake == body->reportedAwake) return;
  body->reportedAwake = awake;
  if (body->activationCallback) body->activationCallback(body, awake ? 1u : 0u);
}

void FinishUpdate(NewtonWorld* world) {
  // Activation callbacks only listen: they must not make or destroy bodies.
  for (NewtonBody* body : world->bodies) {
    if (IsStatic(body)) continue;
    btRigidBody& rigid = *body->rigid;
    if (rigid.isActive() && !Inside(world, rigid.getWorldTransform().getOrigin())) StopOutside(body);
    if (body->autoFreeze && rigid.isActive()) CountStillness(body);
    ReportActivity(body, rigid.isActive());
  }
}

void WakeBodiesIn(NewtonWorld* world, const btVector3& min, const btVector3& max) {
  struct Waker : btBroadphaseAabbCallback {
    bool process(const btBroadphaseProxy* proxy) override {
      auto* object = static_cast<btCollisionObject*>(proxy->m_clientObject);
      if (!object->isStaticOrKinematicObject() && object->getActivationState() != DISABLE_SIMULATION) {
        object->activate(true);
        static_cast<NewtonBody*>(object->getUserPointer())->stillFrames = 0;
      }
      return true;
    }
  } waker;
  world->broadphase.aabbTest(min, max, waker);
}
}  // namespace newton_internal

extern "C" {

NewtonWorld* NewtonCreate(NewtonAllocMemory, NewtonFreeMemory) { return new NewtonWorld(); }

void NewtonDestroy(const NewtonWorld* world) { delete Mutable(world); }

void NewtonSetSolverModel(const NewtonWorld*, int) {}
void NewtonSetPlatformArchitecture(const NewtonWorld*, int) {}
void NewtonSetFrictionModel(const NewtonWorld*, int) {}

void NewtonSetWorldSize(const NewtonWorld* world, const float* minPoint, const float* maxPoint) {
  if (!world || !minPoint || !maxPoint) return;
  NewtonWorld* w = Mutable(world);
  for (int axis = 0; axis < 3; ++axis) {
    w->minPoint[axis] = std::min(minPoint[axis], maxPoint[axis]);
    w->maxPoint[axis] = std::max(minPoint[axis], maxPoint[axis]);
  }
}

void NewtonUpdate(const NewtonWorld* world, float timestep) {
  if (!world || !std::isfinite(timestep) || timestep <= 0) return;
  NewtonWorld* w = Mutable(world);
  const float simulated = std::min(timestep, kLongestSubStep * kMostSubSteps);
  const int steps = std::clamp(static_cast<int>(std::ceil(simulated / kLongestSubStep - 1e-4f)), 1, kMostSubSteps);
  w->updating = true;
  for (int i = 0; i < steps; ++i) w->dynamics.stepSimulation(simulated / static_cast<float>(steps), 0);
  w->updating = false;
  FinishUpdate(w);
}

int NewtonWorldPairsRefused(const NewtonWorld* world) { return world ? world->pairBudget.refused : 0; }

}  // extern "C"
