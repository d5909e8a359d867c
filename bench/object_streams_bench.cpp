// Speed of the object streams on a tree of 10,000 objects with about ten
// stored properties each: writing and reading the binary form, converting
// between the binary and XML forms, and the bare libxml2 parse of the same
// XML text for comparison. The last benchmark reports, against their goals
// (bench_goals.cpp), reading the binary form and converting the XML form to
// binary, each over the bare libxml2 parse of the XML text.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include "bench/bench_goals.h"
#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"
#include "core/streams/object_xml.h"
#include "tests/core/object_test_classes.h"

namespace {

constexpr int kGroups = 100;
constexpr int kLeavesPerGroup = 99;  // 1 root + 100 groups + 9,900 leaves = 10,001 objects

// A node of a tree held by parent and children, as the object tree holds
// its nodes (no component ownership), with ten stored properties.
class BenchNode : public TGComponent {
  Q_OBJECT(BenchNode, TGComponent)

 public:
  void Create(TObject* owner) override {
    inherited::Create(nullptr);
    if (auto* parent = dynamic_cast<BenchNode*>(owner)) parent->adopt(this);
  }
  void Destroy() override {
    for (BenchNode* child : children_) {
      child->parent_ = nullptr;
      child->Free();
    }
    children_.clear();
    if (parent_) parent_->release(this);
    inherited::Destroy();
  }
  void GetChildren(const GetChildProc& proc, TGComponent*) override {
    for (BenchNode* child : children_) proc(child);
  }
  void SetParentComponent(TGComponent* parent) override {
    auto* node = dynamic_cast<BenchNode*>(parent);
    if (node == parent_) return;
    if (parent_) parent_->release(this);
    if (node) node->adopt(this);
  }
  TGComponent* GetParentComponent() override { return parent_; }
  bool HasParent() override { return parent_ != nullptr; }

  int32_t number = 0;
  float weight = 0;
  TTestColor color = tcRed;
  TTestColors colors;
  bool visible = true;
  WideString caption;
  AnsiString sound;
  int64_t big = 0;
  float x = 0;
  float y = 0;

 private:
  void adopt(BenchNode* child) {
    children_.push_back(child);
    child->parent_ = this;
  }
  void release(BenchNode* child) {
    // Usually the newest child: look from the end.
    for (size_t i = children_.size(); i-- > 0;) {
      if (children_[i] == child) {
        children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      }
    }
    child->parent_ = nullptr;
  }

  std::vector<BenchNode*> children_;
  BenchNode* parent_ = nullptr;
};

const ClassInfo& BenchNode::staticClassInfo() {
  using N = BenchNode;
  static const ClassInfo info = ClassBuilder<N>("BenchNode")
                                    .property("number", &N::number)
                                    .defaultValue(0)
                                    .property("weight", &N::weight)
                                    .property("color", &N::color)
                                    .defaultValue(tcRed)
                                    .property("colors", &N::colors)
                                    .defaultValue(0)
                                    .property("visible", &N::visible)
                                    .defaultValue(1)
                                    .property("caption", &N::caption)
                                    .property("sound", &N::sound)
                                    .property("big", &N::big)
                                    .defaultValue(0)
                                    .property("x", &N::x)
                                    .property("y", &N::y)
                                    .build();
  return info;
}

void Fill(BenchNode* node, int i) {
  node->number = i * 37;
  node->weight = static_cast<float>(i) * 0.25f;
  node->color = static_cast<TTestColor>(i % 4);
  node->colors = TTestColors(static_cast<uint32_t>(i % 16));
  node->visible = (i % 3) != 0;
  node->caption = u"Caption of object " + AnsiToWide(std::to_string(i));
  node->sound = "media\\sound" + std::to_string(i % 50) + ".wav";
  node->big = int64_t{1} << (32 + i % 20);
  node->x = static_cast<float>(i % 640);
  node->y = static_cast<float>(i % 480);
}

struct Fixture {
  BenchNode* tree = nullptr;
  std::vector<uint8_t> binary;
  std::vector<uint8_t> xml;

