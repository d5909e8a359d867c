#include "engine/scene/sprite.h"

#include <algorithm>

#include "core/objects/class_builder.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/rect.h"
#include "engine/scene/shape_bodies.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Sprite::staticClassInfo() {
  using S = Sprite;
  static const ClassInfo info = ClassBuilder<S>("Sprite")
                                    .property("pixmap", &S::pixmap, &S::setPixmap)
                                    .property("width", &S::width, &S::setWidth).floatDefault(10.0f)
                                    .property("height", &S::height, &S::setHeight).floatDefault(10.0f)
                                    .build();
  return info;
}

void Sprite::Create(TObject* owner) {
  // The pixmap reaches the device, the cache and the default skin through the
  // applet; it exists before the inherited construction, which may already
  // read the sprite's stored properties into it.
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmap_ = New<TSkinPixmapPersistent>(parent ? parent->applet() : nullptr);
  setMaterial(u"gui");
  inherited::Create(owner);
}

void Sprite::Destroy() {
  FreeAndNil(pixmap_);
  inherited::Destroy();
}

void Sprite::setPixmap(TSkinPixmapPersistent* value) {
  if (value && value != pixmap_) pixmap_->Assign(*value);
}

void Sprite::drawSelf() { pixmap_->draw(CentredArea(width_, height_)); }

float Sprite::getBoundingRadius() { return std::max(width_, height_) / 2; }

TBoundBoxF Sprite::getCoveringBox() { return CentredBox(width_, height_, 0); }

void Sprite::createBody() {
  inherited::createBody();
  CreateShapeBody(*this, body_, &TDynamicEngine::CreateBoxBody, MakeVector4F(width_, height_, kSpriteBodyDepth, 0));
}

void Sprite::destroyBody() { RemoveShapeBody(*this, body_); }
