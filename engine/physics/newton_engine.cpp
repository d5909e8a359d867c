// The engine's life, its two worlds, its bodies and its step. Queries and
// explosions are in newton_queries.cpp.
#include "engine/physics/newton_engine.h"

#include <cstdio>

#include "core/system/log.h"
#include "core/text/text.h"
#include "engine/applet/applet.h"
#include "engine/applet/applet_numbers.h"
#include "engine/scene/position_object.h"

namespace {
// Program-wide: awake dynamic bodies, as the library reports them.
int32_t activeBodyCount = 0;

// Where a removed body waits for its destruction: far outside every world.
constexpr float kFarAway = 16777215.0f;

constexpr float kSpaceForce[3] = {0, 0, -8.9f};
constexpr float kScreenForce[3] = {0, 49.0f, 0};

// Every update, for every awake dynamic body: the same force whatever the
// body's mass; screen bodies are kept in the plane z = 0.
void ApplyBodyForce(const NewtonBody* body) {
  const TNewtonLibrary* api = NewtonLibrary();
  auto* object = static_cast<PositionObject*>(api->NewtonBodyGetUserData(body));
  if (!object) return;  // removed: it is leaving the world
  if (object->kind() == okSpace) {
    api->NewtonBodySetForce(body, kSpaceForce);
    return;
  }
  TMatrix4F matrix;
  api->NewtonBodyGetMatrix(body, matrix.m);
  matrix(3, 2) = 0;
  api->NewtonBodySetForce(body, kScreenForce);
  api->NewtonBodySetMatrix(body, matrix.m);
}

void CountActiveBodies(const NewtonBody*, unsigned state) { activeBodyCount += state == 1 ? 1 : -1; }

NewtonCollision* MakeBox(const TNewtonLibrary& api, NewtonWorld* world, const TVector4F& size) {
  return api.NewtonCreateBox(world, size.x, size.y, size.z, nullptr);
}
NewtonCollision* MakeSphere(const TNewtonLibrary& api, NewtonWorld* world, const TVector4F& size) {
  return api.NewtonCreateSphere(world, size.x, size.y, size.z, nullptr);
}
NewtonCollision* MakeCone(const TNewtonLibrary& api, NewtonWorld* world, const TVector4F& size) {
  return api.NewtonCreateCone(world, size.x, size.z, nullptr);
}
NewtonCollision* MakeCylinder(const TNewtonLibrary& api, NewtonWorld* world, const TVector4F& size) {
  return api.NewtonCreateCylinder(world, size.x, size.z, nullptr);
}

WideString SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%8.6f", seconds);
  return AnsiToWide(text);
}
}  // namespace

const ClassInfo& TNewtonEngine::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TNewtonEngine>("TNewtonEngine").build();
  return info;
}

void RegisterNewtonEngine() {
  RegisterDynamicEngine(TNewtonEngine::staticClassInfo());
  SetDynamicEngineClass(&TNewtonEngine::staticClassInfo());
}

int32_t TNewtonEngine::activeBodies() { return activeBodyCount; }

// ---- life ---------------------------------------------------------------------------------

void TNewtonEngine::Create(TObject* owner) {
  api_ = AcquireNewtonLibrary();
  inherited::Create(owner);
  LogInfo(u"Newton Game Dynamics engine started " + AnsiToWide(className()));
}

void TNewtonEngine::Destroy() {
  LogInfo(u"Newton game dynamics destroy");
  // The worlds take their bodies with them, while the library is still there.
  DestroyWorlds();
  removalQueue_.clear();
  bodies_.clear();
  inherited::Destroy();
  api_ = nullptr;
  ReleaseNewtonLibrary();
}

// ---- worlds -------------------------------------------------------------------------------

