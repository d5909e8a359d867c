// Collision shapes: boxes, spheres, cones and cylinders as Bullet's convex
// shapes, counted by the caller and by every body made from them. Sizes come
// from game data and scripts: a size that is no finite positive number is
// taken as the smallest one, so no shape is ever empty or inside out.
#include <algorithm>
#include <cmath>

#include "compat/physics/internal/physics_objects.h"

using namespace newton_internal;

namespace {
constexpr float kSmallestSize = 0.001f;

btScalar Size(float value) {
  const float size = std::fabs(value);
  return std::isfinite(size) ? std::max(size, kSmallestSize) : kSmallestSize;
}

NewtonCollision* Keep(const NewtonWorld* world, btConvexShape* shape) {
  auto* collision = new NewtonCollision();
  collision->shape.reset(shape);
  Mutable(world)->shapes.insert(collision);
  return collision;
}
}  // namespace

namespace newton_internal {
void ReleaseShape(NewtonWorld* world, NewtonCollision* shape) {
  if (--shape->references > 0) return;
  world->shapes.erase(shape);
  delete shape;
}
}  // namespace newton_internal

extern "C" {

NewtonCollision* NewtonCreateBox(const NewtonWorld* world, float dx, float dy, float dz, const float*) {
  if (!world) return nullptr;
  return Keep(world, new btBoxShape(btVector3(Size(dx), Size(dy), Size(dz)) * btScalar(0.5)));
}

NewtonCollision* NewtonCreateSphere(const NewtonWorld* world, float radiusX, float radiusY, float radiusZ,
                                    const float*) {
  if (!world) return nullptr;
  return Keep(world, new btSphereShape(std::max({Size(radiusX), Size(radiusY), Size(radiusZ)})));
}

NewtonCollision* NewtonCreateCone(const NewtonWorld* world, float radius, float height, const float*) {
  if (!world) return nullptr;
  return Keep(world, new btConeShapeX(Size(radius), Size(height)));
}

NewtonCollision* NewtonCreateCylinder(const NewtonWorld* world, float radius, float height, const float*) {
  if (!world) return nullptr;
  const btScalar r = Size(radius);
  return Keep(world, new btCylinderShapeX(btVector3(Size(height) * btScalar(0.5), r, r)));
}

void NewtonReleaseCollision(const NewtonWorld* world, const NewtonCollision* collision) {
  if (world && collision) ReleaseShape(Mutable(world), Mutable(collision));
}

}  // extern "C"
