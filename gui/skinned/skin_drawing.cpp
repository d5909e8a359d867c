#include "gui/skinned/skin_drawing.h"

#include "core/objects/base_object.h"
#include "core/objects/object.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/widgets/widget_drawing.h"

namespace {
constexpr TColorARGB kUntinted = 0xFFFFFFFFu;
}  // namespace

TSkinPixmapPersistent* NewSkinPixmap(BaseObject* widget, const char16_t* element) {
  // The pixmap reaches the device, the cache and the default skin through
  // the applet; the widget frees it.
  auto* pixmap = New<TSkinPixmapPersistent>(widget ? widget->applet() : nullptr);
  pixmap->setObjectName(element);
  return pixmap;
}

void FreeSkinPixmap(TSkinPixmapPersistent*& pixmap) { FreeAndNil(pixmap); }

void CopySkinPixmap(TSkinPixmapPersistent* own, TSkinPixmapPersistent* value) {
  if (own && value && value != own) own->Assign(*value);
}

void DrawSkin(const VisualObject* widget, TSkinPixmapPersistent* pixmap, const TRectF& rect) {
  DrawPixmap(widget, pixmap, rect, kUntinted);
}
