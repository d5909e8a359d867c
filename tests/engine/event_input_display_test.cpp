// Input queued as the window procedure queues it, dispatched by the applet's
// event queue into a real applet of a real main.qxml, in scenes that animate
// nothing: clicks reach the object under the point and its script handler,
// keys the focused object, Escape ends a modal wait with 4, the close request
// ends the applet.
#include <gtest/gtest.h>

#include "tests/engine/event_test_applet.h"

namespace {
using Lines = std::vector<std::string>;

// A button that logs what its handlers see.
std::string Button(const std::string& name, int left, int top, int right, int bottom) {
  const std::string log = "engine.log('@' + event.paramThis.name + ' ";
  return "<EventTestButton name=\"" + name + "\" hitLeft=\"" + std::to_string(left) + "\" hitTop=\"" +
         std::to_string(top) + "\" hitRight=\"" + std::to_string(right) + "\" hitBottom=\"" +
         std::to_string(bottom) + "\" onMouseDown=\"" + log + "down ' + event.paramPoint.x + ',' + event.paramPoint.y)\"" +
         " onMouseUp=\"" + log + "up ' + event.paramPoint.x + ',' + event.paramPoint.y)\"" + " onKeyDown=\"" + log +
         "key ' + event.paramThis.lastKey + '/' + event.paramThis.lastChar)\"/>\r\n";
}

// Runs the frames that loading asked for, until the scene stands still.
void Settle(EventTestGame& game) {
  ASSERT_TRUE(game.stepUntil([&] { return game.applet->updateCounter() == 0; }));
  game.step(3);
  ASSERT_EQ(game.applet->updateCounter(), 0) << "something in the scene keeps asking for frames";
}

class EventInput : public ::testing::Test {
 protected:
  EventTestGame game;
};

TEST_F(EventInput, AClickReachesTheButtonUnderThePointAndItsHandlerReadsThePoint) {
  ASSERT_NE(game.load("frameRate=\"-1\" onMouseDown=\"engine.log('@applet down ' + event.paramPoint.x)\"",
                      Button("ok", 10, 10, 60, 40) + Button("cancel", 100, 10, 150, 40)),
            nullptr);
  Settle(game);
  game.click(20, 30);
  game.click(120, 15);
  game.click(300, 150);  // over nothing but the applet
  game.step();           // one frame handles all that was queued
  EXPECT_EQ(game.scriptLines(), (Lines{"ok down 20,30", "applet down 20", "ok up 20,30", "cancel down 120,15",
                                       "applet down 120", "cancel up 120,15", "applet down 300"}));
  EXPECT_EQ(game.applet->event()->queuedCount(), 0);
  EXPECT_FALSE(game.applet->event()->isLButtonDown());
  // Nothing is left that asks for frames: the scene stands still again.
  game.step(2);
  EXPECT_EQ(game.applet->updateCounter(), 0);
}

TEST_F(EventInput, WindowPixelsBecomeAppletUnitsThroughTheScale) {
  ASSERT_NE(game.load("frameRate=\"-1\" scale=\"2\"", Button("ok", 10, 10, 60, 40)), nullptr);
  Settle(game);
  game.click(41, 61);  // applet point (20.5, 30.5)
  game.click(20, 20);  // (10, 10): the button's corner
  game.click(19, 20);  // (9.5, 10): just outside
  game.step();
  EXPECT_EQ(game.scriptLines(), (Lines{"ok down 20.5,30.5", "ok up 20.5,30.5", "ok down 10,10", "ok up 10,10"}));
  EXPECT_FLOAT_EQ(game.applet->event()->paramPointValue().x, 9.5f);
}

TEST_F(EventInput, ButtonStateFollowsPressAndRelease) {
  ASSERT_NE(game.load("frameRate=\"-1\"", Button("ok", 10, 10, 60, 40)), nullptr);
  Settle(game);
  Event* event = game.applet->event();
  game.applet->QueueEvent(TMouseEvent::Create(lekMouseDown, kButtonRight, 20, 20, 0, 0,
                                              kShiftRightButton | kShiftAlt, game.applet->window()));
  game.step();
  EXPECT_TRUE(event->isRButtonDown());
  EXPECT_FALSE(event->isLButtonDown());
  EXPECT_TRUE(event->isAltDown());  // Alt comes with the button's own bit
  game.applet->QueueEvent(
      TMouseEvent::Create(lekMouseUp, kButtonRight, 20, 20, 0, 0, kShiftRightButton, game.applet->window()));
  game.step();
  EXPECT_FALSE(event->isRButtonDown());
  EXPECT_FALSE(event->isAltDown());
}

TEST_F(EventInput, KeysReachTheFocusedObjectAndKeyPressRunsOnRelease) {
  ASSERT_NE(game.load("frameRate=\"-1\" onLoad=\"second.focus()\" "
                      "onKeyPress=\"engine.log('@press ' + event.paramKey + ' ' + event.isKeyDown(37))\"",
                      Button("first", 0, 0, 10, 10) + Button("second", 20, 0, 30, 10)),
            nullptr);
  Settle(game);
  EXPECT_EQ(game.applet->focusedObject(), game.applet->findByName(u"second"));
  game.key(0, 'a');  // a character key gives its character only
  game.applet->QueueEvent(TKeyEvent::Create(lekKeyDown, 37, 0, 0, game.applet->window()));  // left arrow
  game.step();
  EXPECT_TRUE(game.applet->event()->isKeyDown(37));
  game.applet->QueueEvent(TKeyEvent::Create(lekKeyUp, 37, 0, 0, game.applet->window()));
  game.step();
  EXPECT_FALSE(game.applet->event()->isKeyDown(37));
  // onKeyPress runs on release with the key code, or the character for keys
  // without code; the key has left the pressed keys by then.
  EXPECT_EQ(game.scriptLines(), (Lines{"second key 0/97", "press 97 false", "second key 37/0", "press 37 false"}));
}

TEST_F(EventInput, EscapeEndsAModalWaitWithFourAndStillReachesTheFocusedObject) {
  ASSERT_NE(game.load("frameRate=\"-1\"", Button("dialog", 0, 0, 100, 100)), nullptr);
  Settle(game);
  auto* dialog = dynamic_cast<VisualObject*>(game.applet->findByName(u"dialog"));
  ASSERT_NE(dialog, nullptr);
  dialog->focus();
  // The key arrives from the window a few passes into the wait, in a scene
  // where nothing animates.
  const int start = game.passes;
  game.beforeStep = [&](int pass) {
    if (pass == start + 3) game.applet->QueueEvent(TKeyEvent::Create(lekKeyDown, 27, 0, 0, game.applet->window()));
  };
  EXPECT_EQ(game.applet->enterModal(dialog), 4);
  EXPECT_EQ(game.passes, start + 3);
  EXPECT_TRUE(game.log.contains("(i) ~cancel modal 4"));
  EXPECT_EQ(game.scriptLines(), Lines{"dialog key 27/0"});
  EXPECT_TRUE(game.applet->modalStack().empty());
}

TEST_F(EventInput, TheCloseRequestTerminatesTheApplet) {
  ASSERT_NE(game.load("frameRate=\"-1\" onDeactivate=\"engine.log('@deactivate')\"", ""), nullptr);
  Settle(game);
  game.closeWindow();
  game.step();
  EXPECT_TRUE(game.applet->terminated());
  EXPECT_EQ(game.scriptLines(), Lines{"deactivate"});
  EXPECT_EQ(game.applet->event()->queuedCount(), 0);
}

TEST_F(EventInput, WaitForEventsEndsOnAKeyOrAClickAndWhenTheWindowCloses) {
  ASSERT_NE(game.load("frameRate=\"-1\"", ""), nullptr);
  Settle(game);
  Event* event = game.applet->event();
  Applet* applet = game.applet;
  int start = game.passes;
  game.beforeStep = [&](int pass) {
    if (pass == start + 2) applet->QueueEvent(TKeyEvent::Create(lekKeyDown, 0, 'x', 0, applet->window()));
  };
  event->waitForEvents();
  EXPECT_EQ(game.passes, start + 2);
  // A mouse move does not end it; a button press does.
  start = game.passes;
  game.beforeStep = [&](int pass) {
    if (pass == start + 1) applet->QueueEvent(TMouseEvent::Create(lekMouseMove, 1, 5, 5, 1, 1, 0, applet->window()));
    if (pass == start + 3) applet->QueueEvent(TMouseEvent::Create(lekMouseDown, 1, 5, 5, 0, 0, 8, applet->window()));
  };
  event->waitForEvents();
  EXPECT_EQ(game.passes, start + 3);
  EXPECT_FALSE(applet->terminated());
  // A close request ends it too: the wait must not outlive the applet.
  start = game.passes;
  game.beforeStep = [&](int pass) {
    if (pass == start + 2) game.closeWindow();
  };
  event->waitForEvents();
  EXPECT_TRUE(applet->terminated());
  EXPECT_EQ(game.passes, start + 2);
}

TEST_F(EventInput, ScheduledActionsRunInAStillScene) {
  ASSERT_NE(game.load("frameRate=\"-1\"", Button("ok", 10, 10, 60, 40) + Button("cancel", 100, 10, 150, 40)), nullptr);
  Settle(game);
  auto* ok = dynamic_cast<VisualObject*>(game.applet->findByName(u"ok"));
  ASSERT_NE(ok, nullptr);
  ok->scheduleHide(0.3f);
  game.applet->findByName(u"cancel")->dispose();  // freed after 0.2 s
  // Counted in the applet's own frame time, which the delays count in too
  // (the first frame's delta may begin before the scheduling).
  const float start = game.applet->time();
  EXPECT_TRUE(game.stepUntil([&] { return !game.applet->findByName(u"cancel"); }, 5.0));
  EXPECT_TRUE(ok->visible());
  EXPECT_TRUE(game.stepUntil([&] { return !ok->visible(); }, 5.0));
  // time() is a float sum of every pass's delta, so a few hundred passes
  // round it off by a little, in either direction.
  const float took = game.applet->time() - start;
  EXPECT_GE(took, 0.3f - 2e-3f);
  EXPECT_LT(took, 2.0f);
  // With nothing left to count down the scene stands still again.
  Settle(game);
  EXPECT_EQ(game.applet->event()->queuedCount(), 0);
}

TEST_F(EventInput, AHandlerWaitingForEventsIsEndedByTheNextKeyAndRunsOnce) {
  ASSERT_NE(game.load("frameRate=\"-1\" onKeyPress=\"engine.log('@press ' + event.paramKey)\"",
                      "<EventTestButton name=\"ok\" hitLeft=\"0\" hitTop=\"0\" hitRight=\"50\" hitBottom=\"50\" "
                      "onMouseDown=\"engine.log('@waiting'); event.waitForEvents(); engine.log('@woke')\" "
                      "onMouseUp=\"engine.log('@up')\"/>\r\n"),
            nullptr);
  Settle(game);
  int keyAt = -1;
  game.beforeStep = [&](int pass) {
    if (keyAt < 0 && game.scriptLines().size() == 1) keyAt = pass + 2;
    if (pass == keyAt) game.key(0, 'k');
  };
  game.click(5, 5);
  game.step();  // the click's frame; the wait runs inside it
  // The wait runs whole frames: the release of the same click comes first.
  EXPECT_EQ(game.scriptLines(), (Lines{"waiting", "up", "press 107", "woke"}));
  EXPECT_EQ(game.applet->event()->queuedCount(), 0);
}

TEST_F(EventInput, ClosingTheWindowEndsAWaitingHandler) {
  ASSERT_NE(game.load("frameRate=\"-1\"",
                      "<EventTestButton name=\"ok\" hitLeft=\"0\" hitTop=\"0\" hitRight=\"50\" hitBottom=\"50\" "
                      "onMouseDown=\"event.waitForEvents(); engine.log('@woke ' + (applet.terminated ? 'closed' : 'open'))\"/>\r\n"),
            nullptr);
  Settle(game);
  const int start = game.passes;
  game.beforeStep = [&](int pass) {
    if (pass == start + 4) game.closeWindow();
  };
  game.applet->QueueEvent(TMouseEvent::Create(lekMouseDown, 1, 5, 5, 0, 0, 8, game.applet->window()));
  game.step();
  EXPECT_EQ(game.scriptLines(), Lines{"woke closed"});
  EXPECT_TRUE(game.applet->terminated());
}
}  // namespace
