#pragma once
// `Image`: a pixmap of its own file (or a skin element) stretched over the
// widget's rectangle.
#include "gui/gui_object.h"

class TSkinPixmapPersistent;

class Image : public GuiObject {
  Q_OBJECT(Image, GuiObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  // Copies the given description into the own pixmap.
  void setPixmap(TSkinPixmapPersistent* value);

 private:
  TSkinPixmapPersistent* pixmap_ = nullptr;
};
