#include "engine/applet/applet_sound.h"

#include "engine/applet/applet.h"
#include "engine/script_engine.h"
#include "platform/sound/sound_engine.h"

AppletSound::~AppletSound() { free(); }

bool AppletSound::classRegistered() const { return SoundEngineClass() != nullptr; }

void AppletSound::create() {
  const ClassInfo* engineClass = SoundEngineClass();
  if (engine_ || !engineClass) return;
  TObject* made = engineClass->create(applet_);
  engine_ = dynamic_cast<TSoundEngine*>(made);
  if (!engine_) {
    if (made) made->Free();
    return;
  }
  engine_->setPause(applet_->paused());
  if (TScriptEngine* scripts = applet_->scriptEngine()) {
    scripts->exportObject(u"soundEngine", AnsiToWide(engine_->className()), engine_);
  }
}

void AppletSound::free() {
  if (!engine_) return;
  // Scripts that outlive the engine find no "soundEngine" any more.
  if (TScriptEngine* scripts = applet_->scriptEngine()) scripts->removeObject(engine_);
  FreeAndNil(engine_);
}

TSound* AppletSound::loadSound(TResourceMan* manager, const WideString& name) {
  return engine_ ? engine_->LoadSound(manager, name) : nullptr;
}

void AppletSound::destroySound(TSound* sound) {
  if (engine_) engine_->DestroySound(sound);
}

TMusic* AppletSound::loadMusic(TResourceMan* manager, const WideString& name) {
  return engine_ ? engine_->LoadMusic(manager, name) : nullptr;
}

void AppletSound::destroyMusic(TMusic* music) {
  if (engine_) engine_->DestroyMusic(music);
}

void AppletSound::setSoundVolume(float volume) {
  if (engine_) engine_->setSoundVolume(volume);
}

void AppletSound::setMusicVolume(float volume) {
  if (engine_) engine_->setMusicVolume(volume);
}

bool AppletSound::volumes(float& sound, float& music) const {
  if (!engine_) return false;
  sound = engine_->soundVolume();
  music = engine_->musicVolume();
  return true;
}

void AppletSound::setPause(bool paused) {
  if (engine_) engine_->setPause(paused);
}
