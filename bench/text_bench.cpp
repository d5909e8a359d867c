// 10,000 glyphs a frame drawn as text through the OpenGL device's DrawText,
// against 10,000 textured, alpha-blended 32 x 32 quads through its
// DrawPixmap, on the same device in the same run; and the same glyph quads
// through plain GL client arrays in one call.
//
// Run as bench_host.h says: text is held to at most 1.2 times the quads.
#include <epoxy/gl.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_host.h"
#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
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

// The same glyph quads with nothing between the program and GL: one array,
// prepared once, drawn in one call.
void PlainGlyphArrays(benchmark::State& state) {
  BenchHost bench;
  TextScene text(bench);
  auto* glyphs = dynamic_cast<T3DSysFont*>(text.font->glyphSet);
  glyphs->AddChars(text.lines[0] + text.lines[1] + text.lines[2]);
  const TGlyphTable& table = glyphs->table();
  struct Vertex {
    float x, y, z;
    uint8_t colour[4];
    float u, v;
  };
  std::vector<Vertex> vertices;
  vertices.reserve(kBenchQuads * 4);
  for (int i = 0; i < kLines; ++i) {
    float x, y;
    LinePlace(i, x, y);
    for (char16_t c : text.lines[static_cast<size_t>(i)]) {
      const TGlyphRecord& g = *table.find(c);
      float w = (g.u1 - g.u0) * static_cast<float>(table.atlasWidth);
      float h = (g.v1 - g.v0) * static_cast<float>(table.atlasHeight);
      x += static_cast<float>(g.before);
      vertices.push_back({x, y, 0, {255, 255, 255, 255}, g.u0, g.v0});
      vertices.push_back({x + w, y, 0, {255, 255, 255, 255}, g.u1, g.v0});
      vertices.push_back({x + w, y + h, 0, {255, 255, 255, 255}, g.u1, g.v1});
      vertices.push_back({x, y + h, 0, {255, 255, 255, 255}, g.u0, g.v1});
      x += static_cast<float>(g.after) + w;
    }
  }
  GLuint texture = static_cast<GLuint>(glyphs->Atlas()->deviceState().texture);
  HDC dc = wglGetCurrentDC();
  for (auto _ : state) {
    glViewport(0, 0, kBenchWidth, kBenchHeight);
    glClearColor(0.125f, 0.125f, 0.125f, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kBenchWidth, kBenchHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), vertices[0].colour);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertices[0].u);
    glDrawArrays(GL_QUADS, 0, kBenchQuads * 4);
    glFinish();
    SwapBuffers(dc);
  }
  state.counters["quads"] = kBenchQuads;
}
BENCHMARK(PlainGlyphArrays)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
