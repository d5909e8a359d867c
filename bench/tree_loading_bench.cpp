// Loading and freeing grow linearly with the number of objects: a flat tree of
// 10,000 and of 100,000 visual objects (the engine's own classes) is read from
// its XML object form and freed again, and, paired with it, the bare libxml2
// parse and free of the same text. The growth benchmarks report, against
// their goals (bench_goals.cpp; linear work gives 10), how reading and
// freeing grow from 10k to 100k objects, read from the text and from its
// binary twin; the last, reading the 10k twin over the bare parse.
// BM_InstructionGrowth checks the growth by instruction counts instead of
// time, so it holds on a loaded machine: it runs this program under
// `valgrind --tool=callgrind` four times (reading from the twin and freeing,
// 10k and 100k each; about a minute) and reports both ratios against their
// goals. Run it alone with
//   build/release/tree_loading_bench --benchmark_filter=InstructionGrowth
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_goals.h"
#include "core/resources/stream.h"
#include "core/streams/object_file.h"
#include "core/streams/object_xml.h"
#include "engine/container.h"
#include "engine/registration.h"

namespace {
// The XML object form of a Container holding `count` visual objects, each
// with a name, a tag text and a stored alpha.
const std::string& TreeXml(int count) {
  static std::map<int, std::string> made;
  std::string& xml = made[count];
  if (!xml.empty()) return xml;
  RegisterAllClasses();
  xml = "<?xml version=\"1.0\"?>\r\n<Container name=\"flat\">\r\n";
  for (int i = 0; i < count; ++i) {
    xml += "  <VisualObject name=\"v" + std::to_string(i) + "\" tagString=\"item\" alpha=\"0.5\"/>\r\n";
  }
  xml += "</Container>\r\n";
  return xml;
}

// What the object-file loader does with a text file: convert, then read.
BaseObject* ReadTree(int count) {
  const std::string& xml = TreeXml(count);
  TReadOnlyMemoryStream text(xml.data(), static_cast<int64_t>(xml.size()));
  TMemoryStream binary;
  xmlToBinary(text, binary);
  binary.SetPosition(0);
  return LoadObjectFromStream(nullptr, binary, nullptr, nullptr);
}

void BareParseAndFree(int count) {
  const std::string& xml = TreeXml(count);
  xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, "UTF-8", XML_PARSE_NONET);
  xmlFreeDoc(doc);
}

