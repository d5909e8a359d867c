// The sample games in examples/, each run by the built program as a player
// runs it, on an X server of the test's own: the input the test types and
// clicks reaches the game's handlers, the game logs what its guide says, no
// error line, and it ends cleanly (by itself, on Escape, or on the close
// request).
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/private_x_server.h"
#include "support/screen_grab.h"
#include "support/temp_dir.h"
#include "tests/e2e/applet_player.h"

namespace {
namespace fs = std::filesystem;

// One thing the test does to a running game, then the log line it waits for
// (none: it waits a moment), then a screen pixel it polls for.
struct Step {
  std::string xdotool;  // arguments, empty for none
  std::string awaitLine;
  struct Pixel {
    int x, y;
    uint32_t rgb;
    bool equal;  // the pixel is (or is not) near that colour
  };
  std::optional<Pixel> pixel;
};

struct Example {
  const char* folder;
  const char* logFolder;  // the title in lower case
  bool packed;            // run from an archive made by qfs_pack -c
  std::vector<Step> steps;
  std::vector<std::string> lines;  // the game's own log lines, in order
  bool endsByItself;               // else the test sends the close request
};

// Test names and messages show the sample's folder.
void PrintTo(const Example& example, std::ostream* out) { *out << example.folder << (example.packed ? " packed" : ""); }

// Every sample's window lies at (100, 100). The first game's player starts
// at (160, 120); the layout sample's "Wider" button covers (230, 240) to
// (330, 272) until the board widens; the particles sample's coin is centred on
// (20, 20).
constexpr uint32_t kYellow = 0xFFD040;
constexpr uint32_t kLayoutBackground = 0x203040;
constexpr uint32_t kBlack = 0x000000;

// The complete sample game, played from its title menu to its end: the
// Play button lies at (260, 231), the game-over screen's Menu button at
// (260, 235), the title's Quit button at (260, 271); a click at x 150 is
// over the basket's first column.
const std::vector<Step> kCoinCatchSteps = {
    {"", "Title shown, Best 0", {}},
    {"mousemove 260 231 click 1", "Coin above column 2", {}},
    {"key space", "Caught, score 10", {}},
    {"key Right", "Basket at column 3", {}},
    {"key Right", "Basket at column 4", {}},
    {"key space", "Caught, score 20", {}},
    {"key Escape", "Paused", {}},
    {"key Return", "Resumed", {}},
    {"mousemove 150 300 click 1", "Basket at column 0", {}},
    {"key space", "Game over, score 30, best 30", {}},
    {"mousemove 260 235 click 1", "Title shown, Best 30", {}},
    {"mousemove 260 271 click 1", "Bye", {}},
};
const std::vector<std::string> kCoinCatchLines = {
    "Title shown, Best 0", "Coin above column 2", "Caught, score 10", "Coin above column 4", "Basket at column 3",
    "Basket at column 4",  "Caught, score 20",    "Coin above column 0", "Paused", "Resumed", "Basket at column 0",
    "Caught, score 30",    "Game over, score 30, best 30", "Title shown, Best 30", "Bye"};

const Example kExamples[] = {
    {"hello", "hello", false, {}, {}, false},
    {"first_game",
     "first game",
     false,
     {{"", "First game started", Step::Pixel{260, 220, kYellow, true}},
      {"mousemove 260 220 click 1", "Clicked the player 1 time(s)", {}},
      {"keydown Right sleep 1 keyup Right", "Key 39 released", Step::Pixel{260, 220, kYellow, false}},
      {"key a", "Key 97 released", {}},
      {"key Escape", "Bye", {}}},
     {"First game started", "Clicked the player 1 time(s)", "Key 39 released", "Key 97 released", "Bye"},
     true},
    {"input_sprite",
     "input sprite",
     false,
     {{"mousemove 300 250 click 1", "Ball arrived at 200,150", {}},
      {"key Right", "Ball nudged to 210,150", {}},
      {"key Escape", "Bye", {}}},
     {"Ball heads for 200,150", "Ball arrived at 200,150", "Ball nudged to 210,150", "Bye"},
     true},
    {"scene3d", "scene 3d", false, {}, {"Camera at 0,-100,0, light on", "Turned for 60 frames"}, true},
    {"gui_layout",
     "gui layout",
     false,
     {{"", "Layout ready", Step::Pixel{345, 356, kLayoutBackground, false}},
      {"mousemove 190 188 click 1", "Level Cave", {}},
      {"mousemove 345 175 click 1 mousemove 345 252 click 1", "Difficulty Hard", {}},
      {"mousemove 380 356 click 1", "Wider button at 110,190", Step::Pixel{345, 356, kLayoutBackground, true}},
      {"key d", "Debug info on", {}},
      {"key Escape", "Bye", {}}},
     {"Layout ready", "Level Cave", "Difficulty Hard", "Wider button at 110,190", "Debug info on", "Bye"},
     true},
    {"particles",
     "particles",
     false,
     {{"", "Particles ready", Step::Pixel{120, 120, kBlack, false}},
      {"mousemove 300 250 click 1", "Sparks flying", Step::Pixel{300, 250, kBlack, false}},
      {"", "Burst over", {}},
      {"key space", "Coin spin off", {}},
      {"key Escape", "Bye", {}}},
     {"Particles ready", "Burst at 200,150", "Sparks flying", "Burst over", "Coin spin off", "Bye"},
     true},
    {"sound",
     "sound",
     false,
     {{"", "Music playing, sound volume 0.5", {}},
      {"key space", "Beep", {}},
      {"key Return", "Ping", {}},
      {"key m", "Music off", {}},
      {"key Down", "Sound volume 0.25", {}},
      {"key Escape", "Bye", {}}},
     {"Music playing, sound volume 0.5", "Beep", "Ping", "Music off", "Sound volume 0.25", "Bye"},
     true},
    {"space_scene", "space scene", false, {}, {"Materials default, gui, red; camera at -200", "Turned for 45 frames"}, true},
    {"physics",
     "physics",
     false,
     {{"", "Crate on the floor, 0 tagged box near it", {}}, {"key space", "Boom", {}}, {"key Escape", "Bye", {}}},
     {"Bodies made", "Crate on the floor, 0 tagged box near it", "Boom", "Bye"},
     true},
    {"missions",
     "missions",
     false,
     {{"", "Level started, try 1", {}},
      {"key Escape", "Level paused", {}},
      {"key Return", "Level resumed", {}},
      {"mousemove 260 220 click 1", "Level won, best score 100 of 1", {}},
      {"key r", "Level started, try 2", {}},
      {"key f", "Level failed", {}},
      {"key q", "Bye", {}}},
     {"Hello Player, run 1", "Level started, try 1", "Level paused", "Level resumed", "Level won, best score 100 of 1",
      "Level started, try 2", "Level failed", "Bye"},
     true},
    {"scene3d", "scene 3d", true, {}, {"Camera at 0,-100,0, light on", "Turned for 60 frames"}, true},
    // A packed game with a picture and a text: caches an archive cannot hold stay in memory without a word.
    {"hello", "hello", true, {}, {}, false},
    {"coin_catch", "coin catch", true, kCoinCatchSteps, kCoinCatchLines, true},
};

bool Near(uint32_t a, uint32_t b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) return false;
  }
  return true;
}

