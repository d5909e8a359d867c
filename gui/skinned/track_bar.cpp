#include "gui/skinned/track_bar.h"

#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"

const ClassInfo& TrackBar::staticClassInfo() {
  using T = TrackBar;
  static const ClassInfo info = ClassBuilder<T>("TrackBar")
                                    .property("pixmapTrack", &T::pixmapTrack, &T::setPixmapTrack)
                                    .property("pixmapThumb", &T::pixmapThumb, &T::setPixmapThumb)
                                    .build();
  return info;
}

void TrackBar::Create(TObject* owner) {
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmapTrack_ = NewSkinPixmap(parent, u"track");
  pixmapThumb_ = NewSkinPixmap(parent, u"thumb");
  inherited::Create(owner);
}

void TrackBar::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmapTrack_);
  FreeAndNil(pixmapThumb_);
}

void TrackBar::setPixmapTrack(TSkinPixmapPersistent* value) {
  if (value && value != pixmapTrack_) pixmapTrack_->Assign(*value);
}

void TrackBar::setPixmapThumb(TSkinPixmapPersistent* value) {
  if (value && value != pixmapThumb_) pixmapThumb_->Assign(*value);
}

void TrackBar::drawSelf() {
  DrawSkin(this, pixmapTrack_, trackRect());
  DrawSkin(this, pixmapThumb_, thumbRect());
}
