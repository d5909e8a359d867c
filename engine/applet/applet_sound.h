#pragma once
// The applet's sound engine: made from the registered sound-engine class on
// first use (the cache's first sound or music, or the volumes from the
// preferences), given the applet's pause, shown to scripts as "soundEngine",
// and the maker and destroyer of the cache's sounds and music. The game parts
// hold one and pass the applet's sound steps to it.
class Applet;
class TMusic;
class TResourceMan;
class TSound;
class TSoundEngine;

#include "core/text/text.h"

class AppletSound {
 public:
  explicit AppletSound(Applet* applet) : applet_(applet) {}
  ~AppletSound();
  AppletSound(const AppletSound&) = delete;
  AppletSound& operator=(const AppletSound&) = delete;

  TSoundEngine* engine() const { return engine_; }
  bool classRegistered() const;
  void create();
  void free();

  TSound* loadSound(TResourceMan* manager, const WideString& name);
  void destroySound(TSound* sound);
  TMusic* loadMusic(TResourceMan* manager, const WideString& name);
  void destroyMusic(TMusic* music);

  void setSoundVolume(float volume);
  void setMusicVolume(float volume);
  bool volumes(float& sound, float& music) const;
  void setPause(bool paused);

 private:
  Applet* applet_;
  TSoundEngine* engine_ = nullptr;
};
