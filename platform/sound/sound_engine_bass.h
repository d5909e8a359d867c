#pragma once
// `TSoundEngineBass`: the sound engine over the audio library, which the
// first engine of the process loads by base name and initialises (the
// default device, else the no-sound device) and the last one frees, so that
// several applets share it. Without the library, or when no device could be
// opened, the engine stays disabled and every operation is silent; the
// volumes are still kept, so that they are right once sound can play.
#include "platform/sound/sound_engine.h"

class TSoundEngineBass : public TSoundEngine {
  Q_OBJECT(TSoundEngineBass, TSoundEngine)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void setSoundVolume(float volume) override;
  void setMusicVolume(float volume) override;
  void setPause(bool value) override;
  TSound* LoadSound(TResourceMan* manager, const WideString& name) override;
  void DestroySound(TSound*& sound) override;
  void PlaySound(TSound* sound) override;
  void StopSound(TSound* sound) override;
  TMusic* LoadMusic(TResourceMan* manager, const WideString& name) override;
  void DestroyMusic(TMusic*& music) override;
  void PlayMusic(TMusic* music) override;
  void PauseMusic(TMusic* music) override;
  void StopMusic(TMusic* music) override;

  // The audio library was initialised for this engine.
  bool enabled() const { return enabled_; }

  // Process-wide: the engines alive and whether the library is initialised.
  static int liveEngines();
  static bool libraryInitialised();

 private:
  void setMusicChannelVolume(TMusic* music);
  bool enabled_ = false;
};

// Sets the sound-engine class to TSoundEngineBass.
void RegisterSoundEngine();
