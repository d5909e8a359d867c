#include "gui/widgets/widget_drawing.h"

#include "engine/applet.h"
#include "engine/media/font_persistent.h"
#include "engine/visual_object.h"
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
