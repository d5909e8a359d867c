#pragma once
// A click as a real pointer makes it: over the point first (so the widget
// there is hot), then pressed and let go; queued for the next program pass.
#include "engine/applet/applet.h"
#include "platform/input_records.h"

inline void PointerClick(Applet* applet, int32_t x, int32_t y) {
  applet->QueueEvent(TMouseEvent::Create(lekMouseMove, kButtonLeft, x, y, 0, 0, 0, applet->window()));
  applet->QueueEvent(TMouseEvent::Create(lekMouseDown, kButtonLeft, x, y, 0, 0, kShiftLeftButton, applet->window()));
  applet->QueueEvent(TMouseEvent::Create(lekMouseUp, kButtonLeft, x, y, 0, 0, kShiftLeftButton, applet->window()));
}
