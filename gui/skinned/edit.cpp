#include "gui/skinned/edit.h"

#include "core/geometry/coordinates.h"
#include "engine/media/font_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"

namespace {
constexpr float kSkinInset = 4;
}  // namespace

const ClassInfo& Edit::staticClassInfo() {
  using E = Edit;
  static const ClassInfo info = ClassBuilder<E>("Edit")
                                    .property("font", &E::font, &E::setFont)
                                    .property("pixmap", &E::pixmap, &E::setPixmap)
                                    .build();
  return info;
}

void Edit::Create(TObject* owner) {
  inherited::Create(owner);
  // The element's frame is wider than the plain edit's line. The root of an
  // object file has read its stored values (and is loaded) by now: those stay.
  const TRectF inset = MakeRectF(kSkinInset, kSkinInset, kSkinInset, kSkinInset);
  contentsMargin()->setDefaultRect(inset);
  if (!isLoaded()) contentsMargin()->setRect(inset);
}

void Edit::drawBackground() { DrawSkin(this, pixmap(), getClientRect()); }
