// Positioned objects outside an applet: the frame and its matrices, axes kept
// orthonormal, angles, world transforms through parents, kinematic steps,
// design-time clicks, and object files that keep every stored property.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/core_registration.h"
#include "core/objects/class_registry.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "core/streams/object_file.h"
#include "engine/scene/position_object.h"
#include "platform/input_records.h"
#include "support/temp_dir.h"
#include "tests/engine/scene/position_test_classes.h"

namespace {

// Objects made by a test, freed at its end (children go with their parent).
class PositionObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterCoreClasses();
    RegisterClasses({&PositionObject::staticClassInfo(), &TestBall::staticClassInfo()});
  }
  void TearDown() override {
    for (BaseObject* o : roots_) o->Free();
  }
  template <typename T = PositionObject>
  T* make(BaseObject* parent = nullptr) {
    T* object = New<T>(parent);
    if (!parent) roots_.push_back(object);
    return object;
  }

 private:
  std::vector<BaseObject*> roots_;
};

void ExpectVector(const TVector4F& actual, float x, float y, float z, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, x, tolerance);
  EXPECT_NEAR(actual.y, y, tolerance);
  EXPECT_NEAR(actual.z, z, tolerance);
}

// Unit direction and up at right angles, and the matrix built from them.
void ExpectOrthonormalFrame(PositionObject* o) {
  const TVector4F d = o->direction()->vector();
  const TVector4F u = o->up()->vector();
  EXPECT_NEAR(VecLength(d), 1, 1e-5);
  EXPECT_NEAR(VecLength(u), 1, 1e-5);
  EXPECT_NEAR(VecDot(d, u), 0, 1e-5);
  const TMatrix4F& m = o->localMatrix();
  const TVector4F side = VecCross(d, u);
  ExpectVector(MatRow(m, 0), side.x * o->scale()->x(), side.y * o->scale()->x(), side.z * o->scale()->x());
  ExpectVector(MatRow(m, 1), d.x * o->scale()->y(), d.y * o->scale()->y(), d.z * o->scale()->y());
  ExpectVector(MatRow(m, 2), u.x * o->scale()->z(), u.y * o->scale()->z(), u.z * o->scale()->z());
}

// ---- the frame --------------------------------------------------------------------------------

TEST_F(PositionObjectTest, ANewObjectHasTheDefaultFrameAndTakesPartInHitsAndMirrors) {
  PositionObject* o = make();
  ExpectVector(o->direction()->vector(), 0, 1, 0);
  ExpectVector(o->up()->vector(), 0, 0, 1);
  ExpectVector(o->scale()->vector(), 1, 1, 1);
  EXPECT_EQ(o->localMatrix(), IdentityMatrix4F);
  EXPECT_EQ(o->getWorldMatrix(), IdentityMatrix4F);
  EXPECT_EQ(o->visualFlags(), vfHitTestable | vfMirrored);
  EXPECT_EQ(o->kind(), okScreen);
  EXPECT_FLOAT_EQ(o->friction(), 1.0f);
  EXPECT_FALSE(o->moving());
}

TEST_F(PositionObjectTest, PositionScaleAndAxesMakeTheLocalMatrix) {
  PositionObject* o = make();
  o->position()->setXYZ(4, 5, 6);
  ExpectVector(MatRow(o->localMatrix(), 3), 4, 5, 6);
  EXPECT_EQ(o->localMatrix()(3, 3), 1);
  o->scale()->setXYZ(2, 3, 4);
  o->direction()->setXYZ(1, 0, 0);
  ExpectOrthonormalFrame(o);
  // side = direction x up = (1,0,0) x (0,0,1) = (0,-1,0), times scale.x
  ExpectVector(MatRow(o->localMatrix(), 0), 0, -2, 0);
  ExpectVector(MatRow(o->localMatrix(), 1), 3, 0, 0);
  ExpectVector(MatRow(o->localMatrix(), 3), 4, 5, 6);
  o->setX(7);
  o->setZ(-1);
  EXPECT_FLOAT_EQ(o->x(), 7);
  EXPECT_FLOAT_EQ(o->y(), 5);
  ExpectVector(MatRow(o->localMatrix(), 3), 7, 5, -1);
}

