// A long session's script heap: objects made and freed over frames leave
// nothing behind (no global, no script object), so the heap stays flat
// however many come and go.
#include <gtest/gtest.h>

#include <string>

#include "engine/applet/applet.h"
#include "engine/javascript/javascript_engine.h"
#include "tests/engine/applet_world.h"

namespace {

TEST(ScriptHeap, ObjectsMadeAndFreedOverFramesLeaveTheHeapFlat) {
  // Every frame: nameless, named and loaded objects, each freed again by a
  // scheduled free a frame later.
  AppletWorld world(AppletText(
      R"q(width="160" height="120" title="Churn" frameRate="0" onLoad="n = 0; made = 0")q"
      R"q( onTick="for (var i = 0; i &lt; 100; i++) {)q"
      R"q( var a = new Sprite(); a.position.x = i; a.onTick = 'x = 1'; a.dispose();)q"
      R"q( var b = new Dummy(); b.name = 'enemy' + (n++); b.dispose();)q"
      R"q( var c = applet.newFromFile('shot.qxml', applet); c.dispose(); })q"
      R"q( made += 300;")q"));
  ASSERT_NE(world.applet, nullptr);
  world.game.write("shot.qxml", "<?xml version=\"1.0\"?>\r\n<Sprite onCreate=\"this.width = 3\"/>\r\n");
  auto* engine = dynamic_cast<TJavaScriptEngine*>(world.applet->scriptEngine());
  ASSERT_NE(engine, nullptr);
  uint32_t clock = 0;
  struct Measure {
    size_t heap, wrappers;
    std::u16string globals;
  };
  auto batch = [&](int frames) {
    for (int f = 0; f < frames; ++f) {
      world.setAppletClock(clock += 250);  // past the delay of every scheduled free
      world.applet->requestRedraw();
      world.applet->runStep();
    }
    engine->collectGarbage();
    engine->evaluate(u"globalCount = Object.getOwnPropertyNames(this).length");
    return Measure{engine->heapBytes(), engine->wrapperCount(), engine->getGlobal(u"globalCount").toText()};
  };
  batch(10);
  const Measure settled = batch(10);
  for (int i = 0; i < 2; ++i) {
    const Measure later = batch(10);
    EXPECT_LE(later.heap, settled.heap + settled.heap / 20) << settled.heap << " -> " << later.heap;
    EXPECT_LE(later.wrappers, settled.wrappers);
    EXPECT_EQ(later.globals, settled.globals);
  }
  EXPECT_EQ(engine->getGlobal(u"made").toText(), u"12000");
}
}  // namespace
