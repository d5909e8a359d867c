// Runs the built program on small games as a player would, on SDL's offscreen
// display: the applet's construction and destruction lines in their order,
// frames at the game's frame rate, ending from a handler, from the window's
// close request (SIGTERM and SIGINT become one), and a still game at frame
// rate -1 that draws nothing and rests the processor until asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"
#include "tests/e2e/applet_player.h"

namespace {
using Clock = PlayerClock;

// The log's messages without their time stamps ("(i) text").
std::vector<std::string> Messages(const std::string& log) {
  std::vector<std::string> lines;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line.size() > 9 ? line.substr(9) : line);
  }
  return lines;
}

::testing::AssertionResult InOrder(const std::vector<std::string>& messages, const std::vector<std::string>& expected) {
  auto at = messages.begin();
  for (const std::string& line : expected) {
    at = std::find(at, messages.end(), line);
    if (at == messages.end()) return ::testing::AssertionFailure() << "missing or out of order: " << line;
    ++at;
  }
  return ::testing::AssertionSuccess();
}

bool WaitForLine(const TempDir& data, const std::string& logName, const std::string& message,
                 std::chrono::seconds limit = std::chrono::seconds(60)) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    auto messages = Messages(data.read(logName));
    if (std::find(messages.begin(), messages.end(), message) != messages.end()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int CountPrefixed(const std::vector<std::string>& messages, const std::string& prefix) {
  return static_cast<int>(
      std::count_if(messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; }));
}

const std::vector<std::string> kConstruction{
    "(i) ===== Start applet creation ======", "(i) Create main window",          "(i) Main window created",
    "(i) Create main device",                 "(i) Device was created successful", "(i) Camera set",
    "(i) ScriptEngine created",               "(i) Cache created",                 "(i) Event created",
    "(i) load main object and script",        "(i) Applet properties was loaded",  "(i) main object was loaded",
    "(i) Load fonts",                         "(i) Load materials",                "(i) End of the root object creation"};
const std::vector<std::string> kDestruction{"(i) Objects destroyed", "(i) Window was destroyed",
                                            "(i) ===== Applet was destroyed ======"};

std::string Game(const std::string& attributes) {
  return "<?xml version=\"1.0\"?>\r\n<Applet name=\"game\" width=\"320\" height=\"200\" " + attributes +
         ">\r\n  <Dummy name=\"scene\"/>\r\n</Applet>\r\n";
}

TEST(AppletRun, FramesComeAtTheFrameRateAndAHandlerEndsTheGameInOrder) {
  TempDir data, game;
  // Counts the frames of three seconds of applet time from the first one,
  // then ends itself, logging the count and the time it measured.
  game.write("game/main.qxml",
             Game("title=\"Frame Rate\" frameRate=\"30\" onLoad=\"var frames = 0; var first = -1;\" "
                  "onTick=\"if (first &lt; 0) first = applet.time; frames++; applet.update(); "
                  "var spent = applet.time - first; "
                  "if (spent &gt;= 3) { engine.log('frames ' + frames + ' in ' + spent); applet.terminate(); }\""));
  Player player(data, game.path(), "game/main.qxml", "offscreen");
  ASSERT_EQ(player.wait(std::chrono::seconds(60)), 0);
  const auto messages = Messages(data.read("qplay/frame rate/log.txt"));
  EXPECT_TRUE(InOrder(messages, kConstruction));
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "(i) Applet properties was loaded"), 1);
  auto counted = std::find_if(messages.begin(), messages.end(),
                              [](const std::string& m) { return m.rfind("(i) frames ", 0) == 0; });
  ASSERT_NE(counted, messages.end());
  int frames = 0;
  double spent = 0;
  ASSERT_EQ(std::sscanf(counted->c_str(), "(i) frames %d in %lf", &frames, &spent), 2) << *counted;
  // The first frame and one every 1/30 s after it: never more than the rate
  // allows in the time measured. A busy machine gives fewer, but a loop that
  // waits right never loses half of them.
  EXPECT_LE(frames, spent * 30 + 1.01) << *counted;
  EXPECT_GE(frames, spent * 30 / 2) << *counted;
  EXPECT_TRUE(InOrder(std::vector<std::string>(counted, messages.end()), kDestruction));
}

