// Players in a running applet: the cache makes the applet's sound engine on
// the first file, the audio module beside the program plays it (SDL's dummy
// driver), the applet's pause holds the music, and scripts see the engine.
#include <gtest/gtest.h>

#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/effects/sound_effects.h"
#include "engine/effects/sound_players.h"
#include "engine/script_engine.h"
#include "platform/sound/audio_functions.h"
#include "platform/sound/sound_engine_bass.h"
#include "tests/engine/applet_world.h"
#include "tests/support/sound_files.h"

namespace {

uint32_t StateOf(TMusic* music) { return TAudioLibrary::functions().ChannelIsActive(music->handle); }
uint32_t StateOf(TSound* sound) { return TAudioLibrary::functions().ChannelIsActive(sound->channel); }

TEST(SoundPlayers, PlayersPlayThroughTheAppletsEngineAndItsPause) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Players")"));
  ASSERT_NE(world.applet, nullptr);
  world.game.write("tune.mod", sound_files::Mod());
  // Long enough to be still playing when it is looked at.
  world.game.write("click.wav", sound_files::SquareWav(44100 * 10, 4000));
  world.game.write("broken.wav", "RIFF, then nothing a decoder wants");
  world.game.write("broken.mod", sound_files::Mod().substr(0, 600));

  auto* music = New<MusicPlayer>(world.applet);
  music->setMusicFile("tune.mod");
  auto* sound = New<SoundPlayer>(world.applet);
  sound->setSoundFile("click.wav");
  auto* broken = New<SoundPlayer>(world.applet);
  broken->setSoundFile("broken.wav");
  ASSERT_NE(music->music(), nullptr);
  ASSERT_NE(sound->sound(), nullptr);
  auto* brokenMusic = New<MusicPlayer>(world.applet);
  brokenMusic->setMusicFile("broken.mod");
  EXPECT_TRUE(world.log.contains("(e) Can't load sound broken.wav"));
  EXPECT_TRUE(world.log.contains("(e) Can't load music broken.mod"));
  EXPECT_EQ(broken->sound()->sample, 0u);
  EXPECT_EQ(brokenMusic->music()->handle, 0u);
  broken->play();  // both play nothing
  brokenMusic->play();

  music->play();
  sound->play();
  EXPECT_EQ(StateOf(music->music()), kAudioPlaying);
  world.applet->setPause(true);
  EXPECT_EQ(StateOf(music->music()), kAudioPaused);
  world.applet->setPause(false);
  EXPECT_EQ(StateOf(music->music()), kAudioPlaying);
  music->stop();
  EXPECT_EQ(StateOf(music->music()), kAudioStopped);

  // Effects share the cache's sounds and music with the players.
  auto* effect = New<SoundEffect>(sound);
  effect->setSoundFile("click.wav");
  auto* tune = New<MusicEffect>(sound);
  tune->setMusicFile("tune.mod");
  EXPECT_EQ(effect->sound(), sound->sound());
  EXPECT_EQ(tune->music(), music->music());
  effect->setRunning(true);
  tune->setRunning(true);
  EXPECT_EQ(StateOf(effect->sound()), kAudioPlaying);
  EXPECT_EQ(StateOf(tune->music()), kAudioPlaying);
  effect->setRunning(false);
  tune->setRunning(false);
  EXPECT_EQ(StateOf(effect->sound()), kAudioPaused);
  EXPECT_EQ(StateOf(tune->music()), kAudioStopped);

  ASSERT_TRUE(world.applet->scriptEngine()->evaluate(u"soundEngine.musicVolume = 0.6"));
  EXPECT_TRUE(world.log.contains("(i) music volume 0.600000023841858"));
  EXPECT_EQ(world.applet->cache()->music().count(), 2);
  world.shutDown();
  EXPECT_TRUE(world.log.contains("(i) SoundEngine - BASS - finished"));
  EXPECT_EQ(TSoundEngineBass::liveEngines(), 0);
}

}  // namespace