TEST_F(PositionObjectTest, AxesStayOrthonormalAndParallelOnesFallBackToFixedAxes) {
  PositionObject* o = make();
  o->direction()->setXYZ(0, 3, 4);  // not unit length, not at right angles to up
  ExpectOrthonormalFrame(o);
  ExpectVector(o->direction()->vector(), 0, 0.6f, 0.8f);

  // Along up: side (0,0,1) x up is zero too, so side comes from (1,0,0) x up.
  PositionObject* along = make();
  along->direction()->setXYZ(0, 0, 1);
  ExpectOrthonormalFrame(along);
  ExpectVector(along->direction()->vector(), 0, 0, 1);
  ExpectVector(along->up()->vector(), 1, 0, 0);

  // Up turned along the direction: its twin rule keeps up and turns the direction.
  PositionObject* upAlong = make();
  upAlong->up()->setXYZ(0, 1, 0);
  ExpectOrthonormalFrame(upAlong);
  ExpectVector(upAlong->up()->vector(), 0, 1, 0);
  ExpectVector(upAlong->direction()->vector(), 0, 0, -1);

  // Zero axes become the defaults.
  PositionObject* zero = make();
  zero->direction()->setToZero();
  ExpectVector(zero->direction()->vector(), 0, 1, 0);
  zero->up()->setToZero();
  ExpectVector(zero->up()->vector(), 0, 0, 1);
  ExpectOrthonormalFrame(zero);
}

TEST_F(PositionObjectTest, AnglesTurnTheAxesByTheDifferenceAndAreKeptWrapped) {
  PositionObject* o = make();
  o->setXAngle(90);
  EXPECT_FLOAT_EQ(o->xAngle(), 90);
  ExpectOrthonormalFrame(o);
  ExpectVector(o->direction()->vector(), 0, 0, 1);
  ExpectVector(o->up()->vector(), 0, -1, 0);
  const TMatrix4F afterFirst = o->localMatrix();
  o->setXAngle(90);  // the same value: nothing turns
  EXPECT_EQ(o->localMatrix(), afterFirst);

  PositionObject* yaw = make();
  yaw->setZAngle(190);
  EXPECT_FLOAT_EQ(yaw->zAngle(), -170);
  ExpectOrthonormalFrame(yaw);
  // Turned by -190 degrees about up, the same place as +170 (clockwise seen from above).
  const float turn = 170 * std::numbers::pi_v<float> / 180;
  ExpectVector(yaw->direction()->vector(), std::sin(turn), std::cos(turn), 0, 1e-4f);
  yaw->setZAngle(190);  // -170 stored, so this turns a full circle and stores -170 again
  EXPECT_FLOAT_EQ(yaw->zAngle(), -170);

  // Setting an axis leaves the recorded angles as they are.
  o->direction()->setXYZ(1, 0, 0);
  EXPECT_FLOAT_EQ(o->xAngle(), 90);
  o->setYAngle(30);
  EXPECT_FLOAT_EQ(o->yAngle(), 30);
  ExpectOrthonormalFrame(o);
  ExpectVector(o->direction()->vector(), 1, 0, 0);  // rolling keeps the direction
}

