// Loading and freeing grow linearly with the number of objects: a flat tree of
// 10,000 and of 100,000 visual objects (the engine's own classes) is read from
// its XML object form and freed again, and, paired with it, the bare libxml2
// parse and free of the same text. The last benchmark reports the ratios the
// tree is held to (linear work gives 10; at most 12 allowed):
//   read_100k_vs_10k, free_100k_vs_10k   (the object tree)
//   bare_parse_100k_vs_10k               (libxml2 alone, for comparison)
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>

#include "core/object_file.h"
#include "core/object_xml.h"
#include "core/stream.h"
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

// Best of several runs, in seconds, of reading and of freeing one tree.
struct Times {
  double read = 1e30, free = 1e30, bare = 1e30;
  int children = 0;  // what was read, so a tree that failed to load shows
};
Times Measure(int count, int runs) {
  using Clock = std::chrono::steady_clock;
  auto seconds = [](Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); };
  Times t;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    BaseObject* root = ReadTree(count);
    t.read = std::min(t.read, seconds(start));
    t.children = root ? root->count() : 0;
    start = Clock::now();
    if (root) root->Free();
    t.free = std::min(t.free, seconds(start));
    start = Clock::now();
    BareParseAndFree(count);
    t.bare = std::min(t.bare, seconds(start));
  }
  return t;
}

void BM_Ratios(benchmark::State& state) {
  Times small, large;
  for (auto _ : state) {
    small = Measure(10000, 5);
    large = Measure(100000, 3);
  }
  state.counters["read_100k_vs_10k"] = large.read / small.read;
  state.counters["free_100k_vs_10k"] = large.free / small.free;
  state.counters["bare_parse_100k_vs_10k"] = large.bare / small.bare;
  state.counters["read_100k_vs_bare"] = large.read / large.bare;
  state.counters["children_read_large"] = large.children;
}
BENCHMARK(BM_Ratios)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
