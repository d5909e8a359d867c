// The script engine itself: engines by extension, start and finish, one
// context for all engines of the thread with a global each, errors as log
// lines, constants and globals, garbage collection, freeing while running.
#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "tests/engine/script_test_classes.h"

namespace {

TEST(ScriptEngineRegistry, JavaScriptServesJsAndIsTheDefault) {
  RegisterJavaScriptEngine();
  RegisterJavaScriptEngine();
  EXPECT_EQ(ScriptEngineClassFor(".js"), &TJavaScriptEngine::staticClassInfo());
  EXPECT_EQ(ScriptEngineClassFor(".JS"), &TJavaScriptEngine::staticClassInfo());
  EXPECT_EQ(ScriptEngineClassFor(".vbs"), nullptr);
  ASSERT_EQ(DefaultScriptEngineClass(), &TJavaScriptEngine::staticClassInfo());
  EXPECT_EQ(CreateScriptEngine(ScriptProbe::staticClassInfo(), nullptr), nullptr);
  EXPECT_EQ(CreateScriptEngine(TScriptEngine::staticClassInfo(), nullptr), nullptr);  // abstract

  LogCapture log;
  Owned<TScriptEngine> engine(CreateScriptEngine(*DefaultScriptEngineClass(), nullptr));
  ASSERT_TRUE(engine);
  EXPECT_EQ(engine->className(), "TJavaScriptEngine");
  EXPECT_TRUE(engine->evaluate(u"var x = 6 * 7"));
  EXPECT_EQ(engine->getGlobal(u"x"), Variant(int32_t{42}));
  engine.reset();
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Mozzila Spider Monkey scripting engine started TJavaScriptEngine",
                                                      "(i) Mozzila Spider Monkey scripting engine finished TJavaScriptEngine"}));
}

TEST(ScriptEngineLife, EnginesShareTheContextButNotTheirGlobals) {
  Owned<TJavaScriptEngine> first(New<TJavaScriptEngine>());
  Owned<TJavaScriptEngine> second(New<TJavaScriptEngine>());
  ASSERT_TRUE(first->isReady() && second->isReady());
  EXPECT_TRUE(first->evaluate(u"var shared = 'first'"));
  EXPECT_TRUE(second->evaluate(u"var shared = 'second'"));
  EXPECT_EQ(first->getGlobal(u"shared"), Variant(u"first"));
  EXPECT_EQ(second->getGlobal(u"shared"), Variant(u"second"));
  first.reset();
  EXPECT_TRUE(second->evaluate(u"shared += '!'"));
  EXPECT_EQ(second->getGlobal(u"shared"), Variant(u"second!"));
  second.reset();
  // The last engine took the context with it; a new one starts afresh.
  Owned<TJavaScriptEngine> third(New<TJavaScriptEngine>());
  EXPECT_TRUE(third->getGlobal(u"shared").isEmpty());
}

TEST(ScriptEngineErrors, ErrorsAreLoggedWithLineColumnAndSource) {
  Owned<TJavaScriptEngine> engine(New<TJavaScriptEngine>());
  LogCapture log;
  // Handler text counts its lines from 0; columns from 0.
  EXPECT_FALSE(engine->evaluate(u"var a = 1;\n  foo();"));
  EXPECT_FALSE(engine->evaluate(u"var b = (;"));
  EXPECT_FALSE(engine->evaluate(u"throw 'plain text'"));
  EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                "(e) (1:2) ReferenceError: foo is not defined \"\"",
                                "(e) (0:9) SyntaxError: expected expression, got ';' \"var b = (;\"",
                                "(e) (0:0) uncaught exception: plain text \"\"",
                            }));
  // A failed evaluation leaves nothing pending: the next one runs.
  EXPECT_TRUE(engine->evaluate(u"var ok = true"));
}

