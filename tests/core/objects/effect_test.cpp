// The timing engine shared by every effect: running time and overshoot,
// loops, friction, the shift delay, lingering, progress, and nested waits.
#include <gtest/gtest.h>

#include <vector>

#include "core/fake_applet_helpers.h"
#include "core/objects/effect.h"
#include "core/objects/step_handler.h"

namespace {
// Records every step it applies to its parent.
struct RecordingEffect : Effect {
  std::vector<double> steps;
  int restarts = 0;
  void apply(double, double step) override { steps.push_back(step); }
  void loopRestart() override { ++restarts; }
  void setLingering(bool value) { lingering_ = value; }
  void storeFileNameForTest(const WideString& name) { storeFileName(name); }
};

// A parent that can be hidden like an invisible visual object.
struct ShyParent : BaseObject {
  bool hidden = true;
  bool isHiddenVisual() const override { return hidden; }
};

class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedStep_ = StepHandler();
    root = New<BaseObject>();
    root->setApplet(root);
  }
  void TearDown() override {
    if (root) root->Free();
    StepHandler() = savedStep_;
  }
  RecordingEffect* effect(float runningTime, BaseObject* parent = nullptr) {
    auto* e = New<RecordingEffect>(parent ? parent : root);
    e->setRunningTime(runningTime);
    return e;
  }
  // Ticks the tree n times with the same delta, from time 0.
  void ticks(int n, double delta) {
    for (int i = 0; i < n; ++i) {
      clock += delta;
      root->tick(clock, delta);
    }
  }

  TestApplet applet;
  BaseObject* root = nullptr;
  double clock = 0;

 private:
  StepHandlerProc savedStep_;
};

TEST_F(EffectTest, ZeroRunningTimeStopsAtTheFirstTickWithoutApplying) {
  RecordingEffect* e = effect(0);
  e->setRunning(true);
  const int updatesBefore = applet.updates;
  ticks(1, 0.1);
  EXPECT_FALSE(e->running());
  EXPECT_TRUE(e->steps.empty());
  EXPECT_EQ(applet.updates, updatesBefore);  // no redraw asked for
  EXPECT_EQ(e->progress(), 0.0f);            // and no division by the zero length
}

TEST_F(EffectTest, AnOvershootingStepIsAppliedAndTheRestFollowsOnTheNextTick) {
  RecordingEffect* e = effect(1.0f);
  e->setRunning(true);
  ticks(3, 0.3);
  ASSERT_EQ(e->steps.size(), 3u);
  for (double s : e->steps) EXPECT_FLOAT_EQ(static_cast<float>(s), 0.3f);
  EXPECT_FALSE(e->finishing());
  ticks(1, 0.3);  // elapsed would reach 1.2: the step is applied, finishing is set
  ASSERT_EQ(e->steps.size(), 4u);
  EXPECT_FLOAT_EQ(static_cast<float>(e->steps[3]), 0.3f);
  EXPECT_TRUE(e->finishing());
  EXPECT_TRUE(e->running());
  ticks(1, 0.3);  // applies what was left after 0.9 and stops
  ASSERT_EQ(e->steps.size(), 5u);
  EXPECT_NEAR(e->steps[4], 0.1, 1e-6);
  EXPECT_FALSE(e->running());
  EXPECT_FALSE(e->finishing());
  ticks(2, 0.3);
  EXPECT_EQ(e->steps.size(), 5u);
}

TEST_F(EffectTest, FrictionChangesTheSpeedPerSecond) {
  RecordingEffect* steady = effect(10.0f);
  steady->setRunning(true);
  RecordingEffect* slowing = effect(10.0f);
  slowing->setFriction(0.5f);
  slowing->setRunning(true);
  ticks(1, 0.1);
  EXPECT_FLOAT_EQ(steady->speed(), 1.0f);
  EXPECT_FLOAT_EQ(slowing->speed(), 0.95f);  // 1 + 0.1 * (0.5 - 1)
  EXPECT_FLOAT_EQ(static_cast<float>(slowing->steps[0]), 0.095f);
  ticks(1, 0.1);
  EXPECT_FLOAT_EQ(steady->speed(), 1.0f);
  EXPECT_FLOAT_EQ(slowing->speed(), 0.9025f);
  slowing->setRunning(false);
  slowing->setRunning(true);  // a new start runs at speed 1 from elapsed 0
  EXPECT_FLOAT_EQ(slowing->speed(), 1.0f);
  EXPECT_EQ(slowing->elapsed(), 0.0f);
}

TEST_F(EffectTest, AFrictionThatTurnsTheSpeedNegativeEndsTheEffect) {
  RecordingEffect* e = effect(5.0f);
  e->setFriction(0.0f);
  e->setRunning(true);
  ticks(1, 2.0);  // speed 1 + 2 * (0 - 1) = -1: it would never reach its end
  EXPECT_FALSE(e->running());
  EXPECT_TRUE(e->steps.empty());
}

