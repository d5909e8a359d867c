// Scripts against real object trees: published properties in any case,
// failing writes of unknown names, method calls with converted arguments,
// object identity, objects freed while scripts hold them, `new ClassName()`.
#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "tests/engine/script_test_classes.h"

namespace {

TEST(ScriptProperties, ReadInAnyCaseWithTheirKinds) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  probe->width = 5;
  probe->ratio = 0.1f;
  probe->title = u"Grüße, мир";
  probe->sound = "boom.wav";
  probe->mood = pmAngry;
  probe->moods = TProbeMoods{pmCalm, pmAngry};
  probe->active = true;
  probe->big = 1LL << 40;
  EXPECT_EQ(world.run("result = [probe.width, probe.WIDTH, probe.Width, probe.wIdTh].join()"), "5,5,5,5");
  // A float property holds a float32: 0.1 reads as its double value.
  EXPECT_EQ(world.run("result = String(probe.ratio)"), "0.10000000149011612");
  EXPECT_EQ(world.run("result = probe.TITLE + '|' + probe.sound"), "Grüße, мир|boom.wav");
  // Enumerations (Boolean too) and sets read as integers, a set as its bit mask.
  EXPECT_EQ(world.run("result = [probe.mood, probe.moods, probe.active, typeof probe.active].join()"),
            "2,5,1,number");
  EXPECT_EQ(world.run("result = String(probe.big)"), "1099511627776");
  EXPECT_EQ(world.run("result = String(probe.Tag) + probe.count + probe.tagString.length"), "000");
  EXPECT_EQ(world.run("result = typeof probe.nothingOfThatName"), "undefined");
}

TEST(ScriptProperties, WritesConvertToThePropertyKind) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  EXPECT_TRUE(world.engine->evaluate(u"probe.Width = '640'; probe.RATIO = 2.5; probe.title = 'Привет';"));
  EXPECT_EQ(probe->width, 640);
  EXPECT_FLOAT_EQ(probe->ratio, 2.5f);
  EXPECT_EQ(probe->title, u"Привет");
  // Text reaches an 8-bit property through the system code page.
  EXPECT_TRUE(world.engine->evaluate(u"probe.sound = 'café.wav'"));
  EXPECT_EQ(probe->sound, "caf\xE9.wav");
  // Enumerations take a value or one of their names; Booleans true and false.
  EXPECT_TRUE(world.engine->evaluate(u"probe.mood = 'pmHappy'; probe.active = true; probe.moods = 6;"));
  EXPECT_EQ(probe->mood, pmHappy);
  EXPECT_TRUE(probe->active);
  EXPECT_EQ(probe->moods.bits(), 6u);
  EXPECT_TRUE(world.engine->evaluate(u"probe.mood = 2; probe.active = false"));
  EXPECT_EQ(probe->mood, pmAngry);
  EXPECT_FALSE(probe->active);
  // Integers round to the nearest; 32-bit colour values wrap.
  EXPECT_TRUE(world.engine->evaluate(u"probe.width = 2.5"));
  EXPECT_EQ(probe->width, 3);
  EXPECT_TRUE(world.engine->evaluate(u"probe.width = -2.4"));
  EXPECT_EQ(probe->width, -2);
  EXPECT_TRUE(world.engine->evaluate(u"probe.width = 0xFF000000"));
  EXPECT_EQ(probe->width, static_cast<int32_t>(0xFF000000u));
  EXPECT_TRUE(world.engine->evaluate(u"probe.big = 1e12"));
  EXPECT_EQ(probe->big, 1000000000000LL);
}

