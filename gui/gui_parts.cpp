#include "gui/gui_parts.h"

#include "engine/applet/applet.h"
#include "engine/script_engine.h"
#include "gui/design/gizmo.h"
#include "gui/design/inspector_form.h"
#include "gui/design/screen_gizmo.h"
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

// A Gizmo and a ScreenGizmo, the latter hidden; each shows itself for a
// design target of its own kind.
void GuiParts::addGizmos(BaseObject* topLayer) {
  New<Gizmo>(topLayer);
  New<ScreenGizmo>(topLayer)->setVisible(false);
}

// The inspector form, hidden until an object is designed.
void GuiParts::addInspector(BaseObject* topLayer) {
  auto* form = New<InspectorForm>(topLayer);
  form->setRect(MakeRectF(600, 0, 800, 600));
  form->setVisible(false);
}

InspectorForm* GuiParts::inspectorForm() const {
  Applet* applet = this->applet();
  BaseObject* layer = applet ? applet->topLayer() : nullptr;
  return layer ? dynamic_cast<InspectorForm*>(layer->findByClassName("InspectorForm")) : nullptr;
}

void GuiParts::showInspector(BaseObject* object) {
  InspectorForm* form = inspectorForm();
  if (!form) return;
  form->setRoot(object);
  form->show();
  form->bringToFront();
}

void GuiParts::addScriptGlobals(ScriptGlobals& globals) {
  GameParts::addScriptGlobals(globals);
  globals.inspector = inspectorForm();
}

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
