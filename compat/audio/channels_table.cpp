#include <cstdint>
#include <cstring>
#include <map>

#include "compat/audio/internal/channels.h"

namespace audio {
namespace {
bool open = false;
std::map<HAUDIO, Entry> entries;
HAUDIO lastHandle = 0;
int mixChannelCount = 0;
std::vector<int> freeMixChannels;
}  // namespace

bool IsOpen() { return open; }
void SetOpen(bool value) { open = value; }

HAUDIO Remember(Entry entry) {
  // Handles are never reused while the library runs, so a stale handle finds nothing.
  do {
    ++lastHandle;
  } while (lastHandle == 0 || entries.count(lastHandle));
  entries.emplace(lastHandle, std::move(entry));
  return lastHandle;
}

Entry* Find(HAUDIO handle) {
  auto it = entries.find(handle);
  return it == entries.end() ? nullptr : &it->second;
}

Entry* FindKind(HAUDIO handle, std::initializer_list<Kind> kinds) {
  Entry* entry = Find(handle);
  if (!entry) return nullptr;
  for (Kind kind : kinds) {
    if (entry->kind == kind) return entry;
  }
  return nullptr;
}

void Forget(HAUDIO handle) { entries.erase(handle); }

std::vector<HAUDIO> AllHandles() {
  std::vector<HAUDIO> handles;
  for (const auto& [handle, entry] : entries) handles.push_back(handle);
  return handles;
}

int TakeMixChannel() {
  int channel = -1;
  if (!freeMixChannels.empty()) {
    channel = freeMixChannels.back();
    freeMixChannels.pop_back();
  } else {
    if (Mix_AllocateChannels(mixChannelCount + 1) != mixChannelCount + 1) return -1;
    channel = mixChannelCount++;
    Mix_ReserveChannels(mixChannelCount);
  }
  Mix_Volume(channel, MIX_MAX_VOLUME);
  return channel;
}

void GiveBackMixChannel(int channel) {
  if (channel < 0) return;
  Mix_HaltChannel(channel);
  freeMixChannels.push_back(channel);
}

void ForgetMixChannels() {
  mixChannelCount = 0;
  freeMixChannels.clear();
}

namespace {
bool StartsWith(const uint8_t* bytes, uint32_t length, const char* magic) {
  const uint32_t size = static_cast<uint32_t>(std::strlen(magic));
  return length >= size && std::memcmp(bytes, magic, size) == 0;
}

bool IsDecodedWhole(const uint8_t* bytes, uint32_t length) {
  for (const char* magic : {"RIFF", "WAVE", "FORM", "Crea", "OggS", "ID3"}) {
    if (StartsWith(bytes, length, magic)) return true;
  }
  // An MPEG audio frame begins with eleven set bits.
  return length >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}
}  // namespace

Mix_Chunk* DecodeToChunk(const void* data, uint32_t length) {
  if (!data || length == 0 || length > static_cast<uint32_t>(INT32_MAX)) return nullptr;
  if (!IsDecodedWhole(static_cast<const uint8_t*>(data), length)) return nullptr;
  std::vector<uint8_t> copy;
  data = WaveChunksInBounds(static_cast<const uint8_t*>(data), length, copy);
  if (!data) return nullptr;
  SDL_RWops* source = SDL_RWFromConstMem(data, static_cast<int>(length));
  if (!source) return nullptr;
  // Closed here, not by the mixer: some of its failure paths (a damaged ID3
  // tag) return without closing a source they were told to free.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 0);
  SDL_RWclose(source);
  return chunk;
}

}  // namespace audio

namespace audio {

bool StartPlayback(Entry& entry) {
  if (entry.module) return StartModule(entry);
  if (entry.decoder) return StartStream(entry);
  return Mix_PlayChannel(entry.mixChannel, entry.chunk, entry.loop ? -1 : 0) == entry.mixChannel;
}

}  // namespace audio
