#pragma once
// `Screen`: one colour over the whole widget, its opacity given by the
// widget's `alpha` alone. The applet fades its screen in and out with it.
#include "gui/gui_object.h"

class Screen : public GuiObject {
  Q_OBJECT(Screen, GuiObject)

 public:
  void Create(TObject* owner) override;
  void drawSelf() override;

  TColorARGB color() const { return color_; }
  void setColor(TColorARGB value);
  // The colour it fills with: its colour with the alpha byte replaced by
  // Round(alpha x 255).
  TColorARGB fillColor() const;

 private:
  WideString colorText() const { return ColorToText(color_); }
  void setColorText(const WideString& text) { setColor(ColorFromText(text)); }
  bool colorStored() const { return color_ != 0xFF000000u; }

  TColorARGB color_ = 0xFF000000u;
};
