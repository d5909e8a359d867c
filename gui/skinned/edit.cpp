#include "gui/skinned/edit.h"

#include <algorithm>

#include "core/coordinates.h"
#include "engine/media/font_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

namespace {
constexpr float kSkinInset = 4;
constexpr TColorARGB kSelectionBar = 0x660000FFu;
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
  pixmap_ = NewSkinPixmap(dynamic_cast<BaseObject*>(owner), u"edit");
  inherited::Create(owner);
  // The element's frame is wider than the plain edit's line. The root of an
  // object file has read its stored values (and is loaded) by now: those stay.
  const TRectF inset = MakeRectF(kSkinInset, kSkinInset, kSkinInset, kSkinInset);
  contentsMargin()->setDefaultRect(inset);
  if (!isLoaded()) contentsMargin()->setRect(inset);
}

void Edit::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmap_);
}

void Edit::setPixmap(TSkinPixmapPersistent* value) {
  if (value && value != pixmap_) pixmap_->Assign(*value);
}

void Edit::drawSelf() {
  DrawSkin(this, pixmap_, getClientRect());
  drawText();
  drawSelectionBar();
}

void Edit::drawSelectionBar() {
  TDevice* device = WidgetDevice(this);
  if (!device || !hasSelection()) return;
  const TRectF contents = contentsRect();
  const int32_t first = firstVisible();
  const float left = contents.left + textWidth(first, std::max(std::min(selStart(), selEnd()), first));
  const float right = std::min(contents.left + textWidth(first, std::max(selStart(), selEnd())), contents.right);
  FillArea(device, MakeRectF(left, contents.top, right, contents.bottom), kSelectionBar);
}
