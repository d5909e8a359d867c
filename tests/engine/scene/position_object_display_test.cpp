// Positioned objects inside a real applet with its device and script engine,
// and a recording physics engine registered as the body class: bodies made
// and freed, static bodies that follow their objects, dynamic bodies that
// move theirs, collision checks after every sub-step, collision handlers with
// their event parameters, neighbour queries, and what the device is told.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "core/geometry/coordinates.h"
#include "core/objects/class_registry.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/registration.h"
#include "engine/script_engine.h"
#include "platform/device.h"
#include "platform/win32/window.h"
#include "tests/engine/applet_world.h"
#include "tests/engine/scene/position_test_classes.h"
#include "tests/engine/test_dynamic_engine.h"

namespace {
void ExpectVector(const TVector4F& actual, float x, float y, float z, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, x, tolerance);
  EXPECT_NEAR(actual.y, y, tolerance);
  EXPECT_NEAR(actual.z, z, tolerance);
}
}  // namespace

// A square of 10 x 10 in its own frame, in green.
class TestPatch : public PositionObject {
  Q_OBJECT(TestPatch, PositionObject)

 public:
  int draws = 0;
  void drawSelf() override {
    ++draws;
    TDevice* device = ownerApplet()->device();
    device->SetColor(0xFF00FF00u);
    device->FillRect(0, 0, 10, 10, 0);
  }
};

const ClassInfo& TestPatch::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TestPatch>("TestPatch").build();
  return info;
}

// A trigger stand-in: it takes over the collisions of the objects touching it.
class TestTrigger : public TestBall {
  Q_OBJECT(TestTrigger, TestBall)

 public:
  std::vector<PositionObject*> entered;
  bool isTrigger() const override { return true; }
  void collise(PositionObject* other, const TVector4F&, const TVector4F&) override { entered.push_back(other); }
};

const ClassInfo& TestTrigger::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TestTrigger>("TestTrigger").build();
  return info;
}

namespace {

class PositionObjectWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program's own engine class is chosen at registration: first, so the
    // recording engine replaces it.
    RegisterAllClasses();
    RegisterClasses({&TestBall::staticClassInfo(), &TestPatch::staticClassInfo(), &TestTrigger::staticClassInfo()});
    SetDynamicEngineClass(&TTestEngine::staticClassInfo());
  }
  void TearDown() override {
    world.reset();
    SetDynamicEngineClass(nullptr);
  }
  Applet* load(const std::string& children, const std::string& attributes = "") {
    world = std::make_unique<AppletWorld>(
        AppletText("width=\"64\" height=\"48\" title=\"positions\" " + attributes, children));
    if (world->applet) world->applet->scriptEngine()->evaluate(u"var seen = [];");
    return world->applet;
  }
  template <typename T = PositionObject>
  T* find(const char16_t* name) {
    return dynamic_cast<T*>(world->applet->findByName(name));
  }
  std::string run(const std::string& expression) {
    world->applet->scriptEngine()->evaluate(u"var probe = (" + Utf8ToWide(expression) + u");");
    return WideToUtf8(world->applet->scriptEngine()->getGlobal(u"probe").toText());
  }
  TTestEngine* engine() { return dynamic_cast<TTestEngine*>(world->applet->dynamicEngine()); }
  void frame(float delta = 0.02f) {
    world->applet->requestRedraw();
    world->applet->tick(world->applet->time() + delta, delta);
  }
  std::unique_ptr<AppletWorld> world;
};

const char* const kSeen = R"(seen.push(event.paramThis.name))";

// ---- bodies ------------------------------------------------------------------------------------

