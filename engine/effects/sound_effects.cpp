#include "engine/effects/sound_effects.h"

const ClassInfo& SoundEffect::staticClassInfo() {
  using S = SoundEffect;
  static const ClassInfo info =
      ClassBuilder<S>("SoundEffect").property("fileName", &S::soundFile, &S::setSoundFile).build();
  return info;
}

void SoundEffect::Create(TObject* owner) {
  inherited::Create(owner);
  setRunning(false);
}

void SoundEffect::Destroy() {
  sound_.release(this);
  inherited::Destroy();
}

void SoundEffect::setRunning(bool value) {
  inherited::setRunning(value);
  if (value) {
    sound_.play(this);
  } else {
    sound_.stop(this);
  }
}

const ClassInfo& MusicEffect::staticClassInfo() {
  using M = MusicEffect;
  static const ClassInfo info =
      ClassBuilder<M>("MusicEffect").property("fileName", &M::musicFile, &M::setMusicFile).build();
  return info;
}

void MusicEffect::Destroy() {
  music_.release(this);
  inherited::Destroy();
}

void MusicEffect::setRunning(bool value) {
  inherited::setRunning(value);
  if (value) {
    music_.play(this);
  } else {
    music_.stop(this);
  }
}