TWorldHandle TNewtonEngine::CreateWorld(TPositionObjectKind kind) {
  if (!api_) return 0;
  NewtonWorld* world = api_->NewtonCreate(nullptr, nullptr);
  api_->NewtonSetSolverModel(world, 8);
  api_->NewtonSetPlatformArchitecture(world, 2);
  api_->NewtonSetFrictionModel(world, 1);
  if (kind == okSpace) {
    const float min[3] = {-1000, -1000, -1000}, max[3] = {1000, 1000, 1000};
    api_->NewtonSetWorldSize(world, min, max);
  } else {
    const float min[3] = {-1000, -1000, -10}, max[3] = {2000, 2000, 10};
    api_->NewtonSetWorldSize(world, min, max);
  }
  const TWorldHandle handle = nextWorld_++;
  worlds_[handle] = world;
  return handle;
}

void TNewtonEngine::DestroyWorld(TWorldHandle world) {
  NewtonWorld* doomed = worldOf(world);
  if (!doomed) return;
  // Handles of the world's bodies die with it.
  std::erase_if(bodies_, [&](const auto& entry) { return api_->NewtonBodyGetWorld(entry.second) == doomed; });
  bodiesIn_.erase(doomed);
  bodyBudgetLogged_.erase(doomed);
  pairBudgetLogged_.erase(doomed);
  std::erase_if(removalQueue_, [&](NewtonBody* body) { return api_->NewtonBodyGetWorld(body) == doomed; });
  worlds_.erase(world);
  api_->NewtonDestroy(doomed);
}

NewtonWorld* TNewtonEngine::worldOf(TWorldHandle world) const {
  auto found = worlds_.find(world);
  return found == worlds_.end() ? nullptr : found->second;
}

void TNewtonEngine::Step(TWorldHandle world, float deltaTime) {
  auto* applet = dynamic_cast<Applet*>(owner());
  const bool showDebug = applet && applet->debugInfo();
  const double start = showDebug ? applet->currentTime() : 0.0;
  NewtonWorld* stepped = worldOf(world);
  if (hasDynamic_ && stepped) {
    api_->NewtonUpdate(stepped, deltaTime);
    notePairBudget(stepped);
  }
  destroyRemovedBodies();
  if (showDebug) {
    applet->setDebugValue(u"Body/Active:", DecimalText(bodyCount()) + u"/" + DecimalText(activeBodyCount));
    applet->setDebugValue(u"Physics:", SecondsText(applet->currentTime() - start));
  }
}

// ---- bodies -------------------------------------------------------------------------------

TBodyHandle TNewtonEngine::CreateBoxBody(PositionObject* object, const TVector4F& size) {
  return createBody(object, size, MakeBox);
}
TBodyHandle TNewtonEngine::CreateSphereBody(PositionObject* object, const TVector4F& size) {
  return createBody(object, size, MakeSphere);
}
TBodyHandle TNewtonEngine::CreateConeBody(PositionObject* object, const TVector4F& size) {
  return createBody(object, size, MakeCone);
}
TBodyHandle TNewtonEngine::CreateCylinderBody(PositionObject* object, const TVector4F& size) {
  return createBody(object, size, MakeCylinder);
}

TBodyHandle TNewtonEngine::createBody(PositionObject* object, const TVector4F& size, ShapeMaker makeShape) {
  if (!api_ || !object) return 0;
  NewtonWorld* world = worldOf(GetWorld(object->kind()));
  if (!world) return 0;
  if (object->body()) {
    LogError(u"Body already exists");
    return 0;
  }
  if (!roomForBody(world)) return 0;
  NewtonCollision* shape = makeShape(*api_, world, size);
  // A trigger is a zone: what enters it passes through (its handlers run
  // from the collision queries, which still see it).
  if (object->isTrigger()) api_->NewtonCollisionSetAsTriggerVolume(shape, 1);
  NewtonBody* body = api_->NewtonCreateBody(world, shape);
  api_->NewtonBodySetUserData(body, object);
  api_->NewtonBodySetMatrix(body, object->getWorldMatrix().m);
  // The inertia is the library's old rule of thumb, not the shape's.
  const float mass = object->dynamic() ? 1.0f : 0.0f;
  api_->NewtonBodySetMassMatrix(body, mass, mass * size.z, mass * size.y, mass * 10);
  if (object->dynamic()) makeDynamic(body, world, object->kind());
  api_->NewtonReleaseCollision(world, shape);
  // Handles are never 0 and never reused while a body holds them.
  while (!nextBody_ || bodies_.count(nextBody_)) ++nextBody_;
  const TBodyHandle handle = nextBody_++;
  bodies_[handle] = body;
  ++bodiesIn_[world];
  return handle;
}

