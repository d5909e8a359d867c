// Streams and modules. A stream's file (which may live in an archive whose
// structures are not safe to touch from the audio thread) is read whole
// through its callback when the stream is made, there and never again; its
// bytes are then decoded as it plays (stream_player.cpp), or, for data the
// stream decoder does not read, decoded whole at once. A module is rendered
// as it plays (module_player.cpp).
// Each plays on a mixer channel of its own, so any number of them sound at
// once, each with its own volume and pause.
#include <vector>

#include "compat/audio/internal/channels.h"

namespace {
// Larger files are refused rather than read into memory.
constexpr uint32_t kLargestFile = 256u << 20;
constexpr uint32_t kReadBlock = 64u << 10;

std::vector<uint8_t> ReadWholeFile(AudioFileProc proc, void* user) {
  std::vector<uint8_t> bytes;
  uint32_t length = proc(kAudioFileLength, 0, nullptr, user);
  if (length == 0 || length > kLargestFile) return bytes;
  bytes.resize(length);
  uint32_t done = 0;
  while (done < length) {
    uint32_t want = length - done < kReadBlock ? length - done : kReadBlock;
    uint32_t got = proc(kAudioFileRead, want, bytes.data() + done, user);
    if (got == 0 || got > want) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

// Files the decoded stream or the module's player under a new handle on a
// mixer channel of its own; frees them and answers 0 when no channel is left.
HAUDIO RememberMusic(audio::Kind kind, Mix_Chunk* chunk, _ModPlugFile* module, audio::StreamDecoder* decoder,
                     uint32_t flags) {
  int mixChannel = audio::TakeMixChannel();
  if (mixChannel < 0) {
    Mix_FreeChunk(chunk);
    audio::FreeModule(module);
    audio::FreeStream(decoder);
    return 0;
  }
  audio::Entry entry;
  entry.kind = kind;
  entry.chunk = chunk;
  entry.module = module;
  entry.decoder = decoder;
  entry.loop = (flags & kAudioLoop) != 0;
  entry.mixChannel = mixChannel;
  return audio::Remember(std::move(entry));
}

void FreeMusic(HAUDIO handle, audio::Entry* entry) {
  // Halted first: the audio thread no longer renders the module.
  audio::GiveBackMixChannel(entry->mixChannel);
  Mix_FreeChunk(entry->chunk);
  audio::FreeModule(entry->module);
  audio::FreeStream(entry->decoder);
  AudioFileProc proc = entry->fileProc;
  void* user = entry->fileUser;
  audio::Forget(handle);
  if (proc) proc(kAudioFileClose, 0, nullptr, user);
}
}  // namespace

extern "C" {

HAUDIO BASS_StreamCreateFileUser(int /*buffered*/, uint32_t flags, AudioFileProc proc, void* user) {
  if (!proc) return 0;
  Mix_Chunk* chunk = nullptr;
  audio::StreamDecoder* decoder = nullptr;
  if (audio::IsOpen()) {
    std::vector<uint8_t> bytes = ReadWholeFile(proc, user);
    decoder = audio::OpenStream(bytes, (flags & kAudioLoop) != 0);
    if (!decoder) chunk = audio::DecodeToChunk(bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  HAUDIO stream = chunk || decoder ? RememberMusic(audio::Kind::Stream, chunk, nullptr, decoder, flags) : 0;
  if (!stream) {
    // The file is ours from the call on: a stream that could not be made closes it.
    proc(kAudioFileClose, 0, nullptr, user);
    return 0;
  }
  audio::Entry* entry = audio::Find(stream);
  entry->fileProc = proc;
  entry->fileUser = user;
  return stream;
}

int BASS_StreamFree(HAUDIO stream) {
  audio::Entry* entry = audio::FindKind(stream, {audio::Kind::Stream});
  if (!entry) return 0;
  FreeMusic(stream, entry);
  return 1;
}

HAUDIO BASS_MusicLoad(int fromMemory, const void* file, uint32_t offset, uint32_t length, uint32_t flags,
                      uint32_t /*frequency*/) {
  if (!audio::IsOpen() || !fromMemory || !file) return 0;
  _ModPlugFile* module = audio::LoadModule(static_cast<const uint8_t*>(file) + offset, length, flags & kAudioLoop);
  return module ? RememberMusic(audio::Kind::Module, nullptr, module, nullptr, flags) : 0;
}

int BASS_MusicFree(HAUDIO music) {
  audio::Entry* entry = audio::FindKind(music, {audio::Kind::Module});
  if (!entry) return 0;
  FreeMusic(music, entry);
  return 1;
}

}  // extern "C"
