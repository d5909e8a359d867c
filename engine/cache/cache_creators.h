#pragma once
// What the resource cache asks of the applet that owns it: the makers and
// destroyers of every kind of shared resource. The cache never builds a
// resource itself: fonts come from the device, pixmaps and meshes through the
// filter, sounds and music from the sound engine, compiled scripts from the
// script engine. The applet installs one implementation that forwards each
// call to the part that knows how.
//
// Every operation has a body that makes nothing, so an applet overrides only
// what it can already provide; a maker it does not override answers nil and
// the cache hands out nil for that kind.
#include <cstdint>

#include "core/text/text.h"

class TFont;
class TMesh;
class TMusic;
class TPixmap;
class TResourceMan;
class TScript;
class TSound;

class TCacheCreators {
 public:
  virtual ~TCacheCreators() = default;

  // ---- the device: fonts ------------------------------------------------------
  // TDevice.CreateFont(family, size, style) of the applet's device.
  virtual TFont* createFont(const WideString& /*family*/, float /*size*/, int32_t /*style*/) { return nullptr; }
  // TDevice.DestroyFont.
  virtual void destroyFont(TFont* /*font*/) {}

  // ---- the filter and the device: pixmaps and meshes ----------------------
  // TFilter.loadPixmap(manager, name) of the applet's filter.
  virtual TPixmap* createPixmap(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  // TDevice.DestroyPixmap.
  virtual void destroyPixmap(TPixmap* /*pixmap*/) {}
  // TFilter.loadMesh(manager, name).
  virtual TMesh* createMesh(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  // TDevice.DestroyMesh.
  virtual void destroyMesh(TMesh* /*mesh*/) {}

  // ---- the sound engine: sounds and music -----------------------------------
  // Whether a sound-engine class is registered.
  virtual bool soundEngineClassRegistered() { return false; }
  // Whether the applet holds a sound engine.
  virtual bool hasSoundEngine() { return false; }
  // Creates the engine from the registered class with the applet as owner,
  // stores it in the applet, sets its pause from the applet's pause state
  // and exports it to scripts as "soundEngine" under its class name.
  virtual void createSoundEngine() {}
  // TSoundEngine.LoadSound / DestroySound of the applet's engine.
  virtual TSound* createSound(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  virtual void destroySound(TSound* /*sound*/) {}
  // TSoundEngine.LoadMusic / DestroyMusic.
  virtual TMusic* createMusic(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  virtual void destroyMusic(TMusic* /*music*/) {}

  // ---- the script engine: compiled scripts ----------------------------------
  // TScriptEngine.loadScript(manager, name).
  virtual TScript* createScript(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  // TScriptEngine.freeScript.
  virtual void freeScript(TScript* /*script*/) {}
};
