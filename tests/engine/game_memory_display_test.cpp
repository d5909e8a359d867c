// The game's memory as a whole: a game that keeps a little more every frame,
// never much in one handler, ends with one line once it grew past its bound.
#include <gtest/gtest.h>

#include "core/objects/script_watch.h"
#include "engine/applet/applet.h"
#include "engine/script_engine.h"
#include "tests/engine/applet_world.h"

namespace {

TEST(GameMemory, AGameKeepingMemoryEveryFrameEndsOnceWithOneLine) {
  AppletWorld world(AppletText(R"q(width="160" height="120" title="Hoarder" frameRate="0" onLoad="keep = []; frames = 0")q"
                               R"q( onTick="keep.push(new Uint8Array(16777216).fill(1)); frames++")q"));
  ASSERT_NE(world.applet, nullptr);
  SetGameMemoryBoundForTest(size_t{96} << 20);
  uint32_t clock = 0;
  for (int frame = 0; frame < 40 && !world.applet->terminated(); ++frame) {
    world.setAppletClock(clock += 20);
    world.applet->requestRedraw();
    world.applet->runStep();
  }
  const int frames = world.applet->scriptEngine()->getGlobal(u"frames").toInt();
  SetGameMemoryBoundForTest(0);
  EXPECT_TRUE(world.applet->terminated());
  EXPECT_LE(frames, 10);  // 16 MB a frame: past 96 MB within a few frames
  EXPECT_EQ(world.log.count("(e) Game out of memory: it took more than 96 MB since it started; it ends"), 1);
}
}  // namespace