TEST(ScriptProperties, ValuesThatDoNotConvertStopTheScriptWithALoggedError) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  probe->width = 7;
  LogCapture log;
  EXPECT_FALSE(world.engine->evaluate(u"probe.width = 'wide'"));
  EXPECT_EQ(probe->width, 7);
  EXPECT_TRUE(log.contains("(e) (0:0) Error: can't convert wide to an integer \"\"")) << log.messages().at(0);
  // Scripts can catch it.
  EXPECT_EQ(world.run("try { probe.width = 1e40 } catch (e) { result = 'caught' }"), "caught");
  EXPECT_EQ(probe->width, 7);
  // An enumeration takes only its own values; a Boolean any number.
  EXPECT_EQ(world.run("try { probe.mood = 3 } catch (e) { result = String(e) }"),
            "Error: 3 is not a value of TProbeMood");
  EXPECT_EQ(world.run("try { probe.mood = -1 } catch (e) { result = String(e) }"),
            "Error: -1 is not a value of TProbeMood");
  EXPECT_EQ(probe->mood, pmCalm);
  EXPECT_TRUE(world.engine->evaluate(u"probe.active = 5"));
  EXPECT_TRUE(probe->active);
  EXPECT_EQ(world.run("result = String(probe.active)"), "1");
}

TEST(ScriptProperties, WritingAnUnpublishedNameFails) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  LogCapture log;
  EXPECT_FALSE(world.engine->evaluate(u"probe.widht = 3"));
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(log.messages()[0], "(e) (0:0) Error: \"widht\" is not a published property of ScriptProbe \"\"");
  EXPECT_EQ(world.run("result = typeof probe.widht + ('widht' in probe)"), "undefinedfalse");
  EXPECT_EQ(world.run("try { Object.defineProperty(probe, 'x', {value: 1}); result = 'defined' }"
                      " catch (e) { result = 'refused' }"),
            "refused");
  // Published names in any case still write.
  EXPECT_TRUE(world.engine->evaluate(u"probe.WIDTH = 4"));
  EXPECT_EQ(probe->width, 4);
  // A read-only property ignores writes; the script goes on.
  EXPECT_EQ(world.run("probe.count = 5; result = String(probe.count)"), "0");
}

TEST(ScriptProperties, EnumerationListsThePublishedNames) {
  ScriptWorld world;
  world.probe("probe");
  std::string names = world.run("var n = []; for (var k in probe) n.push(k); result = n.join()");
  for (const char* name : {"width", "ratio", "title", "point", "Tag", "tagString", "count"}) {
    EXPECT_NE(names.find(name), std::string::npos) << name << " in " << names;
  }
  // Callback properties and methods are not listed.
  EXPECT_EQ(names.find("add"), std::string::npos);
}

TEST(ScriptMethods, ArgumentsConvertToTheDeclaredTypes) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  ScriptProbe* other = world.probe("other");
  EXPECT_EQ(world.run("result = String(probe.add(2, '3'))"), "5");
  // Numbers for integers round half to even.
  EXPECT_EQ(world.run("result = [probe.add(2.5, 0), probe.add(3.5, 0), probe.add(true, 1)].join()"), "2,4,2");
  EXPECT_EQ(world.run("result = probe.greet('Ann') + '/' + probe.greet(42) + '/' + probe.greet(1.5)"),
            "Hello Ann/Hello 42/Hello 1.5");
  EXPECT_EQ(world.run("result = String(probe.half(5))"), "2.5");
  EXPECT_TRUE(world.engine->evaluate(u"probe.setMood('pmAngry')"));
  EXPECT_EQ(probe->mood, pmAngry);
  EXPECT_TRUE(world.engine->evaluate(u"probe.setMood(1)"));
  EXPECT_EQ(probe->mood, pmHappy);
  probe->active = true;
  EXPECT_EQ(world.run("result = String(probe.isActive())"), "true");
  EXPECT_TRUE(world.engine->evaluate(u"probe.follow(other)"));
  EXPECT_EQ(probe->target, other);
  EXPECT_EQ(world.run("result = String(probe.findTarget() === other)"), "true");
  EXPECT_TRUE(world.engine->evaluate(u"probe.follow(null)"));
  EXPECT_EQ(probe->target, nullptr);
  // Methods of ancestors work on descendants; extra arguments are ignored.
  EXPECT_EQ(world.run("result = String(probe.getParent() === undefined) + probe.add(1, 2, 99)"), "true3");
}

