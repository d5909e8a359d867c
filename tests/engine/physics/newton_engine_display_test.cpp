// The physics engine in a real applet with its script engine: rects falling
// down the screen, boxes resting and sleeping in the 3D world, triggers,
// explosions, complexCollise chains, objects and bodies that go away while
// the engine walks their collisions, and a game without the physics module.
#include <gtest/gtest.h>

#include <memory>

#include "core/geometry/coordinates.h"
#include "core/objects/class_registry.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/physics/newton_engine.h"
#include "engine/scene/box.h"
#include "engine/scene/rect.h"
#include "engine/script_engine.h"
#include "tests/engine/applet_world.h"

// A rect that hands its collisions to the entering object's onTrigger, as
// triggers do, and counts the objects that entered it.
class TestTriggerRect : public Rect {
  Q_OBJECT(TestTriggerRect, Rect)

 public:
  bool isTrigger() const override { return true; }
  void collise(PositionObject* other, const TVector4F& position, const TVector4F& normal) override {
    Event* event = ownerApplet()->event();
    event->pushParamObject(this);
    event->paramPosition()->setVector(position);
    event->paramNormal()->setVector(normal);
    other->runHandler(WideString(other->onTrigger()));
    event->popParamObject();
  }
};

const ClassInfo& TestTriggerRect::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TestTriggerRect>("TestTriggerRect").build();
  return info;
}

// A rect that frees itself in its own collision handler.
class SelfFreeingRect : public Rect {
  Q_OBJECT(SelfFreeingRect, Rect)

 public:
  void collise(PositionObject* other, const TVector4F& position, const TVector4F& normal) override {
    inherited::collise(other, position, normal);
    Free();
  }
};

const ClassInfo& SelfFreeingRect::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<SelfFreeingRect>("SelfFreeingRect").build();
  return info;
}

namespace {
class PhysicsWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClasses({&TestTriggerRect::staticClassInfo(), &SelfFreeingRect::staticClassInfo()});
    RegisterNewtonEngine();
  }
  void TearDown() override {
    world.reset();
    SetNewtonLibraryName(kNewtonLibraryName);
  }
  Applet* load(const std::string& children, const std::string& attributes = "") {
    world = std::make_unique<AppletWorld>(
        AppletText("width=\"400\" height=\"300\" title=\"physics\" " + attributes, children));
    if (world->applet) run(u"var seen = [];");
    return world->applet;
  }
  PositionObject* find(const char16_t* name) { return dynamic_cast<PositionObject*>(world->applet->findByName(name)); }
  void run(const WideString& script) { world->applet->scriptEngine()->evaluate(script); }
  std::string seen() {
    run(u"var probe = seen.join();");
    return WideToUtf8(world->applet->scriptEngine()->getGlobal(u"probe").toText());
  }
  void frames(int count, float delta = 1 / 60.0f) {
    for (int i = 0; i < count; ++i) {
      world->applet->requestRedraw();
      world->applet->tick(world->applet->time() + delta, delta);
    }
  }
  std::string debugValue(const WideString& name) {
    for (const auto& [key, value] : world->applet->debugValues()) {
      if (key == name) return WideToUtf8(value);
    }
    return "";
  }
  TNewtonEngine* engine() { return dynamic_cast<TNewtonEngine*>(world->applet->dynamicEngine()); }

  std::unique_ptr<AppletWorld> world;
};
}  // namespace

TEST_F(PhysicsWorld, ADynamicRectFallsDownTheScreenInItsPlane) {
  ASSERT_NE(load(R"q(<Rect name="rock" dynamic="True" position.x="50" position.y="20" position.z="3"/>)q"), nullptr);
  PositionObject* rock = find(u"rock");
  rock->spawn();
  ASSERT_NE(engine(), nullptr);
  EXPECT_TRUE(world->log.contains("(i) Newton Game Dynamics engine started TNewtonEngine"));
  EXPECT_NE(rock->body(), 0);
  float y = rock->y();
  for (int second = 0; second < 2; ++second) {
    frames(30);
    EXPECT_GT(rock->y(), y + 1);
    EXPECT_NEAR(rock->z(), 0, 1e-3f);
    EXPECT_NEAR(rock->x(), 50, 1e-3f);
    y = rock->y();
  }
  world->shutDown();
  EXPECT_TRUE(world->log.contains("(i) Newton game dynamics destroy"));
}

