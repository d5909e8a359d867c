#pragma once
// The drawing the plain widgets and the forms share, in the widget's client
// frame (origin at its top-left corner, depth 0): areas filled or outlined
// in one colour, pixmaps in white (they show their own colours, faded with
// the widget) and texts in the widget's font colour scaled by its alpha.
#include <cstdint>

#include "core/geometry.h"
#include "core/text.h"

class BaseObject;
class GuiObject;
class TDevice;
class TPixmapPersistent;

// The device of the object's applet, or nil.
TDevice* PaintDevice(const BaseObject* object);

void PaintFill(TDevice* device, const TRectF& rect, TColorARGB color);
void PaintOutline(TDevice* device, const TRectF& rect, TColorARGB color);

// The pixmap over the rect in white, faded by the widget's alpha.
void PaintPixmap(GuiObject* widget, TPixmapPersistent* pixmap, const TRectF& rect);

// A text in the given colour with the layout flags of TDevice.DrawText;
// nothing for an empty text or a font that does not resolve.
void PaintText(GuiObject* widget, const WideString& text, TColorARGB color, uint8_t flags, const TRectF& rect);
// The same in the widget's font colour scaled by its alpha.
void PaintWidgetText(GuiObject* widget, const WideString& text, uint8_t flags, const TRectF& rect);

// True once the object was disposed of, or freed while one of its handlers
// ran: what a widget does after a handler leaves such an object alone.
bool WidgetIsGone(const BaseObject* object);

// An object a widget made for itself: storing the widget leaves it out, as
// the widget makes it again when it is read back.
void MarkWidgetPart(BaseObject* part);
