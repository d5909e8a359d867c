// Setting a music: an OGG Vorbis file of 10 s and one of 5 minutes, each
// held in memory, made into a stream through the audio module (as the
// sound engine does when a music is set) and freed again. Paired with bare
// SDL_mixer streaming the same bytes (Mix_LoadMUS_RW, its own streamed
// music), and with SDL_mixer decoding them whole (Mix_LoadWAV_RW, what a
// stream cost before it was decoded as it played).
//
// Counters: "held_MB", the resident memory a made stream adds (measured
// once, with the stream playing for a second); the time per iteration is
// the cost of setting the music, to be well under one frame (16.7 ms) and
// the same for both lengths. Run with SDL_AUDIODRIVER=dummy.
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "core/system/log.h"
#include "platform/sound/audio_functions.h"

namespace {
// A stereo 44100 Hz OGG Vorbis file of a changing tone, written by libsndfile.
std::string OggTone(int seconds) {
  char pattern[] = "/tmp/qbench-music-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) return {};
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  std::vector<int16_t> frames(2 * 44100);
  for (int s = 0; s < seconds; ++s) {
    for (size_t i = 0; i < frames.size(); ++i) {
      const size_t period = 40 + static_cast<size_t>(s % 20);
      frames[i] = (i / 2) % period < period / 2 ? 6000 : -6000;
    }
    sf_writef_short(file, frames.data(), 44100);
  }
  sf_close(file);
  std::ifstream in(pattern, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(pattern);
  return bytes;
}

const std::string& Ogg(int seconds) {
  static std::map<int, std::string> files;
  auto& file = files[seconds];
  if (file.empty()) file = OggTone(seconds);
  return file;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

struct MemoryFile {
  const std::string* bytes;
  size_t at = 0;
};

uint32_t MemoryFileProc(uint32_t action, uint32_t param, void* buffer, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  switch (action) {
    case kAudioFileRead: {
      const size_t n = std::min<size_t>(param, file->bytes->size() - file->at);
      std::copy_n(file->bytes->data() + file->at, n, static_cast<char*>(buffer));
      file->at += n;
      return static_cast<uint32_t>(n);
    }
    case kAudioFileLength:
      return static_cast<uint32_t>(file->bytes->size());
    case kAudioFileSeek:
      file->at = std::min<size_t>(param, file->bytes->size());
      return 1;
    default:
      return 0;
  }
}

void SetMusicThroughTheModule(benchmark::State& state) {
  LogHandler() = [](const WideString&) {};
  const std::string& ogg = Ogg(static_cast<int>(state.range(0)));
  if (!TAudioLibrary::Load()) return state.SkipWithError("no audio module");
  const TAudioFunctions& audio = TAudioLibrary::functions();
  audio.Init(kAudioDefaultDevice, 44100, 0, nullptr, nullptr);
  {
    const long before = ResidentKb();
    MemoryFile file{&ogg};
    HAUDIO stream = audio.StreamCreateFileUser(0, kAudioLoop, MemoryFileProc, &file);
    audio.ChannelPlay(stream, 0);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    state.counters["held_MB"] = static_cast<double>(ResidentKb() - before) / 1024.0;
    audio.StreamFree(stream);
  }
  for (auto _ : state) {
    MemoryFile file{&ogg};
    HAUDIO stream = audio.StreamCreateFileUser(0, kAudioLoop, MemoryFileProc, &file);
    audio.ChannelPlay(stream, 0);
    benchmark::DoNotOptimize(stream);
    state.PauseTiming();
    audio.StreamFree(stream);
    state.ResumeTiming();
  }
  audio.Free();
  TAudioLibrary::Unload();
}

void OpenBareMixer() {
  SDL_InitSubSystem(SDL_INIT_AUDIO);
  Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024);
}

void CloseBareMixer() {
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void BareMixerStreamsTheSameBytes(benchmark::State& state) {
  const std::string& ogg = Ogg(static_cast<int>(state.range(0)));
  OpenBareMixer();
  auto load = [&] { return Mix_LoadMUS_RW(SDL_RWFromConstMem(ogg.data(), static_cast<int>(ogg.size())), 1); };
  {
    const long before = ResidentKb();
    Mix_Music* music = load();
    Mix_PlayMusic(music, -1);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    state.counters["held_MB"] = static_cast<double>(ResidentKb() - before) / 1024.0;
    Mix_FreeMusic(music);
  }
  for (auto _ : state) {
    Mix_Music* music = load();
    Mix_PlayMusic(music, -1);
    benchmark::DoNotOptimize(music);
    state.PauseTiming();
    Mix_FreeMusic(music);
    state.ResumeTiming();
  }
  CloseBareMixer();
}

void BareMixerDecodesTheBytesWhole(benchmark::State& state) {
  const std::string& ogg = Ogg(static_cast<int>(state.range(0)));
  OpenBareMixer();
  for (auto _ : state) {
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(ogg.data(), static_cast<int>(ogg.size())), 1);
    benchmark::DoNotOptimize(chunk);
    state.PauseTiming();
    Mix_FreeChunk(chunk);
    state.ResumeTiming();
  }
  CloseBareMixer();
}
}  // namespace

BENCHMARK(SetMusicThroughTheModule)->Arg(10)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareMixerStreamsTheSameBytes)->Arg(10)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareMixerDecodesTheBytesWhole)->Arg(10)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
