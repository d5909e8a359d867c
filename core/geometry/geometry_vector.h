#pragma once
// Vector routines on TVector4F. They work on x, y, z; the w of a result marks
// what it is: sums, differences, scalings, combinations, reflections and
// transforms are points (w = 1); normalised vectors and cross products are
// directions (w = 0). VecCombine4 alone works on all four components.
#include "core/geometry/geometry_records.h"

TVector4F VecAdd(const TVector4F& a, const TVector4F& b);
TVector4F VecSub(const TVector4F& a, const TVector4F& b);
void VecAddTo(TVector4F& a, const TVector4F& b);
void VecAddScaled(TVector4F& a, const TVector4F& b, float s);  // a += b * s
TVector4F VecScale(const TVector4F& v, float s);
TVector4F VecCombine(const TVector4F& a, const TVector4F& b, float s1, float s2);
TVector4F VecCombine4(const TVector4F& a, const TVector4F& b, float s1, float s2);
TVector4F VecReflect(const TVector4F& v, const TVector4F& n);  // v - 2 (v . n) n

float VecDot(const TVector4F& a, const TVector4F& b);
TVector4F VecCross(const TVector4F& a, const TVector4F& b);
float VecLengthSq(const TVector4F& v);
float VecLength(const TVector4F& v);
float VecDistanceSq(const TVector4F& a, const TVector4F& b);

// Unit length, w = 0; a zero vector stays zero.
void VecNormalize(TVector4F& v);
TVector4F VecNormalized(const TVector4F& v);

// Cosine of the angle between a and b; 0 rather than a division by zero when
// either is (nearly) zero.
float VecAngleCos(const TVector4F& a, const TVector4F& b);

// v x M with the input's own w as the weight of the translation row, so a
// direction (w = 0) is not moved; the result has w = 1 and is not divided by w.
TVector4F VecTransform(const TVector4F& v, const TMatrix4F& m);

// v := VecTransform(v, MatRotation(axis, angle)), angle in radians.
void VecRotate(TVector4F& v, const TVector4F& axis, float angle);

// Signed distance of p from the plane through planePoint along normal.
float PointPlaneOffset(const TVector4F& p, const TVector4F& planePoint,
                       const TVector4F& normal);

// The point where the ray meets the plane, if it does so strictly ahead of
// the origin; hit is left alone otherwise, also for a ray (nearly) parallel
// to the plane.
bool RayPlaneIntersect(const TVector4F& origin, const TVector4F& direction,
                       const TVector4F& planePoint, const TVector4F& normal,
                       TVector4F& hit);

// Whether the ray (unit direction) passes within radius of centre, looking
// only ahead of the origin.
bool RayHitsSphere(const TVector4F& origin, const TVector4F& direction,
                   const TVector4F& centre, float radius);
