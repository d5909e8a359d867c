// Missions and triggers in a running game: a level started from its file,
// paused by Escape, ended once, restarted (also while paused) and freed
// shortly after it ends; an object entering a trigger runs its onTrigger.
#include <gtest/gtest.h>

#include "core/geometry/coordinates.h"
#include "engine/event.h"
#include "engine/scene/mission.h"
#include "engine/scene/trigger.h"
#include "engine/script_engine.h"
#include "tests/engine/event_test_applet.h"

namespace {
using Lines = std::vector<std::string>;

std::string Handler(const std::string& name) { return " " + name + "=\"engine.log('@" + name + "')\""; }

const std::string kLevel = "<?xml version=\"1.0\"?>\r\n<Mission name=\"level\"" + Handler("onStart") +
                           Handler("onPause") + Handler("onResume") + Handler("onSuccess") + Handler("onFail") +
                           Handler("onSuccessMsg") + Handler("onHide") +
                           " onLoading=\"engine.log('@onLoading ' + event.paramInt)\">\r\n"
                           "<Dummy name=\"inside\"/>\r\n</Mission>\r\n";

class MissionGame : public ::testing::Test {
 protected:
  Mission* startLevel() {
    game.game.write("level.qxml", kLevel);
    if (!game.load("frameRate=\"60\" onLoad=\"applet.startMission('level.qxml', applet)\"", "")) return nullptr;
    game.step(2);
    return dynamic_cast<Mission*>(game.applet->findByName(u"level"));
  }
  bool run(const WideString& script) { return game.applet->scriptEngine()->evaluate(script); }
  bool logged(const std::string& line) const { return game.log.contains(line); }
  EventTestGame game;
};

TEST_F(MissionGame, ALevelStartsPausesOnEscapeOnceEndsOnceAndIsFreed) {
  Mission* level = startLevel();
  ASSERT_NE(level, nullptr);
  EXPECT_TRUE(logged("(i) Mission was created"));
  EXPECT_TRUE(logged("(i) Mission was start successful level.qxml"));
  game.key(27, 27);
  game.key(27, 27);
  game.step(2);
  EXPECT_TRUE(level->pause());
  level->loadingProgress(2, 3);
  ASSERT_TRUE(run(u"level.pause = false; level.success(); level.fail();"));
  EXPECT_EQ(game.scriptLines(),
            (Lines{"onLoading 95", "onLoading 100", "onStart", "onPause", "onLoading 66", "onResume", "onSuccessMsg",
                   "onHide", "onSuccess"}));
  EXPECT_TRUE(level->isSuccess());
  EXPECT_TRUE(logged("(i) Mission success level.qxml"));
  EXPECT_FALSE(logged("(i) Mission fail level.qxml"));
  EXPECT_TRUE(game.stepUntil([&] { return logged("(i) Mission was destroyed"); }));
  EXPECT_EQ(game.applet->findByName(u"level"), nullptr);
}

TEST_F(MissionGame, ARestartAskedForWhilePausedReloadsAndDisposeFails) {
  Mission* level = startLevel();
  ASSERT_NE(level, nullptr);
  BaseObject* inside = level->findByName(u"inside");
  ASSERT_NE(inside, nullptr);
  ASSERT_TRUE(run(u"level.pause = true; level.restart();"));
  ASSERT_TRUE(game.stepUntil([&] { return game.log.count("(i) @onStart") == 2; }));
  EXPECT_EQ(game.scriptLines(),
            (Lines{"onLoading 95", "onLoading 100", "onStart", "onPause", "onFail", "onLoading 95", "onStart"}));
  EXPECT_FALSE(level->pause());
  ASSERT_EQ(level->count(), 1);
  EXPECT_EQ(level->childAt(0)->name(), u"inside");
  ASSERT_TRUE(run(u"level.dispose();"));
  EXPECT_TRUE(logged("(i) Mission fail level.qxml"));
  EXPECT_TRUE(level->isDisposed());
  EXPECT_TRUE(game.stepUntil([&] { return logged("(i) Mission was destroyed"); }));
}

// A "retry" in onFail (or onSuccess) finds the level ended: nothing runs
// again and the mission is freed; a restart asked for just before the end
// does not reload it either, and scripts cannot call the reload itself.
TEST_F(MissionGame, ARestartOfAnEndedMissionDoesNothing) {
  game.game.write("retry.qxml", "<?xml version=\"1.0\"?>\r\n<Mission name=\"level\"" + Handler("onStart") +
                                    Handler("onSuccess") +
                                    " onFail=\"engine.log('@onFail'); level.restart()\"/>\r\n");
  ASSERT_NE(game.load("frameRate=\"60\" onLoad=\"applet.startMission('retry.qxml', applet)\"", ""), nullptr);
  game.step(2);
  auto* level = dynamic_cast<Mission*>(game.applet->findByName(u"level"));
  ASSERT_NE(level, nullptr);
  EXPECT_FALSE(run(u"level.reload()"));
  ASSERT_TRUE(run(u"level.fail()"));
  EXPECT_TRUE(game.stepUntil([&] { return logged("(i) Mission was destroyed"); }));
  EXPECT_EQ(game.scriptLines(), (Lines{"onStart", "onFail"}));
  EXPECT_EQ(game.log.count("(i) Mission has ended, no restart of retry.qxml"), 1);
  ASSERT_TRUE(run(u"var m = applet.startMission('retry.qxml', applet); m.restart(); m.success()"));
  EXPECT_TRUE(game.stepUntil([&] { return game.log.count("(i) Mission was destroyed") == 2; }));
  EXPECT_EQ(game.scriptLines(), (Lines{"onStart", "onFail", "onStart", "onSuccess"}));
  EXPECT_EQ(game.log.count("(i) Mission has ended, no reload of retry.qxml"), 1);
}

TEST_F(MissionGame, AnObjectEnteringATriggerRunsItsOwnOnTrigger) {
  ASSERT_NE(game.load("frameRate=\"-1\"",
                      "<Trigger name=\"gate\" width=\"2\" height=\"4\" depth=\"1\"/>\r\n"
                      "<Sphere name=\"ball\" onTrigger=\"engine.log('@' + event.paramThis.name + ' in ' + "
                      "event.paramObject.name + ' ' + event.paramPosition.x)\"/>\r\n"
                      "<Sphere name=\"ghost\"/>\r\n"),
            nullptr);
  auto* gate = dynamic_cast<Trigger*>(game.applet->findByName(u"gate"));
  auto* ball = dynamic_cast<PositionObject*>(game.applet->findByName(u"ball"));
  auto* ghost = dynamic_cast<PositionObject*>(game.applet->findByName(u"ghost"));
  ASSERT_TRUE(gate && ball && ghost);
  EXPECT_TRUE(gate->collisable());
  EXPECT_EQ(gate->getBoundingRadius(), 4.0f);
  ball->collise(gate, MakeVector4F(3, 0, 0, 1), MakeVector4F(0, 1, 0, 0));
  ghost->collise(gate, MakeVector4F(3, 0, 0, 1), MakeVector4F(0, 1, 0, 0));
  gate->markDisposed();
  ball->collise(gate, MakeVector4F(5, 0, 0, 1), MakeVector4F(0, 1, 0, 0));
  EXPECT_EQ(game.scriptLines(), Lines{"ball in gate 3"});
}
}  // namespace
