// 10,000 textured, alpha-blended 32 x 32 quads a frame: through the OpenGL
// device's DrawPixmap, and through plain GL client arrays in one call, both
// on a window of the windows layer under the same GL.
//
// Run with SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 for the figures
// the device is held to (at most 1.5 times the plain frame time). Mesa's
// software GL rasterises on worker threads, so on a busy machine the wall
// times vary; LP_NUM_THREADS=0 keeps all work on the calling thread, and the
// CPU column then compares the two whatever else the machine is doing.
#include <epoxy/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
#include "platform/device_host.h"
#include "platform/device_registry.h"
#include "platform/opengl/ogl_device.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/window_owner.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kQuads = 10000;
constexpr int kSide = 32;

// Where quad i goes: spread over the window, overlapping as sprites do.
void QuadPlace(int i, float& x, float& y) {
  x = static_cast<float>((i * 37) % (kWidth - kSide));
  y = static_cast<float>((i * 53) % (kHeight - kSide));
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

class BenchApplet : public TWindowOwner, public TDeviceHost {
 public:
  TDevice* device = nullptr;
  TPixmap* sprite = nullptr;

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
};

struct BenchWindow {
  BenchApplet applet;
  TPlatformWin32* platform = nullptr;
  TWindow* window = nullptr;

  BenchWindow() {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    RegisterPlatformDevices();
    RegisterWin32Platform();
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
  }
  ~BenchWindow() {
    applet.device->Free();
    platform->DestroyWindow(window);
    platform->Free();
  }
};

void DevicePixmaps(benchmark::State& state) {
  BenchWindow bench;
  TDevice* device = bench.applet.device;
  for (auto _ : state) {
    device->Render();
    glFinish();
    device->Present();
  }
  state.counters["quads"] = kQuads;
}
BENCHMARK(DevicePixmaps)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same frame with nothing between the program and GL: one array of all
// quads, prepared once, drawn in one call.
void PlainClientArrays(benchmark::State& state) {
  BenchWindow bench;
  struct Vertex {
    float x, y, z;
    uint8_t colour[4];
    float u, v;
  };
  std::vector<Vertex> vertices;
  vertices.reserve(kQuads * 4);
  for (int i = 0; i < kQuads; ++i) {
    float x, y;
    QuadPlace(i, x, y);
    const float s = kSide;
    vertices.push_back({x, y, 0, {255, 255, 255, 255}, 0, 0});
    vertices.push_back({x + s, y, 0, {255, 255, 255, 255}, 1, 0});
    vertices.push_back({x + s, y + s, 0, {255, 255, 255, 255}, 1, 1});
    vertices.push_back({x, y + s, 0, {255, 255, 255, 255}, 0, 1});
  }
  GLuint texture = static_cast<GLuint>(bench.applet.sprite->deviceState().texture);
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
    glDrawArrays(GL_QUADS, 0, kQuads * 4);
    glFinish();
    SwapBuffers(dc);
  }
  state.counters["quads"] = kQuads;
}
BENCHMARK(PlainClientArrays)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