TEST_F(PositionObjectTest, WorldMatricesChainThroughParentsAndFollowTheirChanges) {
  PositionObject* parent = make();
  parent->position()->setXYZ(10, 0, 0);
  parent->scale()->setXYZ(2, 2, 2);
  PositionObject* child = make(parent);
  child->position()->setXYZ(1, 0, 0);
  ExpectVector(child->getWorldPosition(), 12, 0, 0);
  EXPECT_FALSE(child->worldDirty());
  parent->position()->setXYZ(0, 5, 0);  // dirties the child at once
  EXPECT_TRUE(child->worldDirty());
  ExpectVector(child->getWorldPosition(), 2, 5, 0);

  // A parent turned to face +x: the child's own +y is the world's +x.
  parent->direction()->setXYZ(1, 0, 0);
  ExpectVector(child->getWorldDirection(), 1, 0, 0);
  ExpectVector(child->getWorldUp(), 0, 0, 1);
  ExpectVector(child->getWorldSide(), 0, -1, 0);
  ExpectVector(child->getWorldPosition(), 0, 3, 0);  // (1,0,0) in the parent's frame is side * 2

  // Conversions both ways, and a world placement through the parent.
  const TVector4F world = child->localToWorld(MakeVector4F(0, 1, 0, 1));
  const TVector4F back = child->worldToLocal(world);
  ExpectVector(back, 0, 1, 0);
  child->setWorldPosition(MakeVector4F(4, 5, 6, 1));
  ExpectVector(child->getWorldPosition(), 4, 5, 6);
  child->setWorldDirection(MakeVector4F(0, 0, -3, 0));
  ExpectVector(child->getWorldDirection(), 0, 0, -1);
  child->setWorldUp(MakeVector4F(0, 1, 0, 0));
  ExpectVector(child->getWorldUp(), 0, 1, 0);
  ExpectOrthonormalFrame(child);

  // Screen points through the 2D transform.
  PositionObject* flat = make();
  flat->position()->setXYZ(100, 50, 0);
  flat->scale()->setXYZ(2, 2, 1);
  const TPointF screen = flat->localToScreenPoint({3, 4});
  EXPECT_FLOAT_EQ(screen.x, 106);
  EXPECT_FLOAT_EQ(screen.y, 58);
  const TPointF local = flat->screenToLocalPoint(screen);
  EXPECT_NEAR(local.x, 3, 1e-4);
  EXPECT_NEAR(local.y, 4, 1e-4);
}

TEST_F(PositionObjectTest, KindPassesDownTheSubtreeAndBoundsMeasureTheBox) {
  PositionObject* root = make();
  PositionObject* child = make(root);
  auto* grandChild = make<TestBall>(child);
  root->setKind(okSpace);
  EXPECT_EQ(child->kind(), okSpace);
  EXPECT_EQ(grandChild->kind(), okSpace);
  grandChild->radius = 1.5f;
  ExpectVector(grandChild->bounds()->vector(), 3, 3, 3);
  grandChild->radius = 2;
  ExpectVector(grandChild->bounds()->vector(), 4, 4, 4);  // measured again on each read
  ExpectVector(root->bounds()->vector(), 0, 0, 0);
}

// ---- kinematic steps ---------------------------------------------------------------------------

TEST_F(PositionObjectTest, AStepLongerThanTheRadiusIsCutIntoRadiusLongSubSteps) {
  auto* ball = make<TestBall>();
  ball->radius = 3;
  ball->velocity()->setXYZ(10, 0, 0);
  EXPECT_TRUE(ball->moving());
  ball->moves.clear();
  ball->forward(1);
  ASSERT_EQ(ball->moves.size(), 4u);
  const float expected[] = {3, 6, 9, 10};
  for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(ball->moves[i].x, expected[i], 1e-5) << i;
  EXPECT_FLOAT_EQ(ball->lastStep(), 1);

  // Without a radius the whole step is one move.
  auto* point = make<TestBall>();
  point->velocity()->setXYZ(10, 0, 0);
  point->moves.clear();
  point->forward(1);
  ASSERT_EQ(point->moves.size(), 1u);
  EXPECT_FLOAT_EQ(point->moves[0].x, 10);

  // A step shorter than the radius is one move too.
  ball->moves.clear();
  ball->forward(0.2f);
  ASSERT_EQ(ball->moves.size(), 1u);
  EXPECT_NEAR(ball->moves[0].x, 12, 1e-5);
}

