// What the audio module accepts as music and sound, on the no-sound device:
// only tracker data with its format's signature reaches the module player
// (a WAV named as music, a damaged module and a forged RIFF file are
// refused), and WAV chunks that declare gigabytes are not reserved.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/resources/folder_resource_man.h"
#include "platform/sound/audio_functions.h"
#include "platform/sound/sound_engine_bass.h"
#include "support/largest_allocation.h"
#include "support/log_capture.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"


namespace {

std::string Le32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// "RIFF", "WAVE", then a fmt chunk whose length is 0xFFFFFFF8: 49 bytes.
std::string ForgedRiff() { return "RIFF" + Le32(41) + "WAVE" + "fmt " + Le32(0xFFFFFFF8u) + std::string(29, '\x01'); }

// A PCM WAV header whose data chunk declares 0xFFFFFFF0 bytes, with none behind it.
std::string WavClaimingGigabytes() {
  const std::string whole = sound_files::ConstantWav(4, 100);
  const size_t data = whole.find("data");
  return whole.substr(0, data) + "data" + Le32(0xFFFFFFF0u);
}

class NoSoundLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TAudioLibrary::Load());
    ASSERT_TRUE(audio().Init(kAudioNoSoundDevice, 44100, 0, nullptr, nullptr));
  }
  void TearDown() override {
    audio().Free();
    TAudioLibrary::Unload();
  }
  static const TAudioFunctions& audio() { return TAudioLibrary::functions(); }
  HAUDIO module(const std::string& bytes) {
    return audio().MusicLoad(1, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), kAudioLoop, 0);
  }
};

TEST_F(NoSoundLibrary, OnlyTrackerModulesWithTheirSignaturesReachTheModulePlayer) {
  const std::string mod = sound_files::Mod();
  std::string noTag = mod;
  noTag.replace(1080, 4, "WAVE");
  struct Case {
    const char* what;
    std::string bytes;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"a module", mod, true},
      {"a WAV", sound_files::ConstantWav(44100, 1000), false},
      {"a forged RIFF file", ForgedRiff(), false},
      {"four bytes", "M.K.", false},
      {"a module cut in its pattern", mod.substr(0, 1084 + 512), false},
      {"a module without its tag", noTag, false},
      {"an XM header alone", "Extended Module: " + std::string(20, ' ') + '\x1A' + std::string(22, ' ') + Le32(0x114), false},
      {"an IT header alone", "IMPM" + std::string(60, '\0'), false},
  };
  for (const Case& c : cases) {
    HAUDIO handle = module(c.bytes);
    EXPECT_EQ(handle != 0, c.accepted) << c.what;
    if (handle) audio().MusicFree(handle);
  }
}

TEST_F(NoSoundLibrary, WavChunksDeclaringGigabytesAreNotReserved) {
  const bool watched = WatchLargestAllocation();
  for (const std::string& bytes : {WavClaimingGigabytes(), ForgedRiff()}) {
    ResetLargestAllocation();
    HAUDIO sample = audio().SampleLoad(1, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), 6, 0);
    if (sample) audio().SampleFree(sample);
    if (watched) {
      EXPECT_LT(LargestAllocation(), size_t{16} << 20) << bytes.size() << " bytes";
    }
  }
  // A recording cut short still plays as far as it goes.
  const std::string whole = sound_files::ConstantWav(4410, 1000);
  const std::string cut = whole.substr(0, whole.size() / 2);
  HAUDIO sample = audio().SampleLoad(1, cut.data(), 0, static_cast<uint32_t>(cut.size()), 6, 0);
  EXPECT_NE(sample, 0u);
  audio().SampleFree(sample);
}

TEST(MusicNames, MusicThatIsNeitherAStreamNorAModuleIsRefusedByName) {
  TempDir dir;
  LogCapture log;
  dir.write("game/song.wav", sound_files::ConstantWav(44100, 1000));
  dir.write("game/forged.xm", ForgedRiff());
  dir.write("game/tune.mod", sound_files::Mod());
  std::unique_ptr<TFolderResourceMan, FreeDeleter> manager(New<TFolderResourceMan>());
  manager->setRoot(dir.file("game/"));
  auto* engine = New<TSoundEngineBass>(nullptr);
  for (const char16_t* name : {u"song.wav", u"forged.xm", u"tune.mod"}) engine->LoadMusic(manager.get(), name);
  engine->Free();
  EXPECT_TRUE(log.contains("(e) Can't load music song.wav"));
  EXPECT_TRUE(log.contains("(e) Can't load music forged.xm"));
  EXPECT_FALSE(log.contains("(e) Can't load music tune.mod"));
}
}  // namespace
