// Motion and physics of positioned objects: the per-frame tick that follows a
// dynamic body, the kinematic step cut into sub-steps no longer than the
// object's bounding radius with a collision check after each, the collision
// handlers, bodies made and freed through the applet's physics engine, and
// the neighbour queries scripts use.
#include <algorithm>
#include <cmath>
#include <deque>

#include "core/geometry/coordinates.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/scene/position_object.h"
#include "engine/script_engine.h"

namespace {
// A step so long that it would need more sub-steps than this is cut into
// this many longer ones, so one frame never stalls in a query loop.
constexpr int kMaxSubSteps = 1000;

bool IsZero(const TVector4F& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

bool HasScriptObject(BaseObject* object) {
  Applet* applet = AppletOf(object);
  TScriptEngine* engine = applet ? applet->scriptEngine() : nullptr;
  return engine && engine->hasScriptObject(object);
}
}  // namespace

// ---- the frame's motion --------------------------------------------------------------

void PositionObject::tick(double time, double delta) {
  inherited::tick(time, delta);
  TDynamicEngine* engine = dynamicEngine();
  if (engine && !isDisposed() && dynamic_ && body_) {
    // A dynamic body moves its object.
    const TMatrix4F matrix = engine->GetBodyMatrix(body_);
    setWorldPosition(MatRow(matrix, 3));
    setWorldDirection(MatRow(matrix, 1));
    setWorldUp(MatRow(matrix, 2));
    checkCollisions();
  }
  if (moving_ || (colliseTrack_ && colliseOnStay_)) forward(static_cast<float>(delta));
}

void PositionObject::moveBy(float factor) { position_->addScaled(velocity_->vector(), factor); }

void PositionObject::forward(float deltaTime) {
  if (designTime()) return;
  // A collision handler may free the object between two sub-steps.
  BusyScope keep(this);
  if (IsZero(velocity_->vector())) {
    checkCollisions();
    return;
  }
  velocity_->addScaled(gravity_->vector(), deltaTime);
  if (friction_ != 1.0f) {
    const TVector4F v = velocity_->vector();
    velocity_->addScaled(VecSub(VecScale(v, friction_), v), deltaTime);
  }
  const float speed = VecLength(velocity_->vector());
  lastStep_ = deltaTime;
  const float distance = speed * deltaTime;
  const float radius = getBoundingRadius();
  if (!std::isfinite(distance)) return;  // no place to go to
  if (distance < radius || radius == 0) {
    moveBy(deltaTime);
    checkCollisions();
    return;
  }
  // Sub-steps of the radius, the last one shortened to end exactly at the
  // distance, so that the object cannot pass through anything thinner.
  float step = std::max(radius, distance / kMaxSubSteps);
  float done = step;
  for (int taken = 0; done <= distance && taken < 2 * kMaxSubSteps; ++taken) {
    moveBy(step / speed);
    checkCollisions();
    if (distance <= done || done + step < distance) {
      done += step;
    } else {
      step = distance - done;
      done = distance;
    }
  }
}

void PositionObject::back() {
  if (VecLength(velocity_->vector()) > 0 && lastStep_ != 0) {
    moveBy(-lastStep_);
    lastStep_ = 0;
  }
}

// ---- collisions --------------------------------------------------------------------------

void PositionObject::checkCollisions() {
  if (!colliseTrack_ || isDisposed()) return;
  TDynamicEngine* engine = dynamicEngine();
  if (!engine) return;
  if (!collisionList_) {
    collisionList_ = std::make_unique<TPositionObjectList>();
    collisionList_->reserve(10);
  }
  collisionList_->clear();
  engine->CollectCollisions(this, *collisionList_);
}

void PositionObject::collise(PositionObject* other, const TVector4F& position, const TVector4F& normal) {
  if (!other || isDisposed() || other->isDisposed()) return;
  if (!HasScriptObject(this) || !HasScriptObject(other)) return;
  // An object entering a trigger runs its own onTrigger through the trigger.
  if (other->isTrigger()) {
    other->collise(this, position, normal);
    return;
  }
  lastNormal_ = normal;
  Applet* applet = ownerApplet();
  Event* event = applet ? applet->event() : nullptr;
  if (!event) return;
  BusyScope keepSelf(this);
  BusyScope keepOther(other);
  event->pushParamObject(other);
  event->paramNormal()->setVector(normal);
  event->paramPosition()->setVector(position);
  runHandler(WideString(onCollise_));
  event->popParamObject();
}

int32_t PositionObject::complexCollise(bool withActions) {
  if (isDisposed()) return 0;
  BusyScope keepSelf(this);
  TPositionObjectList list;
  if (TDynamicEngine* engine = dynamicEngine()) engine->CollectComplexCollisions(this, list);
  if (withActions) {
    // Every listed object stays alive until all the actions have run.
    std::deque<BusyScope> keep;
    for (PositionObject* object : list) keep.emplace_back(object);
    for (PositionObject* object : list) object->runHandler(WideString(object->onComplexColliseAction_));
  }
  return static_cast<int32_t>(list.size());
}

// ---- bodies -------------------------------------------------------------------------------

void PositionObject::createBody() {
  Applet* applet = ownerApplet();
  const ClassInfo* engineClass = DynamicEngineClass();
  if (!applet || !engineClass || applet->dynamicEngine()) return;
  applet->setDynamicEngine(CreateDynamicEngine(*engineClass, applet));
}

void PositionObject::spawn() {
  if ((collisable_ || dynamic_) && !body_) {
    runHandler(WideString(onSpawn_));
    createBody();
  }
  BusyScope keep(this);
  for (int i = 0; i < count(); ++i) {
    if (auto* child = dynamic_cast<PositionObject*>(childAt(i))) child->spawn();
  }
}

void PositionObject::unspawn() {
  if (collisable_ || dynamic_) {
    destroyBody();
    runHandler(WideString(onUnspawn_));
  }
  BusyScope keep(this);
  for (int i = 0; i < count(); ++i) {
    if (auto* child = dynamic_cast<PositionObject*>(childAt(i))) child->unspawn();
  }
}

void PositionObject::recreateDynamic() {
  if (!body_) return;
  destroyBody();
  createBody();
}

void PositionObject::explode(float strength, float radius) {
  if (TDynamicEngine* engine = dynamicEngine()) engine->Explode(getWorld(), getWorldPosition(), strength, radius);
}

// ---- neighbours ------------------------------------------------------------------------------

int32_t PositionObject::getNearObjects() {
  Applet* applet = ownerApplet();
  Event* event = applet ? applet->event() : nullptr;
  if (!event) return 0;
  event->clearParamList();
  BaseObject* holder = parent();
  if (!holder) return 0;
  const TVector4F here = getWorldPosition();
  const float radius = getBoundingRadius();
  for (int i = 0; i < holder->count(); ++i) {
    auto* sibling = dynamic_cast<PositionObject*>(holder->childAt(i));
    if (!sibling || sibling == this || sibling->tagString().empty()) continue;
    const float reach = radius + sibling->getBoundingRadius();
    if (reach * reach > VecDistanceSq(here, sibling->getWorldPosition())) event->appendParam(sibling);
  }
  return event->paramListCount();
}

// Squared, as callers compare it with squared reaches.
float PositionObject::distanceTo(PositionObject* other) {
  if (!other) return 0;
  const float distance = VecDistanceSq(getWorldPosition(), other->getWorldPosition());
  // Authors follow distances in the log while they tune their games.
  LogInfo(FloatToWideStr(distance));
  return distance;
}
