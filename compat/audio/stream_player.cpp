// Streams are decoded as they play, from the copy of their file the library
// holds: making a stream reads the file (on the caller's thread, so an
// archive is never touched from the audio thread) and opens the decoder,
// nothing more, so a music of any length costs the same to set and holds
// its compressed bytes, never its samples. Like a module, a stream's mixer
// channel plays a silent carrier that an effect writes over; the effect
// decodes through libsndfile (OGG Vorbis, MP3, WAV, AIFF...) and converts
// to the output's rate and layout through an SDL audio stream.
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "compat/audio/internal/channels.h"

namespace audio {

struct StreamDecoder {
  std::vector<uint8_t> bytes;
  sf_count_t at = 0;
  SNDFILE* file = nullptr;
  SF_INFO info{};
  SDL_AudioStream* converter = nullptr;
  bool loop = false;
  bool ended = false;
  std::vector<int16_t> block;

  ~StreamDecoder() {
    if (file) sf_close(file);
    if (converter) SDL_FreeAudioStream(converter);
  }
};

namespace {
// ---- libsndfile reading the bytes in memory ---------------------------------------

sf_count_t Length(void* user) { return static_cast<sf_count_t>(static_cast<StreamDecoder*>(user)->bytes.size()); }

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
  auto* d = static_cast<StreamDecoder*>(user);
  const auto size = static_cast<sf_count_t>(d->bytes.size());
  sf_count_t to = whence == SEEK_SET ? offset : whence == SEEK_CUR ? d->at + offset : size + offset;
  d->at = std::clamp<sf_count_t>(to, 0, size);
  return d->at;
}

sf_count_t Read(void* buffer, sf_count_t count, void* user) {
  auto* d = static_cast<StreamDecoder*>(user);
  const sf_count_t n = std::clamp<sf_count_t>(static_cast<sf_count_t>(d->bytes.size()) - d->at, 0, count);
  if (n > 0) std::memcpy(buffer, d->bytes.data() + d->at, static_cast<size_t>(n));
  d->at += n;
  return n;
}

sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
sf_count_t Tell(void* user) { return static_cast<StreamDecoder*>(user)->at; }

SF_VIRTUAL_IO memoryIo = {Length, Seek, Read, Write, Tell};

// Frames decoded at a time on the audio thread.
constexpr int kBlockFrames = 2048;

// Decodes one more block into the converter; at the end a looping stream
// starts again, another is flushed and ends.
void DecodeBlock(StreamDecoder& d) {
  sf_count_t frames = sf_readf_short(d.file, d.block.data(), kBlockFrames);
  if (frames <= 0 && d.loop && sf_seek(d.file, 0, SEEK_SET) == 0) {
    frames = sf_readf_short(d.file, d.block.data(), kBlockFrames);
  }
  if (frames <= 0) {
    SDL_AudioStreamFlush(d.converter);
    d.ended = true;
    return;
  }
  SDL_AudioStreamPut(d.converter, d.block.data(), static_cast<int>(frames * d.info.channels * 2));
}

// Writes the stream's sound over the channel's. Runs on the audio thread;
// nothing else touches the decoder while the effect is registered.
void RenderStream(int /*channel*/, void* out, int length, void* user) {
  auto& d = *static_cast<StreamDecoder*>(user);
  auto* bytes = static_cast<uint8_t*>(out);
  int done = 0;
  while (done < length) {
    if (SDL_AudioStreamAvailable(d.converter) == 0) {
      if (d.ended) break;
      DecodeBlock(d);
      continue;
    }
    const int got = SDL_AudioStreamGet(d.converter, bytes + done, length - done);
    if (got <= 0) break;
    done += got;
  }
  if (done < length) std::memset(bytes + done, 0, static_cast<size_t>(length - done));
}

// Silence that stream channels loop while the effect writes over them; made
// while output is open, freed when it closes.
constexpr int kCarrierBytes = 16384;
uint8_t carrierBytes[kCarrierBytes];
Mix_Chunk* carrier = nullptr;
}  // namespace

namespace {
bool Prepare(StreamDecoder& d) {
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&frequency, &format, &channels)) return false;
  d.file = sf_open_virtual(&memoryIo, SFM_READ, &d.info, &d);
  if (!d.file || d.info.channels < 1 || d.info.channels > kMostChannels || d.info.samplerate < 1 ||
      d.info.samplerate > kMostSamplesPerSecond) return false;
  d.converter = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(d.info.channels), d.info.samplerate, format,
                                   static_cast<Uint8>(channels), frequency);
  if (!d.converter) return false;
  d.block.resize(static_cast<size_t>(kBlockFrames) * static_cast<size_t>(d.info.channels));
  return true;
}
}  // namespace

StreamDecoder* OpenStream(std::vector<uint8_t>& bytes, bool loop) {
  if (bytes.empty()) return nullptr;
  auto d = std::make_unique<StreamDecoder>();
  d->bytes = std::move(bytes);
  d->loop = loop;
  if (Prepare(*d)) return d.release();
  bytes = std::move(d->bytes);
  return nullptr;
}

void FreeStream(StreamDecoder* decoder) { delete decoder; }

bool StartStream(Entry& entry) {
  if (!carrier) carrier = Mix_QuickLoad_RAW(carrierBytes, kCarrierBytes);
  if (!carrier) return false;
  // Halting removes the channel's effect, so the decoder can be rewound here.
  Mix_HaltChannel(entry.mixChannel);
  StreamDecoder& d = *entry.decoder;
  sf_seek(d.file, 0, SEEK_SET);
  SDL_AudioStreamClear(d.converter);
  d.ended = false;
  if (Mix_PlayChannel(entry.mixChannel, carrier, -1) != entry.mixChannel) return false;
  return Mix_RegisterEffect(entry.mixChannel, RenderStream, nullptr, entry.decoder) != 0;
}

void FreeStreamCarrier() {
  Mix_FreeChunk(carrier);
  carrier = nullptr;
}

}  // namespace audio
