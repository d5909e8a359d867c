// The physics module as the engine binds it, called directly: box queries
// that see static bodies before any update, the stateless test of two shapes,
// falling, resting and freezing with the callbacks the engine relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/geometry/geometry.h"
#include "engine/physics/newton_engine.h"
#include "engine/physics/newton_library.h"
#include "engine/scene/position_object.h"

namespace {
class PhysicsLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    api = AcquireNewtonLibrary();
    ASSERT_NE(api, nullptr);
    world = api->NewtonCreate(nullptr, nullptr);
    const float min[3] = {-100, -100, -100}, max[3] = {100, 100, 100};
    api->NewtonSetWorldSize(world, min, max);
  }
  void TearDown() override {
    if (api) api->NewtonDestroy(world);
    ReleaseNewtonLibrary();
  }
  NewtonBody* body(NewtonCollision* shape, float x, float y, float z) {
    NewtonBody* made = api->NewtonCreateBody(world, shape);
    api->NewtonReleaseCollision(world, shape);
    place(made, x, y, z);
    return made;
  }
  void place(NewtonBody* target, float x, float y, float z) {
    TMatrix4F m = IdentityMatrix4F;
    m(3, 0) = x, m(3, 1) = y, m(3, 2) = z;
    api->NewtonBodySetMatrix(target, m.m);
  }
  NewtonCollision* box(float size) { return api->NewtonCreateBox(world, size, size, size, nullptr); }
  std::vector<const NewtonBody*> inBox(float x0, float y0, float z0, float x1, float y1, float z1) {
    std::vector<const NewtonBody*> found;
    const float p0[3] = {x0, y0, z0}, p1[3] = {x1, y1, z1};
    api->NewtonWorldForEachBodyInAABBDo(
        world, p0, p1,
        [](const NewtonBody* b, void* list) { static_cast<std::vector<const NewtonBody*>*>(list)->push_back(b); },
        &found);
    return found;
  }
  TVector4F position(const NewtonBody* b) {
    TMatrix4F m;
    api->NewtonBodyGetMatrix(b, m.m);
    return MatRow(m, 3);
  }

  const TNewtonLibrary* api = nullptr;
  NewtonWorld* world = nullptr;
};

std::vector<unsigned> activity;
void Fall(const NewtonBody* b) {
  const float force[3] = {0, 0, -10};
  ::NewtonLibrary()->NewtonBodySetForce(b, force);
}
void Hear(const NewtonBody*, unsigned state) { activity.push_back(state); }
}  // namespace

TEST_F(PhysicsLibrary, StaticBodiesAreFoundWhereTheyAreBeforeAnyUpdate) {
  NewtonBody* wall = body(box(2), 10, 0, 0);
  EXPECT_EQ(inBox(8, -1, -1, 9.5f, 1, 1), std::vector<const NewtonBody*>{wall});
  EXPECT_TRUE(inBox(-5, -5, -5, 5, 5, 5).empty());
  place(wall, 0, 0, 0);
  EXPECT_EQ(inBox(-5, -5, -5, 5, 5, 5), std::vector<const NewtonBody*>{wall});
  EXPECT_TRUE(inBox(8, -1, -1, 9.5f, 1, 1).empty());
  float min[3], max[3];
  api->NewtonBodyGetAABB(wall, min, max);
  EXPECT_NEAR(min[0], -1, 0.05f);
  EXPECT_NEAR(max[2], 1, 0.05f);
  // A scaled matrix places the body with its scale dropped.
  TMatrix4F scaled = IdentityMatrix4F;
  scaled(0, 0) = scaled(1, 1) = scaled(2, 2) = 3;
  api->NewtonBodySetMatrix(wall, scaled.m);
  TMatrix4F back;
  api->NewtonBodyGetMatrix(wall, back.m);
  EXPECT_FLOAT_EQ(back(0, 0), 1);
  EXPECT_FLOAT_EQ(back(2, 2), 1);
}

TEST_F(PhysicsLibrary, TouchingShapesGiveOneContactWithTheNormalFromBToA) {
  struct Case {
    NewtonCollision* b;
    float x, y;
    int contacts;
  };
  NewtonCollision* unit = box(1);
  // Cylinders and cones lie along x: 4 long, radius 1.
  NewtonCollision* cylinder = api->NewtonCreateCylinder(world, 1, 4, nullptr);
  NewtonCollision* cone = api->NewtonCreateCone(world, 1, 4, nullptr);
  NewtonCollision* ball = api->NewtonCreateSphere(world, 0.6f, 0.6f, 0.6f, nullptr);
  const Case cases[] = {{unit, 0.95f, 0, 1},    {unit, 1.2f, 0, 0},     {cylinder, 2.5f, 0, 1},
                        {cylinder, 0, 2.5f, 0}, {cylinder, 0, 1.5f, 1}, {cone, -2.5f, 0, 1},
                        {cone, 0, 2.5f, 0}};
  for (const Case& c : cases) {
    TMatrix4F a = IdentityMatrix4F, b = IdentityMatrix4F;
    a(3, 0) = c.x, a(3, 1) = c.y;
    float point[3] = {}, normal[3] = {}, depth = -1;
    EXPECT_EQ(api->NewtonCollisionCollide(world, 1, ball, a.m, c.b, b.m, point, normal, &depth), c.contacts)
        << c.x << "," << c.y;
    if (c.contacts) {
      EXPECT_GT(normal[0] * c.x + normal[1] * c.y, 0) << "normal points towards A";
      EXPECT_GE(depth, 0);
    }
  }
  for (NewtonCollision* shape : {unit, cylinder, cone, ball}) api->NewtonReleaseCollision(world, shape);
}

