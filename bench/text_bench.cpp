// 10,000 glyphs a frame drawn as text through the OpenGL device's DrawText,
// against 10,000 textured, alpha-blended 32 x 32 quads through its
// DrawPixmap, on the same device in the same run; and the same glyph quads
// through plain GL client arrays in one call. The last benchmark reports the
// text's frame over the plain glyphs' and over the quads' against their
// goals (bench_goals.cpp), the sides timed in alternating rounds.
//
// Run as bench_host.h says.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_goals.h"
#include "bench/bench_host.h"
#include "platform/device.h"
#include "platform/font.h"
#include "platform/fonts/sys_font.h"
#include "platform/opengl/ogl_device.h"

namespace {

constexpr int kLineLength = 40;
constexpr int kLines = kBenchQuads / kLineLength;

// Line i of the text: 40 letters and digits, no spaces, so every character
// is one glyph quad.
WideString Line(int i) {
  WideString text;
  for (int c = 0; c < kLineLength; ++c) text += static_cast<char16_t>(u'0' + (i * 7 + c * 13) % 75);
  return text;
}

void LinePlace(int i, float& x, float& y) {
  x = static_cast<float>((i * 37) % (kBenchWidth - 400));
  y = static_cast<float>((i * 53) % (kBenchHeight - 16));
}

// The text scene: the lines through DrawText, as many glyphs as the quads.
struct TextScene {
  TDevice* device;
  TFont* font;
  std::vector<WideString> lines;

  explicit TextScene(BenchHost& host) : device(host.device()), font(device->CreateFont("arial", 12, 0)) {
    for (int i = 0; i < kLines; ++i) lines.push_back(Line(i));
  }
  ~TextScene() { device->DestroyFont(font); }
  TextScene(const TextScene&) = delete;
  TextScene& operator=(const TextScene&) = delete;
  void draw(TDevice& target) const {
    for (int i = 0; i < kLines; ++i) {
      float x, y;
      LinePlace(i, x, y);
      target.DrawText(font, lines[static_cast<size_t>(i)], 0xFFFFFFFF, 0, MakeRectF(x, y, x + 600, y + 40));
    }
  }
};

enum class Scene { Quads, Text };

void Frames(benchmark::State& state, Scene scene) {
  BenchHost bench;
  TextScene text(bench);
  if (scene == Scene::Text) bench.scene = [&text](TDevice& device) { text.draw(device); };
  bench.frame();  // glyphs the lines need are made before timing
  for (auto _ : state) bench.frame();
  state.counters["quads"] = kBenchQuads;
}

void DeviceQuads(benchmark::State& state) { Frames(state, Scene::Quads); }
BENCHMARK(DeviceQuads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void DeviceText(benchmark::State& state) { Frames(state, Scene::Text); }
BENCHMARK(DeviceText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same glyph quads with nothing between the program and GL.
PlainQuads PlainGlyphs(const TextScene& text) {
  auto* glyphs = dynamic_cast<T3DSysFont*>(text.font->glyphSet);
  glyphs->AddChars(text.lines[0] + text.lines[1] + text.lines[2]);
  const TGlyphTable& table = glyphs->table();
  PlainQuads quads(static_cast<unsigned>(glyphs->Atlas()->deviceState().texture), true);
  for (int i = 0; i < kLines; ++i) {
    float x, y;
    LinePlace(i, x, y);
    for (char16_t c : text.lines[static_cast<size_t>(i)]) {
      const TGlyphRecord& g = *table.find(c);
      const float w = (g.u1 - g.u0) * static_cast<float>(table.atlasWidth);
      const float h = (g.v1 - g.v0) * static_cast<float>(table.atlasHeight);
      x += static_cast<float>(g.before);
      quads.add(x, y, w, h, g.u0, g.v0, g.u1, g.v1);
      x += static_cast<float>(g.after) + w;
    }
  }
  return quads;
}

void PlainGlyphArrays(benchmark::State& state) {
  BenchHost bench;
  TextScene text(bench);
  PlainQuads quads = PlainGlyphs(text);
  for (auto _ : state) quads.frame();
  state.counters["quads"] = quads.count();
}
BENCHMARK(PlainGlyphArrays)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Text frames against plain glyph frames and against quad frames, all on one
// window, in alternating rounds of a few frames each.
void BM_Goals(benchmark::State& state) {
  constexpr int kRounds = 15;
  constexpr int kFrames = 8;
  BenchHost bench;
  TextScene text(bench);
  auto drawText = [&text](TDevice& device) { text.draw(device); };
  auto drawQuads = [&bench](TDevice& device) { bench.drawQuads(device); };
  bench.scene = drawText;
  bench.frame();  // glyphs the lines need are made before timing
  PlainQuads glyphs = PlainGlyphs(text);
  auto frames = [](const std::function<void()>& frame) {
    return [frame] {
      return TimeOf([&] {
        for (int i = 0; i < kFrames; ++i) frame();
      });
    };
  };
  auto deviceFrames = [&bench, &frames](std::function<void(TDevice&)> scene) {
    return frames([&bench, scene] {
      bench.scene = scene;
      bench.frame();
    });
  };
  BenchRatio overPlain, overQuads;
  for (auto _ : state) {
    overPlain = AlternatingRatio(kRounds, deviceFrames(drawText), frames([&glyphs] { glyphs.frame(); }));
    overQuads = AlternatingRatio(kRounds, deviceFrames(drawText), deviceFrames(drawQuads));
  }
  ReportGoal(state, "glyphs_vs_gl", overPlain);
  ReportGoal(state, "text_vs_quads", overQuads);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
