#pragma once
// Small sound files made by the tests: PCM WAV files of a constant level or a
// square wave, and a four-channel MOD module that plays one looping square
// wave sample from its first row and jumps back to its start at its last.
#include <cstdint>
#include <string>

namespace sound_files {

inline void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline void PutBe16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
  out.push_back(static_cast<char>(value & 0xFF));
}

// 16-bit stereo PCM at 44100 Hz; each frame's level comes from `level(frame)`.
template <typename Level>
std::string Wav(int frames, Level level) {
  std::string data;
  for (int i = 0; i < frames; ++i) {
    const auto value = static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(level(i))));
    PutLe(data, value, 2);
    PutLe(data, value, 2);
  }
  std::string out = "RIFF";
  PutLe(out, static_cast<uint32_t>(36 + data.size()), 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);          // PCM
  PutLe(out, 2, 2);          // stereo
  PutLe(out, 44100, 4);      // frames a second
  PutLe(out, 44100 * 4, 4);  // bytes a second
  PutLe(out, 4, 2);          // bytes a frame
  PutLe(out, 16, 2);         // bits a sample
  out += "data";
  PutLe(out, static_cast<uint32_t>(data.size()), 4);
  return out + data;
}

inline std::string ConstantWav(int frames, int16_t level) {
  return Wav(frames, [level](int) { return level; });
}

inline std::string SquareWav(int frames, int16_t amplitude) {
  return Wav(frames, [amplitude](int i) { return (i / 50) % 2 ? amplitude : static_cast<int16_t>(-amplitude); });
}

inline std::string Mod() {
  std::string out(20, '\0');  // title
  constexpr int kSampleBytes = 128;
  for (int sample = 0; sample < 31; ++sample) {
    out += std::string(22, '\0');
    const bool used = sample == 0;
    PutBe16(out, used ? kSampleBytes / 2 : 0);  // length in words
    out.push_back(0);                            // finetune
    out.push_back(static_cast<char>(used ? 64 : 0));
    PutBe16(out, 0);                             // loop start
    PutBe16(out, used ? kSampleBytes / 2 : 1);   // loop length (1: none)
  }
  out.push_back(1);    // song length
  out.push_back(127);  // restart
  out += std::string(128, '\0');
  out += "M.K.";
  for (int row = 0; row < 64; ++row) {
    for (int channel = 0; channel < 4; ++channel) {
      uint8_t cell[4] = {0, 0, 0, 0};
      if (channel == 0 && row == 0) {
        const int period = 428;
        cell[0] = static_cast<uint8_t>(period >> 8);
        cell[1] = static_cast<uint8_t>(period & 0xFF);
        cell[2] = 0x10;  // sample 1
      }
      if (channel == 1 && row == 63) cell[2] = 0x0B;  // jump to order 0
      out.append(reinterpret_cast<const char*>(cell), 4);
    }
  }
  for (int i = 0; i < kSampleBytes; ++i) out.push_back(static_cast<char>((i / 16) % 2 ? 100 : -100));
  return out;
}

}  // namespace sound_files
