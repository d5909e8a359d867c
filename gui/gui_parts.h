#pragma once
// The applet's parts with the GUI in: the game's parts, plus the top layer's
// GUI and design objects and the services that work through them (the
// inspector, the fade screen, the debug form, the console). Registration
// installs this class as the parts of every new applet.
#include "engine/applet/game_parts.h"
#include "gui/console/console_host.h"

class InspectorForm;

class GuiParts : public GameParts {
 public:
  using GameParts::GameParts;

  // The GUI parts of an applet, or nil (no applet, or other parts installed).
  static GuiParts* of(const Applet* applet);

  // The top layer, bottom to top: the gizmos, the inspector, the fade screen,
  // the debug form, then the game's own (the particle renderers).
  void fillTopLayer(BaseObject* topLayer) override;

  // ---- design tools: gizmos and inspector ---------------------------------------------
  // The top layer's inspector form shows the object.
  void showInspector(BaseObject* object) override;
  void addScriptGlobals(ScriptGlobals& globals) override;
  // The top layer's inspector form, or nil.
  InspectorForm* inspectorForm() const;

  // ---- forms: fade screen and debug form ----------------------------------------------
  void showDebugForm(bool visible) override;
  void fadeScreenToColor(const WideString& color, float seconds, bool wait) override;
  void hideScreen(float seconds, bool wait) override;

  // ---- console ---------------------------------------------------------------------------
  void toggleConsole() override { console_.toggle(); }
  void placeConsole(const TRectF& rect) override { console_.place(rect); }
  const ConsoleHost& console() const { return console_; }

 private:
  // Steps of the top layer, in its order.
  void addGizmos(BaseObject* topLayer);
  void addInspector(BaseObject* topLayer);
  void addFadeScreen(BaseObject* topLayer);
  void addDebugForm(BaseObject* topLayer);

  ConsoleHost console_{applet()};
};

// The factory registration installs.
AppletParts* NewGuiParts(Applet* applet);