void BM_ReadTree(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TreeXml(count);
  for (auto _ : state) {
    BaseObject* root = ReadTree(count);
    state.PauseTiming();
    if (root) root->Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FreeTree(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TreeXml(count);
  for (auto _ : state) {
    state.PauseTiming();
    BaseObject* root = ReadTree(count);
    state.ResumeTiming();
    if (root) root->Free();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FreeTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BareLibXml2(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TreeXml(count);
  for (auto _ : state) BareParseAndFree(count);
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BareLibXml2)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The binary twin of the tree's text, as the object-file loader keeps it.
const std::vector<uint8_t>& TreeBinary(int count) {
  static std::map<int, std::vector<uint8_t>> made;
  std::vector<uint8_t>& bytes = made[count];
  if (!bytes.empty()) return bytes;
  const std::string& xml = TreeXml(count);
  TReadOnlyMemoryStream text(xml.data(), static_cast<int64_t>(xml.size()));
  TMemoryStream binary;
  xmlToBinary(text, binary);
  bytes = binary.Bytes();
  return bytes;
}

BaseObject* ReadTwin(int count) {
  const std::vector<uint8_t>& bytes = TreeBinary(count);
  TReadOnlyMemoryStream binary(bytes.data(), static_cast<int64_t>(bytes.size()));
  return LoadObjectFromStream(nullptr, binary, nullptr, nullptr);
}

// One read and one free of a tree, timed apart.
struct ReadAndFree {
  double read = 0;
  double free = 0;
};
ReadAndFree TimeTree(BaseObject* (*read)(int), int count) {
  ReadAndFree t;
  BaseObject* root = nullptr;
  t.read = TimeOf([&] { root = read(count); });
  if (!root || root->count() != count) {
    std::fprintf(stderr, "the tree of %d read as %d\n", count, root ? root->count() : -1);
    std::abort();
  }
  t.free = TimeOf([&] { root->Free(); });
  return t;
}

double MedianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Alternating rounds of the 10k and the 100k tree: how reading and freeing
// grow.
void Growth(benchmark::State& state, BaseObject* (*read)(int), const char* readGoal, const char* freeGoal) {
  constexpr int kRounds = 11;
  std::vector<double> smallRead, largeRead, smallFree, largeFree;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      ReadAndFree small, large;
      if (round % 2 == 0) {
        small = TimeTree(read, 10000);
        large = TimeTree(read, 100000);
      } else {
        large = TimeTree(read, 100000);
        small = TimeTree(read, 10000);
      }
      smallRead.push_back(small.read);
      largeRead.push_back(large.read);
      smallFree.push_back(small.free);
      largeFree.push_back(large.free);
    }
  }
  state.counters["read_10k_ms_median"] = MedianOf(smallRead) * 1e3;
  state.counters["read_100k_ms_median"] = MedianOf(largeRead) * 1e3;
  state.counters["free_10k_ms_median"] = MedianOf(smallFree) * 1e3;
  state.counters["free_100k_ms_median"] = MedianOf(largeFree) * 1e3;
  if (readGoal) ReportGoal(state, readGoal, RatioOfPairs(largeRead, smallRead));
  if (freeGoal) ReportGoal(state, freeGoal, RatioOfPairs(largeFree, smallFree));
}

void BM_GrowthFromText(benchmark::State& state) { Growth(state, ReadTree, "read_100k_vs_10k", "free_100k_vs_10k"); }
BENCHMARK(BM_GrowthFromText)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GrowthFromTwin(benchmark::State& state) {
  TreeBinary(10000);
  TreeBinary(100000);
  Growth(state, ReadTwin, "read_100k_vs_10k", "free_100k_vs_10k");
}
BENCHMARK(BM_GrowthFromTwin)->Iterations(1)->Unit(benchmark::kMillisecond);

// One read of the tree from its binary twin and one free of it, for
// callgrind to count the instructions of (it collects inside the function
// named by the run alone).
[[gnu::noinline]] BaseObject* CountedTwinRead(int count) { return ReadTwin(count); }
[[gnu::noinline]] void CountedTreeFree(BaseObject* root) { root->Free(); }

void BM_CountedTreeWork(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TreeBinary(count);
  for (auto _ : state) CountedTreeFree(CountedTwinRead(count));
}
BENCHMARK(BM_CountedTreeWork)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The instructions of `phase` (CountedTwinRead or CountedTreeFree) for a tree
// of `count` objects, counted by callgrind in a run of this program: the same
// on a busy machine as on an idle one. Zero without valgrind.
double CountedInstructions(const char* phase, int count) {
  const std::string out = "/tmp/tree-loading-callgrind-" + std::to_string(getpid()) + "-" + std::to_string(count);
  const std::string command = std::string("valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*") +
                              phase + "*' --callgrind-out-file=" + out + " /proc/" + std::to_string(getpid()) +
                              "/exe --benchmark_filter='BM_CountedTreeWork/" + std::to_string(count) +
                              "/' >/dev/null 2>&1";
  const bool ran = std::system(command.c_str()) == 0;
  std::ifstream in(out);
  std::string line;
  double total = 0;
  while (ran && std::getline(in, line)) {
    if (line.rfind("summary:", 0) == 0 || line.rfind("totals:", 0) == 0) total = std::stod(line.substr(line.find(':') + 1));
  }
  std::remove(out.c_str());
  return total;
}

// How the instructions of reading and of freeing grow from 10k to 100k
// objects: linear work gives 10 whatever else runs on the machine.
void BM_InstructionGrowth(benchmark::State& state) {
  constexpr const char* kPhases[][2] = {{"CountedTwinRead", "instructions_read_100k_vs_10k"},
                                        {"CountedTreeFree", "instructions_free_100k_vs_10k"}};
  for (auto _ : state) {
    for (const auto& [phase, goal] : kPhases) {
      const double small = CountedInstructions(phase, 10000);
      const double large = CountedInstructions(phase, 100000);
      if (small <= 0 || large <= 0) {
        state.SkipWithError("callgrind did not run");
        return;
      }
      state.counters[std::string(phase) + "_10k"] = small;
      state.counters[std::string(phase) + "_100k"] = large;
      ReportGoal(state, goal, {large / small, large / small});
    }
  }
}
BENCHMARK(BM_InstructionGrowth)->Iterations(1)->Unit(benchmark::kMillisecond);

// Reading the 10k tree from its binary twin against the bare parse of its
// text, in alternating rounds.
void BM_TwinReadVsParse(benchmark::State& state) {
  TreeBinary(10000);
  BenchRatio ratio;
  for (auto _ : state) {
    ratio = AlternatingRatio(
        15,
        [] {
          BaseObject* root = nullptr;
          const double seconds = TimeOf([&] { root = ReadTwin(10000); });
          root->Free();
          return seconds;
        },
        [] { return TimeOf([] { BareParseAndFree(10000); }); });
  }
  ReportGoal(state, "qbin_read_vs_xml_parse", ratio);
}
BENCHMARK(BM_TwinReadVsParse)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