TEST(ScriptMethods, AMethodOfOneTextTakesTheStringAsItStandsEvenWhenCallsNest) {
  const MethodInfo* greet = ScriptProbe::staticClassInfo().findMethod("greet");
  ASSERT_NE(nullptr, greet);
  EXPECT_TRUE(greet->invoke.takesText());
  EXPECT_FALSE(ScriptProbe::staticClassInfo().findMethod("half")->invoke.takesText());
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  int depth = 0;
  // The inner call's text must not overwrite the outer call's.
  probe->onGreet = [&] {
    if (++depth < 3) world.engine->evaluate(u"inner = probe.greet('Bob' + '" + AnsiToWide(std::to_string(depth)) + u"')");
  };
  EXPECT_EQ(world.run("var long = 'x'.repeat(40); result = probe.greet('Ann \u0416 ' + long) + '/' + inner"),
            "Hello Ann \u0416 " + std::string(40, 'x') + "/Hello Bob1");
  probe->onGreet = nullptr;
  EXPECT_EQ(world.run("result = [probe.greet(''), probe.greet(7), probe.greet(null)].join('|')"), "Hello |Hello 7|");
}

TEST(ScriptMethods, AMethodOfOneNumberTakesTheNumberStraightConvertingAsAnyArgument) {
  const ClassInfo& probeClass = ScriptProbe::staticClassInfo();
  for (const char* name : {"grow", "half", "setMood"}) EXPECT_TRUE(probeClass.findMethod(name)->invoke.takesNumber()) << name;
  for (const char* name : {"add", "greet", "ping"}) EXPECT_FALSE(probeClass.findMethod(name)->invoke.takesNumber()) << name;
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  // Integers round half to even and wrap at 32 bits; numbers no integer holds are refused.
  const struct {
    const char* argument;
    int32_t width;
  } grows[] = {{"7", 7}, {"2.5", 2}, {"3.5", 4}, {"-2.4", -2}, {"0xFF000000", static_cast<int32_t>(0xFF000000u)},
               {"1e12", static_cast<int32_t>(1000000000000LL)}, {"NaN", 0}, {"Infinity", 0}, {"'6'", 6}};
  for (const auto& grow : grows) {
    probe->width = 0;
    LogCapture log;
    EXPECT_TRUE(world.engine->evaluate(u"probe.grow(" + AnsiToWide(grow.argument) + u")"));
    EXPECT_EQ(probe->width, grow.width) << grow.argument;
    EXPECT_EQ(log.count("(e) Invalide function call grow"), grow.width == 0 ? 1 : 0) << grow.argument;
  }
  EXPECT_EQ(world.run("result = [probe.half(5), probe.half(1e40), probe.half(-0.5)].join()"), "2.5,Infinity,-0.25");
  // An enumeration takes its own values only, whole or rounded.
  LogCapture log;
  EXPECT_TRUE(world.engine->evaluate(u"probe.setMood(1.6); probe.setMood(3); probe.setMood(-1); probe.setMood(NaN)"));
  EXPECT_EQ(probe->mood, pmAngry);
  EXPECT_EQ(log.count("(e) Invalide function call setMood"), 3);
}

TEST(ScriptMethods, BadCallsLogInvalideFunctionCallAndGiveUndefined) {
  ScriptWorld world;
  world.probe("probe");
  auto* plain = New<BaseObject>(world.root.get());
  world.engine->exportObject(u"plain", u"BaseObject", plain);
  LogCapture log;
  std::string result = world.run(
      "var r = [];"
      "r.push(probe.add(1));"                  // too few
      "r.push(probe.add(null, 1));"            // null for a number
      "r.push(probe.add(undefined, 1));"       // undefined
      "r.push(probe.add('x', 1));"             // text that is no number
      "r.push(probe.add(NaN, 1));"             // no number at all
      "r.push(probe.follow(42));"              // a number for an object
      "r.push(probe.follow({}));"              // an object that is no program object
      "r.push(probe.greet.call({}, 'a'));"     // a method on a foreign object
      "r.push(probe.add.call(plain, 1, 2));"   // on an object of another class
      "r.push(probe.setMood('pmSad'));"        // no such enumeration value
      "r.push(probe.setMood(3));"              // a number outside the enumeration
      "result = r.map(function (v) { return typeof v; }).join();");
  EXPECT_EQ(result, "undefined,undefined,undefined,undefined,undefined,undefined,undefined,undefined,undefined,"
                    "undefined,undefined");
  EXPECT_EQ(log.count("(e) Invalide function call add"), 6);
  EXPECT_EQ(log.count("(e) Invalide function call follow"), 2);
  EXPECT_EQ(log.count("(e) Invalide function call greet"), 1);
  EXPECT_EQ(log.count("(e) Invalide function call setMood"), 2);
}

