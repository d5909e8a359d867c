// The applet's construction, loading and destruction with a real window,
// device and script engine: the steps' log lines in order, afterLoad once,
// the top layer, services that are no part of the tree, an applet whose
// device cannot be made, and the steps later parts of the program fill.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "core/streams/object_file.h"
#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/cache/cache.h"
#include "engine/event.h"
#include "engine/registration.h"
#include "engine/scene/dummy.h"
#include "engine/script_engine.h"
#include "platform/device_registry.h"
#include "platform/filters/filter.h"
#include "tests/engine/applet_world.h"

namespace {
// Whether `expected` appears in `messages` in that order (other lines may lie between).
::testing::AssertionResult InOrder(const std::vector<std::string>& messages, const std::vector<std::string>& expected) {
  size_t at = 0;
  for (const std::string& line : expected) {
    auto found = std::find(messages.begin() + static_cast<long>(at), messages.end(), line);
    if (found == messages.end()) return ::testing::AssertionFailure() << "missing or out of order: " << line;
    at = static_cast<size_t>(found - messages.begin()) + 1;
  }
  return ::testing::AssertionSuccess();
}

TEST(AppletConstruction, StepsAreLoggedInTheirOrderAndAfterLoadRunsInsideTheRead) {
  AppletWorld world(AppletText(R"q(width="160" height="120" title="Steps" onLoad="engine.log('loaded')")q",
                               "<Dummy name=\"first\"/>\r\n<Dummy name=\"second\"/>\r\n"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_TRUE(InOrder(world.log.messages(),
                      {"(i) ===== Start applet creation ======", "(i) Create main window", "(i) Main window created",
                       "(i) Create main device", "(i) Device was created successful", "(i) Camera set",
                       "(i) ScriptEngine created", "(i) Cache created", "(i) Filter created", "(i) Event created",
                       "(i) Prefernces created", "(i) Score table created",
                       "(i) load main object and script", "(i) Applet properties was loaded",
                       "(i) Create most top layer", "(i) Set script vars", "(i) Set extResMan folder",
                       "(i) Update window", "(i) Set icon", "(i) Show window", "(i) Set device",
                       "(i) Load prefernces", "(i) Score load", "(i) Prefenses load", "(i) Prefenses loaded",
                       "(i) Set lang", "(i) Set screenmode", "(i) Set fullscreen",
                       "(i) After load complete", "(i) main object was loaded", "(i) Load fonts",
                       "(i) Load materials", "(i) End of the root object creation", "(i) loaded"}));
  EXPECT_EQ(world.log.count("(i) Applet properties was loaded"), 1);
  EXPECT_EQ(world.log.count("(i) Create most top layer"), 1);
}

TEST(AppletConstruction, WithoutChildrenAfterLoadRunsOnceBetweenTheReadAndTheFonts) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Empty")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_TRUE(InOrder(world.log.messages(), {"(i) main object was loaded", "(i) Applet properties was loaded",
                                             "(i) After load complete", "(i) Load fonts"}));
  EXPECT_EQ(world.log.count("(i) Applet properties was loaded"), 1);
  EXPECT_EQ(world.log.count("(i) After load complete"), 1);
}

TEST(AppletConstruction, TheTopLayerStaysTheLastChildAndIsNeverStoredWithItsChildren) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Top")", "<Dummy name=\"scene\"/>\r\n"));
  ASSERT_NE(world.applet, nullptr);
  BaseObject* top = world.applet->topLayer();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->name(), u"mostTopLayer");
  EXPECT_EQ(world.applet->childAt(world.applet->count() - 1), top);
  BaseObject* added = world.applet->newObject(u"Dummy", nullptr);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(world.applet->childAt(world.applet->count() - 1), top);
  New<Dummy>(top)->SetName(u"tool");

  ASSERT_TRUE(StoreObjectFile(world.applet->resourceManager(), u"stored.qxml", world.applet));
  const std::string stored = world.game.read("stored.qxml");
  EXPECT_NE(stored.find("scene"), std::string::npos);
  EXPECT_EQ(stored.find("\"tool\""), std::string::npos);  // the layer's children stay out
}

TEST(AppletServices, TheQueueAndTheCacheBelongToTheAppletButNotToItsTree) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Services")", "<Dummy name=\"scene\"/>\r\n"));
  ASSERT_NE(world.applet, nullptr);
  Event* event = world.applet->event();
  TCache* cache = world.applet->cache();
  ASSERT_NE(event, nullptr);
  ASSERT_NE(cache, nullptr);
  EXPECT_LT(world.applet->indexOfChild(event), 0);
  EXPECT_LT(world.applet->indexOfChild(cache), 0);
  EXPECT_EQ(event->getParent(), nullptr);
  EXPECT_EQ(event->applet(), world.applet);
  EXPECT_EQ(cache->applet(), world.applet);
  ASSERT_TRUE(StoreObjectFile(world.applet->resourceManager(), u"stored.qxml", world.applet));
  const std::string stored = world.game.read("stored.qxml");
  EXPECT_EQ(stored.find("<Event"), std::string::npos);
  EXPECT_EQ(stored.find("<TCache"), std::string::npos);
  // Freed once each with the applet (the sanitizer watches the rest).
  world.shutDown();
  EXPECT_EQ(world.log.count("(i) ===== Applet was destroyed ======"), 1);
}