TEST_F(PositionObjectWorld, SpawnGivesBodiesToCollisableAndDynamicObjectsOfTheSubtree) {
  const std::string handlers = std::string("onSpawn=\"") + kSeen + "\" onUnspawn=\"" + kSeen + "\"";
  Applet* applet = load("<PositionObject name=\"group\" " + handlers +
                        ">\r\n"
                        "  <TestBall name=\"wall\" collisable=\"True\" radius=\"1\" " +
                        handlers +
                        "/>\r\n"
                        "  <TestBall name=\"rock\" dynamic=\"True\" kind=\"okSpace\" radius=\"1\" " +
                        handlers +
                        "/>\r\n"
                        "  <TestBall name=\"ghost\" radius=\"1\" " +
                        handlers + "/>\r\n</PositionObject>\r\n");
  ASSERT_NE(applet, nullptr);
  EXPECT_EQ(applet->dynamicEngine(), nullptr);  // made by the first body
  find(u"group")->spawn();
  ASSERT_NE(engine(), nullptr);
  EXPECT_EQ(engine()->owner(), applet);
  EXPECT_EQ(run("seen.join()"), "wall,rock");
  EXPECT_NE(find(u"wall")->body(), 0);
  EXPECT_NE(find(u"rock")->body(), 0);
  EXPECT_EQ(find(u"ghost")->body(), 0);
  EXPECT_EQ(run("[wall.body > 0, ghost.body].join()"), "true,0");
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"CreateWorld screen", "CreateSphereBody wall",
                                                       "CreateWorld space", "CreateSphereBody rock"}));
  // A second spawn gives no second body and runs no handler.
  find(u"group")->spawn();
  EXPECT_EQ(run("seen.join()"), "wall,rock");
  TTestEngine* first = engine();
  find(u"rock")->recreateDynamic();
  EXPECT_EQ(engine(), first);  // one engine an applet
  EXPECT_EQ(engine()->calls.back(), "CreateSphereBody rock");

  engine()->calls.clear();
  applet->scriptEngine()->evaluate(u"seen = []; group.unspawn();");
  EXPECT_EQ(run("seen.join()"), "wall,rock");
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"RemoveBody wall", "RemoveBody rock"}));
  EXPECT_EQ(find(u"wall")->body(), 0);
}

TEST_F(PositionObjectWorld, EngineClassesAreFoundByNameAndWithoutABodyClassNothingIsMade) {
  EXPECT_EQ(FindDynamicEngine("ttestengine"), &TTestEngine::staticClassInfo());
  EXPECT_EQ(FindDynamicEngine("TNoSuchEngine"), nullptr);
  EXPECT_EQ(CreateDynamicEngine(TestBall::staticClassInfo(), nullptr), nullptr);  // no engine class
  EXPECT_EQ(CreateDynamicEngine(TDynamicEngine::staticClassInfo(), nullptr), nullptr);  // abstract
  SetDynamicEngineClass(nullptr);
  EXPECT_EQ(FindDynamicEngine("TTestEngine"), &TTestEngine::staticClassInfo());  // still registered
  Applet* applet = load(std::string("<TestBall name=\"wall\" collisable=\"True\" onSpawn=\"") + kSeen + "\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  find(u"wall")->spawn();
  EXPECT_EQ(run("seen.join()"), "wall");
  EXPECT_EQ(applet->dynamicEngine(), nullptr);
  EXPECT_EQ(find(u"wall")->body(), 0);
  EXPECT_EQ(find(u"wall")->getWorld(), 0);
  frame();  // no engine: no step, no checks
}

TEST_F(PositionObjectWorld, AStaticBodyFollowsItsObjectAndADynamicOneMovesIt) {
  Applet* applet = load(
      "<PositionObject name=\"holder\" position.x=\"10\">\r\n"
      "  <TestBall name=\"wall\" collisable=\"True\" radius=\"1\"/>\r\n"
      "  <TestBall name=\"rock\" dynamic=\"True\" collisable=\"True\" radius=\"1\"/>\r\n"
      "</PositionObject>\r\n");
  ASSERT_NE(applet, nullptr);
  auto* wall = find<TestBall>(u"wall");
  auto* rock = find<TestBall>(u"rock");
  find(u"holder")->spawn();
  engine()->calls.clear();
  wall->position()->setXYZ(0, 2, 0);
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"SetBodyMatrix wall"}));
  ExpectVector(MatRow(engine()->matrices[wall->body()], 3), 10, 2, 0);
  // Moving the holder moves the static body below it, never the dynamic one.
  engine()->calls.clear();
  find(u"holder")->position()->setXYZ(20, 0, 0);
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"SetBodyMatrix wall"}));
  ExpectVector(MatRow(engine()->matrices[wall->body()], 3), 20, 2, 0);

  // The body's matrix (in the world) places the dynamic object under its parent.
  TMatrix4F bodyMatrix = IdentityMatrix4F;
  bodyMatrix(1, 0) = 1;  // direction +x
  bodyMatrix(1, 1) = 0;
  bodyMatrix(0, 0) = 0;  // side -y
  bodyMatrix(0, 1) = -1;
  bodyMatrix(3, 0) = 25;
  bodyMatrix(3, 1) = 4;
  bodyMatrix(3, 2) = -3;
  engine()->matrices[rock->body()] = bodyMatrix;
  frame();
  ExpectVector(rock->getWorldPosition(), 25, 4, -3);
  ExpectVector(rock->position()->vector(), 5, 4, -3);
  ExpectVector(rock->getWorldDirection(), 1, 0, 0);
  ExpectVector(rock->getWorldUp(), 0, 0, 1);
  EXPECT_EQ(std::count(engine()->calls.begin(), engine()->calls.end(), "SetBodyMatrix rock"), 0);

  // With colliseTrack a dynamic body is checked once a frame where its body put it.
  rock->setColliseTrack(true);
  bodyMatrix(3, 0) = 30;
  engine()->matrices[rock->body()] = bodyMatrix;
  engine()->queries.clear();
  frame();
  ASSERT_EQ(engine()->queries.size(), 1u);
  ExpectVector(engine()->queries[0].second, 10, 4, -3);
}

