// Queries: bodies in a box, found through the world's broadphase (whose boxes
// are kept current for bodies moved from outside, so static bodies are found
// before any update), and the stateless test of two convex shapes by GJK,
// with EPA for the depth of overlapping ones.
#include <BulletCollision/NarrowPhaseCollision/btGjkEpaPenetrationDepthSolver.h>
#include <BulletCollision/NarrowPhaseCollision/btGjkPairDetector.h>
#include <BulletCollision/NarrowPhaseCollision/btPointCollector.h>
#include <BulletCollision/NarrowPhaseCollision/btVoronoiSimplexSolver.h>

#include "compat/physics/internal/physics_objects.h"

using namespace newton_internal;

namespace {
// Shapes closer than this count as touching: resting bodies float within
// Bullet's contact margin of each other.
constexpr btScalar kTouchingDistance = btScalar(0.01);

btVector3 Point(const float* p) { return btVector3(p[0], p[1], p[2]); }

void Store(const btVector3& v, float* out) {
  out[0] = v.x();
  out[1] = v.y();
  out[2] = v.z();
}

struct BoxVisitor : btBroadphaseAabbCallback {
  btVector3 min, max;
  NewtonBodyIterator callback;
  void* userData;
  BoxVisitor(const btVector3& lo, const btVector3& hi, NewtonBodyIterator cb, void* data)
      : min(lo), max(hi), callback(cb), userData(data) {}

  bool process(const btBroadphaseProxy* proxy) override {
    auto* object = static_cast<btCollisionObject*>(proxy->m_clientObject);
    auto* body = static_cast<NewtonBody*>(object->getUserPointer());
    // The broadphase keeps boxes a little wider than the shapes.
    btVector3 lo, hi;
    object->getCollisionShape()->getAabb(object->getWorldTransform(), lo, hi);
    if (TestAabbAgainstAabb2(lo, hi, min, max)) callback(body, userData);
    return true;
  }
};
}  // namespace

extern "C" {

void NewtonWorldForEachBodyInAABBDo(const NewtonWorld* world, const float* p0, const float* p1,
                                    NewtonBodyIterator callback, void* userData) {
  if (!world || !p0 || !p1 || !callback) return;
  btVector3 min = Point(p0), max = Point(p1);
  if (!(min.length2() < BT_LARGE_FLOAT && max.length2() < BT_LARGE_FLOAT)) return;  // also catches NaN
  BoxVisitor visitor(min, max, callback, userData);
  Mutable(world)->broadphase.aabbTest(min, max, visitor);
}

int NewtonCollisionCollide(const NewtonWorld* world, int maxSize, const NewtonCollision* collisionA,
                           const float* matrixA, const NewtonCollision* collisionB, const float* matrixB,
                           float* contacts, float* normals, float* penetration) {
  if (!world || maxSize < 1 || !collisionA || !collisionB || !matrixA || !matrixB) return 0;
  btGjkPairDetector::ClosestPointInput input;
  if (!MatrixToTransform(matrixA, input.m_transformA) || !MatrixToTransform(matrixB, input.m_transformB)) return 0;
  btVoronoiSimplexSolver simplex;
  btGjkEpaPenetrationDepthSolver depthSolver;
  btGjkPairDetector detector(collisionA->shape.get(), collisionB->shape.get(), &simplex, &depthSolver);
  btPointCollector result;
  detector.getClosestPoints(input, result, nullptr);
  if (!result.m_hasResult || !(result.m_distance < kTouchingDistance)) return 0;
  if (contacts) Store(result.m_pointInWorld, contacts);
  if (normals) Store(result.m_normalOnBInWorld, normals);
  if (penetration) *penetration = result.m_distance < 0 ? -result.m_distance : 0;
  return 1;
}

}  // extern "C"
