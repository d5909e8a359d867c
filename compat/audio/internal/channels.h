#pragma once
// The library's state behind the handles: what each handle stands for and
// the SDL_mixer channel it plays on. Only the module's own files see it.
#include <SDL_mixer.h>

#include <vector>

#include "compat/audio/audio_library.h"

struct _ModPlugFile;

namespace audio {

struct StreamDecoder;

enum class Kind { Sample, SampleChannel, Stream, Module };

struct Entry {
  Kind kind = Kind::Sample;
  // The decoded sound; a sample's channels borrow their sample's.
  Mix_Chunk* chunk = nullptr;
  // The SDL_mixer channel reserved for this playback; -1 for a sample.
  int mixChannel = -1;
  bool loop = false;
  // A channel's sample; a sample's channels.
  HAUDIO sample = 0;
  std::vector<HAUDIO> channels;
  // A module's player, fed from the audio thread while the module plays.
  _ModPlugFile* module = nullptr;
  // A stream's decoder over its file's bytes, fed from the audio thread
  // while the stream plays; nil for a stream decoded whole.
  StreamDecoder* decoder = nullptr;
  // A stream's file, closed when the stream goes.
  AudioFileProc fileProc = nullptr;
  void* fileUser = nullptr;
};

// Whether output is open (a device or the no-sound device).
bool IsOpen();
void SetOpen(bool open);

// A new handle for the entry; the entry is kept, at the same address, until
// Forget.
HAUDIO Remember(Entry entry);
// The entry of a handle, or nil.
Entry* Find(HAUDIO handle);
// The entry of a handle of one of the kinds, or nil.
Entry* FindKind(HAUDIO handle, std::initializer_list<Kind> kinds);
void Forget(HAUDIO handle);
// Every live handle, oldest first.
std::vector<HAUDIO> AllHandles();

// A mixer channel of our own (reserved, so that SDL_mixer never gives it to
// anyone else), at full volume; -1 when none can be had.
int TakeMixChannel();
// Stops the channel and lets it be taken again.
void GiveBackMixChannel(int channel);
// Forgets every mixer channel (the output is closing).
void ForgetMixChannels();

// Decodes a whole sound file held in memory: WAV, AIFF, VOC, OGG or MP3,
// formats that end. Anything else is refused, so that no module (which may
// jump back to its start for ever) is decoded whole. FLAC is not among them:
// the game's audio library never read it, and the mixer's FLAC reader leaks
// what it took for a damaged header. Nil on bad data.
Mix_Chunk* DecodeToChunk(const void* data, uint32_t length);

// The most a player's sound card is ever asked for: a sound beyond these is
// refused before a converter sizes its buffers from it.
constexpr int kMostChannels = 8;
constexpr int kMostSamplesPerSecond = 768000;

// `data` itself, or `copy` holding it with the first WAV chunk that runs past
// the end cut to the bytes that are there (SDL reserves a chunk's declared
// length before reading it); nil for a format no sound card plays.
const uint8_t* WaveChunksInBounds(const uint8_t* data, uint32_t length, std::vector<uint8_t>& copy);

// Starts the entry's playback from its start on its mixer channel.
bool StartPlayback(Entry& entry);

// Whether the data is a MOD, S3M, XM or IT module by its signature, long
// enough for the tables its header announces.
bool IsTrackerModule(const void* data, uint32_t length);

// A module's player over its own copy of the data; nil for data that is not
// a tracker module (IsTrackerModule) and on bad data.
_ModPlugFile* LoadModule(const void* data, uint32_t length, bool loop);
void FreeModule(_ModPlugFile* module);
// Starts the module from its start on the mixer channel.
bool StartModule(Entry& entry);
// Frees the silent chunk module channels play (the output is closing).
void FreeCarrier();

// A decoder that plays the file's bytes as they are needed (OGG Vorbis, MP3,
// WAV, AIFF...); the bytes are its own from then on. Nil, with the bytes
// left to the caller, when the data is not one it reads.
StreamDecoder* OpenStream(std::vector<uint8_t>& bytes, bool loop);
void FreeStream(StreamDecoder* decoder);
// Starts the stream from its start on the mixer channel.
bool StartStream(Entry& entry);
// Frees the silent chunk stream channels play (the output is closing).
void FreeStreamCarrier();

}  // namespace audio