  Fixture() {
    RegisterClass(BenchNode::staticClassInfo());
    tree = New<BenchNode>(nullptr);
    tree->SetName(u"Root");
    int n = 0;
    for (int g = 0; g < kGroups; ++g) {
      auto* group = New<BenchNode>(tree);
      group->SetName(AnsiToWide("Group" + std::to_string(g)));
      Fill(group, n++);
      for (int l = 0; l < kLeavesPerGroup; ++l) {
        auto* leaf = New<BenchNode>(group);
        leaf->SetName(AnsiToWide("Leaf" + std::to_string(l)));
        Fill(leaf, n++);
      }
    }
    TMemoryStream stream;
    {
      TGWriter writer(&stream, kFileFilerBufferSize);
      writer.emitRoot(tree);
    }
    binary = stream.Bytes();
    TMemoryStream source(binary);
    TMemoryStream text;
    binaryToXml(source, text);
    xml = text.Bytes();
  }
  ~Fixture() { tree->Free(); }
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

void WriteBinary() {
  TMemoryStream stream;
  TGWriter writer(&stream, kFileFilerBufferSize);
  writer.emitRoot(Data().tree);
}

// Reads a tree; the caller frees it (freeing is not part of reading).
TGComponent* ReadBinary(const std::vector<uint8_t>& bytes) {
  TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  TGReader reader(&stream, kFileFilerBufferSize);
  return reader.fetchRoot();
}

std::vector<uint8_t> XmlToBinary() {
  TReadOnlyMemoryStream source(Data().xml.data(), static_cast<int64_t>(Data().xml.size()));
  TMemoryStream target;
  xmlToBinary(source, target);
  return std::move(target.Bytes());
}

void BinaryToXml() {
  TReadOnlyMemoryStream source(Data().binary.data(), static_cast<int64_t>(Data().binary.size()));
  TMemoryStream target;
  binaryToXml(source, target);
}

void BareParse() {
  const auto& xml = Data().xml;
  xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(xml.data()), static_cast<int>(xml.size()), nullptr,
                                "UTF-8", XML_PARSE_NONET);
  xmlFreeDoc(doc);
}

void BM_WriteBinary(benchmark::State& state) {
  Data();
  for (auto _ : state) WriteBinary();
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().binary.size()));
}
BENCHMARK(BM_WriteBinary)->Unit(benchmark::kMillisecond);

void BM_ReadBinary(benchmark::State& state) {
  Data();
  for (auto _ : state) {
    TGComponent* root = ReadBinary(Data().binary);
    state.PauseTiming();
    root->Free();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().binary.size()));
}
BENCHMARK(BM_ReadBinary)->Unit(benchmark::kMillisecond);

void BM_XmlToBinary(benchmark::State& state) {
  Data();
  for (auto _ : state) benchmark::DoNotOptimize(XmlToBinary());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().xml.size()));
}
BENCHMARK(BM_XmlToBinary)->Unit(benchmark::kMillisecond);

void BM_BinaryToXml(benchmark::State& state) {
  Data();
  for (auto _ : state) BinaryToXml();
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().binary.size()));
}
BENCHMARK(BM_BinaryToXml)->Unit(benchmark::kMillisecond);

void BM_LibXml2Parse(benchmark::State& state) {
  Data();
  for (auto _ : state) BareParse();
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().xml.size()));
}
BENCHMARK(BM_LibXml2Parse)->Unit(benchmark::kMillisecond);

// The goals, each ratio from alternating rounds of the two sides.
void BM_Goals(benchmark::State& state) {
  Data();
  constexpr int kRounds = 15;
  BenchRatio read, convert;
  auto parse = [] { return TimeOf(BareParse); };
  for (auto _ : state) {
    read = AlternatingRatio(
        kRounds,
        [] {
          TGComponent* root = nullptr;
          const double seconds = TimeOf([&] { root = ReadBinary(Data().binary); });
          root->Free();
          return seconds;
        },
        parse);
    convert = AlternatingRatio(kRounds, [] { return TimeOf([] { benchmark::DoNotOptimize(XmlToBinary()); }); }, parse);
  }
  ReportGoal(state, "qbin_read_vs_xml_parse", read);
  ReportGoal(state, "xml_to_binary_vs_parse", convert);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
