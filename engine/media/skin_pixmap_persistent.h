#pragma once
// A pixmap drawn as an element of a skin: the element named `objectName` in
// `skin` (the applet's default skin unless another is set). Without such an
// element it draws as a plain pixmap persistent.
#include "engine/media/pixmap_persistent.h"

class BaseObject;
class Skin;
class SkinElement;

class TSkinPixmapPersistent : public TPixmapPersistent {
  Q_OBJECT(TSkinPixmapPersistent, TPixmapPersistent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  // Takes over another description's values, its skin and element name too.
  void Assign(const TSkinPixmapPersistent& source);

  Skin* skin() const { return skin_; }
  void setSkin(Skin* value);
  const WideString& objectName() const { return objectName_; }
  void setObjectName(const WideString& name);
  // The resolved element, or nil.
  SkinElement* element() const { return element_; }

  void draw(const TRectF& area) override;

  // A skin or element that is being freed is forgotten by every skin pixmap
  // that refers to it.
  static void ForgetObject(const BaseObject* object);

 private:
  void resolveElement();
  bool skinStored() const;
  Skin* defaultSkin() const;

  Skin* skin_ = nullptr;
  SkinElement* element_ = nullptr;
  WideString objectName_;
};
