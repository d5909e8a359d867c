// Samples: decoded whole into memory, each playback channel on a mixer
// channel of its own.
#include "compat/audio/internal/channels.h"

extern "C" {

HAUDIO BASS_SampleLoad(int fromMemory, const void* file, uint32_t offset, uint32_t length, uint32_t /*maxPlaybacks*/,
                       uint32_t flags) {
  if (!audio::IsOpen() || !fromMemory || !file) return 0;
  Mix_Chunk* chunk = audio::DecodeToChunk(static_cast<const uint8_t*>(file) + offset, length);
  if (!chunk) return 0;
  audio::Entry entry;
  entry.kind = audio::Kind::Sample;
  entry.chunk = chunk;
  entry.loop = (flags & kAudioLoop) != 0;
  return audio::Remember(std::move(entry));
}

HAUDIO BASS_SampleGetChannel(HAUDIO sample, int /*onlyNew*/) {
  audio::Entry* owner = audio::FindKind(sample, {audio::Kind::Sample});
  if (!owner) return 0;
  int mixChannel = audio::TakeMixChannel();
  if (mixChannel < 0) return 0;
  audio::Entry entry;
  entry.kind = audio::Kind::SampleChannel;
  entry.chunk = owner->chunk;
  entry.loop = owner->loop;
  entry.mixChannel = mixChannel;
  entry.sample = sample;
  HAUDIO channel = audio::Remember(std::move(entry));
  owner->channels.push_back(channel);
  return channel;
}

int BASS_SampleFree(HAUDIO sample) {
  audio::Entry* entry = audio::FindKind(sample, {audio::Kind::Sample});
  if (!entry) return 0;
  for (HAUDIO channel : entry->channels) {
    if (audio::Entry* playback = audio::FindKind(channel, {audio::Kind::SampleChannel})) {
      audio::GiveBackMixChannel(playback->mixChannel);
      audio::Forget(channel);
    }
  }
  Mix_FreeChunk(entry->chunk);
  audio::Forget(sample);
  return 1;
}

}  // extern "C"
