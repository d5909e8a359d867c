#pragma once
// Where a left release lands decides a click. While a widget holds the mouse
// its `hot` flag never changes, so it cannot tell a release off the widget
// from one over it; the release's own point (in the widget's frame) can.
#include "gui/gui_object.h"

inline bool ReleasedOver(const GuiObject& widget, float x, float y) {
  return x >= 0 && x < widget.width() && y >= 0 && y < widget.height();
}
