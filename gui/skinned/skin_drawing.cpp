#include "gui/skinned/skin_drawing.h"

#include "core/object.h"
#include "engine/media/font_persistent.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/gui_object.h"
#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

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

void DrawSkin(const VisualObject* widget, TSkinPixmapPersistent* pixmap, const TRectF& rect) {
  TDevice* device = WidgetDevice(widget);
  if (!device || !pixmap) return;
  device->SetColor(kUntinted);
  pixmap->draw(rect);
}

void DrawWidgetText(GuiObject* widget, const WideString& text, uint8_t flags, const TRectF& rect) {
  TDevice* device = WidgetDevice(widget);
  if (!device || text.empty()) return;
  TFontPersistent* font = widget->font();
  device->DrawText(font->getFont(), text, ColorScaleAlpha(font->color(), widget->alpha()), flags, rect);
}
