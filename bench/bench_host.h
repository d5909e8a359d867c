#pragma once
// The window and device the drawing benchmarks share: a framed window of
// the windows layer with a device of a chosen class on it, served by this
// host instead of an applet, a 32 x 32 alpha-blended sprite, and the scene
// each frame draws. `drawQuads` is the yardstick drawing benchmarks are
// measured against: sprites through the device's DrawPixmap; `PlainQuads`
// draws quads with nothing between the program and GL.
//
// Run with SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1. Mesa's software
// GL rasterises on worker threads, so on a busy machine the wall times vary;
// LP_NUM_THREADS=0 keeps all work on the calling thread, and the CPU column
// then compares the benchmarks whatever else the machine is doing.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/device_host.h"
#include "platform/device_render_states.h"
#include "platform/win32/window_owner.h"

class TDevice;
class TPixmap;
class TPlatformWin32;
class TWindow;

inline constexpr int kBenchWidth = 640;
inline constexpr int kBenchHeight = 480;
inline constexpr int kBenchQuads = 10000;
inline constexpr int kBenchSide = 32;

// Where quad i goes (its top-left corner): spread over the window,
// overlapping as sprites do.
void BenchQuadPlace(int i, float& x, float& y);

class BenchHost : public TWindowOwner, public TDeviceHost {
 public:
  // "ogl" or "dx8".
  explicit BenchHost(const char* deviceName = "ogl");
  ~BenchHost() override;
  BenchHost(const BenchHost&) = delete;
  BenchHost& operator=(const BenchHost&) = delete;

  TDevice* device() const { return device_; }
  TPixmap* sprite() const { return sprite_; }
  // What every frame draws; the 10,000 quads unless set.
  std::function<void(TDevice& device)> scene;
  // The yardstick: `count` sprites, alpha-blended, through DrawPixmap, with
  // point filtering unless `filter` says otherwise.
  void drawQuads(TDevice& device, int count = kBenchQuads, TRenderState filter = rsFilterNearest);
  // One whole frame: rendered, finished by GL, presented.
  void frame();

  // ---- the window's owner ----------------------------------------------------
  bool IsTerminated() const override { return false; }
  bool IsFullScreen() const override { return false; }
  void WindowResized() override {}
  bool HasDevice() const override { return device_ != nullptr; }
  void DeviceRender() override {}
  void DevicePresent() override {}
  void DeviceResize() override {}
  bool DeviceRenderToARGB(uint32_t*, int32_t, int32_t) override { return false; }
  void RecreateDevice() override {}
  bool LoadPixmapARGB(const AnsiString&, TArgbImage&) override { return false; }
  bool LoadBuiltInPixmapARGB(const AnsiString&, TArgbImage&) override { return false; }
  bool WriteResource(const AnsiString&, const std::vector<uint8_t>&) override { return false; }

  // ---- the device's host -------------------------------------------------------
  bool deviceLighting() override { return false; }
  TColorARGB deviceBackground() override { return 0xFF202020; }
  float deviceScale() override { return 1; }
  TPixmap* defaultSkinPixmap(TDevice*) override { return nullptr; }
  void drawScene(TDevice* device) override;
  bool isActive() override { return true; }
  void requestUpdate() override {}
  bool debugInfoVisible() override { return false; }
  void setDebugInfo(const WideString&, const WideString&) override {}
  double currentTime() override { return 0; }
  void deviceReplaced(TDevice* device) override { device_ = device; }
  void reapplyWindowSize() override {}
  TResourceMan* fontResourceManager() override { return nullptr; }
  TDevice* currentDevice() override { return device_; }

 private:
  TPlatformWin32* platform_ = nullptr;
  TWindow* window_ = nullptr;
  TDevice* device_ = nullptr;
  TPixmap* sprite_ = nullptr;
};

// Textured, alpha-blended quads with nothing between the program and GL: one
// array of all of them, prepared once, drawn in one call. A frame leaves the
// GL state as it found it, so that the device drawing on the same context
// in the rounds between finds its own.
class PlainQuads {
 public:
  // `texture` is a GL texture name; `linear` chooses linear filtering over
  // point filtering.
  PlainQuads(unsigned texture, bool linear) : texture_(texture), linear_(linear) {}
  // A quad at x, y of w by h showing the texture's u0, v0 to u1, v1.
  void add(float x, float y, float w, float h, float u0, float v0, float u1, float v1);
  // The host's sprites where the yardstick draws them.
  void addSprites(int count);
  int count() const { return static_cast<int>(vertices_.size() / 4); }
  // One whole frame as BenchHost::frame makes one: cleared, drawn, finished
  // by GL, presented.
  void frame();

 private:
  struct Vertex {
    float x, y, z;
    uint8_t colour[4];
    float u, v;
  };
  unsigned texture_;
  bool linear_;
  std::vector<Vertex> vertices_;
};
