// Real output through the audio module beside the program, on SDL's disk
// driver: the mixed PCM lands in a file, which the tests read back. The file
// is the time line: each stretch of output is marked by the file's size
// before and after it, and only its middle (clear of the buffers in flight
// when the state changed) is judged.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sndfile.h>

#include "core/resources/folder_resource_man.h"
#include "platform/sound/audio_functions.h"
#include "platform/sound/sound_engine_bass.h"
#include "support/largest_allocation.h"
#include "support/log_capture.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"


namespace {

// Bytes that may still reflect the state before a change: the stdio buffer
// and the mixer's buffer in flight, with room to spare.
constexpr int64_t kLag = 16384;
// Bytes judged in each stretch (about 0.2 s of 16-bit stereo at 44100 Hz).
constexpr int64_t kJudged = 32768;

struct Stretch {
  int64_t begin = 0;
  int64_t end = 0;
};

// The lowest and highest sample value of a stretch.
struct Levels {
  int lowest = 0;
  int highest = 0;
  bool silent() const { return lowest == 0 && highest == 0; }
};

void SetEnv(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

class DiskAudio : public ::testing::Test {
 protected:
  DiskAudio() {
    for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY"}) {
      const char* value = getenv(name);
      saved_.push_back({name, value ? value : "", value != nullptr});
    }
    SetEnv("SDL_AUDIODRIVER", "disk");
    SetEnv("SDL_DISKAUDIOFILE", output());
    // Faster than real time: each 1024-frame buffer after 4 ms.
    SetEnv("SDL_DISKAUDIODELAY", "4");
  }
  ~DiskAudio() override {
    for (const Saved& s : saved_) {
      if (s.present) {
        setenv(s.name.c_str(), s.value.c_str(), 1);
      } else {
        unsetenv(s.name.c_str());
      }
    }
  }

  std::string output() const { return dir.file("out.raw"); }
  int64_t written() const {
    std::error_code error;
    auto size = std::filesystem::file_size(output(), error);
    return error ? 0 : static_cast<int64_t>(size);
  }
  // Lets the output run on until a judged stretch has been written.
  Stretch hold() {
    Stretch stretch;
    stretch.begin = written() + kLag;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (written() < stretch.begin + kJudged && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stretch.end = written();
    EXPECT_GE(stretch.end, stretch.begin + kJudged) << "the disk driver stopped writing";
    return stretch;
  }
  // Reads the output once the device is closed.
  Levels levels(const Stretch& stretch) {
    if (pcm.empty()) pcm = dir.read("out.raw");
    Levels levels;
    levels.lowest = levels.highest = sample(stretch.begin);
    for (int64_t at = stretch.begin; at + 1 < stretch.end && at + 1 < static_cast<int64_t>(pcm.size()); at += 2) {
      levels.lowest = std::min(levels.lowest, sample(at));
      levels.highest = std::max(levels.highest, sample(at));
    }
    return levels;
  }
  int sample(int64_t at) const {
    if (at + 1 >= static_cast<int64_t>(pcm.size())) return 0;
    return static_cast<int16_t>(static_cast<uint8_t>(pcm[at]) | (static_cast<uint8_t>(pcm[at + 1]) << 8));
  }

  TempDir dir;
  std::string pcm;
  LogCapture log;

 private:
  struct Saved {
    std::string name, value;
    bool present;
  };
  std::vector<Saved> saved_;
};

TEST_F(DiskAudio, SoundsAndModulesPlayPauseAndFollowTheirVolumes) {
  dir.write("game/square.wav", sound_files::SquareWav(44100 * 3, 8000));
  dir.write("game/tune.mod", sound_files::Mod());
  std::unique_ptr<TFolderResourceMan, FreeDeleter> manager(New<TFolderResourceMan>());
  manager->setRoot(dir.file("game/"));
  auto* engine = New<TSoundEngineBass>(nullptr);
  ASSERT_TRUE(engine->enabled());

  TSound* sound = engine->LoadSound(manager.get(), u"square.wav");
  engine->setSoundVolume(1.0f);
  engine->PlaySound(sound);
  Stretch playing = hold();
  engine->StopSound(sound);
  Stretch stopped = hold();
  engine->setSoundVolume(0.0f);
  engine->PlaySound(sound);
  Stretch mute = hold();
  engine->setSoundVolume(1.0f);
  engine->PlaySound(sound);  // restarts the paused channel
  Stretch again = hold();
  engine->StopSound(sound);

  TMusic* music = engine->LoadMusic(manager.get(), u"tune.mod");
  engine->PlayMusic(music);
  Stretch module = hold();
  engine->setPause(true);
  Stretch paused = hold();
  engine->setPause(false);
  Stretch resumed = hold();
  engine->setMusicVolume(0.0f);
  Stretch quiet = hold();
  engine->Free();

  for (const Stretch& sounding : {playing, again}) {
    const Levels square = levels(sounding);
    EXPECT_EQ(square.lowest, -8000);
    EXPECT_EQ(square.highest, 8000);
  }
  EXPECT_TRUE(levels(stopped).silent());
  EXPECT_TRUE(levels(mute).silent());
  for (const Stretch& sounding : {module, resumed}) {
    const Levels tune = levels(sounding);
    EXPECT_GT(tune.highest - tune.lowest, 200);
  }
  EXPECT_TRUE(levels(paused).silent());
  EXPECT_TRUE(levels(quiet).silent());
  EXPECT_TRUE(log.contains("(i) SoundEngine - BASS - finished"));
}

// A file callback over bytes in memory, closed by the library.
struct MemoryFile {
  explicit MemoryFile(std::string data) : bytes(std::move(data)) {}
  std::string bytes;
  size_t at = 0;
  bool closed = false;
};

uint32_t MemoryFileProc(uint32_t action, uint32_t param, void* buffer, void* user) {
  auto* file = static_cast<MemoryFile*>(user);
  switch (action) {
    case kAudioFileClose:
      file->closed = true;
      return 0;
    case kAudioFileRead: {
      const size_t n = std::min<size_t>(param, file->bytes.size() - file->at);
      std::copy_n(file->bytes.data() + file->at, n, static_cast<char*>(buffer));
      file->at += n;
      return static_cast<uint32_t>(n);
    }
    case kAudioFileLength:
      return static_cast<uint32_t>(file->bytes.size());
    case kAudioFileSeek:
      file->at = std::min<size_t>(param, file->bytes.size());
      return 1;
  }
  return 0;
}

TEST_F(DiskAudio, MusicsAtTheirOwnVolumesMix) {
  ASSERT_TRUE(TAudioLibrary::Load());
  const TAudioFunctions& audio = TAudioLibrary::functions();
  ASSERT_TRUE(audio.Init(kAudioDefaultDevice, 44100, 0, nullptr, nullptr));
  audio.Start();
  MemoryFile low{sound_files::ConstantWav(4410, 1000)};
  MemoryFile high{sound_files::ConstantWav(4410, 2000)};
  MemoryFile damaged{"RIFF-but-no-wave-inside"};
  HAUDIO lowStream = audio.StreamCreateFileUser(0, kAudioLoop, MemoryFileProc, &low);
  HAUDIO highStream = audio.StreamCreateFileUser(0, kAudioLoop, MemoryFileProc, &high);
  EXPECT_EQ(audio.StreamCreateFileUser(0, kAudioLoop, MemoryFileProc, &damaged), 0u);
  EXPECT_TRUE(damaged.closed);
  ASSERT_TRUE(lowStream && highStream);

  audio.ChannelSetAttributes(lowStream, kAudioKeepFrequency, 100, kAudioKeepPanning);
  audio.ChannelSetAttributes(highStream, kAudioKeepFrequency, 25, kAudioKeepPanning);
  audio.ChannelPlay(lowStream, 0);
  audio.ChannelPlay(highStream, 0);
  Stretch both = hold();
  audio.ChannelPause(lowStream);
  EXPECT_EQ(audio.ChannelIsActive(lowStream), kAudioPaused);
  Stretch highOnly = hold();
  audio.ChannelPlay(lowStream, 0);
  audio.ChannelStop(highStream);
  Stretch lowOnly = hold();
  audio.Free();
  TAudioLibrary::Unload();
  EXPECT_TRUE(low.closed && high.closed);

  struct Expected {
    Stretch stretch;
    int level;
  };
  for (const Expected& e : {Expected{both, 1500}, Expected{highOnly, 500}, Expected{lowOnly, 1000}}) {
    const Levels mixed = levels(e.stretch);
    EXPECT_NEAR(mixed.lowest, e.level, e.level / 50);
    EXPECT_NEAR(mixed.highest, e.level, e.level / 50);
  }
}

// An OGG Vorbis file of a 441 Hz square wave, written by libsndfile.
std::string OggSquare(const TempDir& dir, int seconds, int16_t amplitude) {
  const std::string path = dir.file("square.ogg");
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return {};
  std::vector<int16_t> frames(2 * 44100);
  for (size_t i = 0; i < frames.size(); ++i) frames[i] = (i / 2) % 100 < 50 ? amplitude : static_cast<int16_t>(-amplitude);
  for (int s = 0; s < seconds; ++s) sf_writef_short(file, frames.data(), 44100);
  sf_close(file);
  return dir.read("square.ogg");
}

TEST_F(DiskAudio, AnOggStreamIsDecodedAsItPlays) {
  const std::string ogg = OggSquare(dir, 20, 8000);
  ASSERT_FALSE(ogg.empty());
  ASSERT_TRUE(TAudioLibrary::Load());
  const TAudioFunctions& audio = TAudioLibrary::functions();
  ASSERT_TRUE(audio.Init(kAudioDefaultDevice, 44100, 0, nullptr, nullptr));
  const bool watched = WatchLargestAllocation();
  MemoryFile file{ogg};
  ResetLargestAllocation();
  HAUDIO stream = audio.StreamCreateFileUser(0, kAudioLoop, MemoryFileProc, &file);
  const size_t madeWith = LargestAllocation();
  ASSERT_NE(stream, 0u);
  // Its samples (3.5 MB) are never held: the largest block is its file's copy.
  if (watched) {
    EXPECT_LE(madeWith, std::max<size_t>(ogg.size(), 256 << 10)) << ogg.size();
  }
  audio.ChannelPlay(stream, 0);
  Stretch playing = hold();
  audio.ChannelPause(stream);
  Stretch paused = hold();
  audio.Free();
  TAudioLibrary::Unload();
  EXPECT_TRUE(file.closed);
  const Levels square = levels(playing);
  EXPECT_GT(square.highest, 6000);
  EXPECT_LT(square.lowest, -6000);
  EXPECT_TRUE(levels(paused).silent());
}

}  // namespace
