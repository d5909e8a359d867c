#pragma once
// The steps the design tools move and turn in, and the length on the screen
// that keeps the 3D gizmo's handles the same size wherever it stands.
#include "core/geometry/geometry.h"

class PositionObject;
class TDevice;
class VisualObject;

// Towards zero to the next multiple of 0.5.
float SnapHalfUnit(float value);
// Towards zero to the next multiple of 15 (degrees).
float SnapFifteenDegrees(float value);
// Towards zero to the next multiple of `step`; a step of 0 (or less, or not a
// number) snaps nothing.
float SnapGrid(float value, float step);

// The world length that `pixels` applet units down the window cover at the
// depth of `worldPosition`, measured on the plane through it that faces the
// camera; 0.5 when either pick ray misses that plane.
float ScreenLengthAt(TDevice* device, const TVector4F& worldPosition, float pixels);

// The angle in degrees between `v` (normalised here) and the unit vector
// `axis`: the arc cosine of their dot product, clamped to [-1, 1]. A zero
// vector gives 0.
float AngleTo(const TVector4F& v, const TVector4F& axis);

// The pick ray through the point of the mouse event being handled (the
// event's paramPoint, in applet units). Read it before the inherited mouse
// handler runs: that one sets the point to the object's local one. False
// without an applet, device or event queue.
bool PickAtEventPoint(VisualObject& object, TVector4F& origin, TVector4F& direction);

// Puts `to` where `from` stands, facing the same way: world position,
// direction and up, then the angles without announcing them again.
void CopyWorldFrame(PositionObject& from, PositionObject& to);
