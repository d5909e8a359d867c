// The sound engine's calls into the audio library, watched through a table
// of recording functions in place of the module, and its log lines.
#include "platform/sound/sound_engine_bass.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/resources/folder_resource_man.h"
#include "platform/sound/audio_functions.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// What the recording library was asked, one line a call, and how it answers.
struct Recorder {
  std::vector<std::string> calls;
  bool defaultDeviceOpens = true;
  bool noSoundDeviceOpens = true;
  std::set<HAUDIO> playing;
  HAUDIO nextHandle = 10;
  std::string streamBytes;  // what a stream read through its file callback
  std::map<HAUDIO, std::pair<AudioFileProc, void*>> files;
};
Recorder* recorder = nullptr;

void Call(const std::string& line) { recorder->calls.push_back(line); }
std::string N(int64_t v) { return std::to_string(v); }

const TAudioFunctions& RecordingFunctions() {
  static TAudioFunctions f;
  f.Init = [](int device, uint32_t, uint32_t, void*, const void*) -> int {
    Call("init " + N(device));
    return device == kAudioDefaultDevice ? recorder->defaultDeviceOpens : recorder->noSoundDeviceOpens;
  };
  f.Start = []() -> int { return Call("start"), 1; };
  f.Free = []() -> int { return Call("free"), 1; };
  f.SampleLoad = [](int, const void*, uint32_t, uint32_t length, uint32_t max, uint32_t) -> HAUDIO {
    Call("sample load " + N(length) + " max " + N(max));
    return recorder->nextHandle++;
  };
  f.SampleGetChannel = [](HAUDIO sample, int) -> HAUDIO { return Call("channel of " + N(sample)), sample + 100; };
  f.SampleFree = [](HAUDIO sample) -> int { return Call("sample free " + N(sample)), 1; };
  f.StreamCreateFileUser = [](int, uint32_t flags, AudioFileProc proc, void* user) -> HAUDIO {
    Call("stream flags " + N(flags));
    std::string bytes(proc(kAudioFileLength, 0, nullptr, user), '\0');
    bytes.resize(proc(kAudioFileRead, static_cast<uint32_t>(bytes.size()), bytes.data(), user));
    recorder->streamBytes = bytes;
    recorder->files[recorder->nextHandle] = {proc, user};
    return recorder->nextHandle++;
  };
  f.MusicLoad = [](int, const void*, uint32_t, uint32_t length, uint32_t flags, uint32_t) -> HAUDIO {
    Call("music load " + N(length) + " flags " + N(flags));
    return recorder->nextHandle++;
  };
  f.StreamFree = [](HAUDIO h) -> int {
    auto [proc, user] = recorder->files[h];
    proc(kAudioFileClose, 0, nullptr, user);  // the library closes the file
    return Call("stream free " + N(h)), 1;
  };
  f.MusicFree = [](HAUDIO h) -> int { return Call("music free " + N(h)), 1; };
  f.ChannelSetAttributes = [](HAUDIO h, int freq, int volume, int pan) -> int {
    return Call("attributes " + N(h) + " " + N(freq) + " " + N(volume) + " " + N(pan)), 1;
  };
  f.ChannelPlay = [](HAUDIO h, int restart) -> int {
    recorder->playing.insert(h);
    return Call("play " + N(h) + " restart " + N(restart)), 1;
  };
  f.ChannelPause = [](HAUDIO h) -> int {
    recorder->playing.erase(h);
    return Call("pause " + N(h)), 1;
  };
  f.ChannelStop = [](HAUDIO h) -> int {
    recorder->playing.erase(h);
    return Call("stop " + N(h)), 1;
  };
  f.ChannelIsActive = [](HAUDIO h) -> uint32_t { return recorder->playing.count(h) ? kAudioPlaying : kAudioStopped; };
  return f;
}

struct EngineFree {
  void operator()(TSoundEngineBass* engine) const { engine->Free(); }
};
using Engine = std::unique_ptr<TSoundEngineBass, EngineFree>;

class SoundEngineCalls : public ::testing::Test {
 protected:
  SoundEngineCalls() {
    recorder = &record;
    TAudioLibrary::UseFunctionsForTests(&RecordingFunctions());
    files.write("hit.wav", "0123456789");
    files.write("Theme.OGG", "ogg stream bytes");
    files.write("tune.xm", "module");
    manager.reset(New<TFolderResourceMan>());
    manager->setRoot(files.path());
    log.clear();
  }
  ~SoundEngineCalls() override {
    TAudioLibrary::UseFunctionsForTests(nullptr);
    recorder = nullptr;
  }
  Engine newEngine() { return Engine(New<TSoundEngineBass>(nullptr)); }

  Recorder record;
  TempDir files;
  std::unique_ptr<TFolderResourceMan, FreeDeleter> manager;
  LogCapture log;
};

