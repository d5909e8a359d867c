#pragma once
// Rectangle routines. y grows downwards; edges count as inside.
#include "core/geometry/geometry_records.h"

float RectWidth(const TRectF& r);   // right - left
float RectHeight(const TRectF& r);  // bottom - top

// True unless both width and height are positive.
bool RectIsEmpty(const TRectF& r);

// left <= p.x <= right and top <= p.y <= bottom.
bool RectContains(const TPointF& p, const TRectF& r);

void RectOffset(TRectF& r, float dx, float dy);
void RectInflate(TRectF& r, float dx, float dy);  // grows by dx, dy on each side

// Centres r inside bounds and returns it. The centring offset is cut toward
// zero to whole units, so a size difference of 23 puts r 11 units in.
TRectF RectCenter(TRectF& r, const TRectF& bounds);
