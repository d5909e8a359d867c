// Recording input queued into a running applet of a real main.qxml and playing
// the file back into a fresh applet of the same game: the same handlers run in
// the same order, at the recorded applet times, whatever the frame rule.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/engine/event_test_applet.h"

namespace {
using Lines = std::vector<std::string>;

const char* const kButtons =
    "<EventTestButton name=\"ok\" hitLeft=\"10\" hitTop=\"10\" hitRight=\"60\" hitBottom=\"40\" "
    "onMouseDown=\"engine.log('@ok down ' + event.paramPoint.x + ',' + event.paramPoint.y)\" "
    "onMouseUp=\"engine.log('@ok up')\" "
    "onKeyDown=\"engine.log('@ok key ' + event.paramThis.lastChar)\"/>\r\n"
    "<EventTestButton name=\"cancel\" hitLeft=\"100\" hitTop=\"10\" hitRight=\"150\" hitBottom=\"40\" "
    "onMouseDown=\"engine.log('@cancel down ' + event.paramPoint.x + ',' + event.paramPoint.y); ok.focus()\"/>\r\n";

const char* const kAppletHandlers =
    "frameRate=\"-1\" onKeyPress=\"engine.log('@press ' + event.paramKey)\" "
    "onMouseMove=\"engine.log('@move ' + event.paramPoint.x + ' by ' + event.paramDelta.x)\"";

// A wide-string list file: the byte-order mark and the text in UTF-16LE.
std::string ListFile(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

// Runs passes for a while of real time, so that input lands at distinct times.
void Wait(EventTestGame& game, double seconds) {
  const uint32_t until = GetTickCount() + static_cast<uint32_t>(seconds * 1000);
  game.stepUntil([&] { return GetTickCount() >= until; }, seconds + 1);
}

TEST(EventPlayback, ARecordingPlayedIntoAFreshAppletRunsTheSameHandlersInOrder) {
  EventTestGame game;
  ASSERT_NE(game.load(kAppletHandlers, kButtons), nullptr);
  game.step(3);
  Event* event = game.applet->event();
  event->recordEvent(u"rec.txt");
  game.click(20, 30);
  Wait(game, 0.05);
  game.key(0, 'q');  // nothing has focus yet: only onKeyPress sees it
  Wait(game, 0.05);
  game.click(120, 15);  // gives ok the focus
  game.applet->QueueEvent(TMouseEvent::Create(lekMouseMove, 1, 30, 30, 4, 0, 0, game.applet->window()));
  Wait(game, 0.05);
  game.key(0, 'z');
  game.applet->QueueEvent(TWheelEvent::Create(lekWheel, 1, 0, game.applet->window()));  // recorded, not replayed
  Wait(game, 0.05);
  event->stop();
  const Lines recorded = game.scriptLines();
  ASSERT_EQ(recorded, (Lines{"ok down 20,30", "ok up", "press 113", "cancel down 120,15", "move 30 by 4",
                             "ok key 122", "press 122"}));

  ASSERT_NE(game.load(kAppletHandlers, kButtons), nullptr);  // a fresh applet of the same game
  game.log.clear();
  game.step(3);
  event = game.applet->event();
  event->playEvent(u"rec.txt");
  EXPECT_TRUE(game.stepUntil([&] { return event->pendingPlaybackLines() == 0 && event->queuedCount() == 0; }));
  EXPECT_EQ(game.scriptLines(), recorded);
}

TEST(EventPlayback, PlaybackKeepsTheRecordedClockUnderAFrameRate) {
  EventTestGame game;
  game.game.write("timed.txt", ListFile(u"100.000000000000000\r\n100.300000000000000:2,1,20,20,0,0,\r\n"
                                        u"100.600000000000000:2,1,30,20,0,0,\r\n"));
  ASSERT_NE(game.load("frameRate=\"50\"",
                      "<EventTestButton name=\"ok\" hitLeft=\"10\" hitTop=\"10\" hitRight=\"60\" hitBottom=\"40\" "
                      "onMouseDown=\"engine.log('@ok ' + event.paramPoint.x + ' at ' + applet.time)\"/>\r\n"),
            nullptr);
  game.step(3);
  Event* event = game.applet->event();
  event->playEvent(u"timed.txt");
  const uint32_t start = GetTickCount();
  ASSERT_TRUE(game.stepUntil([&] { return game.scriptLines().size() == 2; }, 5.0));
  const uint32_t took = GetTickCount() - start;
  // The frames ran on the recorded clock: the clicks came at its times, not
  // after the hundred seconds the program's own clock would have needed.
  EXPECT_GE(game.applet->time(), 100.6f);
  EXPECT_LT(game.applet->time(), 102.0f);
  EXPECT_GE(took, 500u);
  const Lines lines = game.scriptLines();
  ASSERT_EQ(lines.size(), 2u);
  const float first = std::stof(lines[0].substr(lines[0].find(" at ") + 4));
  const float second = std::stof(lines[1].substr(lines[1].find(" at ") + 4));
  EXPECT_EQ(lines[0].substr(0, 6), "ok 20 ");
  EXPECT_EQ(lines[1].substr(0, 6), "ok 30 ");
  EXPECT_GE(first, 100.3f);
  EXPECT_LT(first, 100.5f);
  EXPECT_NEAR(second - first, 0.3f, 0.1f);
}

TEST(EventPlayback, ARecordingStartedAtTimeZeroPlaysFromItsStart) {
  EventTestGame game;
  game.game.write("zero.txt", ListFile(u"0.000000000000000\r\n0.400000000000000:0,0,120,\r\n"
                                       u"0.400000000000000:1,0,120,\r\n"));
  ASSERT_NE(game.load("frameRate=\"50\" onKeyPress=\"engine.log('@press ' + event.paramKey + ' at ' + applet.time)\"",
                      ""),
            nullptr);
  Wait(game, 0.7);  // the applet's clock is well past the recorded key's time
  ASSERT_GT(game.applet->time(), 0.6f);
  game.applet->event()->playEvent(u"zero.txt");
  ASSERT_TRUE(game.stepUntil([&] { return game.scriptLines().size() == 1; }, 5.0));
  const std::string line = game.scriptLines()[0];
  ASSERT_EQ(line.substr(0, 13), "press 120 at ");
  // The replay ran from 0 and let 0.4 s pass before the recorded key.
  const float at = std::stof(line.substr(13));
  EXPECT_GE(at, 0.4f);
  EXPECT_LT(at, 0.6f);
}
}  // namespace
