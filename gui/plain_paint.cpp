#include "gui/plain_paint.h"

#include "engine/applet.h"
#include "engine/media/font_persistent.h"
#include "engine/media/pixmap_persistent.h"
#include "gui/gui_object.h"
#include "platform/device.h"

TDevice* PaintDevice(const BaseObject* object) {
  Applet* applet = object ? AppletOf(object) : nullptr;
  return applet ? applet->device() : nullptr;
}

void PaintFill(TDevice* device, const TRectF& rect, TColorARGB color) {
  if (!device) return;
  device->SetColor(color);
  device->FillRectF(rect, 0);
}

void PaintOutline(TDevice* device, const TRectF& rect, TColorARGB color) {
  if (!device) return;
  device->SetColor(color);
  device->FrameRectF(rect, 0, 1);
}

void PaintPixmap(GuiObject* widget, TPixmapPersistent* pixmap, const TRectF& rect) {
  TDevice* device = PaintDevice(widget);
  if (!device || !pixmap) return;
  device->SetColor(ColorScaleAlpha(0xFFFFFFFFu, widget->alpha()));
  pixmap->draw(rect);
}

void PaintText(GuiObject* widget, const WideString& text, TColorARGB color, uint8_t flags, const TRectF& rect) {
  TDevice* device = PaintDevice(widget);
  if (!device || text.empty() || !widget->font()) return;
  if (TFont* font = widget->font()->getFont()) device->DrawText(font, text, color, flags, rect);
}

void PaintWidgetText(GuiObject* widget, const WideString& text, uint8_t flags, const TRectF& rect) {
  if (!widget->font()) return;
  PaintText(widget, text, ColorScaleAlpha(widget->font()->color(), widget->alpha()), flags, rect);
}

bool WidgetIsGone(const BaseObject* object) { return object->isDisposed() || object->freePending(); }

void MarkWidgetPart(BaseObject* part) { part->setComponentStyle(csExternal); }
