#include "gui/widgets/widget_drawing.h"

#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/visual_object.h"
#include "gui/gui_object.h"
#include "platform/device.h"

TDevice* WidgetDevice(const VisualObject* widget) {
  Applet* applet = widget ? widget->ownerApplet() : nullptr;
  return applet ? applet->device() : nullptr;
}

void FillArea(TDevice* device, const TRectF& rect, TColorARGB color) {
  if (!device) return;
  device->SetColor(color);
  device->FillRectF(rect, 0);
}

void OutlineArea(TDevice* device, const TRectF& rect, TColorARGB color) {
  if (!device) return;
  device->SetColor(color);
  device->FrameRectF(rect, 0, 1);
}

void DrawLabel(TDevice* device, TFontPersistent* font, const WideString& text, TColorARGB color, uint8_t flags,
               const TRectF& rect) {
  if (!device || !font || text.empty()) return;
  if (TFont* deviceFont = font->getFont()) device->DrawText(deviceFont, text, color, flags, rect);
}

void DrawWidgetText(GuiObject* widget, const WideString& text, uint8_t flags, const TRectF& rect) {
  TFontPersistent* font = widget->font();
  if (!font) return;
  DrawLabel(WidgetDevice(widget), font, text, ColorScaleAlpha(font->color(), widget->alpha()), flags, rect);
}

void DrawPixmap(const VisualObject* widget, TPixmapPersistent* pixmap, const TRectF& rect, TColorARGB tint) {
  TDevice* device = WidgetDevice(widget);
  if (!device || !pixmap) return;
  device->SetColor(tint);
  pixmap->draw(rect);
}

void DrawFadedPixmap(GuiObject* widget, TPixmapPersistent* pixmap, const TRectF& rect) {
  DrawPixmap(widget, pixmap, rect, ColorScaleAlpha(0xFFFFFFFFu, widget->alpha()));
}
