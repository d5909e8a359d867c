// The applet's pass and frame on a real window and device: the frame-rate
// rule with a clock that stands still until the test moves it, the delta
// floor, resuming after a pause, frames only on request at frame rate -1.
#include <gtest/gtest.h>

#include "compat/win32/test_hooks.h"
#include "compat/win32/window.h"
#include "engine/applet/applet.h"
#include "platform/win32/window.h"
#include "tests/engine/applet_world.h"

namespace {
// A handler that logs every frame's times with three decimals.
const char* kTickLogger = R"q(onTick="engine.log('tick ' + applet.deltaTime.toFixed(3) + ' ' + applet.time.toFixed(3))")q";

int TickLines(const AppletWorld& world) {
  int ticks = 0;
  for (const std::string& m : world.log.messages()) ticks += m.rfind("(i) tick ", 0) == 0 ? 1 : 0;
  return ticks;
}

TEST(AppletFrameRate, At25FramesASecondTheRuleWaitsThenRunsOneFrameWithTheWholeInterval) {
  AppletWorld world(AppletText(std::string(R"(width="160" height="120" title="Rate" frameRate="25" )") + kTickLogger));
  ASSERT_NE(world.applet, nullptr);
  world.applet->requestRedraw();
  world.log.clear();

  world.setAppletClock(10);
  EXPECT_EQ(world.applet->runStep(), 30);  // 40 ms interval, 10 ms gone
  EXPECT_EQ(TickLines(world), 0);
  EXPECT_GT(world.applet->updateCounter(), 0);  // the request still waits

  world.setAppletClock(50);
  EXPECT_EQ(world.applet->runStep(), 0);
  EXPECT_NEAR(world.applet->deltaTime(), 0.05, 1e-6);
  EXPECT_NEAR(world.applet->time(), 0.05, 1e-6);
  EXPECT_TRUE(world.log.contains("(i) tick 0.050 0.050"));
  EXPECT_EQ(world.applet->updateCounter(), 0);

  // The next frame is due a whole interval after this one.
  world.setAppletClock(60);
  EXPECT_EQ(world.applet->runStep(), 30);
  world.setAppletClock(89);
  EXPECT_EQ(world.applet->runStep(), 1);
  EXPECT_EQ(TickLines(world), 1);
}

TEST(AppletFrameRate, AFrameOnEveryPassAtZeroAndTwoPassesInOneMillisecondGiveTheFloor) {
  AppletWorld world(AppletText(std::string(R"(width="160" height="120" title="Floor" )") + kTickLogger));
  ASSERT_NE(world.applet, nullptr);
  world.setAppletClock(100);
  world.applet->requestRedraw();
  EXPECT_EQ(world.applet->runStep(), 0);
  EXPECT_NEAR(world.applet->deltaTime(), 0.1, 1e-6);
  const float before = world.applet->time();

  world.applet->requestRedraw();
  EXPECT_EQ(world.applet->runStep(), 0);
  EXPECT_FLOAT_EQ(world.applet->deltaTime(), 1e-6f);
  EXPECT_GT(world.applet->time(), before);
  EXPECT_EQ(TickLines(world), 2);
}

TEST(AppletFrameRate, AnEmptyPassAtZeroRestsInsteadOfSpinning) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Rest")"));
  ASSERT_NE(world.applet, nullptr);
  world.applet->requestRedraw();
  EXPECT_EQ(world.applet->runStep(), 0);
  EXPECT_EQ(world.applet->runStep(), 1);  // nothing asked for a frame
}

TEST(AppletFrameRate, ResumingGivesAZeroDeltaAndSmallOnesAfterIt) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Resume")"));
  ASSERT_NE(world.applet, nullptr);
  world.setAppletClock(100);
  world.applet->requestRedraw();
  world.applet->runStep();
  world.applet->setPause(true);
  world.setAppletClock(5100);
  EXPECT_EQ(world.applet->runStep(), 1);  // paused: no frame
  world.applet->setPause(false);
  EXPECT_EQ(world.applet->deltaTime(), 0.0f);

  world.setAppletClock(5120);
  world.applet->requestRedraw();
  EXPECT_EQ(world.applet->runStep(), 0);
  EXPECT_NEAR(world.applet->deltaTime(), 0.02, 1e-5);
}

TEST(AppletFrameRate, OnRequestOnlyAnIdleSceneDrawsNothingUntilAnObjectAsks) {
  AppletWorld world(AppletText(std::string(R"(width="64" height="48" title="Idle" frameRate="-1" )") + kTickLogger));
  ASSERT_NE(world.applet, nullptr);
  // Settle whatever loading asked for.
  world.applet->requestRedraw();
  world.setAppletClock(10);
  ASSERT_EQ(world.applet->runStep(), 0);

  HWND handle = world.applet->window()->handle;
  win32_test::CaptureFrames(handle, true);
  world.applet->setBkColor(0xFF0000FFu);
  const int ticks = TickLines(world);
  world.setAppletClock(500);
  EXPECT_EQ(world.applet->runStep(), 1);
  EXPECT_EQ(world.applet->runStep(), 1);
  EXPECT_EQ(TickLines(world), ticks);
  EXPECT_FALSE(win32_test::LastFrame(handle).has_value());  // nothing was drawn

  world.applet->update();  // any object's redraw request
  EXPECT_EQ(world.applet->runStep(), 0);
  EXPECT_EQ(TickLines(world), ticks + 1);
  auto frame = win32_test::LastFrame(handle);
  ASSERT_TRUE(frame.has_value());
  ASSERT_EQ(frame->pixels.size(), 64u * 48u);
  EXPECT_EQ(frame->pixels[0] & 0xFFFFFFu, 0x0000FFu);
  EXPECT_EQ(frame->pixels[64 * 48 - 1] & 0xFFFFFFu, 0x0000FFu);
  win32_test::CaptureFrames(handle, false);
}

TEST(AppletFrame, AnInvisibleWindowRunsNoPass) {
  AppletWorld world(AppletText(R"(width="64" height="48" title="Hidden")"));
  ASSERT_NE(world.applet, nullptr);
  ShowWindow(world.applet->window()->handle, SW_HIDE);
  world.applet->requestRedraw();
  world.setAppletClock(100);
  EXPECT_EQ(world.applet->runStep(), 1);
  EXPECT_EQ(world.applet->deltaTime(), 0.0f);
  EXPECT_GT(world.applet->updateCounter(), 0);
}

TEST(AppletFrame, ActivationResumesAndDeactivationPausesWithTheirHandlers) {
  AppletWorld world(AppletText(
      R"q(width="64" height="48" title="Focus" onActivate="engine.log('on')" onDeactivate="engine.log('off')")q"));
  ASSERT_NE(world.applet, nullptr);
  world.log.clear();
  world.applet->deactivate();
  EXPECT_TRUE(world.applet->paused());
  EXPECT_FALSE(world.applet->active());
  world.applet->activate();
  EXPECT_FALSE(world.applet->paused());
  EXPECT_TRUE(world.applet->active());
  const std::vector<std::string> expected{"(i) deactivate", "(i) off", "(i) deactivatet",
                                          "(i) activate",   "(i) on",  "(i) activated"};
  EXPECT_EQ(world.log.messages(), expected);
}
}  // namespace
