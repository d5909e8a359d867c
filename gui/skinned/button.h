#pragma once
// The skinned push button: the skin's "button" element under its text.
#include "gui/skinned/skin_pixmap_owner.h"
#include "gui/widgets/std_button.h"

class Button : public SkinPixmapOwner<TStdButton> {
  Q_OBJECT(Button, SkinPixmapOwner<TStdButton>)

 public:
  Button() : inherited(u"button") {}
  void drawSelf() override;
};
