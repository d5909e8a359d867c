// 1,000 boxes falling onto a floor in each of the two worlds, stacking as
// they land: one physics step of the screen and the space world through the
// engine (and the physics module it loads), against the same bodies stepped
// in bare Bullet worlds. Each iteration builds a fresh scene (not timed) and
// times its first 30 steps, so both sides do the same work. The last
// benchmark reports the engine's steps over Bullet's against their goal
// (bench_goals.cpp), the two sides timed in alternating rounds.
#include <benchmark/benchmark.h>
#include <btBulletDynamicsCommon.h>

#include <memory>
#include <optional>
#include <vector>

#include "bench/bench_goals.h"
#include "core/geometry/coordinates.h"
#include "engine/physics/newton_engine.h"
#include "engine/scene/position_object.h"

namespace {
constexpr int kBoxes = 1000;
constexpr int kSteps = 30;
constexpr float kStep = 1.0f / 60.0f;

// Where box i starts, and its edge, in each world: the screen's 10-pixel
// boxes in 50 columns of 20 above a floor at y 500 (the screen's y grows
// downwards); the space's unit boxes in a 10 x 10 x 10 block above a floor
// at z 0. Gaps close within the first steps, so stacks form.
struct Start {
  float x, y, z;
};
float F(int value) { return static_cast<float>(value); }
Start ScreenStart(int i) { return {20.0f + 12.0f * F(i % 50), 498.0f - 12.0f * F(i / 50), 0}; }
Start SpaceStart(int i) { return {1.2f * F(i % 10) - 6, 1.2f * F((i / 10) % 10) - 6, 1.2f + 1.2f * F(i / 100)}; }
constexpr float kScreenEdge = 10, kScreenDepth = 10, kSpaceEdge = 1;
// Floors: centre and full size.
constexpr Start kScreenFloor{320, 515, 0}, kScreenFloorSize{700, 20, 10};
constexpr Start kSpaceFloor{0, 0, 0}, kSpaceFloorSize{20, 20, 1};

// ---- through the engine ------------------------------------------------------------------

struct EngineScene {
  TNewtonEngine* engine = New<TNewtonEngine>(nullptr);
  std::vector<PositionObject*> objects;

  EngineScene() {
    add(okScreen, false, kScreenFloor, kScreenFloorSize);
    add(okSpace, false, kSpaceFloor, kSpaceFloorSize);
    for (int i = 0; i < kBoxes; ++i) {
      add(okScreen, true, ScreenStart(i), {kScreenEdge, kScreenEdge, kScreenDepth});
      add(okSpace, true, SpaceStart(i), {kSpaceEdge, kSpaceEdge, kSpaceEdge});
    }
  }
  ~EngineScene() {
    engine->Free();
    for (PositionObject* object : objects) object->Free();
  }
  void add(TPositionObjectKind kind, bool dynamic, Start at, Start size) {
    auto* object = New<PositionObject>();
    object->setKind(kind);
    object->setDynamic(dynamic);
    object->setCollisable(!dynamic);
    object->position()->setXYZ(at.x, at.y, at.z);
    engine->CreateBoxBody(object, MakeVector4F(size.x, size.y, size.z, 0));
    objects.push_back(object);
  }
};

// The seconds of the first steps of a fresh scene through the engine; nil
// when the physics module did not load.
std::optional<double> EngineSteps() {
  auto scene = std::make_unique<EngineScene>();
  if (!scene->engine->screenWorld()) return std::nullopt;
  return TimeOf([&] {
    for (int i = 0; i < kSteps; ++i) scene->engine->StepWorlds(kStep);
  });
}

void BM_EngineStep(benchmark::State& state) {
  RegisterNewtonEngine();
  for (auto _ : state) {
    std::optional<double> seconds = EngineSteps();  // manual time: the steps alone
    if (!seconds) {
      state.SkipWithError("the physics module did not load");
      break;
    }
    state.SetIterationTime(*seconds);
  }
  state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_EngineStep)->Unit(benchmark::kMillisecond)->UseManualTime();

// ---- bare Bullet ----------------------------------------------------------------------

struct BareWorld {
  btDefaultCollisionConfiguration configuration;
  btCollisionDispatcher dispatcher{&configuration};
  btDbvtBroadphase broadphase;
  btSequentialImpulseConstraintSolver solver;
  btDiscreteDynamicsWorld dynamics{&dispatcher, &broadphase, &solver, &configuration};
  std::vector<std::unique_ptr<btCollisionShape>> shapes;
  std::vector<std::unique_ptr<btRigidBody>> bodies;

  BareWorld(const btVector3& gravity) { dynamics.setGravity(gravity); }
  ~BareWorld() {
    for (auto& body : bodies) dynamics.removeRigidBody(body.get());
  }
  btRigidBody* add(bool dynamic, Start at, Start size) {
    shapes.push_back(std::make_unique<btBoxShape>(btVector3(size.x, size.y, size.z) * 0.5f));
    const float mass = dynamic ? 1.0f : 0.0f;
    // The engine's inertia rule, so both sides integrate alike.
    btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, shapes.back().get(),
                                                  btVector3(mass * size.z, mass * size.y, mass * 10));
    info.m_startWorldTransform.setOrigin(btVector3(at.x, at.y, at.z));
    bodies.push_back(std::make_unique<btRigidBody>(info));
    dynamics.addRigidBody(bodies.back().get());
    return bodies.back().get();
  }
};

struct BareScene {
  BareWorld screen{btVector3(0, 49.0f, 0)};
  BareWorld space{btVector3(0, 0, -8.9f)};

  BareScene() {
    screen.add(false, kScreenFloor, kScreenFloorSize);
    space.add(false, kSpaceFloor, kSpaceFloorSize);
    for (int i = 0; i < kBoxes; ++i) {
      screen.add(true, ScreenStart(i), {kScreenEdge, kScreenEdge, kScreenDepth})->setAngularFactor(btVector3(0, 0, 1));
      space.add(true, SpaceStart(i), {kSpaceEdge, kSpaceEdge, kSpaceEdge});
    }
  }
};

// The seconds of the first steps of a fresh scene in bare Bullet.
double BareSteps() {
  auto scene = std::make_unique<BareScene>();
  return TimeOf([&] {
    for (int i = 0; i < kSteps; ++i) {
      scene->screen.dynamics.stepSimulation(kStep, 0);
      scene->space.dynamics.stepSimulation(kStep, 0);
    }
  });
}

void BM_BareBulletStep(benchmark::State& state) {
  for (auto _ : state) {
    state.SetIterationTime(BareSteps());  // manual time: the steps alone
  }
  state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_BareBulletStep)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_Goals(benchmark::State& state) {
  RegisterNewtonEngine();
  BenchRatio ratio;
  for (auto _ : state) {
    ratio = AlternatingRatio(
        15,
        [&state] {
          std::optional<double> seconds = EngineSteps();
          if (!seconds) state.SkipWithError("the physics module did not load");
          return seconds.value_or(0);
        },
        BareSteps);
  }
  ReportGoal(state, "physics_vs_bullet", ratio);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
