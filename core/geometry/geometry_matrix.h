#pragma once
// 4x4 matrices for row vectors (v' = v x M): in a product A x B, A applies
// first, and the translation is in row 3. Angles are in radians.
#include "core/geometry/geometry_records.h"

TMatrix4F MatMultiply(const TMatrix4F& a, const TMatrix4F& b);
// One row (0 to 3) as a vector: rows 0 to 2 are a frame's axes, row 3 its
// translation.
TVector4F MatRow(const TMatrix4F& m, int row);

// Determinant of the 3x3 matrix with rows (a1 a2 a3), (b1 b2 b3), (c1 c2 c3).
float Det3x3(float a1, float a2, float a3, float b1, float b2, float b3, float c1,
             float c2, float c3);
float MatDeterminant(const TMatrix4F& m);
void MatAdjoint(TMatrix4F& m);  // replaced by its adjugate
void MatScaleAll(TMatrix4F& m, float s);

// Inverts in place. A matrix whose determinant is below kGeometryEpsilon in
// size becomes the identity; nothing is reported.
void MatInvert(TMatrix4F& m);

// Rotation by angle about the axis through the origin. Seen from the tip of
// the axis looking back at the origin, a positive angle turns clockwise: about
// z, the x axis goes to -y.
TMatrix4F MatRotation(const TVector4F& axis, float angle);

// Orthographic projection with depth mapped to 0..1; with bottom > top, y
// grows downwards. A zero extent on any axis gives the identity.
TMatrix4F MatOrtho(float left, float right, float bottom, float top, float zNear,
                   float zFar);

// Perspective projection as the devices use it; aspect is height / width.
// A degenerate volume (no field of view, zero aspect, near = far) gives the
// identity.
TMatrix4F MatPerspective(float fov, float aspect, float zNear, float zFar);

// View matrix of an eye at `eye` looking along `direction`.
TMatrix4F MatLookAt(const TVector4F& eye, const TVector4F& direction,
                    const TVector4F& up);

// Mirror about the plane through `point` with unit normal `normal`.
TMatrix4F MatReflection(const TVector4F& point, const TVector4F& normal);
