#pragma once
// The plain drawing every standard widget does in its client frame (origin at
// its top-left corner, depth 0): filled and outlined rectangles in a colour
// and text in the widget's font.
#include <cstdint>

#include "core/geometry.h"
#include "core/text.h"

class TDevice;
class TFontPersistent;
class VisualObject;

// Text layout flags of the device's text drawing.
constexpr uint8_t kTextLeft = 1;
constexpr uint8_t kTextCentred = 2;
constexpr uint8_t kTextRight = 4;
constexpr uint8_t kTextVertCentred = 16;

// The device the widget draws through, or nil (no applet, no device).
TDevice* WidgetDevice(const VisualObject* widget);

void FillArea(TDevice* device, const TRectF& rect, TColorARGB color);
void OutlineArea(TDevice* device, const TRectF& rect, TColorARGB color);
// Nothing for empty text or a font that does not resolve.
void DrawLabel(TDevice* device, TFontPersistent* font, const WideString& text, TColorARGB color, uint8_t flags,
               const TRectF& rect);
