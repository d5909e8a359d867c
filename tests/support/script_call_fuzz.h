#pragma once
// Every published method of every registered class, called from scripts in a
// running applet with random argument lists: numbers, texts, null, undefined,
// plain script objects, the applet itself, objects of every other class and a
// freed one; frames run and input arrives between the calls, and every class
// is also made with `new` from random arguments. Nothing may crash or hang:
// every call runs, is refused with a log line, or raises a script error the
// script catches; waits end as their effects end or input cancels them.
//
// Shared by the engine's run and the run with the GUI's classes registered:
//   class Run : public script_call_fuzz::ScriptCallFuzz {};
//   TEST_F(Run, Name) { callEverything(); }
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "compat/win32/system.h"
#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "core/objects/step_handler.h"
#include "core/resources/resource_man.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/script_engine.h"
#include "platform/input_records.h"
#include "tests/engine/applet_world.h"

namespace script_call_fuzz {

// Classes that are not made here: the engine root is one per run, a second
// applet would be a second game, managers and script engines are the
// applet's own and are reached through its globals.
inline bool LeftOut(const ClassInfo& cls) {
  return cls.isAbstract() || cls.inheritsFrom(SomeEngine::staticClassInfo()) ||
         cls.inheritsFrom(Applet::staticClassInfo()) || cls.inheritsFrom(TResourceMan::staticClassInfo()) ||
         cls.inheritsFrom(TScriptEngine::staticClassInfo());
}

// `terminate`, and freeing the applet, end the game, which would end the
// test early (that freeing ends it, and only that, is checked at the end);
// every other method is called.
inline std::string MethodList(const ClassInfo& cls, bool holdsTheApplet) {
  std::string names;
  std::set<std::string> seen{"terminate"};
  if (holdsTheApplet) seen.insert({"dispose", "scheduleDispose", "deleteChildren"});
  for (const ClassInfo* c = &cls; c; c = c->parent()) {
    for (const MethodInfo& m : c->ownMethods()) {
      if (seen.insert(m.name).second) names += (names.empty() ? "'" : ",'") + m.name + "'";
    }
  }
  return "[" + names + "]";
}

inline std::string LastLines(const std::vector<std::string>& lines, size_t count) {
  std::string text;
  for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i) text += lines[i] + "\n";
  return text;
}

// A fixed-seed generator picks argument lists from a pool that holds every
// kind of value.
inline const char* const kCaller = R"(
var seed = 20240521;
function next(n) { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; }
var calls = 0, failures = 0, lastCall = '';
function callAll(target, names, rounds) {
  for (var r = 0; r < rounds; r++) {
    for (var m = 0; m < names.length; m++) {
      var args = [];
      var count = next(5);
      for (var a = 0; a < count; a++) args.push(pool[next(pool.length)]);
      lastCall = names[m];
      try { var f = target[names[m]]; if (typeof f === 'function') f.apply(target, args); calls++; }
      catch (e) { failures++; }
    }
  }
}
)";

class ScriptCallFuzz : public ::testing::Test {
 protected:
  // Classes registered beyond the engine's before the game is made.
  virtual void registerMore() {}

  void SetUp() override {
    registerMore();
    world = std::make_unique<AppletWorld>(AppletText(
        R"q(name="app" width="160" height="120" title="Fuzz" onMouseDown="engine.log('@down')")q",
        R"(<Dummy name="group"><Dummy name="inner"/></Dummy>)"));
    ASSERT_NE(world->applet, nullptr);
    // Frames on a clock the test moves: waits on effects end in few steps,
    // input queued on every step ends modal waits and waits for events.
    StepHandler() = [this](BaseObject* applet) { step(applet); };
  }
  void TearDown() override {
    StepHandler() = nullptr;
    world.reset();
  }

  void step(BaseObject* target) {
    Applet* applet = world->applet;
    if (!applet || target != applet || applet->terminated()) return;
    ++steps;
    if (++stepsInRun > 400) {
      // Every wait a call can start ends within a few frames here: one that
      // does not would hang the game for ever.
      const auto& lines = world->log.messages();
      TScriptEngine* engine = applet->scriptEngine();
      ADD_FAILURE() << "a wait did not end in " << (engine ? WideToAnsi(engine->getGlobal(u"lastCall").toText()) : "")
                    << "; last lines:\n" << LastLines(lines, 8);
      applet->terminate();
      return;
    }
    clockMs += 250;
    world->setClock(clockMs);
    const int32_t x = static_cast<int32_t>(steps * 37 % 170) - 5, y = static_cast<int32_t>(steps * 53 % 130) - 5;
    TWindow* window = applet->window();
    applet->QueueEvent(TMouseEvent::Create(lekMouseMove, 0, x, y, 3, -2, 0, window));
    if (steps % 3 == 0) {
      applet->QueueEvent(TMouseEvent::Create(lekMouseDown, kButtonLeft, x, y, 0, 0, kShiftLeftButton, window));
      applet->QueueEvent(TMouseEvent::Create(lekMouseUp, kButtonLeft, x, y, 0, 0, kShiftLeftButton, window));
    }
    applet->QueueEvent(TKeyEvent::Create(lekKeyDown, 27, 0, 0, window));  // Escape ends a modal wait
    applet->QueueEvent(TKeyEvent::Create(lekKeyUp, 27, 0, 0, window));
    applet->QueueEvent(TWheelEvent::Create(lekWheel, 1, 0, window));
    // A paused game drops input until its window is active again, as when
    // the player comes back to it; another window (a second applet's) may
    // have taken the focus.
    if (applet->paused()) applet->QueueEvent(TActionEvent::Create(lekWindowAction, window, kActionActivated));
    applet->requestRedraw();
    applet->runStep();
  }