TEST_F(PositionObjectWorld, TheAppletStepsItsWorldsEachFrameAndFreesItsEngineAtTheEnginesStep) {
  Applet* applet = load(
      "<TestBall name=\"flat\" collisable=\"True\"/>\r\n"
      "<TestBall name=\"deep\" collisable=\"True\" kind=\"okSpace\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  frame();  // no engine yet: nothing to step
  find(u"flat")->spawn();
  engine()->calls.clear();
  frame();
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"Step 101"}));  // only the world that exists
  find(u"deep")->spawn();
  engine()->calls.clear();
  frame();
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"Step 101", "Step 103"}));  // screen, then space

  // Objects go first (their bodies with them), then the engine, before the services' end.
  world->log.clear();
  world->shutDown();
  const int freed = world->indexOf("(i) test engine freed");
  ASSERT_GE(freed, 0);
  EXPECT_LT(freed, world->indexOf("(i) Objects destroyed"));
  EXPECT_EQ(TTestEngine::made, nullptr);
}

TEST_F(PositionObjectWorld, DisposingOrFreeingAnObjectRemovesItsBody) {
  Applet* applet = load(
      "<TestBall name=\"a\" collisable=\"True\"/>\r\n"
      "<TestBall name=\"b\" collisable=\"True\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  find(u"a")->spawn();
  find(u"b")->spawn();
  engine()->calls.clear();
  find(u"a")->markDisposed();
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"RemoveBody a"}));
  find(u"b")->Free();
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"RemoveBody a", "RemoveBody b"}));
  EXPECT_TRUE(engine()->bodies.empty());
}

// ---- collisions ---------------------------------------------------------------------------------

TEST_F(PositionObjectWorld, EverySubStepIsCheckedForCollisions) {
  Applet* applet = load(
      "<TestBall name=\"ball\" colliseTrack=\"True\" collisable=\"True\" radius=\"3\"/>\r\n"
      "<TestBall name=\"quiet\" collisable=\"True\" radius=\"3\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  auto* ball = find<TestBall>(u"ball");
  ball->spawn();
  ball->velocity()->setXYZ(10, 0, 0);
  engine()->queries.clear();
  ball->forward(1);
  ASSERT_EQ(engine()->queries.size(), 4u);
  const float expected[] = {3, 6, 9, 10};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(engine()->queries[i].first, ball);
    EXPECT_NEAR(engine()->queries[i].second.x, expected[i], 1e-5) << i;
  }
  ASSERT_NE(ball->collisionList(), nullptr);
  EXPECT_EQ(ball->collisionList()->size(), 1u);  // cleared before each query

  // At rest: one check and no move. Without colliseTrack: no check at all.
  ball->velocity()->setToZero();
  engine()->queries.clear();
  ball->forward(1);
  EXPECT_EQ(engine()->queries.size(), 1u);
  auto* quiet = find<TestBall>(u"quiet");
  quiet->spawn();
  quiet->velocity()->setXYZ(10, 0, 0);
  engine()->queries.clear();
  quiet->forward(1);
  EXPECT_TRUE(engine()->queries.empty());

  // A tick checks a still object only with colliseOnStay; at design time forward does nothing.
  frame();
  EXPECT_TRUE(engine()->queries.empty());
  ball->setColliseOnStay(true);
  frame();
  EXPECT_EQ(engine()->queries.size(), 1u);
  ball->setDesignTime(true);
  ball->velocity()->setXYZ(1, 0, 0);
  const TVector4F before = ball->position()->vector();
  ball->forward(1);
  EXPECT_EQ(ball->position()->vector(), before);
  ball->setDesignTime(false);
}

