#include "engine/media/skin.h"

#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"

// ---- Skin ------------------------------------------------------------------------------------

const ClassInfo& Skin::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Skin>("Skin").build();
  return info;
}

void Skin::Destroy() {
  TSkinPixmapPersistent::ForgetObject(this);
  if (auto* parts = GameParts::of(AppletOf(this))) parts->forgetSkin(this);
  inherited::Destroy();
}

// ---- SkinElement -------------------------------------------------------------------------------

const ClassInfo& SkinElement::staticClassInfo() {
  using E = SkinElement;
  static const ClassInfo info = ClassBuilder<E>("SkinElement").property("pixmap", &E::pixmap, &E::setPixmap).build();
  return info;
}

void SkinElement::Create(TObject* owner) {
  // The pixmap exists before the inherited construction, which may read the
  // element's stored properties into it.
  auto* ownerObject = dynamic_cast<BaseObject*>(owner);
  pixmap_ = New<TPixmapPersistent>(ownerObject ? ownerObject->applet() : nullptr);
  inherited::Create(owner);
  BaseObjectStyles style = objectStyle();
  style.exclude(osScriptable);
  setObjectStyle(style);
}

void SkinElement::Destroy() {
  TSkinPixmapPersistent::ForgetObject(this);
  FreeAndNil(pixmap_);
  inherited::Destroy();
}
