// Matrices between the library's form (16 floats, row-major, row vectors,
// axes in rows 0-2 and the position in elements 12-14) and Bullet's rigid
// transforms. That layout is the same memory as an OpenGL matrix, so the
// transform reads and writes it directly once the axes are made orthonormal.
#include <cmath>

#include "compat/physics/internal/physics_objects.h"

namespace newton_internal {
namespace {
constexpr btScalar kShortestAxis = btScalar(1e-12);

btVector3 Row(const float* m, int row) { return btVector3(m[4 * row], m[4 * row + 1], m[4 * row + 2]); }
}  // namespace

bool MatrixToTransform(const float* matrix, btTransform& transform) {
  for (int i = 0; i < 16; ++i) {
    if (!std::isfinite(matrix[i])) return false;
  }
  // Gram-Schmidt from the x and y axes; z follows as their cross product, so
  // the basis is a proper rotation whatever scale the rows carried.
  btVector3 x = Row(matrix, 0);
  btVector3 y = Row(matrix, 1);
  if (x.length2() < kShortestAxis) return false;
  x.normalize();
  y -= x * x.dot(y);
  if (y.length2() < kShortestAxis) return false;
  y.normalize();
  const btVector3 z = x.cross(y);
  // Bullet's basis holds the axes in its columns.
  transform.setBasis(btMatrix3x3(x.x(), y.x(), z.x(), x.y(), y.y(), z.y(), x.z(), y.z(), z.z()));
  transform.setOrigin(Row(matrix, 3));
  return true;
}

void TransformToMatrix(const btTransform& transform, float* matrix) { transform.getOpenGLMatrix(matrix); }

}  // namespace newton_internal