// The log's lines without their time ("(i) text"), in order.
std::vector<std::string> LogLines(const std::string& log) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find("\r\n", start);
    if (end == std::string::npos) end = log.size();
    if (end - start > 9) lines.push_back(log.substr(start + 9, end - start - 9));
    start = end + 2;
  }
  return lines;
}

bool WaitForLine(const TempDir& data, const std::string& logFile, const std::string& line) {
  const auto deadline = PlayerClock::now() + std::chrono::seconds(60);
  while (PlayerClock::now() < deadline) {
    if (data.read(logFile).find(") " + line + "\r\n") != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class Examples : public ::testing::TestWithParam<Example> {};

TEST_P(Examples, RunsWithItsInputLogsItsLinesAndNoErrorAndEndsCleanly) {
  const Example& example = GetParam();
  ASSERT_TRUE(StartPrivateXServer());
  TempDir data, work;
  // A copy, so that what the program writes beside the game stays out of the sources.
  fs::copy(std::string(Q_SOURCE_DIR "/examples/") + example.folder, work.file("game"), fs::copy_options::recursive);
  std::string mainFile = "game/main.qxml";
  if (example.packed) {
    mainFile = "game.qfs";
    ASSERT_EQ(std::system(("'" Q_BINARY_DIR "/qfs_pack' -c '" + work.file("game") + "' '" + work.file(mainFile) + "'")
                              .c_str()),
              0);
    fs::remove_all(work.file("game"));
  }
  const std::string logFile = "qplay/" + std::string(example.logFolder) + "/log.txt";
  Player player(data, work.path(), mainFile, "x11");
  ASSERT_TRUE(WaitForLine(data, logFile, "End of the root object creation"));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));

  for (const Step& step : example.steps) {
    if (!step.xdotool.empty()) {
      ASSERT_EQ(std::system(("xdotool " + step.xdotool).c_str()), 0) << step.xdotool;
    }
    ASSERT_TRUE(WaitForLine(data, logFile, step.awaitLine)) << step.xdotool << "\n" << data.read(logFile);
    if (step.pixel) {
      // The frame after the line may come late on a loaded machine: the
      // pixel is read again until it shows what is expected, or time is up.
      std::optional<uint32_t> seen;
      const auto deadline = PlayerClock::now() + std::chrono::seconds(20);
      do {
        seen = ScreenPixel(step.pixel->x, step.pixel->y);
        if (seen && Near(*seen, step.pixel->rgb) == step.pixel->equal) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      } while (PlayerClock::now() < deadline);
      ASSERT_TRUE(seen);
      EXPECT_EQ(Near(*seen, step.pixel->rgb), step.pixel->equal)
          << std::hex << *seen << " at " << std::dec << step.pixel->x << "," << step.pixel->y;
    }
  }
  if (!example.endsByItself) player.signal(SIGTERM);
  EXPECT_EQ(player.wait(std::chrono::seconds(60)), 0);

  const std::vector<std::string> lines = LogLines(data.read(logFile));
  const std::set<std::string> expected(example.lines.begin(), example.lines.end());
  std::vector<std::string> gameLines;
  for (const std::string& line : lines) {
    if (line.rfind("(i) ", 0) == 0 && expected.count(line.substr(4))) gameLines.push_back(line.substr(4));
    EXPECT_EQ(line.rfind("(e)", 0), std::string::npos) << line;
  }
  EXPECT_EQ(gameLines, example.lines);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "(i) ===== Applet was destroyed ======"), 1);
}

INSTANTIATE_TEST_SUITE_P(Samples, Examples, ::testing::ValuesIn(kExamples),
                         [](const ::testing::TestParamInfo<Example>& info) {
                           return std::string(info.param.folder) + (info.param.packed ? "_packed" : "");
                         });

TEST(ExamplesFolder, EverySampleGameIsRunByTheSuite) {
  std::set<std::string> run, present;
  for (const Example& example : kExamples) run.insert(example.folder);
  for (const auto& entry : fs::directory_iterator(Q_SOURCE_DIR "/examples")) {
    if (entry.is_directory()) present.insert(entry.path().filename().string());
  }
  EXPECT_EQ(run, present);
}
}  // namespace
