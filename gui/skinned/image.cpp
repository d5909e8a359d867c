#include "gui/skinned/image.h"

#include "engine/media/skin_pixmap_persistent.h"
#include "gui/widgets/widget_drawing.h"

const ClassInfo& Image::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<Image>("Image").property("pixmap", &Image::pixmap, &Image::setPixmap).build();
  return info;
}

void Image::Create(TObject* owner) {
  // The pixmap exists before the inherited construction, which may already
  // read the stored properties into it.
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmap_ = New<TSkinPixmapPersistent>(parent ? parent->applet() : nullptr);
  inherited::Create(owner);
}

void Image::Destroy() {
  FreeAndNil(pixmap_);
  inherited::Destroy();
}

void Image::setPixmap(TSkinPixmapPersistent* value) {
  if (value && value != pixmap_) pixmap_->Assign(*value);
}

void Image::drawSelf() { DrawFadedPixmap(this, pixmap_, getClientRect()); }
