#pragma once
// The alignment layout every GUI holder uses (a GuiObject for its own
// children, the applet and its GUI holder Dummy for theirs): the visible
// GuiObject children are placed by their `align` inside a rectangle of the
// holder's own frame, in seven passes (corner anchors, outer sides, top and
// bottom, left and right, centring, client, contents).
#include "core/geometry/geometry.h"

class BaseObject;

// The holder's child at an index.
using GuiChildAccessor = BaseObject* (*)(BaseObject* holder, int index);

// Lays out `count` children of `holder` inside (left, top, right, bottom).
// previousWidth and previousHeight are the holder's right and bottom edge at
// its last layout: corner-anchored children move by the change, and both are
// set to the new edges.
void AlignChildren(float& previousWidth, float& previousHeight, int count, GuiChildAccessor child, BaseObject* holder,
                   float left, float top, float right, float bottom);

// The accessor of BaseObject's own children.
BaseObject* TreeChildAt(BaseObject* holder, int index);
