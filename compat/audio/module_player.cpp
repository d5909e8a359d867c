// Tracker modules (MOD, XM, S3M, IT) are rendered while they play: a module
// may jump back to its start for ever, so it is never decoded whole. Its
// mixer channel plays a silent carrier, and an effect on that channel
// replaces the carrier's sound with the module's, so the module takes the
// channel's volume and pause like any other sound.
#include <libmodplug/modplug.h>

#include <climits>
#include <cstring>
#include <mutex>

#include "compat/audio/internal/channels.h"

namespace {
// Silence that the channel loops while the effect writes over it; made
// while output is open, freed when it closes.
constexpr int kCarrierBytes = 16384;
uint8_t carrierBytes[kCarrierBytes];
Mix_Chunk* carrier = nullptr;
Mix_Chunk* Carrier() {
  if (!carrier) carrier = Mix_QuickLoad_RAW(carrierBytes, kCarrierBytes);
  return carrier;
}

// Renders the module over the channel's sound. Runs on the audio thread; the
// module is touched by nothing else while the effect is registered.
void RenderModule(int /*channel*/, void* stream, int length, void* user) {
  auto* module = static_cast<ModPlugFile*>(user);
  auto* out = static_cast<uint8_t*>(stream);
  int done = 0;
  bool rewound = false;
  while (done < length) {
    int got = ModPlug_Read(module, out + done, length - done);
    if (got > 0) {
      done += got;
      rewound = false;
      continue;
    }
    // The end: a looping module starts again (mLoopCount), so a module that
    // gives nothing even from its start is silent from here on.
    if (rewound) break;
    ModPlug_Seek(module, 0);
    rewound = true;
  }
  if (done < length) std::memset(out + done, 0, static_cast<size_t>(length - done));
}

// ModPlug's settings are process-wide and read when a module is loaded.
void UseSettings(int frequency, int channels, bool loop) {
  ModPlug_Settings settings;
  ModPlug_GetSettings(&settings);
  settings.mChannels = channels;
  settings.mBits = 16;
  settings.mFrequency = frequency;
  settings.mResamplingMode = MODPLUG_RESAMPLE_LINEAR;
  settings.mLoopCount = loop ? -1 : 0;
  ModPlug_SetSettings(&settings);
}
}  // namespace

namespace audio {

_ModPlugFile* LoadModule(const void* data, uint32_t length, bool loop) {
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  if (length > static_cast<uint32_t>(INT_MAX) || !IsTrackerModule(data, length)) return nullptr;
  if (!Mix_QuerySpec(&frequency, &format, &channels) || format != AUDIO_S16SYS) return nullptr;
  if (channels != 1 && channels != 2) return nullptr;
  UseSettings(frequency, channels, loop);
  // ModPlug copies what it needs: the caller's data may go.
  return ModPlug_Load(data, static_cast<int>(length));
}

void FreeCarrier() {
  Mix_FreeChunk(carrier);
  carrier = nullptr;
}

void FreeModule(_ModPlugFile* module) {
  if (module) ModPlug_Unload(module);
}

bool StartModule(Entry& entry) {
  Mix_Chunk* carrier = Carrier();
  if (!carrier) return false;
  // Halting takes the mixer's lock and removes the channel's effects, so
  // the module can be rewound here without the audio thread reading it.
  Mix_HaltChannel(entry.mixChannel);
  ModPlug_Seek(entry.module, 0);
  if (Mix_PlayChannel(entry.mixChannel, carrier, -1) != entry.mixChannel) return false;
  return Mix_RegisterEffect(entry.mixChannel, RenderModule, nullptr, entry.module) != 0;
}

}  // namespace audio
