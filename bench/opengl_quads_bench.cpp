// 10,000 textured, alpha-blended 32 x 32 quads a frame: through the OpenGL
// device's DrawPixmap, and through plain GL client arrays in one call, both
// on a window of the windows layer under the same GL.
//
// Run as bench_host.h says for the figures the device is held to (at most
// 1.5 times the plain frame time).
#include <epoxy/gl.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_host.h"
#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
#include "platform/opengl/ogl_device.h"

namespace {

void DevicePixmaps(benchmark::State& state) {
  BenchHost bench;
  for (auto _ : state) bench.frame();
  state.counters["quads"] = kBenchQuads;
}
BENCHMARK(DevicePixmaps)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same frame with nothing between the program and GL: one array of all
// quads, prepared once, drawn in one call.
void PlainClientArrays(benchmark::State& state) {
  BenchHost bench;
  struct Vertex {
    float x, y, z;
    uint8_t colour[4];
    float u, v;
  };
  std::vector<Vertex> vertices;
  vertices.reserve(kBenchQuads * 4);
  for (int i = 0; i < kBenchQuads; ++i) {
    float x, y;
    BenchQuadPlace(i, x, y);
    const float s = kBenchSide;
    vertices.push_back({x, y, 0, {255, 255, 255, 255}, 0, 0});
    vertices.push_back({x + s, y, 0, {255, 255, 255, 255}, 1, 0});
    vertices.push_back({x + s, y + s, 0, {255, 255, 255, 255}, 1, 1});
    vertices.push_back({x, y + s, 0, {255, 255, 255, 255}, 0, 1});
  }
  GLuint texture = static_cast<GLuint>(bench.sprite()->deviceState().texture);
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
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
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
BENCHMARK(PlainClientArrays)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
