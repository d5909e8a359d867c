// Queries of the engine: the objects touching an object (their handlers run
// as they are found), the chains that complexCollise follows through the
// handlers' answers, and explosions. Every walk keeps its candidates in its
// own list, so a handler may query again, remove bodies or free objects: the
// bodies stay until the last walk ends and the objects until the walk that
// holds them does.
#include <algorithm>
#include <cmath>
#include <deque>

#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/physics/newton_engine.h"
#include "engine/scene/position_object.h"
#include "engine/script_engine.h"

class TNewtonEngine::Walk {
 public:
  explicit Walk(TNewtonEngine& engine) : engine_(engine) { ++engine_.walks_; }
  ~Walk() {
    --engine_.walks_;
    engine_.destroyRemovedBodies();
  }
  Walk(const Walk&) = delete;
  Walk& operator=(const Walk&) = delete;

 private:
  TNewtonEngine& engine_;
};

// The objects a complexCollise chain has reached, alive until it ends.
struct TNewtonEngine::ChainKeep {
  std::deque<PositionObject::KeepAlive> alive;
};

namespace {
void GatherBody(const NewtonBody* body, void* list) {
  static_cast<std::vector<NewtonBody*>*>(list)->push_back(const_cast<NewtonBody*>(body));
}

bool Listed(const TPositionObjectList& list, const PositionObject* object) {
  return std::find(list.begin(), list.end(), object) != list.end();
}

bool KnownToScripts(PositionObject* object) {
  Applet* applet = object->ownerApplet();
  TScriptEngine* engine = applet ? applet->scriptEngine() : nullptr;
  return engine && engine->hasScriptObject(object);
}

TVector4F Point(const float* p) { return MakeVector4F(p[0], p[1], p[2], 1); }
}  // namespace

std::vector<NewtonBody*> TNewtonEngine::bodiesNear(NewtonBody* body) const {
  std::vector<NewtonBody*> found;
  float min[3], max[3];
  api_->NewtonBodyGetAABB(body, min, max);
  api_->NewtonWorldForEachBodyInAABBDo(api_->NewtonBodyGetWorld(body), min, max, GatherBody, &found);
  return found;
}

PositionObject* TNewtonEngine::candidateObject(NewtonBody* candidate, NewtonBody* self) const {
  if (candidate == self) return nullptr;
  auto* object = static_cast<PositionObject*>(api_->NewtonBodyGetUserData(candidate));
  if (!object || object->isDisposed() || !object->visible() || !KnownToScripts(object)) return nullptr;
  return object;
}

bool TNewtonEngine::touching(NewtonBody* body, NewtonBody* other, TVector4F& point, TVector4F& normal) const {
  TMatrix4F a, b;
  api_->NewtonBodyGetMatrix(body, a.m);
  api_->NewtonBodyGetMatrix(other, b.m);
  float contact[3], direction[3], depth = 0;
  const int contacts =
      api_->NewtonCollisionCollide(api_->NewtonBodyGetWorld(body), 1, api_->NewtonBodyGetCollision(body), a.m,
                                   api_->NewtonBodyGetCollision(other), b.m, contact, direction, &depth);
  if (contacts <= 0) return false;
  point = Point(contact);
  normal = Point(direction);
  return true;
}

void TNewtonEngine::CollectCollisions(PositionObject* object, TPositionObjectList& list) {
  if (!api_ || !object) return;
  NewtonBody* body = bodyOf(object->body());
  if (!body || !object->visible() || Listed(list, object)) return;
  PositionObject::KeepAlive keep(object);
  Walk walk(*this);
  for (NewtonBody* candidate : bodiesNear(body)) {
    PositionObject* other = candidateObject(candidate, body);
    TVector4F point, normal;
    if (other && touching(body, candidate, point, normal)) object->collise(other, point, normal);
  }
}

void TNewtonEngine::CollectComplexCollisions(PositionObject* object, TPositionObjectList& list) {
  if (!api_ || !object) return;
  ChainKeep keep;
  {
    Walk walk(*this);
    chainFrom(object, list, keep);
  }
  // Objects a handler freed go when the chain lets them go; they leave the
  // list first, so the caller only sees live objects.
  std::erase_if(list, [](PositionObject* listed) { return listed->freePending(); });
}

void TNewtonEngine::chainFrom(PositionObject* object, TPositionObjectList& list, ChainKeep& keep) {
  NewtonBody* body = bodyOf(object->body());
  if (!body || !object->visible() || Listed(list, object)) return;
  list.push_back(object);
  keep.alive.emplace_back(object);
  Applet* applet = object->ownerApplet();
  Event* event = applet ? applet->event() : nullptr;
  if (!event) return;
  for (NewtonBody* candidate : bodiesNear(body)) {
    PositionObject* other = candidateObject(candidate, body);
    TVector4F point, normal;
    if (!other || !touching(body, candidate, point, normal)) continue;
    keep.alive.emplace_back(other);
    event->setParamResult(false);
    event->pushParamObject(other);
    object->runHandler(WideString(object->onComplexCollise()));
    event->popParamObject();
    if (event->paramResult() && !Listed(list, other)) chainFrom(other, list, keep);
  }
}

void TNewtonEngine::Explode(TWorldHandle world, const TVector4F& centre, float strength, float radius) {
  NewtonWorld* exploding = worldOf(world);
  if (!exploding) return;
  const float reach = std::fabs(radius);
  const float min[3] = {centre.x - reach, centre.y - reach, centre.z - reach};
  const float max[3] = {centre.x + reach, centre.y + reach, centre.z + reach};
  std::vector<NewtonBody*> found;
  api_->NewtonWorldForEachBodyInAABBDo(exploding, min, max, GatherBody, &found);
  for (NewtonBody* body : found) {
    if (!api_->NewtonBodyGetUserData(body)) continue;  // removed
    TMatrix4F matrix;
    api_->NewtonBodyGetMatrix(body, matrix.m);
    const TVector4F position = MatRow(matrix, 3);
    const TVector4F away = VecSub(position, centre);
    if (std::fabs(away.x) <= 1e-10f && std::fabs(away.y) <= 1e-10f && std::fabs(away.z) <= 1e-10f) continue;
    const TVector4F push = VecScale(VecNormalized(away), strength);
    const float change[3] = {push.x, push.y, push.z};
    const float at[3] = {position.x, position.y, position.z};
    api_->NewtonAddBodyImpulse(body, change, at);
  }
}
