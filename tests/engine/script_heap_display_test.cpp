// A long session's script heap: objects made and freed over frames leave
// nothing behind (no global, no script object), so the heap stays flat
// however many come and go; on a full heap, what the binding cannot make
// stops the handler with one line, and the game goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(ScriptHeap, WhatTheBindingCannotMakeOnAFullHeapStopsTheHandlerWithOneLine) {
  // Each frame ticks; a frame with a job (mode 1) first fills the heap to its
  // limit with objects, texts, functions, arrays and property names, so no
  // kind has room left, then runs the job, which needs the binding to make
  // something; mode 2 runs the job alone.
  AppletWorld world(AppletText(
      R"q(width="160" height="120" title="Full" frameRate="0")q"
      R"q( onLoad="ticks = 0; done = 0; spr = new Sprite();)q"
      R"q( fill = function () { hog = []; var kinds = [function (i) { return {a: i} },)q"
      R"q( function (i) { return 'k' + i }, function (i) { return function () { return i } },)q"
      R"q( function (i) { return [i] }, function (i) { var o = {}; o['p' + i] = i; return o }];)q"
      R"q( for (var k = 0; k &lt; kinds.length; k++) {)q"
      R"q( try { for (var i = 0; ; i++) hog.push(kinds[k](i)) } catch (e) { } } }")q"));
  ASSERT_NE(world.applet, nullptr);
  auto* engine = dynamic_cast<TJavaScriptEngine*>(world.applet->scriptEngine());
  ASSERT_NE(engine, nullptr);
  uint32_t clock = 0;
  auto frame = [&] {
    world.setAppletClock(clock += 250);  // past the delay of a scheduled free
    world.applet->requestRedraw();
    world.applet->runStep();
  };
  auto global = [&](const char16_t* name) { return engine->getGlobal(name).toText(); };
  frame();  // the first frame's lines
  struct Case {
    const char16_t* job;
    const char* names;  // what the line names
  };
  const Case cases[] = {
      {u"p = spr.position", "Can't export class TSpaceCoord"},  // the first use of a class
      {u"s = new Sprite()", "Can't export object sprite"},
      {u"t = applet.title", "Can't read property title"},
      {u"t = applet.translate(\\'Full\\')", "Can't call translate"},
      {u"k = []; for (var p in scoreTable) k.push(p)", "Can't export property"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.job));
    ASSERT_TRUE(engine->evaluate(u"mode = 1; applet.onTick = 'ticks++; if (mode) { if (mode == 1) fill(); mode = 0; " +
                                 std::u16string(c.job) + u"; done++ }'"));
    const std::u16string done = global(u"done");
    const int children = world.applet->count();
    engine->setHeapLimitForTest(engine->heapBytes() + (4 << 20));
    world.log.clear();
    frame();
    const std::vector<std::string> lines = world.log.messages();
    ASSERT_EQ(lines.size(), 1u) << (lines.empty() ? "" : lines[0] + " ...");
    EXPECT_TRUE(lines[0].starts_with("(e) Applet.onTick(0:")) << lines[0];
    EXPECT_NE(lines[0].find(c.names), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(": out of memory"), std::string::npos) << lines[0];
    EXPECT_EQ(global(u"done"), done);
    // The next frame runs on the full heap; once it has room the job runs.
    const std::u16string ticks = global(u"ticks");
    frame();
    EXPECT_NE(global(u"ticks"), ticks);
    EXPECT_EQ(world.applet->count(), children);  // nothing half made is left
    ASSERT_TRUE(engine->evaluate(u"hog = null; mode = 2"));
    engine->setHeapLimitForTest(0);
    engine->collectGarbage();
    frame();
    EXPECT_NE(global(u"done"), done);
    EXPECT_EQ(world.log.messages().size(), 1u) << world.log.messages().back();
  }
}
}  // namespace
