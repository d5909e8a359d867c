// Volume, play, pause, stop and state of any playback channel: a sample's
// channel, a stream or a module.
#include "compat/audio/internal/channels.h"

namespace {
audio::Entry* PlaybackOf(HAUDIO handle) {
  return audio::FindKind(handle, {audio::Kind::SampleChannel, audio::Kind::Stream, audio::Kind::Module});
}
}  // namespace

extern "C" {

int BASS_ChannelSetAttributes(HAUDIO channel, int /*frequency*/, int volume, int /*panning*/) {
  audio::Entry* entry = PlaybackOf(channel);
  if (!entry) return 0;
  if (volume != kAudioKeepVolume) {
    if (volume < 0) volume = 0;
    if (volume > 100) volume = 100;
    Mix_Volume(entry->mixChannel, volume * MIX_MAX_VOLUME / 100);
  }
  return 1;
}

int BASS_ChannelPlay(HAUDIO channel, int restart) {
  audio::Entry* entry = PlaybackOf(channel);
  if (!entry) return 0;
  const int mixChannel = entry->mixChannel;
  if (!restart && Mix_Playing(mixChannel)) {
    if (Mix_Paused(mixChannel)) Mix_Resume(mixChannel);
    return 1;
  }
  return audio::StartPlayback(*entry) ? 1 : 0;
}

int BASS_ChannelPause(HAUDIO channel) {
  audio::Entry* entry = PlaybackOf(channel);
  if (!entry || !Mix_Playing(entry->mixChannel)) return 0;
  Mix_Pause(entry->mixChannel);
  return 1;
}

int BASS_ChannelStop(HAUDIO channel) {
  audio::Entry* entry = PlaybackOf(channel);
  if (!entry) return 0;
  Mix_HaltChannel(entry->mixChannel);
  return 1;
}

uint32_t BASS_ChannelIsActive(HAUDIO channel) {
  audio::Entry* entry = PlaybackOf(channel);
  if (!entry || !Mix_Playing(entry->mixChannel)) return kAudioStopped;
  return Mix_Paused(entry->mixChannel) ? kAudioPaused : kAudioPlaying;
}

}  // extern "C"
