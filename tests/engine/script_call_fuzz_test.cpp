// Every published method of every registered class, called from a script
// with random argument lists: numbers, texts, null, undefined, plain script
// objects, live program objects and freed ones. Nothing may crash; every
// call either runs, logs "Invalide function call ...", or raises a script
// error the script catches.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/core_registration.h"
#include "core/engine.h"
#include "core/resource_man.h"
#include "support/log_capture.h"
#include "tests/engine/script_test_classes.h"

namespace {

// Classes whose construction reaches outside the test (the engine root makes
// the program's platform and managers; managers open files and dialogs).
bool LeftOut(const ClassInfo& cls) {
  return cls.inheritsFrom(SomeEngine::staticClassInfo()) || cls.inheritsFrom(TResourceMan::staticClassInfo());
}

std::vector<std::string> MethodNames(const ClassInfo& cls) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const ClassInfo* c = &cls; c; c = c->parent()) {
    for (const MethodInfo& m : c->ownMethods()) {
      if (seen.insert(m.name).second) names.push_back(m.name);
    }
  }
  return names;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The script: a fixed-seed generator picks argument lists from a pool that
// holds every kind of value, the program objects included.
const char* const kCaller = R"(
var seed = 20240521;
function next(n) { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; }
var calls = 0, failures = 0;
function callAll(target, names, rounds, pool) {
  for (var r = 0; r < rounds; r++) {
    for (var m = 0; m < names.length; m++) {
      var args = [];
      var count = next(5);
      for (var a = 0; a < count; a++) args.push(pool[next(pool.length)]);
      try { var f = target[names[m]]; if (typeof f === 'function') f.apply(target, args); calls++; }
      catch (e) { failures++; }
    }
  }
}
)";

TEST(ScriptCallFuzz, EveryPublishedMethodSurvivesRandomArguments) {
  RegisterCoreClasses();
  RegisterClass(ScriptProbe::staticClassInfo());
  ScriptWorld world;
  LogCapture log;  // keeps the many expected error lines out of the output

  std::vector<Owned<TObject>> loose;  // registered objects outside the tree
  std::vector<std::pair<std::string, const ClassInfo*>> targets;
  std::set<const BaseObject*> treeObjects;
  for (const ClassInfo* cls : RegisteredClasses()) {
    if (cls->isAbstract() || LeftOut(*cls)) continue;
    TObject* object = nullptr;
    if (cls->inheritsFrom(BaseObject::staticClassInfo())) {
      object = cls->create(world.root.get());
      treeObjects.insert(dynamic_cast<BaseObject*>(object));
    } else {
      object = cls->create(nullptr);
      loose.emplace_back(object);
    }
    std::string name = "t" + std::to_string(targets.size());
    world.engine->exportObject(AnsiToWide(name), AnsiToWide(cls->name()), object);
    targets.emplace_back(name, cls);
  }
  ASSERT_GE(targets.size(), 5u);

  // A freed object that scripts still hold.
  ScriptProbe* doomed = world.probe("doomed");
  ASSERT_TRUE(world.engine->evaluate(u"var gone = doomed;"));
  doomed->Free();

  std::string script = kCaller;
  script += "var pool = [0, 1, -1, 2.5, 1e300, -1e300, NaN, Infinity, '', 'x', 'show', '12', 'pmHappy', null,"
            " undefined, true, false, {}, [], [1, 2], function () {}, gone";
  for (const auto& target : targets) script += ", " + target.first;
  script += "];\n";
  for (const auto& [name, cls] : targets) {
    std::string names;
    for (const std::string& method : MethodNames(*cls)) names += (names.empty() ? "" : ",") + Quoted(method);
    script += "callAll(" + name + ", [" + names + "], 25, pool);\n";
    // The freed object's script object answers every method of the class too.
    script += "callAll(gone, [" + names + "], 2, pool);\n";
  }
  ASSERT_TRUE(world.engine->evaluate(Utf8ToWide(script))) << (log.messages().empty() ? "" : log.messages().back());
  Variant calls = world.engine->getGlobal(u"calls");
  EXPECT_GT(calls.toInt(), 1000);
  EXPECT_GT(log.count("(e) Invalide function call add"), 0);
  world.engine->collectGarbage();
  // moveTo(null) detaches an object without freeing it: the root no longer
  // frees what the calls left outside the tree.
  std::vector<BaseObject*> detached;
  BaseObject::forEachLive([&](BaseObject* o) {
    if (!o->parent() && treeObjects.count(o)) detached.push_back(o);
  });
  for (BaseObject* o : detached) {
    if (BaseObject::isLive(o)) o->Free();
  }
}

}  // namespace
