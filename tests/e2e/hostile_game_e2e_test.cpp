// Games made by others, run by the built program: a forged compiled cache, a
// handler that never ends, and a game that reaches out of its folder. The
// program must neither crash, nor hang, nor read or write outside the game.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class HostileGame : public ::testing::Test {
 protected:
  void writeMain(const std::string& body, const std::string& attributes) {
    game.write("game/main.qxml", "<?xml version=\"1.0\"?>\n<Applet name=\"hostile\" width=\"200\" height=\"100\" "
                                 "title=\"Hostile\" frameRate=\"30\" " + attributes + ">\n" + body + "</Applet>\n");
  }

  // Starts the program on the game; answers its process id.
  pid_t start() {
    pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_DATA_HOME", data.path().c_str(), 1);
      setenv("SDL_VIDEODRIVER", "offscreen", 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      if (chdir(game.path().c_str()) != 0) _exit(127);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execl(Q_BINARY_DIR "/qplay", "qplay", "game/main.qxml", static_cast<char*>(nullptr));
      _exit(127);
    }
    return pid;
  }

  // Waits for the program to end; the exit status, or -1 when it still runs
  // after `seconds`.
  static int wait(pid_t pid, double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) return status;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  void stop(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }

  std::string log() const { return data.read("qplay/hostile/log.txt"); }
  bool logged(const std::string& text) const { return log().find(text) != std::string::npos; }

  int runToEnd() {
    pid_t pid = start();
    int status = wait(pid, 120);
    if (status == -1) stop(pid);
    return status;
  }

  TempDir data, game;
};

TEST_F(HostileGame, AForgedCacheOfItsOnlyScriptIsRefused) {
  // The first forged cache crashed the program as the cache of a game's only script.
  // The fuzz corpus keeps it after the target's mode byte.
  const std::string forged = TempDir::readFile(std::string(Q_SOURCE_DIR) + "/fuzz/corpus/jsbin/jsbin-1");
  ASSERT_GT(forged.size(), 1u);
  game.write("game/lib.jsbin", forged.substr(1));
  writeMain("  <Script name=\"lib\" fileName=\"lib.js\"/>\n", "onTick=\"applet.terminate()\"");
  int status = runToEnd();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(logged("(e) Can't load compiled script lib.jsbin")) << log();
  EXPECT_TRUE(logged("===== Applet was destroyed ======")) << log();
}

TEST_F(HostileGame, AnEndlessOnLoadEndsSoonAfterSigterm) {
  writeMain("", "onLoad=\"engine.log('spinning'); for (;;) {}\" onTick=\"applet.terminate()\"");
  pid_t pid = start();
  const auto until = Clock::now() + std::chrono::seconds(120);
  while (!logged("spinning") && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(logged("spinning")) << log();
  kill(pid, SIGTERM);
  const auto sent = Clock::now();
  int status = wait(pid, 2.0);
  const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
  if (status == -1) stop(pid);
  ASSERT_NE(status, -1) << "still running 2 s after SIGTERM";
  EXPECT_LE(seconds, 2.0);
  EXPECT_TRUE(logged("Script stopped: the program was asked to close while onLoad of Applet \"hostile\" ran")) << log();
}

TEST_F(HostileGame, AHandlerPastTheBoundIsStoppedAndTheGameGoesOn) {
  writeMain("", "onLoad=\"for (;;) {}\" onTick=\"engine.log('ticked'); applet.terminate()\"");
  int status = runToEnd();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(logged("(e) Script stopped: onLoad of Applet \"hostile\" ran longer than 10 s")) << log();
  EXPECT_TRUE(logged("(i) ticked")) << log();
}

TEST_F(HostileGame, NamesCannotLeaveTheGameFolder) {
  game.write("outside.qxml", "<?xml version=\"1.0\"?>\n<Dummy name=\"outsider\" onCreate=\"engine.log('escaped object')\"/>\n");
  game.write("evil.js", "engine.log('escaped script');\n");
  const std::string absolute = data.file("elsewhere/abs.qxml");
  writeMain("  <Script name=\"evil\" fileName=\"..\\evil.js\"/>\n  <Dummy name=\"inner\" fileName=\"../outside.qxml\"/>\n",
            "onLoad=\"engine.log('stored ' + applet.storeObject(applet, 'saved.qxml'));"
            "engine.log('up ' + applet.storeObject(applet, '../stored.qxml'));"
            "engine.log('absolute ' + applet.storeObject(applet, '" + absolute + "'));"
            "engine.log('loaded ' + applet.newFromFile('../outside.qxml', applet));"
            "applet.createBin('../outside.qxml'); applet.makepng('../shot.png');\" "
            "onTick=\"applet.terminate()\"");
  int status = runToEnd();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string text = log();
  EXPECT_EQ(text.find("escaped"), std::string::npos) << text;
  EXPECT_TRUE(logged("(i) stored true")) << text;
  EXPECT_TRUE(logged("(i) up false")) << text;
  EXPECT_TRUE(logged("(i) absolute false")) << text;
  EXPECT_TRUE(logged("(i) loaded undefined")) << text;
  EXPECT_TRUE(logged("(e) Name leaves the game's folder: ..\\evil.js")) << text;
  EXPECT_TRUE(fs::exists(game.file("game/saved.qxml")));
  for (const char* outside : {"stored.qxml", "outside.qbin", "shot.png", "evil.jsbin"}) {
    EXPECT_FALSE(fs::exists(game.file(outside))) << outside;
  }
  EXPECT_FALSE(fs::exists(absolute));
}
}  // namespace
