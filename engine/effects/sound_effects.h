#pragma once
// `SoundEffect` and `MusicEffect`: effects that play a sound or a music file
// while they run and stop it when they stop (the "enter_snd" and
// "leave_snd" effects of hot-tracking objects are sound effects).
#include "core/objects/effect.h"
#include "engine/effects/cached_sound.h"

class SoundEffect : public Effect {
  Q_OBJECT(SoundEffect, Effect)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void setRunning(bool value) override;

  const AnsiString& soundFile() const { return sound_.fileName(); }
  void setSoundFile(const AnsiString& name) { sound_.setFileName(this, name); }
  TSound* sound() const { return sound_.media(); }

 private:
  CachedSound<SoundMedia> sound_;
};

class MusicEffect : public Effect {
  Q_OBJECT(MusicEffect, Effect)

 public:
  void Destroy() override;
  void setRunning(bool value) override;

  const AnsiString& musicFile() const { return music_.fileName(); }
  void setMusicFile(const AnsiString& name) { music_.setFileName(this, name); }
  TMusic* music() const { return music_.media(); }

 private:
  CachedSound<MusicMedia> music_;
};