TEST_F(PositionObjectWorld, ACollisionRunsOnColliseWithTheOtherObjectAndTheContact) {
  Applet* applet = load(
      "<TestBall name=\"ball\" colliseTrack=\"True\" collisable=\"True\" radius=\"1\" "
      "onCollise=\"seen.push(event.paramThis.name + ' hit ' + event.paramObject.name + ' at ' + "
      "event.paramPosition.x + ',' + event.paramPosition.y + ',' + event.paramPosition.z + ' normal ' + "
      "event.paramNormal.z)\"/>\r\n"
      "<TestBall name=\"wall\" collisable=\"True\" radius=\"1\"/>\r\n"
      "<TestTrigger name=\"gate\" collisable=\"True\" radius=\"1\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  auto* ball = find<TestBall>(u"ball");
  auto* wall = find<TestBall>(u"wall");
  ball->spawn();
  engine()->touching = {{ball, wall}};
  ball->forward(0.1f);
  EXPECT_EQ(run("seen.join()"), "ball hit wall at 1,2,3 normal 1");
  ExpectVector(ball->lastNormal(), 0, 0, 1);
  EXPECT_EQ(applet->event()->paramObject(), nullptr);  // popped again

  // An object touching a trigger hands the collision to it.
  auto* gate = find<TestTrigger>(u"gate");
  engine()->touching = {{ball, gate}};
  ball->forward(0.1f);
  EXPECT_EQ(gate->entered, std::vector<PositionObject*>{ball});
  EXPECT_EQ(run("seen.length"), "1");

  // A disposed partner or one that scripts do not know is passed over.
  auto* stranger = New<TestBall>(applet);
  engine()->touching = {{ball, stranger}, {ball, wall}};
  wall->markDisposed();
  ball->forward(0.1f);
  EXPECT_EQ(run("seen.length"), "1");
}

TEST_F(PositionObjectWorld, ComplexColliseRunsEveryListedObjectsAction) {
  Applet* applet = load(
      "<TestBall name=\"a\" collisable=\"True\" onComplexColliseAction=\"seen.push('a')\"/>\r\n"
      "<TestBall name=\"b\" collisable=\"True\" onComplexColliseAction=\"seen.push('b')\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  auto* a = find<TestBall>(u"a");
  EXPECT_EQ(a->complexCollise(true), 0);  // no engine: nothing collected
  a->spawn();
  engine()->touching = {{a, find(u"b")}};
  EXPECT_EQ(run("a.complexCollise(false)"), "2");
  EXPECT_EQ(run("seen.join()"), "");
  EXPECT_EQ(run("a.complexCollise(true)"), "2");
  EXPECT_EQ(run("seen.join()"), "a,b");
  a->markDisposed();
  EXPECT_EQ(a->complexCollise(true), 0);
}

TEST_F(PositionObjectWorld, ExplodeAsksTheEngineInTheObjectsWorldAtItsWorldPosition) {
  Applet* applet = load("<TestBall name=\"bomb\" collisable=\"True\" kind=\"okSpace\" position.x=\"7\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  run("bomb.explode(50, 4)");  // no engine: nothing
  find(u"bomb")->spawn();
  engine()->calls.clear();
  run("bomb.explode(50, 4)");
  EXPECT_EQ(engine()->calls, (std::vector<std::string>{"Explode 101 7 50 4"}));
}

// ---- neighbours ----------------------------------------------------------------------------------

TEST_F(PositionObjectWorld, NearObjectsAreTaggedSiblingsWhoseSpheresOverlap) {
  Applet* applet = load(
      "<PositionObject name=\"holder\">\r\n"
      "  <TestBall name=\"me\" radius=\"1\"/>\r\n"
      "  <TestBall name=\"near\" radius=\"1\" position.x=\"1.5\" tagString=\"rock\"/>\r\n"
      "  <TestBall name=\"untagged\" radius=\"1\" position.x=\"1\"/>\r\n"
      "  <TestBall name=\"touching\" radius=\"1\" position.x=\"2\" tagString=\"rock\"/>\r\n"
      "  <TestBall name=\"far\" radius=\"1\" position.y=\"5\" tagString=\"rock\"/>\r\n"
      "  <TestBall name=\"big\" radius=\"4.5\" position.y=\"5\" tagString=\"hill\"/>\r\n"
      "</PositionObject>\r\n"
      "<TestBall name=\"loner\" radius=\"1\" tagString=\"x\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  applet->event()->appendParam(applet);  // cleared by the query
  EXPECT_EQ(run("me.getNearObjects()"), "2");
  EXPECT_EQ(run("[event.paramList(0).name, event.paramList(1).name].join()"), "near,big");
  EXPECT_EQ(run("distanceToFar = me.distanceTo(far)"), "25");
  // Under the applet its only positioned sibling, the holder, has no tag.
  EXPECT_EQ(run("loner.getNearObjects()"), "0");
  auto* orphan = New<TestBall>(nullptr);
  EXPECT_EQ(orphan->getNearObjects(), 0);
  orphan->Free();
}

// ---- the device ------------------------------------------------------------------------------------

TEST_F(PositionObjectWorld, ThePatchIsDrawnWhereItsWorldMatrixPutsIt) {
  Applet* applet = load("<PositionObject name=\"holder\" position.x=\"20\">\r\n"
                        "  <TestPatch name=\"patch\" position.y=\"10\"/>\r\n</PositionObject>\r\n");
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(applet->window(), nullptr);
  const int w = applet->window()->appliedWidth;
  const int h = applet->window()->appliedHeight;
  ASSERT_EQ(w, 64);
  std::vector<uint32_t> pixels(static_cast<size_t>(w * h));
  auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * w + x)] & 0xFFFFFF; };
  // The top layer draws last: hidden, the patch's drawing ends the frame.
  dynamic_cast<VisualObject*>(applet->topLayer())->hide();
  ASSERT_TRUE(applet->DeviceRenderToARGB(pixels.data(), w, h));
  EXPECT_EQ(at(25, 15), 0x00FF00u);
  EXPECT_EQ(at(15, 15), 0x000000u);
  EXPECT_EQ(at(25, 5), 0x000000u);
  // The device holds the patch's matrix (moved by the 2D pixel offset).
  const TMatrix4F& held = applet->device()->worldMatrix();
  const TMatrix4F world = find(u"patch")->getWorldMatrix();
  for (int i = 0; i < 12; ++i) EXPECT_EQ(held.m[i], world.m[i]) << i;
  EXPECT_NEAR(held(3, 0), 20, 0.5f);
  EXPECT_NEAR(held(3, 1), 10, 0.5f);

  run("holder.x = 40");  // the whole subtree follows
  ASSERT_TRUE(applet->DeviceRenderToARGB(pixels.data(), w, h));
  EXPECT_EQ(at(25, 15), 0x000000u);
  EXPECT_EQ(at(45, 15), 0x00FF00u);
  run("patch.scale.x = 2");
  ASSERT_TRUE(applet->DeviceRenderToARGB(pixels.data(), w, h));
  EXPECT_EQ(at(58, 15), 0x00FF00u);

  // A wireframe debug pass draws a positioned object a second time.
  auto* patch = find<TestPatch>(u"patch");
  patch->draws = 0;
  frame();
  EXPECT_EQ(patch->draws, 1);
  run("applet.debugWireFrame = true");
  frame();
  EXPECT_EQ(patch->draws, 3);
}

TEST_F(PositionObjectWorld, CullingDropsObjectsOutsideTheirFrustumAndDrawsTheRest) {
  Applet* applet = load(
      "<TestBall name=\"inside\" radius=\"2\" kind=\"okSpace\" position.y=\"100\"/>\r\n"
      "<TestBall name=\"behind\" radius=\"2\" kind=\"okSpace\" position.y=\"-300\"/>\r\n"
      "<TestBall name=\"edge\" radius=\"500\" kind=\"okSpace\" position.x=\"300\" position.y=\"-300\"/>\r\n",
      "boundsCulling=\"True\"");
  ASSERT_NE(applet, nullptr);
  frame();
  // The applet is counted with them; "behind" is culled, and the top layer
  // (a dummy, never drawn itself with culling on) counts as not drawn.
  const int visible = applet->visibleCount();
  EXPECT_EQ(applet->invisibleCount(), 2);
  EXPECT_FALSE(find(u"behind")->passesCulling());
  EXPECT_TRUE(find(u"inside")->passesCulling());
  EXPECT_TRUE(find(u"edge")->passesCulling());  // its sphere reaches in: its box decides
  find(u"behind")->position()->setXYZ(0, 50, 0);
  frame();
  EXPECT_EQ(applet->invisibleCount(), 1);
  EXPECT_EQ(applet->visibleCount(), visible + 1);
}

TEST_F(PositionObjectWorld, DebugDrawingCountsBodiesAgainAndSetsTheirColours) {
  Applet* applet = load("<TestBall name=\"rock\" dynamic=\"True\" radius=\"2\" kind=\"okSpace\" zTest=\"True\"/>\r\n",
                        "debugDynamics=\"True\"");
  ASSERT_NE(applet, nullptr);
  // The top layer draws last: hidden, the rock's drawing ends the frame.
  dynamic_cast<VisualObject*>(applet->topLayer())->hide();
  frame();
  const int withoutBody = applet->visibleCount();
  find(u"rock")->spawn();
  frame();
  EXPECT_EQ(applet->visibleCount(), withoutBody + 1);
  // The bounds leave the device white and solid again, with depth as zTest says.
  EXPECT_EQ(applet->device()->material().diffuse, 0xFFFFFFFFu);
  EXPECT_TRUE(applet->device()->RenderStateOn(rsSolid));
}

TEST_F(PositionObjectWorld, ScreenToLocalMeetsThePlaneAlongTheObjectsUp) {
  // The applet's camera sits at (0, -150, 0); the window's centre looks along +y.
  Applet* applet = load("<PositionObject name=\"floor\" kind=\"okSpace\" position.y=\"150\" direction.y=\"0\" "
                        "direction.z=\"1\" up.y=\"-1\" up.z=\"0\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  auto* floor = find(u"floor");
  ExpectVector(floor->getWorldUp(), 0, -1, 0);
  floor->screenToLocal(32, 24);
  ExpectVector(applet->event()->paramPosition()->vector(), 0, 150, 0, 3);
  floor->position()->setXYZ(0, -300, 0);  // behind the camera: no hit
  floor->screenToLocal(32, 24);
  ExpectVector(applet->event()->paramPosition()->vector(), 0, 0, 0);
  // Space objects are hit along the pick ray, screen objects by their own test.
  EXPECT_EQ(applet->objectAt(32, 24), nullptr);  // PositionObject has no rayHit of its own
  auto* ball = New<TestBall>(applet);
  ball->setKind(okSpace);
  ball->radius = 5;
  ball->position()->setXYZ(0, 100, 0);
  EXPECT_EQ(applet->objectAt(32, 24), ball);
  EXPECT_EQ(applet->objectAt(2, 2), nullptr);
  ball->setKind(okScreen);  // pointInObject: false
  EXPECT_EQ(applet->objectAt(32, 24), nullptr);
}

TEST_F(PositionObjectWorld, ScriptsSetFramesAnglesAndCoordinatesThroughThePublishedProperties) {
  Applet* applet = load(
      "<PositionObject name=\"a\" position.x=\"3\"/>\r\n"
      "<PositionObject name=\"b\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  EXPECT_EQ(run("a.zAngle = 190, a.zAngle"), "-170");
  EXPECT_EQ(run("b.position = a.position, b.x"), "3");
  EXPECT_EQ(run("b.position.y = 2, [b.x, b.y, b.position.length > 3.6].join()"), "3,2,true");
  // Each write keeps the frame orthonormal: up turns away from the new direction.
  EXPECT_EQ(run("b.direction.z = 1, b.direction.y = 0, "
                "[b.direction.z, b.up.y, b.up.z].map(function (v) { return Math.round(v * 1e4) / 1e4; }).join()"),
            "1,-1,0");
  EXPECT_EQ(run("b.bounds = a.position, b.bounds.x"), "0");  // written and ignored
  EXPECT_EQ(run("a.gravity.z = -10, a.velocity.x = 1, a.forward(1), [a.x, a.z].join()"), "4,-10");
  EXPECT_EQ(run("a.back(), [a.x, a.z].join()"), "3,0");  // by the velocity the step ended with
  EXPECT_EQ(run("a.distanceTo(b)"), "4");  // (3,0,0) to (3,2,0)
  EXPECT_TRUE(world->log.contains("(i) 4.000000000000000")) << "the distance is logged in fixed notation";
  EXPECT_EQ(run("typeof a.body"), "number");
}

}  // namespace
