#include "engine/media/skin_pixmap_persistent.h"

#include <unordered_set>

#include "engine/applet/applet.h"
#include "engine/media/skin.h"

namespace {
std::unordered_set<TSkinPixmapPersistent*>& LiveSkinPixmaps() {
  static std::unordered_set<TSkinPixmapPersistent*> live;
  return live;
}
}  // namespace

const ClassInfo& TSkinPixmapPersistent::staticClassInfo() {
  using S = TSkinPixmapPersistent;
  static const ClassInfo info = ClassBuilder<S>("TSkinPixmapPersistent")
                                    .property("skin", &S::skin, &S::setSkin).storedWhen(&S::skinStored)
                                    .property("objectName", &S::objectName, &S::setObjectName)
                                    .build();
  return info;
}

void TSkinPixmapPersistent::Create(TObject* owner) {
  inherited::Create(owner);
  setUseDefault(true);
  skin_ = defaultSkin();
  LiveSkinPixmaps().insert(this);
}

void TSkinPixmapPersistent::Destroy() {
  LiveSkinPixmaps().erase(this);
  inherited::Destroy();
}

Skin* TSkinPixmapPersistent::defaultSkin() const {
  Applet* applet = ownerApplet();
  return applet && applet->parts() ? dynamic_cast<Skin*>(applet->parts()->defaultSkin()) : nullptr;
}

bool TSkinPixmapPersistent::skinStored() const { return skin_ != defaultSkin(); }

void TSkinPixmapPersistent::Assign(const TSkinPixmapPersistent& source) {
  if (&source == this) return;
  TPixmapPersistent::Assign(source);
  skin_ = source.skin();
  setObjectName(source.objectName());
}

void TSkinPixmapPersistent::setSkin(Skin* value) {
  if (value == skin_) return;
  skin_ = value;
  resolveElement();
}

void TSkinPixmapPersistent::setObjectName(const WideString& name) {
  objectName_ = name;
  resolveElement();
}

void TSkinPixmapPersistent::resolveElement() {
  element_ = nullptr;
  if (objectName_.empty() || !skin_) return;
  element_ = dynamic_cast<SkinElement*>(skin_->findByName(objectName_));
}

void TSkinPixmapPersistent::draw(const TRectF& area) {
  if (element_ && element_->pixmap()) {
    element_->pixmap()->draw(area);
  } else {
    inherited::draw(area);
  }
}

void TSkinPixmapPersistent::ForgetObject(const BaseObject* object) {
  for (TSkinPixmapPersistent* pixmap : LiveSkinPixmaps()) {
    if (pixmap->element_ == object) pixmap->element_ = nullptr;
    if (pixmap->skin_ == object) {
      pixmap->skin_ = nullptr;
      pixmap->element_ = nullptr;
    }
  }
}