bool TNewtonEngine::roomForBody(NewtonWorld* world) {
  if (bodiesIn_[world] < kMostBodiesPerWorld) return true;
  if (bodyBudgetLogged_.insert(world).second) {
    LogError(u"Physics body budget reached: a world holds at most " + DecimalText(kMostBodiesPerWorld) +
             u" bodies; objects past it get none");
  }
  return false;
}

void TNewtonEngine::notePairBudget(NewtonWorld* world) {
  if (api_->NewtonWorldPairsRefused(world) == 0 || !pairBudgetLogged_.insert(world).second) return;
  LogError(u"Physics pair budget reached: bodies heaped together past it pass through each other");
}

void TNewtonEngine::makeDynamic(NewtonBody* body, NewtonWorld* world, TPositionObjectKind kind) {
  hasDynamic_ = true;
  api_->NewtonBodySetForceAndTorqueCallback(body, ApplyBodyForce);
  api_->NewtonBodySetAutoFreeze(body, 1);
  api_->NewtonBodySetAutoactiveCallback(body, CountActiveBodies);
  if (kind == okScreen) {
    api_->NewtonBodySetFreezeTreshold(body, 1.0f, 1.0f, 5);
    const float pin[3] = {0, 0, 1};
    api_->NewtonConstraintCreateUpVector(world, pin, body);
  } else {
    api_->NewtonBodySetFreezeTreshold(body, 0.05f, 0.05f, 5);
  }
}

NewtonBody* TNewtonEngine::bodyOf(TBodyHandle body) const {
  auto found = bodies_.find(body);
  return found == bodies_.end() ? nullptr : found->second;
}

PositionObject* TNewtonEngine::BodyObject(TBodyHandle body) {
  NewtonBody* found = bodyOf(body);
  return found ? static_cast<PositionObject*>(api_->NewtonBodyGetUserData(found)) : nullptr;
}

void TNewtonEngine::RemoveBody(TBodyHandle& body) {
  NewtonBody* doomed = bodyOf(body);
  if (doomed) bodies_.erase(body);
  body = 0;
  if (!doomed) return;
  --bodiesIn_[api_->NewtonBodyGetWorld(doomed)];
  // No callback or query names the object again.
  api_->NewtonBodySetUserData(doomed, nullptr);
  if (walks_ == 0) {
    api_->NewtonDestroyBody(api_->NewtonBodyGetWorld(doomed), doomed);
    return;
  }
  // A walk may still hold the body: out of the world now, destroyed later.
  TMatrix4F far = IdentityMatrix4F;
  far(3, 0) = far(3, 1) = far(3, 2) = kFarAway;
  api_->NewtonBodySetMatrix(doomed, far.m);
  removalQueue_.push_back(doomed);
}

void TNewtonEngine::destroyRemovedBodies() {
  if (walks_ > 0) return;
  std::vector<NewtonBody*> doomed;
  doomed.swap(removalQueue_);
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    api_->NewtonDestroyBody(api_->NewtonBodyGetWorld(*it), *it);
  }
}

void TNewtonEngine::SetBodyMatrix(TBodyHandle body, const TMatrix4F& matrix) {
  if (NewtonBody* found = bodyOf(body)) api_->NewtonBodySetMatrix(found, matrix.m);
}

TMatrix4F TNewtonEngine::GetBodyMatrix(TBodyHandle body) {
  TMatrix4F matrix = IdentityMatrix4F;
  if (NewtonBody* found = bodyOf(body)) api_->NewtonBodyGetMatrix(found, matrix.m);
  return matrix;
}
