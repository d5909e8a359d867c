#include "core/geometry/geometry_matrix.h"

#include <cmath>

#include "core/geometry/geometry_scalar.h"
#include "core/geometry/geometry_vector.h"

namespace {

// Determinant of m without row `skipRow` and column `skipCol`.
float Minor(const TMatrix4F& m, int skipRow, int skipCol) {
  float e[9];
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    if (i == skipRow) continue;
    for (int j = 0; j < 4; ++j) {
      if (j != skipCol) e[n++] = m(i, j);
    }
  }
  return Det3x3(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
}

float Cofactor(const TMatrix4F& m, int row, int col) {
  const float minor = Minor(m, row, col);
  return (row + col) % 2 == 0 ? minor : -minor;
}

float F(double x) { return static_cast<float>(x); }

}  // namespace

TVector4F MatRow(const TMatrix4F& m, int row) { return MakeVector4F(m(row, 0), m(row, 1), m(row, 2), m(row, 3)); }

TMatrix4F MatMultiply(const TMatrix4F& a, const TMatrix4F& b) {
  TMatrix4F r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += static_cast<double>(a(i, k)) * b(k, j);
      r(i, j) = F(sum);
    }
  }
  return r;
}

float Det3x3(float a1, float a2, float a3, float b1, float b2, float b3, float c1,
             float c2, float c3) {
  const double A1 = a1, A2 = a2, A3 = a3, B1 = b1, B2 = b2, B3 = b3;
  const double C1 = c1, C2 = c2, C3 = c3;
  return F(A1 * (B2 * C3 - B3 * C2) - A2 * (B1 * C3 - B3 * C1) + A3 * (B1 * C2 - B2 * C1));
}

float MatDeterminant(const TMatrix4F& m) {
  double d = 0;
  for (int j = 0; j < 4; ++j) d += static_cast<double>(m(0, j)) * Cofactor(m, 0, j);
  return F(d);
}

void MatAdjoint(TMatrix4F& m) {
  TMatrix4F adj;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) adj(i, j) = Cofactor(m, j, i);  // transposed
  }
  m = adj;
}

void MatScaleAll(TMatrix4F& m, float s) {
  for (float& e : m.m) e *= s;
}

void MatInvert(TMatrix4F& m) {
  const float det = MatDeterminant(m);
  if (!(std::fabs(det) >= kGeometryEpsilon)) {
    m = IdentityMatrix4F;
    return;
  }
  MatAdjoint(m);
  // 1/det is kept in double: for a determinant near the epsilon it would not
  // fit in a float32, while the inverse's elements may.
  const double scale = 1.0 / det;
  for (float& e : m.m) e = F(e * scale);
}

TMatrix4F MatRotation(const TVector4F& axis, float angle) {
  float s, c;
  SinCosF(WrapDegrees(angle), s, c);
  const TVector4F n = VecNormalized(axis);
  const double x = n.x, y = n.y, z = n.z;
  const double t = 1.0 - c;
  TMatrix4F r = IdentityMatrix4F;
  r(0, 0) = F(t * x * x + c);
  r(0, 1) = F(t * x * y - z * s);
  r(0, 2) = F(t * z * x + y * s);
  r(1, 0) = F(t * x * y + z * s);
  r(1, 1) = F(t * y * y + c);
  r(1, 2) = F(t * y * z - x * s);
  r(2, 0) = F(t * z * x - y * s);
  r(2, 1) = F(t * y * z + x * s);
  r(2, 2) = F(t * z * z + c);
  return r;
}

TMatrix4F MatOrtho(float left, float right, float bottom, float top, float zNear,
                   float zFar) {
  TMatrix4F r = IdentityMatrix4F;
  // A zero-sized window (minimised) would divide by zero.
  if (right == left || top == bottom || zFar == zNear) return r;
  const double l = left, rt = right, b = bottom, t = top, n = zNear, f = zFar;
  r(0, 0) = F(2 / (rt - l));
  r(1, 1) = F(2 / (t - b));
  r(2, 2) = F(1 / (f - n));
  r(3, 0) = F((l + rt) / (l - rt));
  r(3, 1) = F((b + t) / (b - t));
  r(3, 2) = F(n / (n - f));
  return r;
}

TMatrix4F MatPerspective(float fov, float aspect, float zNear, float zFar) {
  TMatrix4F r = IdentityMatrix4F;
  const float h = WrapDegrees(fov / 2);
  const double sine = std::sin(static_cast<double>(h));
  if (sine == 0 || aspect == 0 || zFar == zNear) return r;
  const double ct = std::cos(static_cast<double>(h)) / sine;  // cotangent of h
  const double ctPerAspect = ct / aspect;
  if (ct == 0 || ctPerAspect == 0) return r;
  const double n = zNear, f = zFar;
  r(0, 0) = F(2 * n / ctPerAspect);
  r(1, 1) = F(-(2 * n / ct));  // negative: y turns downwards on screen
  r(2, 2) = F(f / (f - n));
  r(2, 3) = 1;
  r(3, 2) = F(n * f / (n - f));
  // r(3, 3) keeps the identity's 1 (w = z + 1): scenes are framed with it.
  return r;
}

TMatrix4F MatLookAt(const TVector4F& eye, const TVector4F& direction,
                    const TVector4F& up) {
  const TVector4F z = VecNormalized(VecScale(direction, -1));
  const TVector4F x = VecNormalized(VecCross(up, z));
  const TVector4F y = VecCross(z, x);
  TMatrix4F r = IdentityMatrix4F;
  const TVector4F* axes[3] = {&x, &y, &z};
  for (int col = 0; col < 3; ++col) {
    r(0, col) = axes[col]->x;
    r(1, col) = axes[col]->y;
    r(2, col) = axes[col]->z;
    r(3, col) = -VecDot(*axes[col], eye);
  }
  return r;
}

TMatrix4F MatReflection(const TVector4F& point, const TVector4F& normal) {
  const double n[3] = {normal.x, normal.y, normal.z};
  const double d = VecDot(point, normal);
  TMatrix4F r = IdentityMatrix4F;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r(i, j) = F((i == j ? 1.0 : 0.0) - 2 * n[i] * n[j]);
    r(3, i) = F(2 * d * n[i]);
  }
  return r;
}
