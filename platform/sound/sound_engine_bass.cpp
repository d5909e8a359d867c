#include "platform/sound/sound_engine_bass.h"

#include <algorithm>
#include <vector>

#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "platform/sound/audio_functions.h"
#include "platform/sound/music_file.h"

namespace {
int liveEngineCount = 0;
bool initialised = false;

const TAudioFunctions& Audio() { return TAudioLibrary::functions(); }

int VolumeOf(float volume) { return static_cast<int>(volume * 100.0f); }

// Larger sound files are refused rather than read into memory.
constexpr int64_t kLargestSoundFile = 256 << 20;

// The whole resource, or nothing when the name does not open.
bool ReadResource(TResourceMan* manager, const WideString& name, std::vector<uint8_t>& bytes) {
  TStream* stream = manager ? manager->createStream(name, fmOpenRead) : nullptr;
  if (!stream) return false;
  if (stream->Size() > kLargestSoundFile) {
    LogError(u"Sound file too large: " + name);
    stream->Free();
    return false;
  }
  TMemoryStream copy;
  stream->SetPosition(0);
  copy.CopyFrom(*stream, 0);
  stream->Free();
  bytes = std::move(copy.Bytes());
  return true;
}

bool IsStreamedName(const WideString& name) {
  const WideString lower = LowerCaseW(name);
  return lower.find(u".ogg") != WideString::npos || lower.find(u".mp3") != WideString::npos;
}

void InitialiseLibrary() {
  LogInfo(u"Soun1dEngine - BASS - create");
  bool opened = Audio().Init(kAudioDefaultDevice, 44100, 0, nullptr, nullptr) != 0;
  if (!opened) {
    LogError(u"BASS: Error initializing audio!");
    opened = Audio().Init(kAudioNoSoundDevice, 44100, 0, nullptr, nullptr) != 0;
    if (!opened) LogError(u"BASS: Error initializing nosound!");
  }
  // With no device at all there is nothing to start or to free later.
  if (!opened) return;
  Audio().Start();
  initialised = true;
}
}  // namespace

const ClassInfo& TSoundEngineBass::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TSoundEngineBass>("TSoundEngineBass").build();
  return info;
}

void RegisterSoundEngine() { SetSoundEngineClass(&TSoundEngineBass::staticClassInfo()); }

int TSoundEngineBass::liveEngines() { return liveEngineCount; }
bool TSoundEngineBass::libraryInitialised() { return initialised; }

void TSoundEngineBass::Create(TObject* owner) {
  if (liveEngineCount == 0 && !TAudioLibrary::Load()) LogError(u"Can't load Bass");
  ++liveEngineCount;
  inherited::Create(owner);
  if (TAudioLibrary::loaded() && !initialised) InitialiseLibrary();
  enabled_ = initialised;
}

void TSoundEngineBass::Destroy() {
  destroyAll();
  --liveEngineCount;
  if (liveEngineCount == 0) {
    if (initialised) {
      initialised = false;
      Audio().Free();
      LogInfo(u"SoundEngine - BASS - finished");
    }
    TAudioLibrary::Unload();
  }
  enabled_ = false;
  inherited::Destroy();
}

// ---- volumes and pause ----------------------------------------------------------------

void TSoundEngineBass::setSoundVolume(float volume) {
  // Kept also while disabled, so that sound is at the right level once it plays.
  inherited::setSoundVolume(volume);
  if (!enabled_) return;
  for (TSound* sound : sounds_) {
    Audio().ChannelSetAttributes(sound->channel, kAudioKeepFrequency, VolumeOf(volume), kAudioKeepPanning);
  }
}

void TSoundEngineBass::setMusicVolume(float volume) {
  inherited::setMusicVolume(volume);
  if (!enabled_) return;
  for (TMusic* music : musics_) {
    setMusicChannelVolume(music);
    LogInfo(u"music volume " + FloatToWideStr(volume));
  }
}

