#pragma once
// The audio library as the sound engine binds it: fifteen functions that the
// engine looks up by name in the module "bass" next to the program (through
// the library loader), so that a missing module leaves the game silent
// instead of stopping it. Declared here by us; the module behind them plays
// through SDL2_mixer, and nothing of SDL leaks through this header.
//
// Handles are 32-bit numbers, 0 for none. Samples are decoded whole into
// memory and get one playback channel each; streams read their file through
// the caller's callback; music modules are copied by the library. Every
// channel (a sample's channel, a stream, a module) has its own volume and
// pause, so several streams and modules play at once.
#include <cstdint>

using HAUDIO = uint32_t;

// What the library asks of a stream's file callback.
enum AudioFileAction : uint32_t {
  // The library is done with the file: free it; answer 0.
  kAudioFileClose = 0,
  // Read up to `param` bytes into `buffer`; answer the bytes read.
  kAudioFileRead = 1,
  // Answer the file's length in bytes.
  kAudioFileLength = 2,
  // Move to byte `param`; answer 1 on success.
  kAudioFileSeek = 3,
};
using AudioFileProc = uint32_t (*)(uint32_t action, uint32_t param, void* buffer, void* user);

// Devices of BASS_Init.
constexpr int kAudioDefaultDevice = -1;
// No output at all: everything loads and plays, nothing is heard.
constexpr int kAudioNoSoundDevice = -2;

// Flags of samples, streams and modules.
constexpr uint32_t kAudioLoop = 4;

// Attributes left as they are by BASS_ChannelSetAttributes.
constexpr int kAudioKeepFrequency = -1;
constexpr int kAudioKeepVolume = -1;
constexpr int kAudioKeepPanning = -101;

// Answers of BASS_ChannelIsActive.
constexpr uint32_t kAudioStopped = 0;
constexpr uint32_t kAudioPlaying = 1;
constexpr uint32_t kAudioPaused = 3;

extern "C" {
// Opens the device (kAudioDefaultDevice or kAudioNoSoundDevice) at `frequency`;
// false when it cannot be opened or output is already open.
int BASS_Init(int device, uint32_t frequency, uint32_t flags, void* window, const void* clsid);
int BASS_Start();
// Stops and frees everything (streams' files are closed) and the device.
int BASS_Free();

// A sample from `length` bytes at `file` + `offset` (from memory only); 0 on
// bad data.
HAUDIO BASS_SampleLoad(int fromMemory, const void* file, uint32_t offset, uint32_t length, uint32_t maxPlaybacks,
                       uint32_t flags);
// A playback channel of the sample, 0 for a bad sample.
HAUDIO BASS_SampleGetChannel(HAUDIO sample, int onlyNew);
int BASS_SampleFree(HAUDIO sample);

// A stream over the caller's file. The library owns the file from this call
// on: it is closed through the callback when the stream is freed, or at once
// when the stream cannot be made (answer 0). The file is read on the calling
// thread only.
HAUDIO BASS_StreamCreateFileUser(int buffered, uint32_t flags, AudioFileProc proc, void* user);
int BASS_StreamFree(HAUDIO stream);

// A tracker module (MOD, XM, S3M, IT) from memory; the library keeps its own
// copy of the data. 0 on bad data.
HAUDIO BASS_MusicLoad(int fromMemory, const void* file, uint32_t offset, uint32_t length, uint32_t flags,
                      uint32_t frequency);
int BASS_MusicFree(HAUDIO music);

// Volume 0 to 100; the keep values leave an attribute as it is.
int BASS_ChannelSetAttributes(HAUDIO channel, int frequency, int volume, int panning);
// Plays from the start with `restart`, else resumes a paused channel or
// starts a stopped one.
int BASS_ChannelPlay(HAUDIO channel, int restart);
int BASS_ChannelPause(HAUDIO channel);
int BASS_ChannelStop(HAUDIO channel);
uint32_t BASS_ChannelIsActive(HAUDIO channel);
}
