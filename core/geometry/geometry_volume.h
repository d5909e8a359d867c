#pragma once
// Planes, view frusta and bounding boxes: what culling and picking need.
#include <array>

#include "core/geometry/geometry_records.h"

// Multiplies a, b, c and d by 1 / |(a, b, c)|, so that PlaneDistance measures
// true distances.
void PlaneNormalize(TVector4F& plane);
float PlaneDistance(const TVector4F& plane, const TVector4F& p);  // a x + b y + c z + d

// The six planes of a combined view-projection matrix (row vectors), in the
// order left, top, right, bottom, near, far, normalised, pointing inwards.
TFrustumF FrustumFromMatrix(const TMatrix4F& m);

// Answers of the culling tests.
inline constexpr int kCullOutside = 0;
inline constexpr int kCullInside = 1;
inline constexpr int kCullIntersect = 2;

int FrustumTestSphere(const TFrustumF& frustum, const TSphereF& sphere);
// Conservative: a box beyond no single plane counts as intersecting even when
// it lies outside near a corner of the frustum.
int FrustumTestBox(const TFrustumF& frustum, const TBoundBoxF& box);

// Corner i takes x from max when bit 2 of i is set, y when bit 1 is, z when
// bit 0 is, otherwise from min: corner 0 is min, corner 7 is max. All w = 1.
std::array<TVector4F, 8> BoundBoxCorners(const TBoundBoxF& box);

// Grows the box to hold p (x, y, z; w untouched).
void BoundBoxExtend(TBoundBoxF& box, const TVector4F& p);

// Replaces the box with the box around its eight transformed corners. min and
// max are transformed with their own w, the six other corners as points.
void BoundBoxTransform(TBoundBoxF& box, const TMatrix4F& m);