TEST_F(PhysicsWorld, ABoxFallsOntoAStaticBoxRestsAndSleeps) {
  ASSERT_NE(load(R"q(<Box name="floor" kind="okSpace" collisable="True" width="10" height="10"/>
<Box name="crate" kind="okSpace" dynamic="True" position.z="4"/>)q",
                 "debugInfo=\"True\""),
            nullptr);
  find(u"floor")->spawn();
  find(u"crate")->spawn();
  frames(1);
  EXPECT_EQ(debugValue(u"Body/Active:"), "2/1");
  EXPECT_EQ(debugValue(u"Physics:").size(), 8u);
  frames(300);
  EXPECT_NEAR(find(u"crate")->z(), 1, 0.05f);
  EXPECT_EQ(debugValue(u"Body/Active:"), "2/0");
  EXPECT_EQ(TNewtonEngine::activeBodies(), 0);
}

TEST_F(PhysicsWorld, AnObjectEnteringATriggerRunsItsOwnOnTrigger) {
  ASSERT_NE(load(R"q(<TestTriggerRect name="gate" collisable="True" position.x="50" position.y="100" width="100"/>
<Rect name="rock" dynamic="True" colliseTrack="True" position.x="50" position.y="40"
  onTrigger="seen.push(event.paramThis.name + ' in ' + event.paramObject.name)"/>
<Rect name="ghost" dynamic="True" colliseTrack="True" position.x="150" position.y="40"
  onTrigger="seen.push(event.paramThis.name)"/>)q"),
            nullptr);
  for (const char16_t* name : {u"gate", u"rock", u"ghost"}) find(name)->spawn();
  for (int i = 0; i < 180 && seen().empty(); ++i) frames(1);
  EXPECT_EQ(seen().substr(0, 12), "rock in gate");
  frames(60);
  EXPECT_GT(find(u"ghost")->y(), 150);  // fell past, touching nothing
  EXPECT_EQ(seen().find("ghost"), std::string::npos);
}

TEST_F(PhysicsWorld, ABoxFallingIntoATriggerRunsItsOwnOnTriggerWithTheTrigger) {
  ASSERT_NE(load(R"q(<Trigger name="gate" kind="okSpace" width="4" height="4" depth="1"/>
<Box name="crate" kind="okSpace" dynamic="True" colliseTrack="True" position.z="4"
  onTrigger="seen.push(event.paramThis.name + ' in ' + event.paramObject.name + ' ' + event.paramObject.width)"/>
<Box name="ghost" kind="okSpace" dynamic="True" colliseTrack="True" position.x="10" position.z="4"
  onTrigger="seen.push(event.paramThis.name)"/>)q"),
            nullptr);
  for (const char16_t* name : {u"gate", u"crate", u"ghost"}) find(name)->spawn();
  EXPECT_NE(find(u"gate")->body(), 0);
  for (int i = 0; i < 180 && seen().empty(); ++i) frames(1);
  EXPECT_EQ(seen().substr(0, 15), "crate in gate 4");
  frames(60);
  EXPECT_LT(find(u"ghost")->z(), 0);  // fell past, touching nothing
  EXPECT_EQ(seen().find("ghost"), std::string::npos);
  // A trigger is a zone: the crate passed through it, its handler running
  // while it was inside, and runs no more once it is out.
  EXPECT_LT(find(u"crate")->z(), -3);
  run(u"seen = [];");
  frames(10);
  EXPECT_EQ(seen(), "");
}

// Bodies heaped at one point: a world holds a bounded number of bodies and
// of overlapping pairs, each budget said once in the log.
TEST_F(PhysicsWorld, AHeapOfBodiesStaysWithinTheBudgetsAndSaysSo) {
  ASSERT_NE(load(""), nullptr);
  run(u"for (var i = 0; i < 400; i++) {"
      u"  var b = applet.new('Box', applet); b.kind = 'okSpace'; b.dynamic = true; b.spawn(); }");
  frames(2);
  EXPECT_EQ(engine()->bodyCount(), 400);
  EXPECT_EQ(world->log.count("(e) Physics pair budget reached: bodies heaped together past it pass through each "
                             "other"),
            1);
  for (int i = 0; i < 4700; ++i) {  // made here: a script making them would take longer
    auto* box = New<Box>(world->applet);
    box->setKind(okSpace);
    box->setCollisable(true);
    box->position()->setX(static_cast<float>(-900 + i % 80 * 20));
    box->position()->setY(static_cast<float>(-900 + i / 80 * 20));
    box->spawn();
  }
  EXPECT_EQ(engine()->bodyCount(), kMostBodiesPerWorld);
  EXPECT_EQ(world->log.count("(e) Physics body budget reached: a world holds at most 5000 bodies; objects past it "
                             "get none"),
            1);
}