TEST_F(EffectTest, AFrictionThatCanNeverReachTheEndStopsTheEffect) {
  // Speed 0.95^n: the steps add up to at most 1.9, short of the 2 seconds.
  RecordingEffect* e = effect(2.0f);
  e->setFriction(0.5f);
  e->setRunning(true);
  int n = 0;
  while (e->running() && n < 100000) {
    ticks(1, 0.1);
    ++n;
  }
  EXPECT_FALSE(e->running());
  EXPECT_LT(n, 100000);
  double total = 0;
  for (double s : e->steps) total += s;
  EXPECT_LT(total, 1.9 + 1e-4);
  EXPECT_GT(total, 1.89);
}

TEST_F(EffectTest, TheShiftDelayHoldsTheEffectAndCountsWhileIdle) {
  RecordingEffect* e = effect(1.0f);
  e->setShiftTime(1.0f);
  e->setRunning(true);
  ticks(1, 0.5);
  EXPECT_TRUE(e->steps.empty());
  ticks(1, 0.5);  // 1 second of shift reached: advances from now on
  ASSERT_EQ(e->steps.size(), 1u);
  EXPECT_FLOAT_EQ(static_cast<float>(e->steps[0]), 0.5f);

  RecordingEffect* idle = effect(1.0f);
  idle->setShiftTime(2.0f);
  RecordingEffect* delayed = effect(3.0f);
  delayed->setShiftTime(2.0f);
  delayed->setRunning(true);
  // While the delay runs both ask for a redraw each tick; once it has passed
  // the idle effect advances, finds itself idle and asks for none.
  std::vector<int> perTick;
  for (int i = 0; i < 5; ++i) {
    const int before = applet.updates;
    idle->tick(clock, 0.5);
    perTick.push_back(applet.updates - before);
  }
  EXPECT_EQ(perTick, (std::vector<int>{1, 1, 1, 0, 0}));
  ticks(3, 0.5);
  EXPECT_TRUE(delayed->steps.empty());  // 1.5 seconds of 2
  ticks(1, 0.5);
  EXPECT_EQ(delayed->steps.size(), 1u);
}

TEST_F(EffectTest, AnInvisibleParentHoldsTheEffectUnlessItLingers) {
  auto* parent = New<ShyParent>(root);
  RecordingEffect* e = effect(1.0f, parent);
  e->setRunning(true);
  const int before = applet.updates;
  ticks(3, 0.2);
  EXPECT_TRUE(e->steps.empty());
  EXPECT_EQ(e->elapsed(), 0.0f);
  EXPECT_EQ(applet.updates, before);
  e->setLingering(true);
  ticks(2, 0.2);
  EXPECT_EQ(e->steps.size(), 2u);
  EXPECT_FLOAT_EQ(e->elapsed(), 0.4f);
  parent->hidden = false;
  e->setLingering(false);
  ticks(1, 0.2);
  EXPECT_EQ(e->steps.size(), 3u);
}

TEST_F(EffectTest, ALingeringEffectStopsAtItsEndAndKeepsApplying) {
  RecordingEffect* e = effect(0.5f);
  e->setLingering(true);
  e->setRunning(true);
  ticks(3, 0.2);  // 0.2, 0.4, 0.6: the end stops it without a finishing step
  EXPECT_FALSE(e->running());
  EXPECT_FALSE(e->finishing());
  ticks(2, 0.2);  // still applying until the derived class lets go
  EXPECT_EQ(e->steps.size(), 5u);
  e->setLingering(false);
  ticks(2, 0.2);
  EXPECT_EQ(e->steps.size(), 5u);
}

TEST_F(EffectTest, LoopsWrapAndALoopWithoutLengthNeverStops) {
  RecordingEffect* wrapping = effect(1.0f);
  wrapping->setLoop(true);
  wrapping->setRunning(true);
  ticks(3, 0.4);  // 0.4, 0.8, 1.2 -> wraps to 0
  EXPECT_EQ(wrapping->restarts, 1);
  EXPECT_EQ(wrapping->elapsed(), 0.0f);
  EXPECT_TRUE(wrapping->running());

  RecordingEffect* endless = effect(0);
  endless->setLoop(true);
  endless->setRunning(true);
  ticks(200, 0.5);
  EXPECT_TRUE(endless->running());
  EXPECT_FLOAT_EQ(endless->elapsed(), 100.0f);
  EXPECT_EQ(endless->progress(), 0.0f);
}

TEST_F(EffectTest, ProgressIsElapsedOverRunningTime) {
  RecordingEffect* e = effect(2.0f);
  e->setRunning(true);
  ticks(1, 0.5);
  EXPECT_FLOAT_EQ(e->progress(), 0.25f);
  const MethodInfo* progress = e->classInfo().findMethod("progress");
  ASSERT_NE(progress, nullptr);
  EXPECT_DOUBLE_EQ(progress->invoke(e, {}).toDouble(), 0.25);
}

