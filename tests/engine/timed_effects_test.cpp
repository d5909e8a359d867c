// Timers, timer effects and key-frame animations on real tree objects, with
// their script texts run in the JavaScript engine.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/geometry/coordinates.h"
#include "core/resources/folder_resource_man.h"
#include "core/streams/object_file.h"
#include "engine/effects/animation_effect.h"
#include "engine/effects/timer.h"
#include "engine/effects/timer_effect.h"
#include "engine/effects/two_pass_effect.h"
#include "engine/registration.h"
#include "engine/scene/position_object.h"
#include "engine/visual_object.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"
#include "tests/engine/script_test_classes.h"

namespace {

class TimedEffects : public ::testing::Test {
 protected:
  TimedEffects() { world.run("fired = 0"); }
  int fired() { return std::stoi(world.run("result = fired")); }
  // One frame of the whole tree.
  void tick(double delta) {
    time_ += delta;
    world.root->tick(time_, delta);
  }
  template <typename T>
  T* add(BaseObject* parent, const char16_t* name = u"") {
    auto* object = New<T>(parent);
    object->SetName(name);
    return object;
  }
  // Keys {key, alpha} through addKey, as scripts add them.
  static void addAlphaKeys(AnimationEffect* effect, std::initializer_list<std::pair<int, float>> keys) {
    for (auto [key, alpha] : keys) effect->addKey(u"", u"", static_cast<float>(key), alpha);
  }