TEST_F(PhysicsWorld, ExplodePushesBodiesInsideItsReachAway) {
  ASSERT_NE(load(R"q(<PositionObject name="bomb" kind="okSpace"/>
<Sphere name="left" kind="okSpace" dynamic="True" position.x="-3"/>
<Sphere name="right" kind="okSpace" dynamic="True" position.x="3"/>
<Sphere name="front" kind="okSpace" dynamic="True" position.y="3"/>
<Sphere name="far" kind="okSpace" dynamic="True" position.x="20"/>)q"),
            nullptr);
  for (const char16_t* name : {u"left", u"right", u"front", u"far"}) find(name)->spawn();
  run(u"bomb.explode(10, 5);");
  frames(6);
  EXPECT_LT(find(u"left")->x(), -3.5f);
  EXPECT_GT(find(u"right")->x(), 3.5f);
  EXPECT_GT(find(u"front")->y(), 3.5f);
  EXPECT_NEAR(find(u"far")->x(), 20, 1e-3f);
}

TEST_F(PhysicsWorld, ComplexColliseChainsGoOnWhereHandlersAnswerTrue) {
  // a touches b, b touches c; a's handler accepts, b's answer is set by the test.
  ASSERT_NE(load(R"q(<Rect name="a" collisable="True" position.x="10" position.y="10"
  onComplexCollise="event.paramResult = true"/>
<Rect name="b" collisable="True" position.x="19" position.y="10" onComplexCollise="event.paramResult = passOn"/>
<Rect name="c" collisable="True" position.x="28" position.y="10"
  onComplexColliseAction="seen.push(event.paramThis.name)"/>)q"),
            nullptr);
  for (const char16_t* name : {u"a", u"b", u"c"}) find(name)->spawn();
  run(u"var passOn = false; var n = a.complexCollise(true);");
  EXPECT_EQ(WideToUtf8(world->applet->scriptEngine()->getGlobal(u"n").toText()), "2");
  EXPECT_EQ(seen(), "");
  run(u"passOn = true; n = a.complexCollise(true);");
  EXPECT_EQ(WideToUtf8(world->applet->scriptEngine()->getGlobal(u"n").toText()), "3");
  EXPECT_EQ(seen(), "c");
}

TEST_F(PhysicsWorld, ObjectsAndBodiesThatGoWhileCollisionsAreWalkedAreSafe) {
  // The rock removes the floor's body in its handler and frees itself after it.
  ASSERT_NE(load(R"q(<Rect name="floor" collisable="True" position.x="50" position.y="60" width="100"/>
<SelfFreeingRect name="rock" dynamic="True" colliseTrack="True" position.x="50" position.y="40"
  onCollise="seen.push(event.paramObject.name); event.paramObject.unspawn()"/>
<Rect name="pebble" dynamic="True" position.x="80" position.y="40"/>)q"),
            nullptr);
  for (const char16_t* name : {u"floor", u"rock", u"pebble"}) find(name)->spawn();
  EXPECT_EQ(engine()->bodyCount(), 3);
  for (int i = 0; i < 120 && find(u"rock"); ++i) frames(1);
  EXPECT_EQ(find(u"rock"), nullptr);
  EXPECT_EQ(seen(), "floor");
  EXPECT_EQ(find(u"floor")->body(), 0);
  EXPECT_EQ(engine()->bodyCount(), 1);
  // Without the floor the pebble falls on.
  const float y = find(u"pebble")->y();
  frames(30);
  EXPECT_GT(find(u"pebble")->y(), y);
}

TEST_F(PhysicsWorld, WithoutThePhysicsModuleTheGameRunsWithoutPhysics) {
  SetNewtonLibraryName("qtest_no_physics");
  ASSERT_NE(load(R"q(<Rect name="rock" dynamic="True" position.x="50" position.y="20"/>)q"), nullptr);
  find(u"rock")->spawn();
  EXPECT_TRUE(world->log.contains("(e) Physics library not loaded: the game runs without physics"));
  EXPECT_EQ(find(u"rock")->body(), 0);
  frames(10);
  EXPECT_FLOAT_EQ(find(u"rock")->y(), 20);
}
