#pragma once
// The plain drawing every widget and form does in its client frame (origin at
// its top-left corner, depth 0): filled and outlined rectangles in a colour,
// pixmaps tinted (white shows their own colours) and text in a font.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/text/text.h"
#include "platform/font.h"

class GuiObject;
class TDevice;
class TFontPersistent;
class TPixmapPersistent;
class VisualObject;

// The device the widget draws through, or nil (no applet, no device).
TDevice* WidgetDevice(const VisualObject* widget);

void FillArea(TDevice* device, const TRectF& rect, TColorARGB color);
void OutlineArea(TDevice* device, const TRectF& rect, TColorARGB color);
// Nothing for empty text or a font that does not resolve.
void DrawLabel(TDevice* device, TFontPersistent* font, const WideString& text, TColorARGB color, uint8_t flags,
               const TRectF& rect);

// A text in the widget's font colour scaled by its alpha.
void DrawWidgetText(GuiObject* widget, const WideString& text, uint8_t flags, const TRectF& rect);

// The pixmap over the rect in the tint; nothing without a device or pixmap.
void DrawPixmap(const VisualObject* widget, TPixmapPersistent* pixmap, const TRectF& rect, TColorARGB tint);
// The pixmap in white, faded by the widget's alpha.
void DrawFadedPixmap(GuiObject* widget, TPixmapPersistent* pixmap, const TRectF& rect);