  // The classes first: registering installs the applet's services, which the
  // script world then replaces with its own.
  bool registered_ = (RegisterAllClasses(), true);
  ScriptWorld world;
  LogCapture log;
  double time_ = 0;
};

TEST_F(TimedEffects, TimerFiresOnEnablingThenOncePerTickPastItsInterval) {
  struct Case {
    float interval;
    std::vector<double> ticks;
    std::vector<int> firedAfterEach;  // counting the firing on enabling
    float left;
  };
  const Case cases[] = {
      {1.0f, {0.4, 0.4, 0.4}, {1, 1, 2}, 0.2f},
      {1.0f, {0.5, 0.5, 0.5}, {1, 1, 2}, 0.5f},        // exactly the interval does not fire yet
      {0.0f, {0.1, 0.1}, {2, 3}, 0.2f - 0.0002f},      // 0 works as 0.0001 s
      {0.1f, {0.35, 0.0, 0.0}, {2, 3, 4}, 0.05f},      // a long frame fires on the next ticks
  };
  for (const Case& c : cases) {
    auto* timer = add<Timer>(world.root.get());
    timer->setOnTimer(u"fired++");
    timer->setInterval(c.interval);
    world.run("fired = 0");
    timer->setEnabled(true);
    for (size_t i = 0; i < c.ticks.size(); ++i) {
      tick(c.ticks[i]);
      EXPECT_EQ(fired(), c.firedAfterEach[i]) << "interval " << c.interval << " tick " << i;
    }
    EXPECT_NEAR(timer->accumulated(), c.left, 1e-5);
    timer->setEnabled(false);
    EXPECT_EQ(fired(), c.firedAfterEach.back());
    timer->Free();
  }
}

TEST_F(TimedEffects, TimerCallbackRunsAfterTheText) {
  auto* timer = add<Timer>(world.root.get());
  timer->setOnTimer(u"fired = 7");
  std::vector<int> seen;
  timer->setCallback([&](Timer* t) {
    seen.push_back(fired());
    t->setCallback(nullptr);  // a callback may clear itself
  });
  timer->setEnabled(true);
  timer->setInterval(0);
  tick(0.1);
  EXPECT_EQ(seen, std::vector<int>{7});
}

TEST_F(TimedEffects, TimerEffectRunsItsTextWhenItStopsAndWhenItLoops) {
  auto* owner = add<BaseObject>(world.root.get());
  auto* effect = add<TimerEffect>(owner, u"beat");
  effect->setOnTimer(u"fired++");
  effect->setRunningTime(0.5f);
  effect->setRunning(true);
  EXPECT_EQ(fired(), 0);
  effect->setRunning(false);
  EXPECT_EQ(fired(), 1);

  effect->setLoop(true);
  effect->setRunning(true);
  tick(0.3);
  tick(0.3);  // wraps
  EXPECT_EQ(fired(), 2);
}

TEST_F(TimedEffects, KeyFramesSetAlphaBetweenKeys) {
  auto* sprite = add<VisualObject>(world.root.get());
  auto* effect = add<AnimationEffect>(sprite, u"fade");
  addAlphaKeys(effect, {{0, 0.0f}, {10, 1.0f}});
  EXPECT_TRUE(effect->keys()->isUsing(AnimationChannel::Alpha));
  EXPECT_FALSE(effect->keys()->isUsing(AnimationChannel::Color));
  effect->setRunning(true);
  tick(1.0 / 6);
  tick(0);  // applies at the elapsed time reached
  EXPECT_NEAR(sprite->alpha(), 0.5f, 1e-5);
  EXPECT_NEAR(effect->runningTime(), 1.0f / 3, 1e-6);
  tick(1.0);  // past the last key: the run ends holding its values
  tick(0);
  EXPECT_FALSE(effect->running());
  EXPECT_FLOAT_EQ(sprite->alpha(), 1.0f);
}

TEST_F(TimedEffects, KeysAtOneTimeOrNoKeysAreHarmless) {
  auto* sprite = add<VisualObject>(world.root.get());
  auto* empty = add<AnimationEffect>(sprite, u"empty");
  auto* sameTime = add<AnimationEffect>(sprite, u"same");
  addAlphaKeys(sameTime, {{5, 0.2f}, {5, 0.8f}});
  sprite->setAlpha(0.3f);
  empty->apply(0, 0);
  EXPECT_FLOAT_EQ(sprite->alpha(), 0.3f);
  EXPECT_FLOAT_EQ(empty->runningTime(), 2.0f);
  sameTime->setRunning(true);
  tick(1.0 / 6);
  tick(0);
  EXPECT_FLOAT_EQ(sprite->alpha(), 0.8f);
}

TEST_F(TimedEffects, DeltaKeysMoveFromWhereTheOwnerStarted) {
  auto* ship = add<PositionObject>(world.root.get());
  ship->position()->setXYZ(5, 1, 0);
  auto* effect = add<AnimationEffect>(ship, u"slide");
  auto* start = static_cast<TAnimationKey*>(effect->keys()->add());
  auto* end = static_cast<TAnimationKey*>(effect->keys()->add());
  start->setValue(AnimationChannel::DeltaX, 0);
  end->setKey(30);
  end->setValue(AnimationChannel::DeltaX, 10);
  effect->setRunning(true);
  tick(0.5);
  tick(0);
  EXPECT_NEAR(ship->position()->vector().x, 10.0f, 1e-4);
  EXPECT_FLOAT_EQ(ship->position()->vector().y, 1.0f);
}

TEST_F(TimedEffects, ChannelTheOwnerDoesNotPublishIsLoggedAndLeftAlone) {
  auto* plain = add<BaseObject>(world.root.get(), u"plain");
  auto* effect = add<AnimationEffect>(plain, u"fade");
  addAlphaKeys(effect, {{0, 0.0f}, {10, 1.0f}});
  for (int run = 0; run < 2; ++run) {
    effect->setRunning(true);
    tick(0.1);
    tick(0);
    effect->setRunning(false);
  }
  EXPECT_EQ(log.count("(i) Animation fade: BaseObject has no published alpha"), 1);
}

TEST_F(TimedEffects, TwoPassEffectMovesTowardsTheSecondPassDuringThePause) {
  auto* sprite = add<VisualObject>(world.root.get());
  auto* effect = add<TwoPassEffect>(sprite, u"blink");
  addAlphaKeys(effect, {{0, 0.0f}, {30, 1.0f}});
  for (auto [key, alpha] : {std::pair{0, 0.5f}, std::pair{30, 0.0f}}) {
    auto* k = static_cast<TAnimationKey*>(effect->pass2()->add());
    k->setKey(key);
    k->setValue(AnimationChannel::Alpha, alpha);
  }
  effect->setPauseTime(0.5f);
  struct Step {
    double delta;
    float alpha;
  };
  effect->setRunning(true);
  tick(0);
  for (Step step : {Step{1.25, 0.75f}, Step{0.75, 0.25f}}) {
    tick(step.delta);
    tick(0);
    EXPECT_NEAR(sprite->alpha(), step.alpha, 1e-4);
  }
  EXPECT_FLOAT_EQ(effect->runningTime(), 2.5f);
}

TEST_F(TimedEffects, TwoPassEffectShowsItsFirstKeyOnItsFirstFrame) {
  auto* sprite = add<VisualObject>(world.root.get());
  sprite->setAlpha(0.9f);
  auto* effect = add<TwoPassEffect>(sprite, u"blink");
  addAlphaKeys(effect, {{0, 0.2f}, {30, 1.0f}});
  for (int key : {0, 30}) static_cast<TAnimationKey*>(effect->pass2()->add())->setKey(key);
  effect->setRunning(true);
  tick(0);
  EXPECT_FLOAT_EQ(sprite->alpha(), 0.2f);
}

TEST_F(TimedEffects, AnAnimationStartedFromItsFileReportsWhatItCannotReach) {
  TempDir dir;
  std::unique_ptr<TFolderResourceMan, FreeDeleter> manager(New<TFolderResourceMan>(nullptr));
  manager->setRoot(dir.path());
  Owned<BaseObject> plain(New<BaseObject>(nullptr));
  auto* effect = add<AnimationEffect>(plain.get(), u"fade");
  addAlphaKeys(effect, {{0, 0.0f}, {10, 1.0f}});
  effect->setRunning(true);
  ASSERT_TRUE(StoreObjectFile(manager.get(), u"fade.qxml", plain.get()));
  const std::string text = dir.read("fade.qxml");
  ASSERT_LT(text.find("running"), text.find("keys")) << text;
  log.clear();

  Owned<BaseObject> copy(LoadObjectFile(manager.get(), u"fade.qxml", nullptr, false, nullptr));
  ASSERT_NE(copy, nullptr);
  for (int frame = 0; frame < 3; ++frame) copy->findOwnEffect(u"fade")->apply(0, 0);
  EXPECT_EQ(log.count("(i) Animation fade: BaseObject has no published alpha"), 1);
}

TEST_F(TimedEffects, KeysReadBackFromAnObjectFileFlagTheirChannels) {
  TempDir dir;
  std::unique_ptr<TFolderResourceMan, FreeDeleter> manager(New<TFolderResourceMan>(nullptr));
  manager->setRoot(dir.path());
  Owned<VisualObject> sprite(New<VisualObject>(nullptr));
  auto* effect = add<AnimationEffect>(sprite.get(), u"tint");
  effect->addKey(u"#FF102030", u"", 0, 0.5f);
  effect->addKey(u"", u"", 15, 0.5f);
  ASSERT_TRUE(StoreObjectFile(manager.get(), u"tint.qxml", sprite.get()));
  const std::string text = dir.read("tint.qxml");
  EXPECT_NE(text.find("#FF102030"), std::string::npos) << text;
  EXPECT_EQ(text.find("#FFFFFFFF"), std::string::npos) << text;

  Owned<BaseObject> copy(LoadObjectFile(manager.get(), u"tint.qxml", nullptr, false, nullptr));
  ASSERT_NE(copy, nullptr);
  auto* loaded = dynamic_cast<AnimationEffect*>(copy->findOwnEffect(u"tint"));
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->keys()->count(), 2);
  EXPECT_EQ(loaded->keys()->key(1)->key(), 15);
  EXPECT_EQ(loaded->keys()->key(0)->color(AnimationChannel::Color), 0xFF102030u);
  for (AnimationChannel channel : {AnimationChannel::Alpha, AnimationChannel::Color}) {
    EXPECT_TRUE(loaded->keys()->isUsing(channel));
  }
  EXPECT_FALSE(loaded->keys()->isUsing(AnimationChannel::X));
}

