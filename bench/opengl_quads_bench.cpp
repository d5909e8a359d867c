// Textured, alpha-blended 32 x 32 quads a frame, 10,000 and 100,000 of them:
// through the OpenGL device's DrawPixmap, and through plain GL client arrays
// in one call, both on a window of the windows layer under the same GL. The
// last benchmark reports the device's frame over the plain one against its
// goal (bench_goals.cpp), the two sides timed in alternating rounds.
//
// Run as bench_host.h says.
#include <benchmark/benchmark.h>

#include "bench/bench_goals.h"
#include "bench/bench_host.h"
#include "platform/opengl/ogl_device.h"

namespace {
constexpr int kManyQuads = 100000;

// The host drawing `count` quads through the device.
void DrawQuadsThroughDevice(BenchHost& bench, int count) {
  bench.scene = [&bench, count](TDevice& device) { bench.drawQuads(device, count); };
}

PlainQuads PlainSprites(const BenchHost& bench, int count) {
  PlainQuads quads(static_cast<unsigned>(bench.sprite()->deviceState().texture), false);
  quads.addSprites(count);
  return quads;
}

void DevicePixmaps(benchmark::State& state) {
  BenchHost bench;
  const auto count = static_cast<int>(state.range(0));
  DrawQuadsThroughDevice(bench, count);
  for (auto _ : state) bench.frame();
  state.counters["quads"] = count;
}
BENCHMARK(DevicePixmaps)->Arg(kBenchQuads)->Arg(kManyQuads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void PlainClientArrays(benchmark::State& state) {
  BenchHost bench;
  PlainQuads quads = PlainSprites(bench, static_cast<int>(state.range(0)));
  for (auto _ : state) quads.frame();
  state.counters["quads"] = quads.count();
}
BENCHMARK(PlainClientArrays)->Arg(kBenchQuads)->Arg(kManyQuads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The device's frames against the plain ones on the same window, in
// alternating rounds of a few frames each.
BenchRatio DeviceOverPlain(int count, int frames) {
  BenchHost bench;
  DrawQuadsThroughDevice(bench, count);
  PlainQuads quads = PlainSprites(bench, count);
  bench.frame();  // each side's first frame sets up what later frames reuse
  quads.frame();
  auto rounds = [frames](const std::function<void()>& frame) {
    return [frames, frame] {
      return TimeOf([&] {
        for (int i = 0; i < frames; ++i) frame();
      });
    };
  };
  return AlternatingRatio(15, rounds([&bench] { bench.frame(); }), rounds([&quads] { quads.frame(); }));
}

void BM_Goals(benchmark::State& state) {
  BenchRatio few, many;
  for (auto _ : state) {
    few = DeviceOverPlain(kBenchQuads, 8);
    many = DeviceOverPlain(kManyQuads, 1);
  }
  ReportGoal(state, "quads_vs_gl", few);
  ReportGoal(state, "quads_100k_vs_gl", many);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