// The script engine's compiled built-ins are kept in the user's cache
// folder after the first start; a damaged cache is compiled and written anew,
// and the game runs its scripts every time.
TEST(AppletRun, TheScriptEnginesCompiledBuiltInsAreCachedAndADamagedCacheIsReplaced) {
  TempDir data, game;
  game.write("main.qxml", Game("title=\"Cached\" onTick=\"engine.log('ran ' + [3, 1, 2].sort().join()); "
                               "applet.terminate();\""));
  auto runs = [&] {
    Player player(data, game.path(), "main.qxml", "offscreen");
    EXPECT_EQ(player.wait(std::chrono::seconds(60)), 0);
    const auto messages = Messages(data.read("qplay/cached/log.txt"));
    return std::find(messages.begin(), messages.end(), "(i) ran 1,2,3") != messages.end();
  };
  auto cacheFiles = [&] {
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(data.path() + "cache/qplay", ignored)) {
      files.push_back(entry.path());
    }
    return files;
  };
  ASSERT_TRUE(runs());
  const auto files = cacheFiles();
  ASSERT_EQ(files.size(), 1u);
  const std::string written = data.read("cache/qplay/" + files[0].filename().string());
  ASSERT_GT(written.size(), 1000u);
  EXPECT_TRUE(runs());  // from the cache
  // Damaged in the middle and cut short: neither reaches the library.
  std::string damaged = written;
  damaged[damaged.size() / 2] ^= 0x5A;
  for (const std::string& bad : {damaged, written.substr(0, written.size() / 3)}) {
    std::ofstream(files[0], std::ios::binary | std::ios::trunc) << bad;
    EXPECT_TRUE(runs());
    EXPECT_EQ(data.read("cache/qplay/" + files[0].filename().string()), written);
  }
}

void EndsOnSignal(int number, const std::string& title) {
  TempDir data, game;
  game.write("main.qxml", Game("title=\"" + title + "\" frameRate=\"30\" onTick=\"applet.update();\" "
                               "onFree=\"engine.log('freeing')\""));
  Player player(data, game.path(), "main.qxml", "offscreen");
  const std::string logName = "qplay/" + title + "/log.txt";
  ASSERT_TRUE(WaitForLine(data, logName, "(i) End of the root object creation"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  player.signal(number);
  ASSERT_EQ(player.wait(std::chrono::seconds(30)), 0);
  const auto messages = Messages(data.read(logName));
  EXPECT_TRUE(InOrder(messages, kConstruction));
  EXPECT_TRUE(InOrder(messages, {"(i) End of the root object creation", "(i) WM_CLOSE", "(i) freeing",
                                 "(i) Objects destroyed", "(i) Window was destroyed",
                                 "(i) ===== Applet was destroyed ======"}));
}

TEST(AppletRun, AGameWhoseWindowCannotBeMadeEndsCleanly) {
  TempDir data, game;
  game.write("main.qxml", Game("title=\"No Window\" onLoad=\"engine.log('ran')\""));
  // SDL's dummy display makes no window the program can draw in.
  Player player(data, game.path(), "main.qxml", "dummy");
  // A game that could not run is a failure for whoever started it.
  ASSERT_EQ(player.wait(std::chrono::seconds(60)), 1);
  const auto messages = Messages(data.read("qplay/no window/log.txt"));
  EXPECT_TRUE(InOrder(messages, {"(i) Create main window", "(e) Can't create main window",
                                 "(i) ===== Applet was destroyed ======", "(e) Applet main.qxml can't loaded.",
                                 "(e) Main file main.qxml gives no applet"}));
  EXPECT_EQ(std::find(messages.begin(), messages.end(), "(i) Cache created"), messages.end());
  EXPECT_EQ(std::find(messages.begin(), messages.end(), "(i) ran"), messages.end());
}

TEST(AppletRun, SigtermReachesTheWindowAsItsCloseRequest) { EndsOnSignal(SIGTERM, "closed by term"); }
TEST(AppletRun, SigintReachesTheWindowAsItsCloseRequest) { EndsOnSignal(SIGINT, "closed by int"); }

TEST(AppletRun, AStillGameAtFrameRateMinusOneDrawsNothingAndRestsUntilAsked) {
  TempDir data, game;
  game.write("main.qxml", Game("title=\"Still\" frameRate=\"-1\" onLoad=\"var frames = 0;\" "
                               "onTick=\"frames++; engine.log('frame ' + frames);\""));
  Player player(data, game.path(), "main.qxml", "offscreen");
  ASSERT_TRUE(WaitForLine(data, "qplay/still/log.txt", "(i) End of the root object creation"));
  // Whatever loading asked for is drawn first.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const int framesBefore = CountPrefixed(Messages(data.read("qplay/still/log.txt")), "(i) frame ");
  const double cpuBefore = player.cpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double idleCpu = player.cpuSeconds() - cpuBefore;
  EXPECT_EQ(CountPrefixed(Messages(data.read("qplay/still/log.txt")), "(i) frame "), framesBefore);
  EXPECT_LT(idleCpu, 0.5) << "two idle seconds must not keep the processor busy";

  // The close request is something to handle: one frame runs it.
  player.signal(SIGTERM);
  ASSERT_EQ(player.wait(std::chrono::seconds(30)), 0);
  const auto messages = Messages(data.read("qplay/still/log.txt"));
  EXPECT_EQ(CountPrefixed(messages, "(i) frame "), framesBefore + 1);
  EXPECT_TRUE(InOrder(messages, kDestruction));
}
}  // namespace
