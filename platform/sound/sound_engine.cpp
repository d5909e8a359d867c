#include "platform/sound/sound_engine.h"

#include <algorithm>

#include "core/resources/stream.h"

namespace {
const ClassInfo* engineClass = nullptr;

template <typename T>
void Remove(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}
}  // namespace

const ClassInfo* SoundEngineClass() { return engineClass; }
void SetSoundEngineClass(const ClassInfo* value) { engineClass = value; }

const ClassInfo& TSound::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TSound>("TSound").build();
  return info;
}

const ClassInfo& TMusic::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMusic>("TMusic").build();
  return info;
}

void TMusic::Destroy() {
  // A stream the library never took over is still the music's own.
  if (stream) stream->Free();
  stream = nullptr;
  inherited::Destroy();
}

const ClassInfo& TSoundEngine::staticClassInfo() {
  using S = TSoundEngine;
  static const ClassInfo info = ClassBuilder<S>("TSoundEngine")
                                    .property("soundVolume", &S::soundVolume, &S::setSoundVolume)
                                    .property("musicVolume", &S::musicVolume, &S::setMusicVolume)
                                    .property("pause", &S::pause, &S::setPause).defaultValue(0)
                                    .build();
  return info;
}

void TSoundEngine::Create(TObject* owner) {
  inherited::Create(owner);
  setSoundVolume(0.5f);
  setMusicVolume(0.3f);
}

void TSoundEngine::Destroy() {
  destroyAll();
  inherited::Destroy();
}

void TSoundEngine::destroyAll() {
  // Over copies, last first: each destroy takes its object out of the list.
  std::vector<TSound*> sounds = sounds_;
  for (auto it = sounds.rbegin(); it != sounds.rend(); ++it) {
    TSound* sound = *it;
    DestroySound(sound);
  }
  std::vector<TMusic*> musics = musics_;
  for (auto it = musics.rbegin(); it != musics.rend(); ++it) {
    TMusic* music = *it;
    DestroyMusic(music);
  }
  sounds_.clear();
  musics_.clear();
}

void TSoundEngine::DestroySound(TSound*& sound) {
  if (!sound) return;
  forgetSound(sound);
  FreeAndNil(sound);
}

void TSoundEngine::DestroyMusic(TMusic*& music) {
  if (!music) return;
  forgetMusic(music);
  FreeAndNil(music);
}

void TSoundEngine::forgetSound(TSound* sound) { Remove(sounds_, sound); }
void TSoundEngine::forgetMusic(TMusic* music) { Remove(musics_, music); }