TEST(ScriptMethods, ParametersOfAnyValueMayBeLeftOutAtTheEnd) {
  ScriptWorld world;
  world.probe("probe");
  EXPECT_EQ(world.run("result = probe.describe('f', 7)"), "f:7,empty");
  EXPECT_EQ(world.run("result = probe.describe('f', 'pi', null)"), "f:pi,null");
  EXPECT_EQ(world.run("result = probe.describe('f', undefined, probe)"), "f:empty,object");
  LogCapture log;
  EXPECT_EQ(world.run("result = typeof probe.describe()"), "undefined");
  EXPECT_EQ(log.count("(e) Invalide function call describe"), 1);
}

TEST(ScriptMethods, ATreeCannotBeClosedIntoACycle) {
  ScriptWorld world;
  ScriptProbe* top = world.probe("top");
  ScriptProbe* inner = world.probe("inner");
  inner->moveTo(top);
  EXPECT_TRUE(world.engine->evaluate(u"top.moveTo(top); top.moveTo(inner); inner.moveTo(inner);"));
  EXPECT_EQ(top->parent(), world.root.get());
  EXPECT_EQ(inner->parent(), top);
  EXPECT_EQ(top->count(), 1);
  EXPECT_EQ(inner->count(), 0);
  // Moving elsewhere still works.
  world.engine->exportObject(u"world", u"BaseObject", world.root.get());
  EXPECT_TRUE(world.engine->evaluate(u"inner.moveTo(inner.getParent().getParent())"));
  EXPECT_EQ(inner->parent(), world.root.get());
}

TEST(ScriptMethods, ExceptionsOfMethodsBecomeScriptErrors) {
  ScriptWorld world;
  world.probe("probe");
  EXPECT_EQ(world.run("try { probe.fail() } catch (e) { result = String(e) }"),
            "Error: List index out of bounds (7)");
  LogCapture log;
  EXPECT_FALSE(world.engine->evaluate(u"probe.fail()"));
  EXPECT_TRUE(log.contains("(e) (0:6) Error: List index out of bounds (7) \"\""));
}

TEST(ScriptMethods, CallsAreLoggedAboveDebugLevelOne) {
  ScriptWorld world;
  world.probe("probe");
  LogCapture log;
  world.engine->evaluate(u"probe.ping()");
  EXPECT_TRUE(log.lines().empty());
  world.engine->setDebugLevel(2);
  world.engine->evaluate(u"probe.ping()");
  EXPECT_TRUE(log.contains("(i) Call method ping of ScriptProbe object"));
}

