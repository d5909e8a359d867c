#include "gui/gui_parts.h"

#include "engine/applet.h"
#include "gui/forms/debug_form.h"
#include "gui/forms/top_layer_forms.h"

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

void GuiParts::addFadeScreen(BaseObject* topLayer) { AddFadeScreen(topLayer); }

// The debug form, hidden until the applet shows it.

void GuiParts::addDebugForm(BaseObject* topLayer) { AddDebugForm(topLayer); }

void GuiParts::showDebugForm(bool visible) {
  if (DebugForm* form = DebugFormOf(applet())) form->setVisible(visible);
}

void GuiParts::fadeScreenToColor(const WideString& color, float seconds, bool wait) {
  FadeScreenToColor(FadeScreenOf(applet()), color, seconds, wait);
}

void GuiParts::hideScreen(float seconds, bool wait) { FadeScreenOut(FadeScreenOf(applet()), seconds, wait); }
