// The object tree node: children and ordering, automatic names, lookups,
// ticking with time factors, handlers, disposal and destruction.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "core/objects/applet_services.h"
#include "core/objects/base_object.h"
#include "core/objects/effect.h"
#include "support/log_capture.h"

namespace {
// Stands in for the applet layer: handler texts name C++ actions registered
// by the test, so a "script" can do what a real one would.
class FakeApplet : public AppletServices {
 public:
  std::map<WideString, std::function<void(BaseObject*)>> scripts;
  std::vector<std::pair<BaseObject*, WideString>> ran;
  std::vector<BaseObject*> searchResults;
  std::vector<BaseObject*> exported;
  std::vector<std::pair<BaseObject*, double>> freeRequests;
  WideString customText;
  int updates = 0;

  void runHandler(BaseObject*, BaseObject* self, const WideString& script) override {
    ran.emplace_back(self, script);
    if (auto it = scripts.find(script); it != scripts.end()) it->second(self);
  }
  void scheduleFree(BaseObject*, BaseObject* object, double delay) override { freeRequests.emplace_back(object, delay); }
  bool hasScriptEngine(BaseObject*) override { return true; }
  void exportObject(BaseObject*, BaseObject* object) override { exported.push_back(object); }
  void removeExport(BaseObject*, BaseObject* object) override { std::erase(exported, object); }
  void* acquireFileEntry(BaseObject*, const WideString&) override { return nullptr; }
  void releaseFileEntry(BaseObject*, void*) override {}
  void dropFileEntries(BaseObject*, const WideString&) override {}
  TResourceMan* resourceManager(BaseObject*) override { return nullptr; }
  void requestUpdate(BaseObject*) override { ++updates; }
  int appendSearchResult(BaseObject*, BaseObject* found) override {
    searchResults.push_back(found);
    return static_cast<int>(searchResults.size());
  }
  void clearSearchResults(BaseObject*) override { searchResults.clear(); }
  WideString exchangeCustomText(BaseObject*, const WideString& text) override {
    WideString old = customText;
    customText = text;
    return old;
  }
  bool effectInScript(BaseObject*) override { return false; }
  bool isTerminated(BaseObject*) override { return false; }
  int runStep(BaseObject*) override { return 0; }
  bool isPaused(BaseObject*) override { return false; }
  void showInspector(BaseObject*, BaseObject*) override {}
  void storeObject(BaseObject*, BaseObject*, const WideString&) override {}
};

// Records the times its tick sees.
class Probe : public BaseObject {
  Q_OBJECT(Probe, BaseObject)
 public:
  std::vector<std::pair<double, double>> ticks;
  void tick(double time, double delta) override {
    ticks.emplace_back(time, delta);
    inherited::tick(time, delta);
  }
};
}  // namespace

const ClassInfo& Probe::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Probe>("Probe").build();
  return info;
}

namespace {
class BaseObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppletServices(&applet);
    root = New<BaseObject>();
    root->setApplet(root);
  }
  void TearDown() override {
    if (root) root->Free();
    SetAppletServices(nullptr);
  }
  BaseObject* child(BaseObject* parent, const char16_t* name = nullptr) {
    BaseObject* c = New<BaseObject>(parent);
    if (name) c->SetName(name);
    return c;
  }

  FakeApplet applet;
  BaseObject* root = nullptr;
};

TEST_F(BaseObjectTest, ChildrenTakeTheParentsAppletAndKeepZOrder) {
  BaseObject* a = child(root, u"a");
  BaseObject* b = child(root, u"b");
  BaseObject* c = child(root, u"c");
  EXPECT_EQ(a->applet(), root);
  EXPECT_EQ(root->count(), 3);
  a->bringToFront();
  EXPECT_EQ(root->children(2), a);
  c->sendToBack();
  EXPECT_EQ(root->children(0), c);
  EXPECT_EQ(root->children(1), b);
  LogCapture log;
  EXPECT_EQ(root->children(3), nullptr);
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) ListIndexError 3"});
}

TEST_F(BaseObjectTest, MoveToNilDetachesWithoutFreeing) {
  BaseObject* a = child(root, u"a");
  a->moveTo(nullptr);
  EXPECT_EQ(root->count(), 0);
  EXPECT_EQ(a->parent(), nullptr);
  a->moveTo(root);
  EXPECT_EQ(root->children(0), a);
}

TEST_F(BaseObjectTest, UnnamedScriptableObjectGetsLowerCaseAutoNameAtLoaded) {
  BaseObject* a = child(root);
  a->Loaded();
  EXPECT_EQ(a->name(), LowerCaseAsciiW(a->autoName()));
  EXPECT_EQ(a->name().substr(0, 10), u"baseobject");
  EXPECT_EQ(applet.exported, std::vector<BaseObject*>{a});
  root->dropAutoNames();
  EXPECT_TRUE(a->name().empty());
  root->giveAutoNames();
  EXPECT_EQ(a->name(), a->autoName());
  EXPECT_EQ(a->name().substr(0, 10), u"BaseObject");
}