TEST(ScriptObjects, OneScriptObjectStandsForOneProgramObject) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  ScriptProbe* other = world.probe("other");
  probe->target = other;
  world.engine->exportObject(u"alias", u"ScriptProbe", probe);
  EXPECT_EQ(world.run("result = [probe === alias, probe.target === other, probe.findTarget() === other,"
                      " probe.point === probe.point, probe.point === other.point].join()"),
            "true,true,true,true,false");
  // The nested point is the probe's own object.
  EXPECT_TRUE(world.engine->evaluate(u"var p = probe.point; p.x = 3; p.moveBy(1, 2); p.Y = p.y * 10;"));
  EXPECT_FLOAT_EQ(probe->point()->x, 4);
  EXPECT_FLOAT_EQ(probe->point()->y, 20);
  // A replaced sub-object is reached through the same script object.
  probe->renewPoint();
  EXPECT_EQ(world.run("result = String(p.x) + (p === probe.point)"), "0true");
  // Object-valued properties take program objects of their class, or null.
  EXPECT_TRUE(world.engine->evaluate(u"probe.target = probe"));
  EXPECT_EQ(probe->target, probe);
  EXPECT_TRUE(world.engine->evaluate(u"probe.target = null"));
  EXPECT_EQ(probe->target, nullptr);
  LogCapture log;
  EXPECT_TRUE(world.engine->evaluate(u"probe.target = p; probe.target = 5"));
  EXPECT_EQ(log.count("(e) invalide propert type target"), 2);
  EXPECT_EQ(probe->target, nullptr);
}

TEST(ScriptObjects, TreeObjectsMustBeExportedBeforeScriptsReachThem) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  auto* hidden = New<ScriptProbe>(world.root.get());
  probe->target = hidden;
  LogCapture log;
  // A method gives undefined for it; reading the property stops the script.
  EXPECT_EQ(world.run("result = typeof probe.findTarget()"), "undefined");
  EXPECT_FALSE(world.engine->evaluate(u"var t = probe.target; marker = 1;"));
  EXPECT_TRUE(log.contains("(e) Need to create object"));
  EXPECT_EQ(world.engine->getGlobal(u"marker").isEmpty(), true);
  world.engine->exportObject(WideString(), u"ScriptProbe", hidden);
  EXPECT_EQ(world.run("result = String(probe.target === probe.findTarget())"), "true");
}

TEST(ScriptObjects, AFreedObjectReadsUndefinedAndCallsNothing) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  ScriptProbe* other = world.probe("other");
  other->target = probe;
  ASSERT_TRUE(world.engine->evaluate(u"var keep = probe; var pt = probe.point; var n = probe.width;"));
  int exported = world.engine->exportedCount();
  probe->Free();  // the tree tells the engine, as the applet wiring does
  EXPECT_EQ(world.engine->exportedCount(), exported - 1);
  EXPECT_FALSE(world.engine->hasScriptObject(probe));
  LogCapture log;
  EXPECT_EQ(world.run("keep.width = 3; pt.x = 1;"
                      "result = [typeof probe, typeof keep, typeof keep.width, typeof pt.x, typeof keep.add(1, 2),"
                      " typeof other.findTarget()].join()"),
            "undefined,object,undefined,undefined,undefined,undefined");
  EXPECT_EQ(log.count("(e) Invalide function call add"), 1);
  // Passing it to a method is a bad call too.
  EXPECT_EQ(world.run("result = typeof other.follow(keep)"), "undefined");
  EXPECT_EQ(log.count("(e) Invalide function call follow"), 1);
  world.engine->collectGarbage();
}

// Loops long enough for the library to compile them: the calls it then makes
// directly still check their object on every call.
TEST(ScriptObjects, CallsInCompiledLoopsCheckTheirObjectEveryTime) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  ScriptProbe* other = world.probe("other");
  probe->active = true;
  probe->onPing = [probe] {
    if (probe->pings == 3000) probe->Free();
  };
  LogCapture log;
  EXPECT_EQ(world.run("var p = probe, hits = 0;"
                      "for (var i = 0; i < 5000; i++) { if (p.isActive()) hits++; p.ping(); }"
                      "result = String(hits)"),
            "3000");
  EXPECT_EQ(log.count("(e) Invalide function call ping"), 2000);
  EXPECT_EQ(log.count("(e) Invalide function call isActive"), 2000);

  // A method borrowed by an object of another kind, and a nested object
  // replaced halfway through.
  EXPECT_EQ(world.run("var foreign = {}, n = 0;"
                      "for (var i = 0; i < 5000; i++) if (other.isActive.call(foreign) === undefined) n++;"
                      "result = String(n)"),
            "5000");
  EXPECT_EQ(log.count("(e) Invalide function call isActive"), 7000);
  other->onPing = [other] {
    if (other->pings == 2500) other->renewPoint();
  };
  ASSERT_TRUE(world.engine->evaluate(
      u"var pt = other.point; for (var i = 0; i < 5000; i++) { pt.moveBy(1, 0); other.ping(); }"));
  EXPECT_FLOAT_EQ(other->point()->x, 2500);
}