TEST_F(PhysicsLibrary, AFallingBodyRestsOnTheFloorFreezesAndItsCallbackHearsIt) {
  NewtonBody* floor = body(api->NewtonCreateBox(world, 20, 20, 1, nullptr), 0, 0, 0);
  NewtonBody* crate = body(box(1), 0, 0, 3);
  api->NewtonBodySetMassMatrix(crate, 1, 1, 1, 1);
  api->NewtonBodySetForceAndTorqueCallback(crate, Fall);
  api->NewtonBodySetAutoFreeze(crate, 1);
  api->NewtonBodySetFreezeTreshold(crate, 0.05f, 0.05f, 5);
  activity.clear();
  api->NewtonBodySetAutoactiveCallback(crate, Hear);
  api->NewtonUpdate(world, 1 / 60.0f);
  EXPECT_EQ(activity, std::vector<unsigned>{1});
  EXPECT_LT(position(crate).z, 3);
  for (int i = 0; i < 300 && activity.size() < 2; ++i) api->NewtonUpdate(world, 1 / 60.0f);
  EXPECT_EQ(activity, (std::vector<unsigned>{1, 0}));
  EXPECT_NEAR(position(crate).z, 1, 0.05f);
  // Frozen, it stays put; an impulse wakes it and sends it up.
  api->NewtonUpdate(world, 1 / 60.0f);
  EXPECT_NEAR(position(crate).z, 1, 0.05f);
  const float up[3] = {0, 0, 5}, at[3] = {0, 0, 1};
  api->NewtonAddBodyImpulse(crate, up, at);
  api->NewtonUpdate(world, 1 / 60.0f);
  EXPECT_EQ(activity, (std::vector<unsigned>{1, 0, 1}));
  EXPECT_GT(position(crate).z, 1.05f);
  // Asleep again, it falls when the floor goes.
  for (int i = 0; i < 300 && activity.size() < 4; ++i) api->NewtonUpdate(world, 1 / 60.0f);
  EXPECT_EQ(activity, (std::vector<unsigned>{1, 0, 1, 0}));
  api->NewtonDestroyBody(world, floor);
  api->NewtonUpdate(world, 1 / 60.0f);
  EXPECT_EQ(activity, (std::vector<unsigned>{1, 0, 1, 0, 1}));
  EXPECT_LT(position(crate).z, 1);
  // Destroyed awake, it is heard going to sleep, so counts of awake bodies hold.
  api->NewtonDestroyBody(world, crate);
  EXPECT_EQ(activity, (std::vector<unsigned>{1, 0, 1, 0, 1, 0}));
}

// A long frame is simulated as at most 0.05 seconds: a body under a constant
// force moves as far in an update of 1 s as in one of 0.05 s.
TEST_F(PhysicsLibrary, AnUpdateSimulatesAtMostAFewSubSteps) {
  auto fallFor = [&](float seconds) {
    NewtonBody* falling = body(box(1), 0, 0, 50);
    api->NewtonBodySetMassMatrix(falling, 1, 1, 1, 1);
    api->NewtonBodySetForceAndTorqueCallback(falling, [](const NewtonBody* b) {
      const float force[3] = {0, 0, -10};
      NewtonLibrary()->NewtonBodySetForce(b, force);
    });
    api->NewtonUpdate(world, seconds);
    const float dropped = 50 - position(falling).z;
    api->NewtonDestroyBody(world, falling);
    return dropped;
  };
  const float capped = fallFor(0.05f);
  EXPECT_GT(capped, 0);
  EXPECT_FLOAT_EQ(fallFor(1.0f), capped);
  EXPECT_LT(fallFor(1 / 60.0f), capped);
}

TEST(NewtonEngines, TwoEnginesShareTheModuleAndARemovedHandleIsDeadForEveryCopy) {
  TNewtonEngine* first = New<TNewtonEngine>(nullptr);
  TNewtonEngine* second = New<TNewtonEngine>(nullptr);
  first->Free();
  ASSERT_NE(::NewtonLibrary(), nullptr);  // still loaded for the second
  auto* crate = New<PositionObject>();
  crate->setDynamic(true);
  TBodyHandle body = second->CreateBoxBody(crate, MakeVector4F(10, 10, 10, 0));
  ASSERT_NE(body, 0);
  EXPECT_EQ(second->BodyObject(body), crate);
  EXPECT_TRUE(second->hasDynamic());
  TBodyHandle copy = body;
  second->RemoveBody(body);
  EXPECT_EQ(body, 0);
  second->RemoveBody(copy);  // already gone: nothing
  EXPECT_EQ(copy, 0);
  EXPECT_EQ(second->bodyCount(), 0);
  EXPECT_EQ(second->BodyObject(copy), nullptr);
  second->Free();
  EXPECT_EQ(::NewtonLibrary(), nullptr);
  crate->Free();
}
