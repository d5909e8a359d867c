#pragma once
// Skins: a `Skin` groups named `SkinElement`s, each a part of a pixmap (its
// source rectangle, nine-slice margins and tiling) that widgets draw by the
// element's name. The applet's default skin comes with the program.
#include "core/objects/base_object.h"

class TPixmapPersistent;

class Skin : public BaseObject {
  Q_OBJECT(Skin, BaseObject)

 public:
  void Destroy() override;
};

class SkinElement : public BaseObject {
  Q_OBJECT(SkinElement, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  TPixmapPersistent* pixmap() const { return pixmap_; }

 private:
  // Writing the property is accepted and changes nothing: stored values are
  // read into the owned pixmap.
  void setPixmap(TPixmapPersistent*) {}

  TPixmapPersistent* pixmap_ = nullptr;
};
