#include "bench/bench_goals.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Every goal the benchmarks are held to.
constexpr BenchGoal kGoals[] = {
    {"handler_compile_share", 0.01, "compiling in a frame of the sample after the first / the frame"},
    {"qbin_read_vs_xml_parse", 0.25, "reading the 10k tree from its binary twin / bare libxml2 parse of its text"},
    {"xml_to_binary_vs_parse", 1.3, "converting the 10k tree's text to binary / bare libxml2 parse"},
    {"no_argument_call_vs_native", 1.2, "published method without arguments / bare native"},
    {"number_call_vs_native", 1.2, "published method with a number / bare native"},
    {"text_call_vs_native", 1.3, "published method with a text / bare native"},
    {"startup_time_vs_probe", 1.3, "sample game to its first presented frame / bare SDL+GL probe"},
    {"startup_memory_vs_probe", 1.3, "peak memory of the same"},
    {"read_100k_vs_10k", 11, "reading 100k visual objects / 10k"},
    {"free_100k_vs_10k", 11, "freeing 100k visual objects / 10k"},
    {"instructions_read_100k_vs_10k", 11, "instructions of reading 100k / 10k from the binary twin (callgrind)"},
    {"instructions_free_100k_vs_10k", 11, "instructions of freeing 100k / 10k (callgrind)"},
    {"archive_read_vs_floor", 1.1, "reading every file of the archive / inflate and copy"},
    {"png_vs_libpng", 1.1, "PNG through the filters / bare libpng"},
    {"jpeg_vs_libjpeg", 1.1, "JPEG through the filters / bare libjpeg"},
    {"pixmap_vs_png", 1.0 / 3, "the converted .pixmap / decoding the PNG"},
    {"quads_vs_gl", 1.1, "10k quads through the device / plain GL"},
    {"quads_100k_vs_gl", 1.1, "100k quads through the device / plain GL"},
    {"particles_vs_quads", 1.1, "particles / quads with the same render states"},
    {"text_vs_quads", 1.2, "glyphs / quads"},
    {"glyphs_vs_gl", 1.1, "glyphs through the device / the same glyph quads in plain GL"},
    {"physics_vs_bullet", 1.1, "a physics step through the engine / bare Bullet"},
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
}  // namespace

const BenchGoal& GoalOf(std::string_view name) {
  for (const BenchGoal& goal : kGoals) {
    if (name == goal.name) return goal;
  }
  std::fprintf(stderr, "no benchmark goal named %.*s\n", static_cast<int>(name.size()), name.data());
  std::abort();
}

BenchRatio RatioOfPairs(const std::vector<double>& program, const std::vector<double>& baseline) {
  std::vector<double> ratios;
  for (size_t i = 0; i < program.size() && i < baseline.size(); ++i) {
    if (baseline[i] > 0) ratios.push_back(program[i] / baseline[i]);
  }
  if (ratios.empty()) return {};
  return {*std::min_element(ratios.begin(), ratios.end()), Median(ratios)};
}

BenchRatio AlternatingRatio(int rounds, const std::function<double()>& program,
                            const std::function<double()>& baseline) {
  std::vector<double> programTimes, baselineTimes;
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      programTimes.push_back(program());
      baselineTimes.push_back(baseline());
    } else {
      baselineTimes.push_back(baseline());
      programTimes.push_back(program());
    }
  }
  return RatioOfPairs(programTimes, baselineTimes);
}

void ReportGoal(benchmark::State& state, std::string_view name, const BenchRatio& ratio) {
  const BenchGoal& goal = GoalOf(name);
  const std::string key(name);
  state.counters[key + "_best"] = ratio.best;
  state.counters[key + "_median"] = ratio.median;
  const char* verdict = ratio.median <= goal.most ? "met" : ratio.best <= goal.most ? "met at best" : "MISSED";
  std::printf("%s: best %.3fx, median %.3fx, goal at most %.3fx (%s) [%s]\n", goal.name, ratio.best, ratio.median,
              goal.most, verdict, goal.what);
  std::fflush(stdout);
}

double SecondsNow() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double SecondsSince(double start) { return SecondsNow() - start; }

double TimeOf(const std::function<void()>& work) {
  const double start = SecondsNow();
  work();
  return SecondsSince(start);
}
