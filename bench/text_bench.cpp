// 10,000 glyphs a frame drawn as text through the OpenGL device's DrawText,
// against 10,000 textured, alpha-blended 32 x 32 quads through its
// DrawPixmap, on the same device in the same run; and the same glyph quads
// through plain GL client arrays in one call.
//
// Run with SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 LP_NUM_THREADS=0
// for comparable CPU figures: text is held to at most 1.2 times the quads.
#include <epoxy/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
#include "platform/device_host.h"
#include "platform/device_registry.h"
#include "platform/font.h"
#include "platform/fonts/fonts_registration.h"
#include "platform/fonts/sys_font.h"
#include "platform/opengl/ogl_device.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/window_owner.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kQuads = 10000;
constexpr int kSide = 32;
constexpr int kLineLength = 40;
constexpr int kLines = kQuads / kLineLength;

// Where quad i goes: spread over the window, overlapping as sprites do.
void QuadPlace(int i, float& x, float& y) {
  x = static_cast<float>((i * 37) % (kWidth - kSide));
  y = static_cast<float>((i * 53) % (kHeight - kSide));
}

// Line i of the text: 40 letters and digits, no spaces, so every character
// is one glyph quad.
WideString Line(int i) {
  WideString text;
  for (int c = 0; c < kLineLength; ++c) text += static_cast<char16_t>(u'0' + (i * 7 + c * 13) % 75);
  return text;
}

void LinePlace(int i, float& x, float& y) {
  x = static_cast<float>((i * 37) % (kWidth - 400));
  y = static_cast<float>((i * 53) % (kHeight - 16));
}

std::vector<uint32_t> Sprite() {
  std::vector<uint32_t> pixels(kSide * kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      uint32_t alpha = (x + y) % 2 ? 0xFF : 0x80;
      pixels[y * kSide + x] = (alpha << 24) | (static_cast<uint32_t>(x * 8) << 16) | (static_cast<uint32_t>(y * 8) << 8);
    }
  }
  return pixels;
}

enum class Scene { Quads, Text };

class BenchApplet : public TWindowOwner, public TDeviceHost {
 public:
  TDevice* device = nullptr;
  TPixmap* sprite = nullptr;
  TFont* font = nullptr;
  std::vector<WideString> lines;
  Scene scene = Scene::Quads;

  bool IsTerminated() const override { return false; }
  bool IsFullScreen() const override { return false; }
  void WindowResized() override {}
  bool HasDevice() const override { return device != nullptr; }
  void DeviceRender() override {}
  void DevicePresent() override {}
  void DeviceResize() override {}
  bool DeviceRenderToARGB(uint32_t*, int32_t, int32_t) override { return false; }
  void RecreateDevice() override {}
  bool LoadPixmapARGB(const AnsiString&, TArgbImage&) override { return false; }
  bool LoadBuiltInPixmapARGB(const AnsiString&, TArgbImage&) override { return false; }
  bool WriteResource(const AnsiString&, const std::vector<uint8_t>&) override { return false; }

  bool deviceLighting() override { return false; }
  TColorARGB deviceBackground() override { return 0xFF202020; }
  float deviceScale() override { return 1; }
  TPixmap* defaultSkinPixmap(TDevice*) override { return nullptr; }
  void drawScene(TDevice* d) override {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsBlendAlpha);
    if (scene == Scene::Text) {
      for (int i = 0; i < kLines; ++i) {
        float x, y;
        LinePlace(i, x, y);
        d->DrawText(font, lines[static_cast<size_t>(i)], 0xFFFFFFFF, 0, MakeRectF(x, y, x + 600, y + 40));
      }
      return;
    }
    d->SetColor(0xFFFFFFFF);
    d->SetPixmap(0, sprite);
    d->SetRenderState(rsFilterNearest);
    d->SetRenderState(rsTextureModulate);
    for (int i = 0; i < kQuads; ++i) {
      float x, y;
      QuadPlace(i, x, y);
      d->DrawPixmapAt(sprite, x, y);
    }
  }
  bool isActive() override { return true; }
  void requestUpdate() override {}
  bool debugInfoVisible() override { return false; }
  void setDebugInfo(const WideString&, const WideString&) override {}
  double currentTime() override { return 0; }
  void deviceReplaced(TDevice* d) override { device = d; }
  void reapplyWindowSize() override {}
  TResourceMan* fontResourceManager() override { return nullptr; }
  TDevice* currentDevice() override { return device; }
};

struct BenchWindow {
  BenchApplet applet;
  TPlatformWin32* platform = nullptr;
  TWindow* window = nullptr;

  BenchWindow() {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    RegisterPlatformDevices();
    RegisterWin32Platform();
    RegisterFonts();
    platform = New<TPlatformWin32>();
    window = platform->CreateWindow(&applet, "BenchWnd", W("bench"), TWindowKind::Framed, kWidth, kHeight, 0, 0);
    applet.device = CreateDeviceOfClass(DeviceClasses().at(static_cast<size_t>(FindDeviceClass(W("ogl")))), window,
                                        &applet);
    applet.sprite = applet.device->CreatePixmap(kSide, kSide);
    uint32_t* bits = nullptr;
    int32_t pitch = 0;
    std::vector<uint32_t> pixels = Sprite();
    applet.device->LockPixmapRectARGB(applet.sprite, {0, 0, kSide, kSide}, false, bits, pitch);
    std::copy(pixels.begin(), pixels.end(), bits);
    applet.device->UnlockPixmap(applet.sprite);
    applet.font = applet.device->CreateFont("arial", 12, 0);
    for (int i = 0; i < kLines; ++i) applet.lines.push_back(Line(i));
  }
  ~BenchWindow() {
    applet.device->DestroyFont(applet.font);
    applet.device->Free();
    platform->DestroyWindow(window);
    platform->Free();
  }
};

void Frames(benchmark::State& state, Scene scene) {
  BenchWindow bench;
  bench.applet.scene = scene;
  TDevice* device = bench.applet.device;
  device->Render();  // glyphs the lines need are made before timing
  for (auto _ : state) {
    device->Render();
    glFinish();
    device->Present();
  }
  state.counters["quads"] = kQuads;
}

void DeviceQuads(benchmark::State& state) { Frames(state, Scene::Quads); }
BENCHMARK(DeviceQuads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void DeviceText(benchmark::State& state) { Frames(state, Scene::Text); }
BENCHMARK(DeviceText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same glyph quads with nothing between the program and GL: one array,
// prepared once, drawn in one call.
void PlainGlyphArrays(benchmark::State& state) {
  BenchWindow bench;
  auto* glyphs = dynamic_cast<T3DSysFont*>(bench.applet.font->glyphSet);
  glyphs->AddChars(bench.applet.lines[0] + bench.applet.lines[1] + bench.applet.lines[2]);
  const TGlyphTable& table = glyphs->table();
  struct Vertex {
    float x, y, z;
    uint8_t colour[4];
    float u, v;
  };
  std::vector<Vertex> vertices;
  vertices.reserve(kQuads * 4);
  for (int i = 0; i < kLines; ++i) {
    float x, y;
    LinePlace(i, x, y);
    for (char16_t c : bench.applet.lines[static_cast<size_t>(i)]) {
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
    glViewport(0, 0, kWidth, kHeight);
    glClearColor(0.125f, 0.125f, 0.125f, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, kHeight, 0, -1, 1);
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
    glDrawArrays(GL_QUADS, 0, kQuads * 4);
    glFinish();
    SwapBuffers(dc);
  }
  state.counters["quads"] = kQuads;
}
BENCHMARK(PlainGlyphArrays)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