// The object goes when the fade ends, however long the fade turns out to be
// (an animation's length is known only once it runs); show stops the timer.
TEST_F(TimedEffects, FadeHideHidesWhenTheFadeEndsAndShowDisarmsIt) {
  struct Case {
    int lastKey;  // in 30ths of a second
    bool showMeanwhile;
    int visibleTicks;  // ticks of 0.1 s with the object still shown
  };
  for (const Case c : {Case{120, false, 40}, Case{9, false, 3}, Case{9, true, 100}}) {
    auto* panel = add<VisualObject>(world.root.get());
    auto* fade = add<AnimationEffect>(panel, u"hide");
    addAlphaKeys(fade, {{0, 1.0f}, {c.lastKey, 0.0f}});
    panel->fadeHide();
    EXPECT_TRUE(panel->visible());  // enabling the timer fired before it had its callback
    auto* timer = dynamic_cast<Timer*>(panel->childAt(1));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->tagInt(), kFadeHideTimerTag);
    if (c.showMeanwhile) {
      panel->show();
      EXPECT_FALSE(timer->enabled());
    }
    int ticks = 0;
    for (; ticks < 100 && panel->visible(); ++ticks) tick(0.1);
    EXPECT_NEAR(ticks - 1, c.visibleTicks, 1) << c.lastKey;  // 0.1 s steps add up in float
    if (!c.showMeanwhile) {
      EXPECT_EQ(panel->alpha(), 0.0f) << c.lastKey;
    }
    panel->Free();
  }
}

}  // namespace