TEST_F(PositionObjectTest, GravityAndFrictionChangeTheVelocityBeforeTheMove) {
  PositionObject* o = make();
  o->velocity()->setXYZ(4, 0, 0);
  o->gravity()->setXYZ(0, 0, -10);
  o->setFriction(0.5f);
  o->forward(0.5f);
  // v = (4,0,-5); then v += (v * 0.5 - v) * 0.5 = v * 0.75
  ExpectVector(o->velocity()->vector(), 3, 0, -3.75f);
  ExpectVector(o->position()->vector(), 1.5f, 0, -1.875f);

  // At rest nothing moves, gravity or not.
  PositionObject* still = make();
  still->gravity()->setXYZ(0, 0, -10);
  still->forward(1);
  ExpectVector(still->position()->vector(), 0, 0, 0);
  ExpectVector(still->velocity()->vector(), 0, 0, 0);
}

TEST_F(PositionObjectTest, BackUndoesTheLastStepOnce) {
  PositionObject* o = make();
  o->velocity()->setXYZ(2, 0, 0);
  o->forward(1);
  o->forward(0.5f);
  ExpectVector(o->position()->vector(), 3, 0, 0);
  o->back();
  ExpectVector(o->position()->vector(), 2, 0, 0);
  EXPECT_EQ(o->lastStep(), 0);
  o->back();
  ExpectVector(o->position()->vector(), 2, 0, 0);
}

TEST_F(PositionObjectTest, ATickMovesAMovingObjectByItsFrameTime) {
  PositionObject* o = make();
  o->velocity()->setXYZ(0, 4, 0);
  o->tick(1.0, 0.25);
  ExpectVector(o->position()->vector(), 0, 1, 0);
  o->velocity()->setToZero();
  EXPECT_FALSE(o->moving());
  o->tick(1.25, 0.25);
  ExpectVector(o->position()->vector(), 0, 1, 0);
}

TEST_F(PositionObjectTest, StepsThatCannotEndLeaveTheObjectWhereItIs) {
  auto* ball = make<TestBall>();
  ball->radius = 1e-3f;
  ball->velocity()->setXYZ(1e30f, 0, 0);
  ball->moves.clear();
  ball->forward(1);  // 1e33 radius-long sub-steps would never end
  EXPECT_LE(ball->moves.size(), 2001u);
  EXPECT_GT(ball->position()->x(), 9.9e29f);
  ball->velocity()->setXYZ(INFINITY, 0, 0);
  const TVector4F before = ball->position()->vector();
  ball->forward(1);
  EXPECT_EQ(ball->position()->vector(), before);
}

TEST_F(PositionObjectTest, DistanceToIsSquared) {
  PositionObject* a = make();
  PositionObject* b = make();
  b->position()->setXYZ(0, 3, 0);
  EXPECT_FLOAT_EQ(a->distanceTo(b), 9);
  EXPECT_FLOAT_EQ(a->distanceTo(nullptr), 0);
}

// ---- design tools --------------------------------------------------------------------------------

std::vector<PositionObject*> selected;
std::vector<std::pair<float, float>> updates;

TEST_F(PositionObjectTest, ADesignTimeLeftClickWithoutModifiersSelects) {
  PositionObject::designSelectHook = [](PositionObject* o) { selected.push_back(o); };
  PositionObject::designUpdateHook = [](PositionObject*, float a, float b) { updates.emplace_back(a, b); };
  selected.clear();
  updates.clear();
  PositionObject* o = make();
  o->mouseDown(1, kShiftLeftButton, 0, 0);  // not at design time
  o->designUpdate(1, 2);
  EXPECT_TRUE(selected.empty());
  EXPECT_TRUE(updates.empty());
  o->setDesignTime(true);
  o->mouseDown(1, kShiftLeftButton | kShiftShift, 0, 0);  // Shift held
  o->mouseDown(2, kShiftRightButton, 0, 0);
  EXPECT_TRUE(selected.empty());
  o->mouseDown(1, kShiftLeftButton, 0, 0);
  EXPECT_EQ(selected, std::vector<PositionObject*>{o});
  o->designUpdate(1, 2);
  EXPECT_EQ(updates, (std::vector<std::pair<float, float>>{{1, 2}}));
  o->setDesignTime(false);
  PositionObject::designSelectHook = nullptr;
  PositionObject::designUpdateHook = nullptr;
}

