#pragma once
// `Painter`: a widget a script draws: its `onPaint` handler runs every
// frame the painter is drawn, in the painter's frame, and draws through the
// script's `device`.
#include "gui/gui_object.h"

class Painter : public GuiObject {
  Q_OBJECT(Painter, GuiObject)

 public:
  void draw() override;
  void drawSelf() override;
  void drawChildren() override;

  const WideString& onPaint() const { return onPaint_; }

 private:
  WideString onPaint_;
};
