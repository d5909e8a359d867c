// Loads arbitrary bytes through the audio module as everything a game file
// can become: a sample and its channel, a tracker module, and a stream read
// through a file callback. Runs on the no-sound device. Nothing may crash,
// overrun or leak; bad data answers handle 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/system/log.h"
#include "platform/sound/audio_functions.h"

namespace {
struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t at;
  bool closed;
};

uint32_t ReadBytes(uint32_t action, uint32_t param, void* buffer, void* user) {
  auto* file = static_cast<Bytes*>(user);
  switch (action) {
    case kAudioFileClose:
      file->closed = true;
      return 0;
    case kAudioFileRead: {
      const size_t n = std::min<size_t>(param, file->size - file->at);
      if (n) std::memcpy(buffer, file->data + file->at, n);
      file->at += n;
      return static_cast<uint32_t>(n);
    }
    case kAudioFileLength:
      return static_cast<uint32_t>(file->size);
    case kAudioFileSeek:
      file->at = std::min<size_t>(param, file->size);
      return 1;
  }
  return 0;
}

const TAudioFunctions* OpenAudio() {
  LogHandler() = [](const WideString&) {};
  if (!TAudioLibrary::Load()) return nullptr;
  const TAudioFunctions& audio = TAudioLibrary::functions();
  if (!audio.Init(kAudioNoSoundDevice, 44100, 0, nullptr, nullptr)) return nullptr;
  audio.Start();
  return &audio;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TAudioFunctions* audio = OpenAudio();
  // Without the module nothing would be read: that is a broken set-up, not a pass.
  if (!audio) __builtin_trap();
  if (size > (16u << 20)) return 0;
  const auto length = static_cast<uint32_t>(size);

  if (HAUDIO sample = audio->SampleLoad(1, data, 0, length, 6, 0)) {
    HAUDIO channel = audio->SampleGetChannel(sample, 0);
    audio->ChannelSetAttributes(channel, kAudioKeepFrequency, 50, kAudioKeepPanning);
    audio->SampleFree(sample);
  }
  if (HAUDIO module = audio->MusicLoad(1, data, 0, length, kAudioLoop, 0)) audio->MusicFree(module);

  Bytes file{data, size, 0, false};
  if (HAUDIO stream = audio->StreamCreateFileUser(0, kAudioLoop, ReadBytes, &file)) audio->StreamFree(stream);
  if (!file.closed) __builtin_trap();  // the library must always close the file
  return 0;
}