// ---- object files -----------------------------------------------------------------------------------

// A tree with every stored property away from its default.
PositionObject* MakeStoredTree() {
  auto* root = New<PositionObject>();
  root->SetName(u"root");
  root->setKind(okSpace);
  root->setZTest(true);
  root->position()->setXYZ(1, 2, 3);
  root->direction()->setXYZ(1, 0, 0);
  root->scale()->setXYZ(2, 0.5f, 1);
  root->setZAngle(45);
  root->setCollisable(true);
  root->setDynamic(true);
  root->setColliseTrack(true);
  root->setColliseOnStay(true);
  root->velocity()->setXYZ(0, 0, 5);
  root->gravity()->setXYZ(0, 0, -9);
  root->setFriction(0.25f);
  auto* ball = New<TestBall>(root);
  ball->SetName(u"ball");
  ball->radius = 2;
  ball->position()->setXYZ(0, 0, -4);  // a zero x and y where the default is 0, a z that is not
  ball->up()->setXYZ(0, -1, 0);
  ball->setXAngle(-30);
  ball->setMirrored(false);
  return root;
}

void ExpectSameStoredState(PositionObject* a, PositionObject* b) {
  EXPECT_EQ(a->kind(), b->kind());
  EXPECT_EQ(a->mirrored(), b->mirrored());
  EXPECT_EQ(a->zTest(), b->zTest());
  EXPECT_EQ(a->position()->vector(), b->position()->vector());
  ExpectVector(b->direction()->vector(), a->direction()->x(), a->direction()->y(), a->direction()->z());
  ExpectVector(b->up()->vector(), a->up()->x(), a->up()->y(), a->up()->z());
  EXPECT_EQ(a->scale()->vector(), b->scale()->vector());
  EXPECT_FLOAT_EQ(a->xAngle(), b->xAngle());
  EXPECT_FLOAT_EQ(a->yAngle(), b->yAngle());
  EXPECT_FLOAT_EQ(a->zAngle(), b->zAngle());
  EXPECT_EQ(a->collisable(), b->collisable());
  EXPECT_EQ(a->dynamic(), b->dynamic());
  EXPECT_EQ(a->colliseTrack(), b->colliseTrack());
  EXPECT_EQ(a->colliseOnStay(), b->colliseOnStay());
  EXPECT_EQ(a->velocity()->vector(), b->velocity()->vector());
  EXPECT_EQ(a->gravity()->vector(), b->gravity()->vector());
  EXPECT_FLOAT_EQ(a->friction(), b->friction());
  EXPECT_EQ(a->moving(), b->moving());
  // The matrices follow from what was read.
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(a->localMatrix().m[i], b->localMatrix().m[i], 1e-5) << i;
}

