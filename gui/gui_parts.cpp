#include "gui/gui_parts.h"

#include "engine/applet.h"

AppletParts* NewGuiParts(Applet* applet) { return new GuiParts(applet); }

GuiParts* GuiParts::of(const Applet* applet) {
  return applet ? dynamic_cast<GuiParts*>(applet->parts()) : nullptr;
}

void GuiParts::fillTopLayer(BaseObject* topLayer) {
  addGizmos(topLayer);
  addInspector(topLayer);
  addFadeScreen(topLayer);
  addDebugForm(topLayer);
  GameParts::fillTopLayer(topLayer);
}

// ---- design tools ----------------------------------------------------------------------------

void GuiParts::addGizmos(BaseObject* /*topLayer*/) {}

// The inspector form, hidden until an object is designed.

void GuiParts::addInspector(BaseObject* /*topLayer*/) {}

// ---- forms -----------------------------------------------------------------------------------

void GuiParts::addFadeScreen(BaseObject* /*topLayer*/) {}

// The debug form, hidden until the applet shows it.

void GuiParts::addDebugForm(BaseObject* /*topLayer*/) {}
