// The sample game that `./run.sh` starts, run by the built program on an X
// server of the test's own: its window shows the colour its script changes
// every frame, its PNG logo and a line of text its script changes, and
// closing ends it cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "core/text/text.h"
#include "support/private_x_server.h"
#include "support/screen_grab.h"
#include "support/temp_dir.h"
#include "tests/e2e/applet_player.h"

namespace {
// The positions of the white pixels of a screen rectangle, read with
// ImageMagick's import; empty when nothing could be read.
std::set<std::pair<int, int>> WhitePixels(int left, int top, int width, int height) {
  const std::string command = "import -window root -crop " + std::to_string(width) + "x" + std::to_string(height) +
                              "+" + std::to_string(left) + "+" + std::to_string(top) + " -depth 8 txt:- 2>/dev/null";
  std::set<std::pair<int, int>> white;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return white;
  char line[256];
  while (fgets(line, sizeof(line), pipe)) {
    int x = 0, y = 0;
    unsigned colour = 0;
    // "x,y: (r,g,b)  #RRGGBB  srgb(...)"
    const char* hash = std::strchr(line, '#');
    if (!hash || std::sscanf(line, "%d,%d:", &x, &y) != 2 || std::sscanf(hash + 1, "%6x", &colour) != 1) continue;
    if ((colour >> 16) >= 0xF0 && ((colour >> 8) & 0xFF) >= 0xF0 && (colour & 0xFF) >= 0xF0) white.insert({x, y});
  }
  pclose(pipe);
  return white;
}

bool LogHas(const TempDir& data, const std::string& name, const std::string& text) {
  return data.read(name).find(text) != std::string::npos;
}

TEST(SampleGame, ItsWindowShowsTheColourItsScriptAnimatesItsPngLogoAndTheTextItsScriptChanges) {
  ASSERT_TRUE(StartPrivateXServer());
  TempDir data, work;
  // A copy, so that what the program writes beside the game stays out of the sources.
  for (const char* file : {"main.qxml", "logo.png"}) {
    std::ifstream sample(std::string(Q_SOURCE_DIR "/examples/hello/") + file, std::ios::binary);
    work.write(std::string("hello/") + file, std::string(std::istreambuf_iterator<char>(sample), {}));
  }
  Player player(data, work.path(), "hello/main.qxml", "x11");
  const auto deadline = PlayerClock::now() + std::chrono::seconds(60);
  while (!LogHas(data, "qplay/hello/log.txt", "End of the root object creation") && PlayerClock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(LogHas(data, "qplay/hello/log.txt", "End of the root object creation"));

  // Red and green stay within 96 +- 80, blue within 160 +- 80. Everything
  // below is polled against a deadline: a loaded machine draws late.
  auto animatedBackground = [](uint32_t colour) {
    const uint32_t r = colour >> 16, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    return r >= 15 && r <= 177 && g >= 15 && g <= 177 && b >= 79 && b <= 241;
  };
  // The window lies at (100, 100), 640 x 400; the screen around it is black.
  std::optional<uint32_t> first;
  while (PlayerClock::now() < deadline && !(first && animatedBackground(*first))) first = ScreenPixel(420, 300);
  ASSERT_TRUE(first && animatedBackground(*first)) << std::hex << first.value_or(0);
  std::optional<uint32_t> later = first;
  while (PlayerClock::now() < deadline && later == first) later = ScreenPixel(420, 300);
  ASSERT_TRUE(later && animatedBackground(*later)) << std::hex << later.value_or(0);
  EXPECT_NE(*first, *later) << "the colour changes from frame to frame";
  EXPECT_EQ(ScreenPixel(900, 700), std::optional<uint32_t>(0u));
  // The logo sprite, 128 wide, centred at (110, 110): its PNG is drawn twice
  // its size, with the white ring 24 pixels right of the centre and the
  // orange square 48 pixels left of it, colours the background never takes.
  const std::optional<uint32_t> ring = ScreenPixel(100 + 110 + 24, 100 + 110);
  const std::optional<uint32_t> square = ScreenPixel(100 + 110 - 48, 100 + 110);
  ASSERT_TRUE(ring && square);
  EXPECT_GE(*ring >> 16, 0xF0u) << std::hex << *ring;
  EXPECT_GE(*ring & 0xFF, 0xF0u) << std::hex << *ring;
  EXPECT_GE(*square >> 16, 0xF0u) << std::hex << *square;
  EXPECT_LE(*square & 0xFF, 0x40u) << std::hex << *square;
  EXPECT_EQ(work.read("hello/logo.pixmap").size(), 527u + 64 * 64 * 4) << "the PNG's converted copy";

  // The caption, 600 x 40 at (20, 320), shows white letters, another greeting
  // every half second; all four are seen. The background never
  // turns white.
  std::set<std::set<std::pair<int, int>>> captions;
  while (PlayerClock::now() < deadline && captions.size() < 4) {
    const std::set<std::pair<int, int>> caption = WhitePixels(100 + 20, 100 + 320, 600, 40);
    if (caption.size() > 50) captions.insert(caption);
  }
  EXPECT_EQ(captions.size(), 4u);
  EXPECT_TRUE(WhitePixels(100, 100 + 300, 640, 15).empty()) << "no ink above the caption";

  player.signal(SIGTERM);
  EXPECT_EQ(player.wait(std::chrono::seconds(30)), 0);
  EXPECT_TRUE(LogHas(data, "qplay/hello/log.txt", "===== Applet was destroyed ======"));
  // The greetings the script showed were collected for translators.
  const std::string bytes = work.read("hello/lang/english/text.txt");
  const std::string texts = WideToUtf8(std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2));
  for (const char* greeting : {"Hello, world!", "Bonjour, le monde !", "Hola, mundo!", "Ciao, mondo!"}) {
    EXPECT_NE(texts.find(greeting), std::string::npos) << greeting;
  }
}
}  // namespace
