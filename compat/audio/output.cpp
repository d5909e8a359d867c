// Opening and closing the output: the default device, or SDL's dummy driver
// as the no-sound device, through which everything plays unheard.
#include <SDL.h>

#include "compat/audio/internal/channels.h"

namespace {
constexpr int kChunkFrames = 1024;

bool OpenMixer(uint32_t frequency) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // Always 16-bit stereo: modules are rendered in that form, and SDL converts
  // for a device that wants another.
  if (Mix_OpenAudioDevice(static_cast<int>(frequency), AUDIO_S16SYS, 2, kChunkFrames, nullptr, 0) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

// SDL's dummy driver consumes the mix in real time without a sound card.
bool OpenNoSound(uint32_t frequency) {
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  bool opened = OpenMixer(frequency);
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  return opened;
}
}  // namespace

extern "C" {

int BASS_Init(int device, uint32_t frequency, uint32_t /*flags*/, void* /*window*/, const void* /*clsid*/) {
  if (audio::IsOpen() || frequency == 0) return 0;
  bool opened = false;
  if (device == kAudioDefaultDevice) opened = OpenMixer(frequency);
  if (device == kAudioNoSoundDevice) opened = OpenNoSound(frequency);
  audio::SetOpen(opened);
  return opened ? 1 : 0;
}

// Output runs from the moment the device opens.
int BASS_Start() { return audio::IsOpen() ? 1 : 0; }

int BASS_Free() {
  if (!audio::IsOpen()) return 0;
  // Channels first, so that no sample is freed under a channel that plays it.
  for (HAUDIO handle : audio::AllHandles()) {
    audio::Entry* entry = audio::Find(handle);
    if (entry && entry->kind == audio::Kind::SampleChannel) audio::Forget(handle);
  }
  for (HAUDIO handle : audio::AllHandles()) {
    audio::Entry* entry = audio::Find(handle);
    if (!entry) continue;
    if (entry->kind == audio::Kind::Stream) {
      BASS_StreamFree(handle);
    } else if (entry->kind == audio::Kind::Module) {
      BASS_MusicFree(handle);
    } else {
      BASS_SampleFree(handle);
    }
  }
  Mix_CloseAudio();
  audio::FreeCarrier();
  audio::FreeStreamCarrier();
  audio::ForgetMixChannels();
  // SDL_mixer's own tables go too: the module may be unloaded next.
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  audio::SetOpen(false);
  return 1;
}

}  // extern "C"
