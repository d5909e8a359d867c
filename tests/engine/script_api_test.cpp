// The names every applet's scripts see: constants, globals, class prototypes.
#include <gtest/gtest.h>

#include "core/core_registration.h"
#include "core/objects/class_registry.h"
#include "engine/javascript/js_realm.h"
#include "support/log_capture.h"
#include "tests/engine/script_test_classes.h"

namespace {

TEST(ScriptApi, ConstantsAreTheWindowsKeyCodesAndModalResultsInOrder) {
  const auto& constants = ScriptConstants();
  ASSERT_EQ(constants.size(), 90u);
  EXPECT_EQ(constants.front().name, u"VK_BACK");
  EXPECT_EQ(constants[20].name, u"VK_ESCAPE");  // after VK_MODECHANGE, as the table lists it
  EXPECT_EQ(constants[20].value, 27);
  EXPECT_EQ(constants[43].name, u"VK_NUMPAD0");
  EXPECT_EQ(constants[43].value, 96);
  EXPECT_EQ(constants[59].name, u"VK_F1");
  EXPECT_EQ(constants[61].name, u"VK_F4");
  EXPECT_EQ(constants[61].value, 115);
  EXPECT_EQ(constants[82].name, u"VK_NUMLOCK");
  EXPECT_EQ(constants[84].name, u"MR_NONE");
  EXPECT_EQ(constants.back().name, u"VK_F3");
  EXPECT_EQ(constants.back().value, 114);
  // No letters or digits: scripts use the character codes.
  for (const ScriptConstant& c : constants) EXPECT_NE(c.name, u"VK_A");
}

TEST(ScriptApi, RegisteredNamesReachScripts) {
  RegisterCoreClasses();
  ScriptWorld world;
  auto* device = New<TProbePoint>();  // stands for a persistent such as the device
  ScriptGlobals globals;
  globals.applet = world.root.get();
  globals.device = device;
  RegisterScriptNames(*world.engine, globals);
  EXPECT_EQ(world.run("result = [VK_PAGEUP, VK_PRIOR, VK_F3, VK_F24, VK_NUMPAD7, MR_CANCEL, VK_RETURN, VK_ENTER]"
                      ".join()"),
            "33,33,114,135,103,4,13,13");
  EXPECT_EQ(world.run("result = [typeof applet.getParent, typeof device.moveBy, typeof externalResMan,"
                      " typeof resMan, typeof BaseObject].join()"),
            "function,function,undefined,undefined,function");
  EXPECT_EQ(world.engine->getGlobal(u"applet"), Variant(static_cast<TObject*>(world.root.get())));
  world.engine->removeObject(device);
  device->Free();
}

TEST(ScriptApi, EveryRegisteredTreeClassGetsItsConstructor) {
  RegisterCoreClasses();
  RegisterClass(ScriptProbe::staticClassInfo());
  ScriptWorld world;
  EXPECT_EQ(world.run("result = typeof ScriptProbe"), "undefined");
  RegisterScriptClasses(*world.engine);
  // Each constructor is made when a script first names the class, by its
  // exact name; the global lists the classes not named yet all the same.
  const JsRealm& realm = *world.engine->realm();
  EXPECT_EQ(realm.findBinding(ScriptProbe::staticClassInfo()), nullptr);
  EXPECT_EQ(world.run("result = [Object.getOwnPropertyNames(this).indexOf('ScriptProbe') >= 0, typeof scriptprobe,"
                      " Object.keys(this).indexOf('ScriptProbe')].join()"),
            "true,undefined,-1");
  EXPECT_EQ(world.run("result = [typeof ScriptProbe, typeof BaseObject, typeof Script, typeof TSpaceCoord].join()"),
            "function,function,function,undefined");
  EXPECT_NE(realm.findBinding(ScriptProbe::staticClassInfo()), nullptr);
  EXPECT_EQ(world.run("var p = new ScriptProbe(); p.width = 3; result = String(p.add(p.width, 1))"), "4");
  // The engine root is the program's own: a script cannot make a second one.
  LogCapture log;
  EXPECT_EQ(world.run("result = 'made'; var second = new SomeEngine(); result = 'reached'"), "made");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) Create invalide object SomeEngine"});
  EXPECT_EQ(world.root->count(), 1);
}

}  // namespace
