// 10,000 live particles a frame, each a 32 x 32 alpha-blended square where
// the yardstick's sprites lie: the effect's step moves them all and the
// particle renderer writes and draws their quads; against 10,000 quads
// through the device's DrawPixmap drawn with the particles' render states
// (linear filtering, no lighting, no depth writes), on the same device in
// the same run. The last benchmark reports the particles' frame over the
// quads' against its goal (bench_goals.cpp), timed in alternating rounds.
//
// Run as bench_host.h says.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_goals.h"
#include "bench/bench_host.h"
#include "engine/particles/particle.h"
#include "engine/particles/particle_effect.h"
#include "engine/particles/particle_key.h"
#include "engine/particles/particle_renderer.h"
#include "engine/scene/position_object.h"
#include "platform/device.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// An emitter with 10,000 particles that live for ever and a renderer that
// draws them with the host's sprite; no applet, so nothing else is drawn.
struct ParticleScene {
  Owned<PositionObject> emitter{New<PositionObject>(nullptr)};
  Owned<ParticleRenderer> renderer{New<ParticleRenderer>(nullptr)};
  ParticleEffect* effect = New<ParticleEffect>(emitter.get());
  double time = 0;

  explicit ParticleScene(BenchHost& host) {
    effect->setLoop(true);
    effect->setParticleInterval(0);  // all of them are made here
    effect->keys()->key(1)->setColor(0xFFFFFFFF);
    effect->keys()->key(0)->setScale(kBenchSide);
    effect->keys()->key(1)->setScale(kBenchSide);
    effect->setLifeTime(1e9f);
    renderer->setBlendingMode(bmBlend);
    renderer->lendPixmap(host.sprite());
    effect->registerWith(renderer.get());
    for (int i = 0; i < kBenchQuads; ++i) {
      TParticle* particle = effect->newParticle();
      float x, y;
      BenchQuadPlace(i, x, y);
      particle->position = MakeVector4F(x + kBenchSide / 2.0f, y + kBenchSide / 2.0f, 0, 1);
      particle->startPosition = particle->position;
    }
  }
  ~ParticleScene() { effect->registerWith(nullptr); }
  ParticleScene(const ParticleScene&) = delete;
  ParticleScene& operator=(const ParticleScene&) = delete;

  void step() {
    time += 0.016;
    emitter->tick(time, 0.016);
  }
};

// The yardstick's quads with the render states the particle renderer sets.
void DrawQuadsAsParticles(BenchHost& bench, TDevice& device) {
  device.SetRenderState(rsLightOff);
  device.SetRenderState(rsDepthWriteOff);
  bench.drawQuads(device, kBenchQuads, rsFilterLinear);
  device.SetRenderState(rsDepthWriteOn);
}

void DeviceQuads(benchmark::State& state) {
  BenchHost bench;
  bench.scene = [&bench](TDevice& device) { DrawQuadsAsParticles(bench, device); };
  for (auto _ : state) bench.frame();
  state.counters["quads"] = kBenchQuads;
}
BENCHMARK(DeviceQuads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void DeviceParticles(benchmark::State& state) {
  BenchHost bench;
  ParticleScene particles(bench);
  bench.scene = [&particles](TDevice& device) { particles.renderer->drawParticles(device); };
  for (auto _ : state) {
    particles.step();
    bench.frame();
  }
  state.counters["particles"] = particles.effect->particleCount();
  state.counters["drawn"] = bench.device()->particleCount();
}
BENCHMARK(DeviceParticles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Particle frames against quad frames on the same device, in alternating
// rounds of a few frames each.
void BM_Goals(benchmark::State& state) {
  constexpr int kFrames = 8;
  BenchHost bench;
  ParticleScene particles(bench);
  auto drawParticles = [&particles](TDevice& device) { particles.renderer->drawParticles(device); };
  auto drawQuads = [&bench](TDevice& device) { DrawQuadsAsParticles(bench, device); };
  auto frames = [&bench](std::function<void(TDevice&)> scene, std::function<void()> step) {
    return [&bench, scene, step] {
      bench.scene = scene;
      return TimeOf([&] {
        for (int i = 0; i < kFrames; ++i) {
          step();
          bench.frame();
        }
      });
    };
  };
  BenchRatio ratio;
  for (auto _ : state) {
    ratio = AlternatingRatio(15, frames(drawParticles, [&particles] { particles.step(); }), frames(drawQuads, [] {}));
  }
  ReportGoal(state, "particles_vs_quads", ratio);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
