#pragma once
// The applet's services that later parts of the program provide: the filter,
// materials, preferences and score table, the default skin and fonts, the top
// layer of GUI and design objects, the script names, the language table and
// the creators the resource cache asks for resources. The applet calls each
// step at its place in construction, loading and destruction; a step that has
// nothing to do yet does nothing and logs nothing. Each later part overrides
// its steps here instead of touching the applet.
#include <optional>

#include "engine/cache_creators.h"
#include "core/text.h"

class Applet;
class BaseObject;
struct ScriptGlobals;

class AppletParts : public TCacheCreators {
 public:
  ~AppletParts() override = default;

  // ---- construction, in the applet's order --------------------------------------
  virtual void createFilter(Applet*) {}
  virtual void createMaterials(Applet*) {}
  // Preferences and score table.
  virtual void createPreferences(Applet*) {}
  virtual void loadDefaultSkin(Applet*) {}
  virtual void loadFonts(Applet*) {}
  virtual void loadMaterials(Applet*) {}

  // ---- after the applet's own properties were read ----------------------------------
  // Answers the top layer ("mostTopLayer"), or nil when there is none yet.
  virtual BaseObject* createTopLayer(Applet*) { return nullptr; }
  // Adds the parts' own script globals (preferences, score table, materials,
  // filter, inspector) to those the applet names.
  virtual void addScriptGlobals(Applet*, ScriptGlobals&) {}
  virtual void loadPreferences(Applet*) {}
  virtual void applyPreferredLanguage(Applet*) {}
  virtual void applyPreferredScreenMode(Applet*) {}
  // The stored "fullscreen" preference, when there is one.
  virtual std::optional<bool> preferredFullScreen(Applet*) { return std::nullopt; }

  // ---- running ------------------------------------------------------------------------
  virtual void toggleConsole(Applet*) {}
  // Puts the cursor object at an applet point.
  virtual void placeCursor(Applet*, float /*x*/, float /*y*/) {}
  // A material of the applet's materials by name, or nil.
  virtual BaseObject* findMaterial(Applet*, const WideString&) { return nullptr; }
  // Physics worlds step after the input of a frame.
  virtual void stepPhysics(Applet*, float /*deltaTime*/) {}
  virtual void setSoundPause(Applet*, bool /*paused*/) {}

  // ---- destruction ----------------------------------------------------------------------
  virtual void storePreferences(Applet*) {}
  virtual void saveLanguageTable(Applet*) {}
  // Frees the physics and sound engines, the filter, score table,
  // preferences and materials.
  virtual void freeServices(Applet*) {}
};

// Makes the parts object every new applet gets. Later parts of the program
// install a factory that makes their own subclass.
using AppletPartsFactory = AppletParts* (*)();
void SetAppletPartsFactory(AppletPartsFactory factory);
AppletParts* NewAppletParts();