TEST_F(EffectTest, SettingTheSameRunningValueOnlyClearsFinishing) {
  RecordingEffect* e = effect(1.0f);
  e->setRunning(true);
  ticks(4, 0.3);
  ASSERT_TRUE(e->finishing());
  e->setRunning(true);
  EXPECT_FALSE(e->finishing());
  EXPECT_FLOAT_EQ(e->elapsed(), 1.2f);  // the run was not restarted
  const int before = applet.updates;
  e->setRunning(false);
  e->setRunning(true);
  EXPECT_EQ(e->elapsed(), 0.0f);
  EXPECT_EQ(applet.updates, before + 1);  // starting asks for a redraw
}

TEST_F(EffectTest, PublishedPropertiesAndTheirStoredRules) {
  RecordingEffect* e = effect(1.0f);
  const ClassInfo& cls = Effect::staticClassInfo();
  const PropInfo* running = cls.findProperty("running");
  ASSERT_NE(running, nullptr);
  SetOrdProp(e, *running, 1);  // through the virtual setter
  EXPECT_TRUE(e->running());
  EXPECT_FALSE(IsStoredProp(e, *cls.findProperty("friction")));
  e->setFriction(0.5f);
  EXPECT_TRUE(IsStoredProp(e, *cls.findProperty("friction")));
  EXPECT_TRUE(IsStoredProp(e, *cls.findProperty("loop")));
  e->storeFileNameForTest(u"effect.qxml");
  EXPECT_FALSE(IsStoredProp(e, *cls.findProperty("loop")));
  EXPECT_FLOAT_EQ(GetFloatProp(e, *cls.findProperty("runningTime")), 1.0f);
  EXPECT_NE(cls.findProperty("shiftTime"), nullptr);
}

// ---- waiting -----------------------------------------------------------------------

TEST_F(EffectTest, WaitingRunsFramesUntilTheEffectStops) {
  RecordingEffect* e = effect(1.0f);
  e->SetName(u"show");
  int steps = 0;
  StepHandler() = [&](BaseObject* applet) {
    ++steps;
    applet->tick(steps * 0.3, 0.3);
  };
  root->runEffectWait(u"SHOW");
  EXPECT_FALSE(e->running());
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(e->steps.size(), 5u);
}

TEST_F(EffectTest, WaitingReturnsAtOnceWhenPausedOrTerminated) {
  RecordingEffect* e = effect(1.0f);
  int steps = 0;
  StepHandler() = [&](BaseObject*) { ++steps; };
  applet.paused = true;
  e->setRunning(true);
  e->waitUntilStopped();
  EXPECT_EQ(steps, 0);
  EXPECT_TRUE(e->running());
  applet.paused = false;
  StepHandler() = [&](BaseObject*) {
    if (++steps == 3) applet.terminated = true;
  };
  e->waitUntilStopped();
  EXPECT_EQ(steps, 3);
  StepHandler() = nullptr;
  applet.terminated = false;
  e->waitUntilStopped();  // no step handler: nothing could ever stop it
  EXPECT_TRUE(e->running());
}

TEST_F(EffectTest, WaitingEndsWithoutTouchingAnEffectFreedDuringTheWait) {
  RecordingEffect* e = effect(10.0f);
  e->setRunning(true);
  int steps = 0;
  StepHandler() = [&](BaseObject* applet) {
    applet->tick(0, 0.1);
    if (++steps == 2) e->Free();  // a script frees the effect
  };
  e->waitUntilStopped();  // AddressSanitizer reports any later touch
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(root->count(), 0);
}

TEST_F(EffectTest, NestedWaitsOnOneEffectAllEndWhenItIsFreed) {
  RecordingEffect* e = effect(10.0f);
  e->setRunning(true);
  int depth = 0;
  int steps = 0;
  StepHandler() = [&](BaseObject*) {
    ++steps;
    if (depth == 0) {
      ++depth;
      e->waitUntilStopped();  // a handler waits on the same effect again
      return;
    }
    e->Free();
  };
  e->waitUntilStopped();
  EXPECT_EQ(steps, 2);
}

TEST_F(EffectTest, WaitingOnARunThatFrictionCannotFinishReturns) {
  RecordingEffect* e = effect(2.0f);
  e->SetName(u"slow");
  e->setFriction(0.5f);
  int steps = 0;
  StepHandler() = [&](BaseObject* applet) {
    ++steps;
    applet->tick(steps * 0.1, 0.1);
    if (steps > 200000) applet->stopEffect(u"slow");  // the test's own safety net
  };
  root->runEffectWait(u"slow");
  EXPECT_FALSE(e->running());
  EXPECT_LE(steps, 200000);
}
}  // namespace
