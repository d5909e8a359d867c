// Which data the module player is given. ModPlug also "plays" WAV files and
// a dozen obscure formats, and loads almost any damaged module; its WAV
// reader loops for ever on a forged chunk length. Only MOD, S3M, XM and IT
// data with its format's signature, and long enough for the headers and
// tables its own counts announce, goes to it.
#include <algorithm>
#include <cstring>

#include "compat/audio/internal/channels.h"

namespace {
uint32_t Le16(const uint8_t* at) { return static_cast<uint32_t>(at[0] | at[1] << 8); }
uint32_t Le32(const uint8_t* at) { return Le16(at) | Le16(at + 2) << 16; }

bool Has(const uint8_t* data, uint32_t length, uint32_t offset, const char* signature) {
  const auto size = static_cast<uint32_t>(std::strlen(signature));
  return length >= offset + size && std::memcmp(data + offset, signature, size) == 0;
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// A MOD's channel count from the tag at byte 1080; 0 for no known tag.
uint32_t ModChannels(const uint8_t* tag) {
  for (const char* four : {"M.K.", "M!K!", "FLT4", "4CHN"}) {
    if (std::memcmp(tag, four, 4) == 0) return 4;
  }
  for (const char* eight : {"FLT8", "8CHN", "CD81", "OKTA"}) {
    if (std::memcmp(tag, eight, 4) == 0) return 8;
  }
  if (std::memcmp(tag, "6CHN", 4) == 0) return 6;
  if (std::memcmp(tag + 1, "CHN", 3) == 0 && IsDigit(tag[0])) return tag[0] - '0';
  if ((std::memcmp(tag + 2, "CH", 2) == 0 || std::memcmp(tag + 2, "CN", 2) == 0) && IsDigit(tag[0]) && IsDigit(tag[1])) {
    return static_cast<uint32_t>((tag[0] - '0') * 10 + tag[1] - '0');
  }
  return 0;
}

// 31 sample records, the order table, the tag, then every pattern the order
// table names: 64 rows of 4 bytes a channel.
bool IsMod(const uint8_t* data, uint32_t length) {
  if (length < 1084) return false;
  const uint32_t channels = ModChannels(data + 1080);
  const uint32_t songLength = data[950];
  if (channels == 0 || songLength == 0 || songLength > 128) return false;
  uint32_t patterns = 0;
  for (uint32_t i = 0; i < 128; ++i) patterns = std::max<uint32_t>(patterns, data[952 + i] + 1u);
  return uint64_t{length} >= 1084 + uint64_t{patterns} * 64 * 4 * channels;
}

// The 96-byte header, then the order list and the instrument and pattern
// pointers its counts give.
bool IsS3m(const uint8_t* data, uint32_t length) {
  if (length < 96 || !Has(data, length, 44, "SCRM")) return false;
  return uint64_t{length} >= 96 + uint64_t{Le16(data + 32)} + 2 * uint64_t{Le16(data + 34)} + 2 * uint64_t{Le16(data + 36)};
}

// "Extended Module: ", the 0x1A byte, and the header whose size it gives.
bool IsXm(const uint8_t* data, uint32_t length) {
  if (length < 64 || !Has(data, length, 0, "Extended Module: ") || data[37] != 0x1A) return false;
  return uint64_t{length} >= 60 + uint64_t{Le32(data + 60)};
}

// The 192-byte header, then the orders and the instrument, sample and
// pattern offsets its counts give.
bool IsIt(const uint8_t* data, uint32_t length) {
  if (length < 192 || !Has(data, length, 0, "IMPM")) return false;
  return uint64_t{length} >= 192 + uint64_t{Le16(data + 32)} +
                                 4 * (uint64_t{Le16(data + 34)} + Le16(data + 36) + Le16(data + 38));
}
}  // namespace

namespace audio {

bool IsTrackerModule(const void* data, uint32_t length) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  return bytes && (IsXm(bytes, length) || IsIt(bytes, length) || IsS3m(bytes, length) || IsMod(bytes, length));
}

}  // namespace audio
