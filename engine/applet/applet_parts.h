#pragma once
// The applet's services that later parts of the program provide: the filter,
// materials, preferences and score table, the default skin and fonts, the
// widgets and renderers of the top layer, the console, the physics and sound
// engines, and the makers the resource cache asks for resources. The applet
// calls each step at its place in construction, loading, running and
// destruction; a step that has nothing to do yet does nothing, and the applet
// writes a step's log line only when the step reports that it ran. Each later
// part overrides its steps in a subclass instead of touching the applet.
//
// The base class already makes what the applet itself can make: compiled
// scripts through the applet's script engine and fonts through its device,
// and it destroys pixmaps and meshes through the device.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/text/text.h"
#include "engine/cache/cache_creators.h"

class Applet;
class BaseObject;
class TFilter;
class TSoundEngine;
class VisualObject;
struct ScriptGlobals;

class AppletParts : public TCacheCreators {
 public:
  explicit AppletParts(Applet* applet) : applet_(applet) {}
  ~AppletParts() override = default;
  AppletParts(const AppletParts&) = delete;
  AppletParts& operator=(const AppletParts&) = delete;

  Applet* applet() const { return applet_; }

  // ---- construction, in the applet's order; true when the object was made ----------
  virtual bool createFilter() { return false; }
  // The filter made by createFilter (nil when none was made).
  virtual TFilter* filterObject() { return nullptr; }
  virtual bool createMaterials() { return false; }
  virtual bool createPreferences() { return false; }
  virtual bool createScoreTable() { return false; }
  // "defaultskin.qxml" from the engine's built-in resources.
  virtual bool loadDefaultSkin() { return false; }
  // The default skin object, nil until one is loaded.
  virtual BaseObject* defaultSkin() { return nullptr; }
  // The "default" and "system" fonts (the first one made may be the applet's
  // first child, which runs the applet's afterLoad).
  virtual void loadFonts() {}
  // The main object's own Materials, or the built-in "default" and "gui".
  virtual void loadMaterials() {}

  // ---- after the applet's own properties were read ----------------------------------
  // Fills the top layer: gizmos, inspector, the fade screen, the debug form,
  // the three particle renderers.
  virtual void fillTopLayer(BaseObject* /*topLayer*/) {}
  // The default cursor (a sprite of the skin's "cursor" element) in the top
  // layer, or nil.
  virtual VisualObject* createDefaultCursor(BaseObject* /*topLayer*/) { return nullptr; }
  // Adds the parts' own script globals (preferences, score table, materials,
  // filter, inspector) to those the applet names.
  virtual void addScriptGlobals(ScriptGlobals&) {}
  virtual void showDebugForm(bool /*visible*/) {}

  // ---- preferences and scores ------------------------------------------------------
  virtual bool hasScoreTable() { return false; }
  virtual void loadScoreTable() {}
  virtual void storeScoreTable() {}
  virtual bool hasPreferences() { return false; }
  virtual void loadPreferences() {}
  virtual void storePreferences() {}
  // A preference's text; empty when unset or without preferences.
  virtual WideString preference(const WideString& /*name*/) { return WideString(); }
  virtual void setPreference(const WideString& /*name*/, const WideString& /*value*/) {}

  // ---- sound -------------------------------------------------------------------------
  virtual void setSoundVolume(float /*volume*/) {}
  virtual void setMusicVolume(float /*volume*/) {}
  // False without a sound engine.
  virtual bool soundVolumes(float& /*sound*/, float& /*music*/) { return false; }
  virtual void setSoundPause(bool /*paused*/) {}
  // The applet's sound engine, nil until one is made.
  virtual TSoundEngine* soundEngine() const { return nullptr; }

  // ---- running -------------------------------------------------------------------------
  virtual void toggleConsole() {}
  // Places the console, when it exists, over the rect (applet units).
  virtual void placeConsole(const TRectF& /*rect*/) {}
  // Puts the cursor object at an applet point.
  virtual void placeCursor(float /*x*/, float /*y*/) {}
  // A material of the applet's materials by name, or nil.
  virtual BaseObject* findMaterial(const WideString&) { return nullptr; }
  virtual void showMessage(const WideString& /*text*/) {}
  // The inspector form shows the object (BaseObject.design).
  virtual void showInspector(BaseObject* /*object*/) {}
  virtual void fadeScreenToColor(const WideString& /*color*/, float /*seconds*/, bool /*wait*/) {}
  virtual void hideScreen(float /*seconds*/, bool /*wait*/) {}
  virtual void killParticles() {}
  // Storing the applet: the console and the debug form leave the tree
  // meanwhile, so neither is written into an object file.
  virtual void detachForStoring() {}
  virtual void attachAfterStoring() {}

  // ---- destruction ----------------------------------------------------------------------
  // Frees the sound engine (after the cache and the physics engine).
  virtual void freeEngines() {}
  // Frees the filter, the score table, the preferences and the materials
  // (after the script engine).
  virtual void freeServices() {}
  // Frees the default skin (after the tree, before the cache its pixmaps
  // came from).
  virtual void freeDefaultSkin() {}
  // Whether the object is one of the services above, which only the applet
  // frees (scripts see some of them and may try to dispose of them).
  virtual bool ownsAsService(const BaseObject* /*object*/) const { return false; }

  // ---- what the applet itself can make for the cache --------------------------------
  TFont* createFont(const WideString& family, float size, int32_t style) override;
  void destroyFont(TFont* font) override;
  void destroyPixmap(TPixmap* pixmap) override;
  void destroyMesh(TMesh* mesh) override;
  TScript* createScript(TResourceMan* manager, const WideString& name) override;
  void freeScript(TScript* script) override;

 private:
  Applet* applet_;
};

// Makes the parts object every new applet gets. Later parts of the program
// install a factory that makes their own subclass.
using AppletPartsFactory = AppletParts* (*)(Applet* applet);
void SetAppletPartsFactory(AppletPartsFactory factory);
AppletParts* NewAppletParts(Applet* applet);
