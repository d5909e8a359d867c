#include "engine/scene/plane.h"

#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/shape_geometry.h"

const ClassInfo& Plane::staticClassInfo() {
  using P = Plane;
  static const ClassInfo info = ClassBuilder<P>("Plane")
                                    .property("mirrored", &P::mirrored, &P::setMirrored).defaultValue(0)
                                    .property("zTest", &P::zTest, &P::setZTest).defaultValue(1)
                                    .property("pixmap", &P::pixmap, &P::setPixmap)
                                    .property("width", &P::width, &P::setWidth).floatDefault(1.0f)
                                    .property("height", &P::height, &P::setHeight).floatDefault(1.0f)
                                    .build();
  return info;
}

void Plane::Create(TObject* owner) {
  // The pixmap reaches the device, the cache and the default skin through the
  // applet, and exists before the inherited construction reads into it.
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmap_ = New<TSkinPixmapPersistent>(parent ? parent->applet() : nullptr);
  setZTest(true);
  inherited::Create(owner);
}

// Children go first: an effect among them may still hold the pixmap.
void Plane::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmap_);
}

void Plane::drawSelf() { pixmap_->draw(CentredArea(width_, height_)); }

TBoundBoxF Plane::getCoveringBox() { return CentredBox(width_, height_, 0); }
