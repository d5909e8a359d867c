#pragma once
// `TSoundEngine`: how the applet plays short sounds and music. The applet
// makes its engine from the registered sound-engine class when the first
// sound or music is asked for (or when preferences set the volumes), and
// sets the engine's pause with its own. This base keeps the volumes and the
// pause and plays nothing; `TSoundEngineBass` plays through the audio library.
#include <cstdint>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/objects/component.h"

class TResourceMan;
class TStream;

// A sound loaded whole into memory, with its one playback channel.
class TSound : public TSomePersistent {
  Q_OBJECT(TSound, TSomePersistent)

 public:
  uint32_t sample = 0;
  uint32_t channel = 0;
};

// A music: a stream fed from its resource stream, or a tracker module.
class TMusic : public TSomePersistent {
  Q_OBJECT(TMusic, TSomePersistent)

 public:
  void Destroy() override;

  uint32_t handle = 0;
  // Paused by the engine's pause: it plays again when the pause ends.
  bool pausedByEngine = false;
  bool streamed = false;
  // The stream that feeds a streamed music; the library owns it from the
  // music's creation on and closes it when the stream is freed.
  TStream* stream = nullptr;
};

class TSoundEngine : public TSomePersistent {
  Q_OBJECT(TSoundEngine, TSomePersistent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  float soundVolume() const { return soundVolume_; }
  virtual void setSoundVolume(float volume) { soundVolume_ = volume; }
  float musicVolume() const { return musicVolume_; }
  virtual void setMusicVolume(float volume) { musicVolume_ = volume; }
  bool pause() const { return pause_; }
  virtual void setPause(bool value) { pause_ = value; }

  // Each answers nil (loads) or does nothing here.
  virtual TSound* LoadSound(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  // Frees the sound and sets the pointer to nil.
  virtual void DestroySound(TSound*& sound);
  virtual void PlaySound(TSound* /*sound*/) {}
  virtual void StopSound(TSound* /*sound*/) {}
  virtual TMusic* LoadMusic(TResourceMan* /*manager*/, const WideString& /*name*/) { return nullptr; }
  // Frees the music and sets the pointer to nil.
  virtual void DestroyMusic(TMusic*& music);
  virtual void PlayMusic(TMusic* /*music*/) {}
  virtual void PauseMusic(TMusic* /*music*/) {}
  virtual void StopMusic(TMusic* /*music*/) {}

  const std::vector<TSound*>& sounds() const { return sounds_; }
  const std::vector<TMusic*>& musics() const { return musics_; }

 protected:
  // Destroys every sound, then every music, each last first, through the
  // virtual destroy operations.
  void destroyAll();
  // Dropping a sound or music from the lists; the caller frees it.
  void forgetSound(TSound* sound);
  void forgetMusic(TMusic* music);
  std::vector<TSound*> sounds_;
  std::vector<TMusic*> musics_;

 private:
  float soundVolume_ = 0;
  float musicVolume_ = 0;
  bool pause_ = false;
};

// The class applets make their sound engine from; nil when none is set.
const ClassInfo* SoundEngineClass();
void SetSoundEngineClass(const ClassInfo* engineClass);