TEST(ScriptObjects, ScriptsOfOneEngineMayFreeTheObjectTheyRunOn) {
  ScriptWorld world;
  ScriptProbe* probe = world.probe("probe");
  probe->onPing = [probe] { probe->Free(); };
  EXPECT_EQ(world.run("probe.ping(); result = typeof probe + typeof this.probe"), "undefinedundefined");
}

TEST(ScriptObjects, ASecondExportUnderOneNameReplacesTheFirst) {
  ScriptWorld world;
  ScriptProbe* first = world.probe("hero");
  first->width = 1;
  ASSERT_TRUE(world.engine->evaluate(u"var before = hero;"));
  ScriptProbe* second = New<ScriptProbe>(world.root.get());
  second->width = 2;
  world.engine->exportObject(u"hero", u"ScriptProbe", second);
  EXPECT_EQ(world.run("result = [hero.width, before.width, hero === before].join()"), "2,1,false");
  // Freeing the first object leaves the global to the second.
  first->Free();
  EXPECT_EQ(world.run("result = [hero.width, typeof before.width].join()"), "2,undefined");
}

TEST(ScriptObjects, ExportsWithoutNameUseTheLowerCaseClassAndIdentity) {
  ScriptWorld world;
  auto* probe = New<ScriptProbe>(world.root.get());
  world.engine->exportObject(WideString(), u"ScriptProbe", probe);
  std::string name = "scriptprobe" + std::to_string(reinterpret_cast<intptr_t>(probe));
  EXPECT_EQ(world.run("result = typeof " + name + ".add"), "function");
  world.engine->exportObject(u"ignored", u"ScriptProbe", nullptr);
  EXPECT_EQ(world.run("result = typeof ignored"), "undefined");
}

TEST(ScriptConstructors, NewMakesObjectsOfRegisteredClasses) {
  ScriptWorld world;
  world.engine->registerClass(ScriptProbe::staticClassInfo());
  world.engine->registerClass(TProbePoint::staticClassInfo());
  ScriptProbe* parent = world.probe("parent");
  ASSERT_TRUE(world.engine->evaluate(u"var made = new ScriptProbe(); made.width = 4; var inner = new ScriptProbe(parent);"));
  ASSERT_EQ(world.root->count(), 2);
  auto* made = static_cast<ScriptProbe*>(world.root->childAt(1));
  EXPECT_EQ(made->width, 4);
  EXPECT_TRUE(made->componentStyle() & csExternal);
  ASSERT_EQ(parent->count(), 1);
  EXPECT_EQ(world.run("result = [made instanceof ScriptProbe, inner.getParent() === parent,"
                      " typeof scriptprobe" + std::to_string(reinterpret_cast<intptr_t>(made)) + "].join()"),
            "true,true,object");
  LogCapture log;
  EXPECT_FALSE(world.engine->evaluate(u"var bad = new TProbePoint(); reached = 1"));
  EXPECT_TRUE(log.contains("(e) Create invalide object TProbePoint"));
  EXPECT_TRUE(world.engine->getGlobal(u"reached").isEmpty());
}

TEST(ScriptHandlers, RunHandlerEvaluatesThroughTheAppletWiring) {
  ScriptWorld world;
  auto* hero = New<ScriptProbe>(world.root.get());
  hero->SetName(u"hero");
  hero->Loaded();  // exports it, as loading an object file does
  hero->runHandler(u"hero.width = hero.width + 9;");
  EXPECT_EQ(hero->width, 9);
  LogCapture log;
  hero->runHandler(u"hero.nonsense()");
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(log.messages()[0], "(e) (0:5) TypeError: hero.nonsense is not a function \"\"");
}

}  // namespace
