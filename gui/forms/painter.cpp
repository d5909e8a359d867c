#include "gui/forms/painter.h"

#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& Painter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Painter>("Painter").property("onPaint", &Painter::onPaint_).build();
  return info;
}

// The handler may free the painter (or its holder): the painter stays whole
// until its drawing is over, and draws nothing more of itself after that.
void Painter::draw() {
  KeepAlive keep(this);
  inherited::draw();
}

// A painter its own handler freed paints no more, in any pass of the frame.
void Painter::drawSelf() {
  if (!WidgetGone(this)) runHandler(onPaint_, "onPaint");
}

void Painter::drawChildren() {
  if (!WidgetGone(this)) inherited::drawChildren();
}