void TSoundEngineBass::setMusicChannelVolume(TMusic* music) {
  Audio().ChannelSetAttributes(music->handle, kAudioKeepFrequency, VolumeOf(musicVolume()), kAudioKeepPanning);
}

void TSoundEngineBass::setPause(bool value) {
  if (!enabled_ || value == pause()) return;
  inherited::setPause(value);
  for (TMusic* music : musics_) {
    if (value) {
      if (Audio().ChannelIsActive(music->handle) != kAudioPlaying) continue;
      Audio().ChannelPause(music->handle);
      music->pausedByEngine = true;
    } else if (music->pausedByEngine) {
      // A music first started while paused has never had its volume set.
      setMusicChannelVolume(music);
      Audio().ChannelPlay(music->handle, 0);
      music->pausedByEngine = false;
    }
  }
}

// ---- sounds -------------------------------------------------------------------------------

TSound* TSoundEngineBass::LoadSound(TResourceMan* manager, const WideString& name) {
  std::vector<uint8_t> bytes;
  if (!enabled_ || !ReadResource(manager, name, bytes)) return nullptr;
  auto* sound = New<TSound>(this);
  sound->sample = Audio().SampleLoad(1, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), 6, 0);
  if (sound->sample) {
    sound->channel = Audio().SampleGetChannel(sound->sample, 0);
  } else {
    LogError(u"Can't load sound " + name);
  }
  sounds_.push_back(sound);
  return sound;
}

void TSoundEngineBass::DestroySound(TSound*& sound) {
  if (!enabled_ || !sound) return;
  Audio().SampleFree(sound->sample);
  inherited::DestroySound(sound);
}

void TSoundEngineBass::PlaySound(TSound* sound) {
  if (!enabled_ || !sound) return;
  Audio().ChannelSetAttributes(sound->channel, kAudioKeepFrequency, VolumeOf(soundVolume()), kAudioKeepPanning);
  Audio().ChannelPlay(sound->channel, 1);
}

void TSoundEngineBass::StopSound(TSound* sound) {
  if (enabled_ && sound) Audio().ChannelPause(sound->channel);
}

// ---- music ----------------------------------------------------------------------------------

TMusic* TSoundEngineBass::LoadMusic(TResourceMan* manager, const WideString& name) {
  std::vector<uint8_t> bytes;
  if (!enabled_ || !ReadResource(manager, name, bytes)) return nullptr;
  auto* music = New<TMusic>(this);
  if (IsStreamedName(name)) {
    // The stream reads its own copy: the library may read from its own thread,
    // and an archive's shared structures are not safe to touch from there.
    music->streamed = true;
    music->stream = new TMemoryStream(std::move(bytes));
    music->handle = Audio().StreamCreateFileUser(0, kAudioLoop, MusicFileProc, music->stream);
    // The library closes the stream when it is done with it, also when it
    // could not make the music.
    if (!music->handle) music->stream = nullptr;
  } else {
    music->handle = Audio().MusicLoad(1, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), kAudioLoop, 0);
  }
  if (!music->handle) LogError(u"Can't load music " + name);
  musics_.push_back(music);
  return music;
}

void TSoundEngineBass::DestroyMusic(TMusic*& music) {
  if (!enabled_ || !music) return;
  Audio().ChannelStop(music->handle);
  if (music->streamed) {
    Audio().StreamFree(music->handle);
    music->stream = nullptr;
  } else {
    Audio().MusicFree(music->handle);
  }
  inherited::DestroyMusic(music);
}

void TSoundEngineBass::PlayMusic(TMusic* music) {
  if (!enabled_ || !music) return;
  if (pause()) {
    music->pausedByEngine = true;
    return;
  }
  setMusicChannelVolume(music);
  Audio().ChannelPlay(music->handle, 0);
}

void TSoundEngineBass::PauseMusic(TMusic* music) {
  if (enabled_ && music) Audio().ChannelPause(music->handle);
}

void TSoundEngineBass::StopMusic(TMusic* music) {
  if (enabled_ && music) Audio().ChannelStop(music->handle);
}