TEST(ScriptEngineHandlers, EachHandlerTextIsCompiledOnceAndAgainWhenItChanges) {
  Owned<TJavaScriptEngine> engine(New<TJavaScriptEngine>());
  LogCapture log;
  ASSERT_TRUE(engine->evaluate(u"var ticks = 0"));
  const uint64_t before = engine->handlerCompileCount();
  for (int run = 0; run < 50; ++run) EXPECT_TRUE(engine->evaluateHandler(u"ticks += 1", u"sprite.onTick"));
  EXPECT_EQ(engine->getGlobal(u"ticks"), Variant(int32_t{50}));
  EXPECT_EQ(engine->handlerCompileCount(), before + 1);
  // Another handler with the same text is its own script (its errors name it).
  EXPECT_TRUE(engine->evaluateHandler(u"ticks += 1", u"other.onTick"));
  // A changed text is compiled again, then kept.
  for (int run = 0; run < 3; ++run) EXPECT_TRUE(engine->evaluateHandler(u"ticks += 100", u"sprite.onTick"));
  EXPECT_EQ(engine->getGlobal(u"ticks"), Variant(int32_t{351}));
  EXPECT_EQ(engine->handlerCompileCount(), before + 3);
  // A kept script reports its errors at the same places every run; a text
  // that does not compile says so every time it is run.
  for (int run = 0; run < 2; ++run) {
    EXPECT_FALSE(engine->evaluateHandler(u"ticks += 1;\n  foo();", u"sprite.onTick"));
    EXPECT_FALSE(engine->evaluateHandler(u"var b = (;", u"broken.onTick"));
  }
  EXPECT_EQ(engine->getGlobal(u"ticks"), Variant(int32_t{353}));
  EXPECT_EQ(engine->handlerCompileCount(), before + 6);
  const std::string runtime = "(e) sprite.onTick(1:2) ReferenceError: foo is not defined \"  foo();\"";
  const std::string syntax = "(e) broken.onTick(0:9) SyntaxError: expected expression, got ';' \"var b = (;\"";
  EXPECT_EQ(log.messages(), (std::vector<std::string>{runtime, syntax, runtime, syntax}));
}

TEST(ScriptEngineErrors, RunawayRecursionIsAnErrorNotACrash) {
  Owned<TJavaScriptEngine> engine(New<TJavaScriptEngine>());
  LogCapture log;
  EXPECT_FALSE(engine->evaluate(u"function down(n) { return down(n + 1) + 1; } down(0);"));
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_NE(log.messages()[0].find("InternalError: too much recursion"), std::string::npos) << log.messages()[0];
}

TEST(ScriptEngineGlobals, ConstantsAndGlobalsAsValues) {
  Owned<TJavaScriptEngine> engine(New<TJavaScriptEngine>());
  engine->defineConstant(u"VK_PAGEUP", 33);
  engine->defineConstant(u"VK_PRIOR", 33);
  engine->defineConstant(u"MR_CANCEL", 4);
  engine->defineConstant(WideString(), 99);
  EXPECT_TRUE(engine->evaluate(u"var sum = VK_PAGEUP + VK_PRIOR + MR_CANCEL; var half = 0.5; var t = 'x';"
                               u"var yes = true; var none = null; var obj = {};"));
  EXPECT_EQ(engine->getGlobal(u"sum"), Variant(int32_t{70}));
  EXPECT_EQ(engine->getGlobal(u"half"), Variant(0.5));
  EXPECT_EQ(engine->getGlobal(u"t"), Variant(u"x"));
  EXPECT_EQ(engine->getGlobal(u"yes"), Variant(true));
  EXPECT_TRUE(engine->getGlobal(u"none").isNull());
  EXPECT_EQ(engine->getGlobal(u"obj"), Variant(u"[object Object]"));
  EXPECT_TRUE(engine->getGlobal(u"missing").isEmpty());
  // Constants show in enumeration of the global.
  EXPECT_TRUE(engine->evaluate(u"var keys = Object.keys(this).indexOf('MR_CANCEL') >= 0"));
  EXPECT_EQ(engine->getGlobal(u"keys"), Variant(true));
}

TEST(ScriptEngineGlobals, ExportedProgramObjectsComeBackAsThemselves) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  EXPECT_EQ(world.engine->getGlobal(u"probe"), Variant(static_cast<TObject*>(probe)));
  EXPECT_EQ(world.engine->exportedCount(), 1);
  world.engine->removeObject(probe);
  EXPECT_EQ(world.engine->exportedCount(), 0);
  EXPECT_TRUE(world.engine->getGlobal(u"probe").isEmpty());
  // A global a script has pointed elsewhere is not deleted.
  world.engine->exportObject(u"probe", u"ScriptProbe", probe);
  EXPECT_TRUE(world.engine->evaluate(u"probe = 12"));
  world.engine->removeObject(probe);
  EXPECT_EQ(world.engine->getGlobal(u"probe"), Variant(int32_t{12}));
}

