#include "engine/effects/sound_players.h"

const ClassInfo& SoundPlayer::staticClassInfo() {
  using S = SoundPlayer;
  static const ClassInfo info = ClassBuilder<S>("SoundPlayer")
                                    .property("fileName", &S::soundFile, &S::setSoundFile)
                                    .method("play", &S::play)
                                    .method("stop", &S::stop)
                                    .build();
  return info;
}

void SoundPlayer::Destroy() {
  sound_.release(this);
  inherited::Destroy();
}

const ClassInfo& MusicPlayer::staticClassInfo() {
  using M = MusicPlayer;
  static const ClassInfo info = ClassBuilder<M>("MusicPlayer")
                                    .property("fileName", &M::musicFile, &M::setMusicFile)
                                    .method("play", &M::play)
                                    .method("stop", &M::stop)
                                    .build();
  return info;
}

void MusicPlayer::Destroy() {
  music_.release(this);
  inherited::Destroy();
}
