// SDL reserves a WAV chunk's declared length before it reads the chunk, so a
// 36-byte file that declares four gigabytes of samples had it reserve them.
// A chunk that runs past the end of the data is cut to what is there first
// (a truncated recording still plays as far as it goes). A format chunk no
// recording has (a rate of gigahertz, or dozens of channels) is refused: the
// conversion to the device's rate would size its buffers from it.
#include <algorithm>
#include <cstring>

#include "compat/audio/internal/channels.h"

namespace {
uint32_t Le32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

uint16_t Le16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

bool FormatIsPlayable(const uint8_t* chunk, uint64_t size) {
  if (size < 8) return true;  // too short to say; the loader refuses it itself
  const uint16_t channels = Le16(chunk + 2);
  const uint32_t rate = Le32(chunk + 4);
  return channels >= 1 && channels <= audio::kMostChannels && rate >= 1 &&
         rate <= static_cast<uint32_t>(audio::kMostSamplesPerSecond);
}

void PutLe32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}
}  // namespace

namespace audio {

const uint8_t* WaveChunksInBounds(const uint8_t* data, uint32_t length, std::vector<uint8_t>& copy) {
  if (length < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return data;
  uint64_t at = 12;
  while (at + 8 <= length) {
    const uint64_t size = Le32(data + at + 4);
    const uint64_t room = length - at - 8;
    if (std::memcmp(data + at, "fmt ", 4) == 0 && !FormatIsPlayable(data + at + 8, std::min(size, room))) return nullptr;
    if (size > room) {
      copy.assign(data, data + length);
      PutLe32(copy.data() + at + 4, static_cast<uint32_t>(room));
      return copy.data();
    }
    at += 8 + size + (size & 1);
  }
  return data;
}

}  // namespace audio