// The count is of names standing for program objects: exporting again, or
// handing a name from object to object, keeps it flat; freeing ends it.
TEST(ScriptEngineGlobals, ExportedCountStaysFlatUnderReexportsAndRenames) {
  ScriptWorld world;
  ScriptProbe* a = world.probe("a");
  ScriptProbe* b = world.probe("b");
  for (int i = 0; i < 500; ++i) {
    world.engine->exportObject(u"a", u"ScriptProbe", a);
    world.engine->exportObject(u"slot", u"ScriptProbe", i % 2 ? a : b);
    world.engine->exportObject(WideString(), u"ScriptProbe", b);
  }
  EXPECT_EQ(world.engine->exportedCount(), 4);  // a, b, slot, b's own name
  EXPECT_EQ(world.engine->getGlobal(u"slot"), Variant(static_cast<TObject*>(a)));
  EXPECT_TRUE(world.engine->evaluate(u"a = 12"));  // a script points a name elsewhere
  world.engine->removeObject(a);
  EXPECT_EQ(world.engine->exportedCount(), 2);
  world.engine->removeObject(b);
  EXPECT_EQ(world.engine->exportedCount(), 0);
}

TEST(ScriptEngineGlobals, AnObjectExportedToTwoEnginesIsLetGoByBoth) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  Owned<TJavaScriptEngine> other(New<TJavaScriptEngine>());
  other->exportObject(u"seen", u"ScriptProbe", probe);
  ASSERT_TRUE(other->evaluate(u"var held = seen;"));
  probe->Free();
  EXPECT_FALSE(other->hasScriptObject(probe));
  EXPECT_EQ(other->exportedCount(), 0);
  EXPECT_TRUE(other->evaluate(u"var w = typeof held.width + typeof seen;"));
  EXPECT_EQ(other->getGlobal(u"w"), Variant(u"undefinedundefined"));
}

TEST(ScriptEngineGarbage, CollectionReportsItsStatistics) {
  ScriptWorld world;
  world.probe("a");
  world.probe("b");
  std::vector<std::pair<std::string, std::string>> values;
  world.engine->collectGarbage();  // without a sink nothing is reported
  world.engine->setDebugValueSink([&](const WideString& name, const WideString& value) {
    values.emplace_back(WideToUtf8(name), WideToUtf8(value));
  });
  ASSERT_TRUE(world.engine->evaluate(u"for (var i = 0; i < 10000; i++) { var garbage = {n: i, s: 'x' + i}; }"));
  world.engine->collectGarbage();
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].first, "JS GC:");
  EXPECT_EQ(values[0].second.size(), 8u);  // "%8.6f"
  EXPECT_EQ(values[0].second[1], '.');
  EXPECT_EQ(values[1], (std::pair<std::string, std::string>("JS Objects:", "2")));
  // The program's objects survive collection.
  EXPECT_EQ(world.run("result = String(a.add(1, 1))"), "2");
}

TEST(ScriptEngineGarbage, ScriptObjectsSurviveACompactingCollectionAnywhere) {
  ScriptWorld world;
  std::vector<ScriptProbe*> probes;
  for (int i = 0; i < 40; ++i) {
    probes.push_back(world.probe("p" + std::to_string(i)));
    probes.back()->width = i;
  }
  // Collect from inside a published method, with the script's own values
  // and the method's arguments live on the stack.
  probes[0]->onPing = [&] { world.engine->collectGarbage(); };
  std::string result = world.run(
      "var kept = [], points = [];"
      "for (var i = 0; i < 40; i++) { kept.push(this['p' + i]); points.push(this['p' + i].point); }"
      "for (var j = 0; j < 20000; j++) { var junk = {j: j, text: 'junk' + j}; }"
      "p0.ping();"
      "var same = true, sum = 0;"
      "for (var i = 0; i < 40; i++) {"
      "  same = same && kept[i] === this['p' + i] && points[i] === kept[i].point;"
      "  sum += kept[i].width + kept[i].add(0, 0);"
      "  points[i].x = i;"
      "}"
      "result = String(same) + sum;");
  EXPECT_EQ(result, "true780");
  EXPECT_FLOAT_EQ(probes[39]->point()->x, 39);
  world.engine->collectGarbage();
  EXPECT_EQ(world.run("result = String(kept[7] === p7) + (new Array(3)).length + p7.width"), "true37");
}

TEST(ScriptEngineLife, FreeingTheEngineFromItsOwnScriptWaitsUntilItReturns) {
  auto services = std::make_unique<ScriptTestServices>(nullptr);
  Owned<BaseObject> root(New<BaseObject>());
  auto* engine = New<TJavaScriptEngine>(root.get());
  auto* probe = New<ScriptProbe>(root.get());
  engine->exportObject(u"probe", u"ScriptProbe", probe);
  probe->onPing = [engine] { engine->Free(); };
  LogCapture log;
  EXPECT_TRUE(engine->evaluate(u"probe.ping(); var after = probe.add(1, 2);"));
  // The engine is gone now; the script ran to its end first.
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Mozzila Spider Monkey scripting engine finished TJavaScriptEngine"}));
  EXPECT_EQ(probe->pings, 1);
}

}  // namespace
