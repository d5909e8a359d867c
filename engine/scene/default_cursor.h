#pragma once
// The applet's own mouse cursor when the game names no cursor file: a dummy
// in the top layer holding a sprite of the skin's "cursor" element, placed so
// that the arrow's tip is at the dummy's position.
class BaseObject;
class VisualObject;

VisualObject* MakeDefaultCursor(BaseObject* topLayer);
// Moves a cursor object (any positioned object) to an applet point.
void PlaceCursorObject(VisualObject* cursor, float x, float y);
