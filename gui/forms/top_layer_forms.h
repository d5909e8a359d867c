#pragma once
// The applet's own forms in its top layer: the fade screen, a `Screen` over
// the whole applet that fades in to a colour and out again (its "show" and
// "hide" effects), and the debug form "debugForm" that shows the applet's
// debug values while `debugInfo` is on.
#include "core/text/text.h"

class Applet;
class BaseObject;
class DebugForm;
class Screen;

// Adds the fade screen (hidden, transparent to the mouse, black) to the
// top layer.
Screen* AddFadeScreen(BaseObject* topLayer);
// Adds the debug form, 120 wide, shown as the applet's `debugInfo` says.
DebugForm* AddDebugForm(BaseObject* topLayer);

// The fade screen and the debug form of an applet's top layer, or nil.
Screen* FadeScreenOf(const Applet* applet);
DebugForm* DebugFormOf(const Applet* applet);

// Covers the applet with the screen in the colour, fading in over the
// seconds; `wait` runs frames until the fade is over.
void FadeScreenToColor(Screen* screen, const WideString& color, float seconds, bool wait);
// Fades the covering screen out over the seconds and hides it.
void FadeScreenOut(Screen* screen, float seconds, bool wait);