TEST_F(BaseObjectTest, LookupsByNameTagAndClass) {
  BaseObject* a = child(root, u"a");
  BaseObject* deep = child(a, u"deep");
  deep->setTagString(u"gem");
  BaseObject* b = child(root, u"b");
  b->setTagString(u"gem");
  EXPECT_EQ(root->findByName(u"deep"), deep);
  EXPECT_EQ(root->findByName(u"DEEP"), nullptr);  // exact case
  EXPECT_EQ(deep->findByName(u"deep"), nullptr);  // never the object itself
  EXPECT_EQ(root->findByTagString(u"gem"), deep);
  EXPECT_EQ(root->findOwnByTagString(u"gem"), b);
  EXPECT_EQ(root->findByClassName("baseobject"), root);  // may be the object itself
  EXPECT_EQ(root->findByClassAndName("BASEOBJECT", u"B"), b);
  EXPECT_EQ(root->findObject(deep, true), nullptr);
  EXPECT_EQ(root->findObject(deep, false), deep);
  EXPECT_EQ(root->findAllByTagString(u"gem"), 2);
  EXPECT_EQ(root->findAllByTagString(u"gem"), 2);  // each search starts a fresh list
  EXPECT_EQ(applet.searchResults, (std::vector<BaseObject*>{deep, b}));
  EXPECT_EQ(root->findAllOwnByTagString(u"gem"), 1);
  EXPECT_EQ(applet.searchResults, (std::vector<BaseObject*>{b}));
}

TEST_F(BaseObjectTest, TimeFactorsScaleAndMultiplyDownTheTree) {
  Probe* outer = New<Probe>(root);
  outer->setTimeFactor(0.5f);
  Probe* inner = New<Probe>(outer);
  inner->setTimeFactor(0.5f);
  Probe* still = New<Probe>(root);
  still->setObjectStyle(BaseObjectStyles{osScriptable});
  root->tick(8.0, 0.2);
  ASSERT_EQ(outer->ticks.size(), 1u);
  EXPECT_DOUBLE_EQ(outer->ticks[0].first, 4.0);
  EXPECT_DOUBLE_EQ(outer->ticks[0].second, 0.1);
  EXPECT_DOUBLE_EQ(inner->ticks[0].first, 2.0);
  EXPECT_DOUBLE_EQ(inner->ticks[0].second, 0.05);
  EXPECT_TRUE(still->ticks.empty());
}

TEST_F(BaseObjectTest, TickStopsWhenHandlersRemoveChildren) {
  BaseObject* a = child(root, u"a");
  BaseObject* b = child(root, u"b");
  child(root, u"c");
  SetWideStrProp(a, *a->classInfo().findProperty("onTick"), u"clear");
  SetWideStrProp(b, *b->classInfo().findProperty("onTick"), u"b ticked");
  applet.scripts[u"clear"] = [&](BaseObject* self) { self->parent()->deleteChildren(); };
  root->tick(1.0, 0.1);
  EXPECT_EQ(root->count(), 0);
  // Only a's handler ran: the loop stopped when the list emptied.
  ASSERT_EQ(applet.ran.size(), 1u);
  EXPECT_EQ(applet.ran[0].second, u"clear");
}

TEST_F(BaseObjectTest, ObjectFreedFromItsOwnHandlerIsFreedAfterTheHandler) {
  BaseObject* a = child(root, u"a");
  BaseObject* grandchild = child(a, u"g");
  SetWideStrProp(grandchild, *grandchild->classInfo().findProperty("onTick"), u"kill parent");
  applet.scripts[u"kill parent"] = [&](BaseObject* self) {
    self->parent()->parent()->deleteChildren();  // frees a and with it this object
  };
  root->tick(1.0, 0.1);  // runs clean under AddressSanitizer
  EXPECT_EQ(root->count(), 0);
}

TEST_F(BaseObjectTest, OnDestroyRunsOnceEvenWhenDisposedTwice) {
  BaseObject* a = child(root, u"a");
  SetWideStrProp(a, *a->classInfo().findProperty("onDestroy"), u"bye");
  applet.scripts[u"bye"] = [&](BaseObject* self) { self->dispose(); };  // recursion attempt
  a->dispose();
  EXPECT_TRUE(a->isDisposed());
  ASSERT_EQ(applet.freeRequests.size(), 2u);
  EXPECT_DOUBLE_EQ(applet.freeRequests[0].second, 0.2);
  a->Free();
  int byes = static_cast<int>(std::count_if(applet.ran.begin(), applet.ran.end(),
                                            [](auto& r) { return r.second == u"bye"; }));
  EXPECT_EQ(byes, 1);
}