  // Runs a script; false when the applet has gone (a call may end it).
  bool run(const std::string& script) {
    if (!world->applet || world->applet->terminated()) return false;
    TScriptEngine* engine = world->applet->scriptEngine();
    stepsInRun = 0;
    return engine && (engine->evaluate(Utf8ToWide(script)), true);
  }

  // One object of every class, every class made by scripts and every method
  // called; then a script frees the running applet, which ends the game.
  void callEverything() {
    const auto start = std::chrono::steady_clock::now();
    Applet* applet = world->applet;
    TScriptEngine* engine = applet->scriptEngine();
    ASSERT_NE(engine, nullptr);

    // One object of every class: tree classes under the applet, the others loose.
    std::vector<TObject*> loose;
    std::vector<std::pair<std::string, const ClassInfo*>> targets;
    for (const ClassInfo* cls : RegisteredClasses()) {
      if (LeftOut(*cls)) continue;
      TObject* object = cls->inheritsFrom(BaseObject::staticClassInfo()) ? cls->create(applet) : cls->create(nullptr);
      if (!cls->inheritsFrom(BaseObject::staticClassInfo())) loose.push_back(object);
      const std::string name = "t" + std::to_string(targets.size());
      engine->exportObject(AnsiToWide(name), AnsiToWide(cls->name()), object);
      targets.emplace_back(name, cls);
    }
    ASSERT_GE(targets.size(), 30u);
    // The applet's own globals are targets too.
    for (const char* global : {"applet", "engine", "event", "materials", "preferences", "scoreTable", "filter",
                               "device", "mostTop", "inspector", "resMan", "embeddedResMan", "externalResMan"}) {
      Variant value = engine->getGlobal(AnsiToWide(global));
      if (TObject* object = value.toObject()) targets.emplace_back(global, &object->classInfo());
    }

    // A freed object that scripts still hold.
    ASSERT_TRUE(run("var doomed = applet.new('Dummy', applet);"));
    ASSERT_TRUE(run("var gone = doomed; doomed.dispose();"));
    for (int i = 0; i < 4; ++i) step(applet);  // the disposal's delay passes

    std::string pool = "var pool = [0, 1, -1, 2.5, 1e300, -1e300, NaN, Infinity, '', 'x', 'show', '12', "
                       "'#FF000000', 'red', null, undefined, true, false, {}, [], [1, 2], function () {}, gone, applet";
    for (const auto& target : targets) pool += ", " + target.first;
    ASSERT_TRUE(run(kCaller + pool + "];"));

    // Every class made by scripts, from random arguments.
    for (const auto& [name, cls] : targets) {
      for (int i = 0; i < 3; ++i) {
        run("try { new " + cls->name() + "(pool[next(pool.length)], pool[next(pool.length)]); } catch (e) {}");
      }
    }
    // Every method of every target, with frames and input between the rounds.
    for (int round = 0; round < 4; ++round) {
      for (const auto& [name, cls] : targets) {
        ASSERT_TRUE(run("callAll(" + name + ", " + MethodList(*cls, name == "applet" || name == "engine") + ", 2);"))
            << "the game ended during the calls on " << name << " (" << cls->name() << ")";
        run("callAll(gone, " + MethodList(*cls, false) + ", 1);");
        stepsInRun = 0;
        step(applet);
      }
    }
    EXPECT_GT(engine->getGlobal(u"calls").toInt(), 1000);
    EXPECT_GT(world->log.count("(e) Invalide function call moveTo"), 0);
    EXPECT_GT(steps, 100);
    engine->collectGarbage();
    // A script freeing the running applet ends the game; the loop frees it.
    ASSERT_TRUE(run("engine.deleteChildren();"));
    step(applet);
    EXPECT_TRUE(applet->terminated());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 60.0);

    world->shutDown();
    for (TObject* object : loose) object->Free();
    // moveTo(null) detaches objects without freeing them: nothing else frees
    // what the calls left outside every tree.
    std::vector<BaseObject*> detached;
    BaseObject::forEachLive([&](BaseObject* o) {
      if (!o->parent()) detached.push_back(o);
    });
    for (BaseObject* o : detached) {
      if (BaseObject::isLive(o)) o->Free();
    }
  }

  std::unique_ptr<AppletWorld> world;
  uint32_t clockMs = 1000;
  int steps = 0;
  int stepsInRun = 0;
};

}  // namespace script_call_fuzz