TEST(AppletServices, ScriptsCannotDisposeOfTheAppletsServices) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Kept")"));
  ASSERT_NE(world.applet, nullptr);
  GameParts* parts = GameParts::of(world.applet);
  ASSERT_NE(parts, nullptr);
  TFilter* filter = parts->filter();
  ASSERT_NE(filter, nullptr);
  world.applet->scriptEngine()->evaluate(
      u"filter.dispose(); materials.scheduleDispose(0); event.dispose(); event.moveTo(applet);"
      u"applet.deleteChildren();");
  for (uint32_t ms = 100; ms <= 1000; ms += 100) {
    world.setAppletClock(ms);
    world.applet->runStep();
  }
  for (const char* cls : {"TFilter", "Materials", "Event"}) {
    EXPECT_EQ(world.log.count("(e) dispose refused: " + std::string(cls) + " is a service of the applet"), 1) << cls;
  }
  const auto messages = world.log.messages();
  EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                          [](const std::string& line) { return line.starts_with("(e) Can't move Event "); }),
            1);
  EXPECT_EQ(parts->filter(), filter);
  EXPECT_NE(parts->findMaterial(u"default"), nullptr);
  // Each is freed once, by the applet (the sanitizer watches).
  world.shutDown();
}

TEST(AppletDestruction, OnFreeFirstThenStatisticsTheTreeTheServicesTheWindow) {
  AppletWorld world(AppletText(R"q(width="160" height="120" title="Down" onFree="engine.log('freeing')")q",
                               "<Dummy name=\"scene\" onDestroy=\"engine.log('scene gone')\"/>\r\n"));
  ASSERT_NE(world.applet, nullptr);
  world.log.clear();
  world.shutDown();
  EXPECT_TRUE(InOrder(world.log.messages(),
                      {"(i) freeing", "(i) ==== Device statistics ==========", "(i) scene gone", "(i) cleared",
                       "(i) Objects destroyed", "(i) Window was destroyed", "(i) ===== Applet was destroyed ======"}));
  // Nothing of the applet is logged after its last line but the engine's own.
  const auto messages = world.log.messages();
  auto last = std::find(messages.begin(), messages.end(), "(i) ===== Applet was destroyed ======");
  ASSERT_NE(last, messages.end());
  EXPECT_EQ(std::count(messages.begin(), last, "(i) ===== Applet was destroyed ======"), 0);
}

TEST(AppletConstruction, AnAppletWithoutADeviceIsTakenDownAndRemoved) {
  // No device class to take: the device cannot be made. (Registration
  // first, which would choose the default again.)
  RegisterAllClasses();
  const int preferred = DefaultDeviceIndex();
  SetDefaultDeviceIndex(-1);
  AppletWorld world(AppletText(R"q(width="160" height="120" title="NoDevice" onLoad="engine.log('ran')")q",
                               "<Dummy name=\"never\"/>\r\n"));
  SetDefaultDeviceIndex(preferred);
  EXPECT_EQ(world.applet, nullptr);
  EXPECT_EQ(world.engine->count(), 0);
  EXPECT_TRUE(InOrder(world.log.messages(),
                      {"(i) Main window created", "(e) No suported devices registered", "(i) Objects destroyed",
                       "(i) Window was destroyed", "(i) ===== Applet was destroyed ======"}));
  EXPECT_TRUE(world.log.contains("(e) Applet " + world.game.file("main.qxml") + " can't loaded."));
  // Nothing after the device was tried: no services, no read, no handlers.
  EXPECT_FALSE(world.log.contains("(i) Create main device"));
  EXPECT_FALSE(world.log.contains("(i) Cache created"));
  EXPECT_FALSE(world.log.contains("(i) load main object and script"));
  EXPECT_FALSE(world.log.contains("(i) ran"));
}

std::string DataFolderOf(const std::string& attributes) {
  AppletWorld world(AppletText(attributes));
  if (!world.applet) return "no applet";
  const std::string root = world.engine->externalResourceManager()->root();
  if (root.rfind(world.data.path(), 0) != 0) return "outside: " + root;
  return root.substr(world.data.path().size());
}

TEST(AppletFolders, TitleAndAppnameBecomeOneFolderUnderTheDataFolder) {
  EXPECT_EQ(DataFolderOf(R"(width="64" height="48" title="../../escape")"), "qplay/.._.._escape/");
  EXPECT_EQ(DataFolderOf(R"(width="64" height="48" title="t" appname="/etc/app")"), "qplay/_etc_app/");
  EXPECT_EQ(DataFolderOf(R"(width="64" height="48" title="..")"), "qplay/__/");
  EXPECT_EQ(DataFolderOf(R"(width="64" height="48" title="My Game")"), "qplay/my game/");
}

}  // namespace