TEST_F(PositionObjectTest, EveryStoredPropertySurvivesTheXmlFileAndTheBinaryStream) {
  PositionObject* tree = MakeStoredTree();
  TempDir dir;
  auto* manager = New<TFolderResourceMan>(nullptr);
  manager->setRoot(dir.path());
  ASSERT_TRUE(StoreObjectFile(manager, u"tree.qxml", tree));
  const std::string xml = dir.read("tree.qxml");
  EXPECT_NE(xml.find("position.z=\"3."), std::string::npos) << xml;
  EXPECT_NE(xml.find("gravity.z=\"-9."), std::string::npos) << xml;
  EXPECT_EQ(xml.find("bounds"), std::string::npos) << xml;
  EXPECT_EQ(xml.find(" x=\""), std::string::npos) << xml;  // the position alone holds it
  EXPECT_EQ(xml.find("body"), std::string::npos) << xml;

  NoBinaryCache = true;
  BaseObject* fromXml = LoadObjectFile(manager, u"tree.qxml", nullptr, false, nullptr);
  NoBinaryCache = false;
  ASSERT_NE(fromXml, nullptr);
  auto* readRoot = dynamic_cast<PositionObject*>(fromXml);
  ASSERT_NE(readRoot, nullptr);
  ExpectSameStoredState(tree, readRoot);
  auto* readBall = dynamic_cast<TestBall*>(readRoot->findByName(u"ball"));
  ASSERT_NE(readBall, nullptr);
  ExpectSameStoredState(dynamic_cast<PositionObject*>(tree->findByName(u"ball")), readBall);
  EXPECT_FLOAT_EQ(readBall->radius, 2);

  TMemoryStream image;
  SaveObjectToStream(image, tree);
  image.SetPosition(0);
  BaseObject* fromBinary = LoadObjectFromStream(manager, image, nullptr, nullptr);
  ASSERT_NE(fromBinary, nullptr);
  ExpectSameStoredState(tree, dynamic_cast<PositionObject*>(fromBinary));
  ExpectSameStoredState(dynamic_cast<PositionObject*>(tree->findByName(u"ball")),
                        dynamic_cast<PositionObject*>(fromBinary->findByName(u"ball")));

  // A default object writes none of its frame.
  auto* plain = New<PositionObject>();
  ASSERT_TRUE(StoreObjectFile(manager, u"plain.qxml", plain));
  const std::string plainXml = dir.read("plain.qxml");
  for (const char* name :
       {"position", "direction", "up.", "scale", "velocity", "gravity", "friction", "Angle", "mirrored"}) {
    EXPECT_EQ(plainXml.find(name), std::string::npos) << name << "\n" << plainXml;
  }
  for (BaseObject* o : {static_cast<BaseObject*>(plain), fromBinary, fromXml, static_cast<BaseObject*>(tree)}) o->Free();
  manager->Free();
}

}  // namespace

namespace {
// Angles written by hand in a file turn the object as setting them does; a
// file that also gives the axes keeps the axes it gives.
TEST_F(PositionObjectTest, AnglesFromAFileWithoutAxesTurnTheObjectAsSettingThemDoes) {
  RegisterCoreClasses();
  RegisterClasses({&PositionObject::staticClassInfo()});
  TempDir dir;
  auto* manager = New<TFolderResourceMan>(nullptr);
  manager->setRoot(dir.path());
  dir.write("angles.qxml",
            "<?xml version=\"1.0\"?>\n<PositionObject zAngle=\"45\" xAngle=\"30\" yAngle=\"-20\">\n"
            "  <PositionObject name=\"given\" zAngle=\"45\" direction.x=\"1\" direction.y=\"0\"/>\n"
            "</PositionObject>\n");
  NoBinaryCache = true;
  auto* read = dynamic_cast<PositionObject*>(LoadObjectFile(manager, u"angles.qxml", nullptr, false, nullptr));
  NoBinaryCache = false;
  ASSERT_NE(read, nullptr);
  PositionObject* set = make();
  set->setZAngle(45);
  set->setXAngle(30);
  set->setYAngle(-20);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(read->localMatrix().m[i], set->localMatrix().m[i], 1e-5) << i;
  EXPECT_NEAR(read->zAngle(), 45, 1e-5);
  auto* given = dynamic_cast<PositionObject*>(read->findByName(u"given"));
  ASSERT_NE(given, nullptr);
  EXPECT_NEAR(given->direction()->vector().x, 1, 1e-5);
  EXPECT_NEAR(given->direction()->vector().y, 0, 1e-5);
  read->Free();
  manager->Free();
}
}  // namespace
