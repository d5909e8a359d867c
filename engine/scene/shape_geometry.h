#pragma once
// What the scene's shapes share: their areas and boxes around the local
// origin, how far a box reaches, rays taken into a shape's frame, the ray
// test of boxes, and solid boxes drawn through the device.
#include "core/geometry/geometry.h"

class PositionObject;

// The area of a width x height rectangle centred on the local origin.
TRectF CentredArea(float width, float height);
// The box of the given edge lengths centred on the local origin (w = 1).
TBoundBoxF CentredBox(float sizeX, float sizeY, float sizeZ);
// The farthest any corner of the box lies from the local origin.
float BoxReach(const TBoundBoxF& box);
// How much the matrix enlarges at most: the longest of its three axis rows.
float MatLargestScale(const TMatrix4F& m);

// Whether a ray (origin and unit direction in the box's frame) enters the box
// of `size` centred on the origin through a face ahead of the origin. The
// faces are widened by a hair (0.5001 of the size instead of 0.5), so a ray
// along an edge still hits; a ray starting inside the box does not.
bool RayEntersBox(const TVector4F& origin, const TVector4F& direction, const TVector4F& size);

// A world ray (origin, direction) in the object's own frame, the direction
// made unit length again.
void ToLocalRay(PositionObject& object, TVector4F& origin, TVector4F& direction);

// A solid box over `box` in the current colour, in the object's frame.
void DrawSolidBox(PositionObject& object, const TBoundBoxF& box);
