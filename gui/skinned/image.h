#pragma once
// `Image`: a pixmap of its own file (or a skin element) stretched over the
// widget's rectangle.
#include "gui/gui_object.h"
#include "gui/skinned/skin_pixmap_owner.h"

class Image : public SkinPixmapOwner<GuiObject> {
  Q_OBJECT(Image, SkinPixmapOwner<GuiObject>)

 public:
  Image() : inherited(u"") {}
  void drawSelf() override;
};
