// Script nodes, proxies, plain items and the walk up to the enclosing mission.
#include <gtest/gtest.h>

#include "core/core_registration.h"
#include "core/fake_applet_helpers.h"
#include "core/objects/class_registry.h"
#include "core/objects/item.h"
#include "core/objects/proxy_object.h"
#include "core/objects/script_object.h"
#include "support/log_capture.h"

namespace {
struct LoadCall {
  WideString fileName;
  BaseObject* parent;
  BaseObject* target;
};

class NodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedLoader_ = BaseObject::loadObjectFile;
    current = this;
    BaseObject::loadObjectFile = [](TResourceMan*, const WideString& name, BaseObject* parent,
                                     BaseObject* target) -> BaseObject* {
      current->loads.push_back({name, parent, target});
      if (name.starts_with(u"missing") || !parent) return nullptr;
      auto* loaded = New<Item>(parent);
      loaded->SetName(u"loaded");
      return loaded;
    };
    root = New<BaseObject>();
    root->setApplet(root);
  }
  void TearDown() override {
    if (root) root->Free();
    BaseObject::loadObjectFile = savedLoader_;
    current = nullptr;
  }

  static NodeTest* current;
  TestApplet applet;
  BaseObject* root = nullptr;
  std::vector<LoadCall> loads;

 private:
  BaseObject* (*savedLoader_)(TResourceMan*, const WideString&, BaseObject*, BaseObject*) = nullptr;
};
NodeTest* NodeTest::current = nullptr;

TEST_F(NodeTest, AScriptTakesItsFileFromTheCacheWhenLoadedAndGivesItBackWhenFreed) {
  auto* script = New<Script>(root);
  SetWideStrProp(script, *script->classInfo().findProperty("fileName"), u"scripts\\game.js");
  EXPECT_EQ(script->fileName(), u"scripts\\game.js");
  EXPECT_TRUE(loads.empty());  // naming the file loads nothing
  EXPECT_TRUE(applet.acquired.empty());
  script->Loaded();
  ASSERT_EQ(applet.acquired, std::vector<WideString>{u"scripts\\game.js"});
  void* entry = script->scriptEntry();
  ASSERT_NE(entry, nullptr);
  script->Loaded();  // a second pass takes nothing more
  EXPECT_EQ(applet.acquired.size(), 1u);
  script->Free();
  EXPECT_EQ(applet.released, std::vector<void*>{entry});
}

TEST_F(NodeTest, AScriptWithoutAFileTakesNothing) {
  auto* script = New<Script>(root);
  script->Loaded();
  EXPECT_TRUE(applet.acquired.empty());
  script->Free();
  EXPECT_TRUE(applet.released.empty());
}

TEST_F(NodeTest, AProxyTakesThePlaceOfTheObjectItLoads) {
  BaseObject* before = New<Item>(root);
  auto* proxy = New<ProxyObject>(root);
  BaseObject* after = New<Item>(root);
  EXPECT_TRUE(proxy->isProxy());
  const PropInfo* src = proxy->classInfo().findProperty("src");
  ASSERT_NE(src, nullptr);
  LogCapture log;
  SetWideStrProp(proxy, *src, u"parts\\door.qxml");
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0].fileName, u"parts\\door.qxml");
  EXPECT_EQ(loads[0].parent, root);
  EXPECT_EQ(loads[0].target, nullptr);  // a sibling, not into the proxy
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) ProxyObject loaded parts\\door.qxml"});
  ASSERT_EQ(root->count(), 4);
  EXPECT_EQ(root->childAt(0), before);
  EXPECT_EQ(root->childAt(1)->name(), u"loaded");
  EXPECT_EQ(root->childAt(2), after);
  EXPECT_EQ(root->childAt(3), proxy);
  EXPECT_EQ(GetWideStrProp(proxy, *src), u"parts\\door.qxml");
  EXPECT_EQ(proxy->fileName(), u"parts\\door.qxml");
  EXPECT_TRUE(proxy->isDisposed());
  ASSERT_EQ(applet.freeRequests.size(), 1u);
  EXPECT_EQ(applet.freeRequests[0].first, proxy);
}

TEST_F(NodeTest, AProxyWhoseFileDoesNotLoadStays) {
  auto* proxy = New<ProxyObject>(root);
  LogCapture log;
  SetWideStrProp(proxy, *proxy->classInfo().findProperty("src"), u"missing.qxml");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) ProxyObject not loaded missing.qxml"});
  EXPECT_EQ(root->count(), 1);
  EXPECT_FALSE(proxy->isDisposed());
  EXPECT_TRUE(applet.freeRequests.empty());
}

TEST_F(NodeTest, AProxyAtDesignTimeOnlyKeepsTheName) {
  auto* proxy = New<ProxyObject>(root);
  proxy->setDesignTime(true);
  SetWideStrProp(proxy, *proxy->classInfo().findProperty("src"), u"parts\\door.qxml");
  EXPECT_TRUE(loads.empty());
  EXPECT_EQ(proxy->fileName(), u"parts\\door.qxml");
}

// A stand-in for the scene layer's mission class, known by its name.
class FakeMission : public BaseObject {
  Q_OBJECT(FakeMission, BaseObject)
};
}  // namespace

const ClassInfo& FakeMission::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<FakeMission>("Mission").build();
  return info;
}

namespace {
TEST_F(NodeTest, TheEnclosingMissionIsTheObjectOrItsNearestMissionAncestor) {
  BaseObject* outerMission = New<FakeMission>(root);
  BaseObject* innerMission = New<FakeMission>(outerMission);
  BaseObject* leaf = New<Item>(New<Item>(innerMission));
  BaseObject* outside = New<Item>(root);
  if (!GetClass("Mission")) {
    EXPECT_EQ(FindEnclosingMission(leaf), nullptr);  // no mission class: none
    RegisterClass(FakeMission::staticClassInfo());
  }
  EXPECT_EQ(FindEnclosingMission(leaf), innerMission);
  EXPECT_EQ(FindEnclosingMission(innerMission), innerMission);
  EXPECT_EQ(FindEnclosingMission(outerMission), outerMission);
  EXPECT_EQ(FindEnclosingMission(outside), nullptr);
  EXPECT_EQ(FindEnclosingMission(nullptr), nullptr);
}

TEST_F(NodeTest, CoreClassesAreFoundByName) {
  RegisterCoreClasses();
  for (const char* name : {"Script", "ProxyObject", "Item", "TSpaceCoord", "TPlaneCoord", "TPointPersistent",
                           "TRectPersistent", "Effect"}) {
    const ClassInfo* cls = GetClass(name);
    ASSERT_NE(cls, nullptr) << name;
    EXPECT_EQ(cls->name(), name);
  }
  TObject* item = GetClass("item")->create(root);
  EXPECT_EQ(root->childAt(0), item);
  EXPECT_EQ(item->className(), "Item");
}
}  // namespace