TEST_F(SoundEngineCalls, SoundsAndMusicCallTheLibraryInOrder) {
  Engine engine = newEngine();
  EXPECT_EQ(record.calls, (std::vector<std::string>{"init -1", "start"}));
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Soun1dEngine - BASS - create"}));
  record.calls.clear();

  TSound* sound = engine->LoadSound(manager.get(), u"hit.wav");
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(engine->LoadSound(manager.get(), u"missing.wav"), nullptr);
  engine->setSoundVolume(0.57f);
  engine->PlaySound(sound);
  engine->StopSound(sound);
  TMusic* module = engine->LoadMusic(manager.get(), u"tune.xm");
  TMusic* stream = engine->LoadMusic(manager.get(), u"Theme.OGG");
  engine->PlayMusic(module);
  log.clear();
  engine->setMusicVolume(0.5f);
  EXPECT_EQ(record.calls, (std::vector<std::string>{
                              "sample load 10 max 6", "channel of 10", "attributes 110 -1 57 -101",
                              "attributes 110 -1 57 -101", "play 110 restart 1", "pause 110",
                              "music load 6 flags 4", "stream flags 4", "attributes 11 -1 30 -101",
                              "play 11 restart 0", "attributes 11 -1 50 -101", "attributes 12 -1 50 -101"}));
  // The upper-case ".OGG" is streamed, read through the file callback.
  EXPECT_TRUE(stream->streamed && !module->streamed);
  EXPECT_EQ(record.streamBytes, "ogg stream bytes");
  EXPECT_EQ(log.count("(i) music volume 0.500000000000000"), 2);

  record.calls.clear();
  engine.reset();
  EXPECT_EQ(record.calls, (std::vector<std::string>{"sample free 10", "stop 12", "stream free 12", "stop 11",
                                                    "music free 11", "free"}));
  EXPECT_TRUE(log.contains("(i) SoundEngine - BASS - finished"));
}

TEST_F(SoundEngineCalls, PauseHoldsPlayingMusicAndStartsWhatWasPlayedMeanwhile) {
  Engine engine = newEngine();
  TMusic* first = engine->LoadMusic(manager.get(), u"tune.xm");
  TMusic* second = engine->LoadMusic(manager.get(), u"tune.xm");
  engine->PlayMusic(first);
  engine->setPause(true);
  engine->setMusicVolume(0.2f);
  record.calls.clear();
  engine->setPause(true);  // no change: nothing
  engine->PlayMusic(second);
  EXPECT_TRUE(record.calls.empty());
  engine->setPause(false);
  EXPECT_EQ(record.calls, (std::vector<std::string>{"attributes 10 -1 20 -101", "play 10 restart 0",
                                                    "attributes 11 -1 20 -101", "play 11 restart 0"}));
}

TEST_F(SoundEngineCalls, DevicesThatFailAreLoggedAndTheEngineStaysSilentButKeepsItsVolumes) {
  struct Case {
    bool defaultOpens, noSoundOpens, enabled;
    std::vector<std::string> calls, messages;
  };
  const Case cases[] = {
      {false, true, true, {"init -1", "init -2", "start"},
       {"(i) Soun1dEngine - BASS - create", "(e) BASS: Error initializing audio!"}},
      {false, false, false, {"init -1", "init -2"},
       {"(i) Soun1dEngine - BASS - create", "(e) BASS: Error initializing audio!",
        "(e) BASS: Error initializing nosound!"}},
  };
  for (const Case& c : cases) {
    record.calls.clear();
    log.clear();
    record.defaultDeviceOpens = c.defaultOpens;
    record.noSoundDeviceOpens = c.noSoundOpens;
    Engine engine = newEngine();
    EXPECT_EQ(engine->enabled(), c.enabled);
    EXPECT_EQ(TSoundEngineBass::libraryInitialised(), c.enabled);
    EXPECT_EQ(record.calls, c.calls);
    EXPECT_EQ(log.messages(), c.messages);
    engine->setSoundVolume(0.8f);
    EXPECT_FLOAT_EQ(engine->soundVolume(), 0.8f);
    EXPECT_EQ(engine->LoadSound(manager.get(), u"hit.wav") != nullptr, c.enabled);
  }
}

TEST_F(SoundEngineCalls, EnginesShareTheLibraryAndTheLastOneFreesIt) {
  Engine first = newEngine();
  Engine second = newEngine();
  EXPECT_EQ(record.calls, (std::vector<std::string>{"init -1", "start"}));
  first.reset();
  EXPECT_FALSE(log.contains("(i) SoundEngine - BASS - finished"));
  EXPECT_TRUE(second->enabled());
  second.reset();
  EXPECT_EQ(record.calls.back(), "free");
  EXPECT_EQ(TSoundEngineBass::liveEngines(), 0);
}

TEST(SoundEngineLibrary, MissingModuleLeavesTheEngineDisabled) {
  LogCapture log;
  TAudioLibrary::UseBaseNameForTests("qtest_no_such_audio_library");
  Engine engine(New<TSoundEngineBass>(nullptr));
  TAudioLibrary::UseBaseNameForTests(nullptr);
  EXPECT_FALSE(engine->enabled());
  EXPECT_TRUE(log.contains("(e) Can't load Bass"));
  engine->setMusicVolume(0.7f);
  engine->PlayMusic(nullptr);
  EXPECT_FLOAT_EQ(engine->musicVolume(), 0.7f);
}

}  // namespace
