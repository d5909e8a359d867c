#pragma once
// The skinned toggle: the skin's "button" element under the shown entry.
#include "gui/skinned/skin_pixmap_owner.h"
#include "gui/widgets/std_toggle.h"

class Toggle : public SkinPixmapOwner<TStdToggle> {
  Q_OBJECT(Toggle, SkinPixmapOwner<TStdToggle>)

 public:
  Toggle() : inherited(u"button") {}
  void drawSelf() override;
};
