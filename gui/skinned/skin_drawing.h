#pragma once
// How skinned widgets draw: each owns skin pixmaps naming elements of the
// applet's skin (the built-in one unless the game gives its own), drawn over
// a rectangle in white so the element shows its own colours; texts go
// through DrawWidgetText with the flags below.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "platform/font.h"

class BaseObject;
class VisualObject;
class TSkinPixmapPersistent;

// A skin pixmap of the widget's applet naming the element.
TSkinPixmapPersistent* NewSkinPixmap(BaseObject* widget, const char16_t* element);

// Frees the widget's pixmap and forgets it.
void FreeSkinPixmap(TSkinPixmapPersistent*& pixmap);

// Copies the description into the widget's own pixmap: a published pixmap
// property is set by value, never by taking the given object.
void CopySkinPixmap(TSkinPixmapPersistent* own, TSkinPixmapPersistent* value);

// Draws the widget's pixmap over a rect of its frame in white.
void DrawSkin(const VisualObject* widget, TSkinPixmapPersistent* pixmap, const TRectF& rect);

