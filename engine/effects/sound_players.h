#pragma once
// `SoundPlayer` and `MusicPlayer`: tree nodes that hold one sound or music
// file for scripts to `play` and `stop`.
#include "core/objects/base_object.h"
#include "engine/effects/cached_sound.h"

class SoundPlayer : public BaseObject {
  Q_OBJECT(SoundPlayer, BaseObject)

 public:
  void Destroy() override;
  void play() { sound_.play(this); }
  void stop() { sound_.stop(this); }

  const AnsiString& soundFile() const { return sound_.fileName(); }
  void setSoundFile(const AnsiString& name) { sound_.setFileName(this, name); }
  TSound* sound() const { return sound_.media(); }

 private:
  CachedSound<SoundMedia> sound_;
};

class MusicPlayer : public BaseObject {
  Q_OBJECT(MusicPlayer, BaseObject)

 public:
  void Destroy() override;
  void play() { music_.play(this); }
  void stop() { music_.stop(this); }

  const AnsiString& musicFile() const { return music_.fileName(); }
  void setMusicFile(const AnsiString& name) { music_.setFileName(this, name); }
  TMusic* music() const { return music_.media(); }

 private:
  CachedSound<MusicMedia> music_;
};