TEST_F(BaseObjectTest, DestructionTellsEveryLiveObject) {
  struct Watcher : BaseObject {
    std::vector<BaseObject*> removed;
    void objectRemoved(BaseObject* o) override { removed.push_back(o); }
  };
  auto* watcher = new Watcher();
  watcher->Create(nullptr);  // another tree, as another applet's object would be
  watcher->hearEveryRemoval();
  BaseObject* a = child(root, u"a");
  size_t live = BaseObject::liveObjectCount();
  a->Free();
  EXPECT_EQ(BaseObject::liveObjectCount(), live - 1);
  EXPECT_EQ(watcher->removed, std::vector<BaseObject*>{a});
  watcher->Free();
}

TEST_F(BaseObjectTest, CustomEventSetsTheTextOnlyForTheHandler) {
  BaseObject* a = child(root, u"a");
  WideString seen;
  SetWideStrProp(a, *a->classInfo().findProperty("onCustomEvent"), u"custom");
  applet.scripts[u"custom"] = [&](BaseObject*) { seen = applet.customText; };
  applet.customText = u"before";
  a->customEvent(u"ping");
  EXPECT_EQ(seen, u"ping");
  EXPECT_EQ(applet.customText, u"before");
}

TEST_F(BaseObjectTest, EffectsAreFoundByNameIgnoringOnlyAsciiCase) {
  BaseObject* a = child(root, u"a");
  Effect* show = New<Effect>(a);
  show->SetName(u"Show");
  show->setRunningTime(1.0f);
  EXPECT_EQ(root->findEffect(u"sHOW"), show);
  EXPECT_EQ(root->findOwnEffect(u"show"), nullptr);
  root->runEffect(u"SHOW");
  EXPECT_TRUE(show->running());
  root->stopEffect(u"show");
  EXPECT_FALSE(show->running());
  show->SetName(u"\u00C9clat");
  EXPECT_EQ(root->findEffect(u"\u00E9clat"), nullptr);
  EXPECT_FALSE(show->objectStyle().contains(osScriptable));  // effects stay out of scripts here
}

TEST_F(BaseObjectTest, PublishedDescriptionMatchesTheObjectFileVocabulary) {
  const ClassInfo& cls = BaseObject::staticClassInfo();
  BaseObject* a = child(root, u"a");
  EXPECT_EQ(cls.findProperty("TAGSTRING")->kind(), TypeKind::WideText);
  EXPECT_TRUE(IsDefaultPropValue(a, *cls.findProperty("objectStyle")));
  EXPECT_FALSE(IsStoredProp(a, *cls.findProperty("timeFactor")));
  a->setTimeFactor(0.5f);
  EXPECT_TRUE(IsStoredProp(a, *cls.findProperty("timeFactor")));
  EXPECT_FALSE(IsStoredProp(a, *cls.findProperty("count")));
  EXPECT_EQ(GetOrdProp(root, *cls.findProperty("count")), 1);
  EXPECT_NE(cls.findMethod("runEffectWait"), nullptr);
  // Tag is published again by the tree node, in its inherited place.
  EXPECT_EQ(cls.findProperty("tag")->declaredBy, &cls);
  EXPECT_EQ(cls.findProperty("tag")->position, 1);
}
}  // namespace

namespace {
TEST_F(BaseObjectTest, FreeingALargeTreeTakesLinearNotificationsPerObject) {
  // 4000 objects: a walk that searched the list for every receiver would take
  // billions of steps here.
  BaseObject* big = New<BaseObject>(root);
  for (int i = 0; i < 4000; ++i) New<BaseObject>(big);
  const size_t before = BaseObject::liveObjectCount();
  big->Free();
  EXPECT_EQ(BaseObject::liveObjectCount(), before - 4001);
}

TEST_F(BaseObjectTest, AReceiverThatFreesOthersStillLetsEveryoneBeToldOnce) {
  struct Counter : BaseObject {
    int told = 0;
    BaseObject* victim = nullptr;
    void objectRemoved(BaseObject*) override {
      ++told;
      if (victim) FreeAndNil(victim);
    }
  };
  auto* first = new Counter();
  first->Create(nullptr);
  auto* second = new Counter();
  second->Create(nullptr);
  auto* third = new Counter();
  third->Create(nullptr);
  for (Counter* c : {first, second, third}) c->hearEveryRemoval();
  first->victim = New<BaseObject>();  // freed while `first` is told
  BaseObject* dying = New<BaseObject>();
  dying->Free();
  EXPECT_EQ(first->told, 2);  // once for `dying`, once for the victim
  EXPECT_EQ(second->told, 2);
  EXPECT_EQ(third->told, 2);
  first->Free();
  second->Free();
  third->Free();
}
}  // namespace
