#pragma once
// The applet's parts as the whole program provides them: each service of
// AppletParts that a part of the program has built is overridden here, so the
// applet itself never changes when a service arrives. Registration installs
// this class as the parts of every new applet.
//
// So far: the materials (the applet's own "default" and "gui", or the main
// object's Materials), the default "default" and "system" fonts, the
// built-in default skin, the default cursor, the filter through which the
// cache loads pixmaps and meshes, the sound engine, the preferences and
// the score table.
#include "engine/applet/applet_parts.h"
#include "engine/applet/applet_sound.h"
#include "engine/particles/particle_renderers.h"
#include "platform/filters/abstract_filter.h"

class Materials;
class Preferences;
class ScoreTable;
class Skin;
class TFilter;

class GameParts : public AppletParts, public TFilterHost {
 public:
  using AppletParts::AppletParts;
  ~GameParts() override;

  // The game parts of an applet, or nil (no applet, or other parts installed).
  static GameParts* of(const Applet* applet);

  bool createFilter() override;
  TFilter* filterObject() override { return filter_; }
  TPixmap* createPixmap(TResourceMan* manager, const WideString& name) override;
  TMesh* createMesh(TResourceMan* manager, const WideString& name) override;
  TDevice* filterDevice() override;
  float filterModelScale() override;
  TFilter* filter() const { return filter_; }

  bool createMaterials() override;
  void loadMaterials() override;
  BaseObject* findMaterial(const WideString& name) override;
  void loadFonts() override;
  bool loadDefaultSkin() override;
  BaseObject* defaultSkin() override;
  void freeDefaultSkin() override;
  void addScriptGlobals(ScriptGlobals& globals) override;
  void freeServices() override;
  bool ownsAsService(const BaseObject* object) const override;
  VisualObject* createDefaultCursor(BaseObject* topLayer) override;
  void placeCursor(float x, float y) override;

  // ---- particles: the three renderers of the top layer -----------------------------
  // A subclass that adds its own parts of the top layer calls this after them.
  void fillTopLayer(BaseObject* topLayer) override;
  void killParticles() override { particleRenderers_.clearParticles(); }
  TParticleRenderers& particleRenderers() { return particleRenderers_; }

  // ---- preferences and scores ("prefs.dat", "scores.dat") ------------------------
  bool createPreferences() override;
  bool createScoreTable() override;
  bool hasScoreTable() override { return scoreTable_ != nullptr; }
  void loadScoreTable() override;
  void storeScoreTable() override;
  bool hasPreferences() override { return preferences_ != nullptr; }
  void loadPreferences() override;
  void storePreferences() override;
  WideString preference(const WideString& name) override;
  void setPreference(const WideString& name, const WideString& value) override;
  Preferences* preferences() const { return preferences_; }
  ScoreTable* scoreTable() const { return scoreTable_; }

  // ---- sound: the applet's sound engine ------------------------------------------
  bool soundEngineClassRegistered() override { return sound_.classRegistered(); }
  bool hasSoundEngine() override { return sound_.engine() != nullptr; }
  void createSoundEngine() override { sound_.create(); }
  TSound* createSound(TResourceMan* manager, const WideString& name) override { return sound_.loadSound(manager, name); }
  void destroySound(TSound* sound) override { sound_.destroySound(sound); }
  TMusic* createMusic(TResourceMan* manager, const WideString& name) override { return sound_.loadMusic(manager, name); }
  void destroyMusic(TMusic* music) override { sound_.destroyMusic(music); }
  void setSoundVolume(float volume) override { sound_.setSoundVolume(volume); }
  void setMusicVolume(float volume) override { sound_.setMusicVolume(volume); }
  bool soundVolumes(float& sound, float& music) override { return sound_.volumes(sound, music); }
  void setSoundPause(bool paused) override { sound_.setPause(paused); }
  TSoundEngine* soundEngine() const override { return sound_.engine(); }
  void freeEngines() override { sound_.free(); }

  Materials* materials() const { return materials_; }
  Skin* skin() const { return skin_; }
  // A group or skin that is being freed is no longer handed out.
  void forgetMaterials(const Materials* materials);
  void forgetSkin(const Skin* skin);

 private:
  void addMaterial(const WideString& name, TColorARGB color, bool lighting);
  void ensureFont(const WideString& name);
  void freeOwnMaterials();
  void freePlayerFiles();

  TFilter* filter_ = nullptr;
  Materials* materials_ = nullptr;
  // False when materials_ is the main object's own group, which the tree owns.
  bool ownsMaterials_ = false;
  Skin* skin_ = nullptr;
  Preferences* preferences_ = nullptr;
  ScoreTable* scoreTable_ = nullptr;
  AppletSound sound_{applet()};
  TParticleRenderers particleRenderers_;
};

// The factory registration installs.
AppletParts* NewGameParts(Applet* applet);
