#pragma once
// A window of the windows layer with an OpenGL device on it, for tests that
// render real frames (SDL's offscreen driver, Mesa's software GL) and read
// them back.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/device_fake_helpers.h"
#include "platform/opengl/ogl_device.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/window_owner.h"

// The applet's part towards both the window and the device.
class GLTestApplet : public TWindowOwner, public TTestHost {
 public:
  TDevice* device = nullptr;

  bool IsTerminated() const override { return false; }
  bool IsFullScreen() const override { return false; }
  void WindowResized() override {}
  bool HasDevice() const override { return device != nullptr; }
  void DeviceRender() override {
    if (device) device->Render();
  }
  void DevicePresent() override {
    if (device) device->Present();
  }
  void DeviceResize() override {
    if (device) device->Resize();
  }
  bool DeviceRenderToARGB(uint32_t* pixels, int32_t, int32_t) override {
    return device && device->RenderToARGB(pixels);
  }
  // The window's system window was made anew: a device of the same class moves onto it.
  void RecreateDevice() override;
  bool LoadPixmapARGB(const AnsiString&, TArgbImage&) override { return false; }
  bool LoadBuiltInPixmapARGB(const AnsiString&, TArgbImage&) override { return false; }
  bool WriteResource(const AnsiString&, const std::vector<uint8_t>&) override { return false; }
};

// A window of `kind` and width x height with a TGenericGLDevice on it.
class GLWindow {
 public:
  GLWindow(int32_t width, int32_t height, TWindowKind kind = TWindowKind::Framed);
  ~GLWindow();
  GLWindow(const GLWindow&) = delete;
  GLWindow& operator=(const GLWindow&) = delete;

  TOGLDevice* device() const { return static_cast<TOGLDevice*>(applet.device); }
  TWindow* window() const { return window_; }
  TPlatformWin32* platform() const { return platform_; }

  // Renders one frame of the scene and reads it back (ARGB, rows top-down)
  // from the back buffer, or from the window's bits for a layered window.
  std::vector<uint32_t> Frame();
  uint32_t At(const std::vector<uint32_t>& frame, int x, int y) const {
    return frame[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  }
  // A pixmap of the given ARGB pixels (rows top-down).
  TPixmap* MakePixmap(int32_t width, int32_t height, const std::vector<uint32_t>& pixels);

  GLTestApplet applet;

 private:
  TPlatformWin32* platform_ = nullptr;
  TWindow* window_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// Channels of an ARGB word.
inline int Alpha(uint32_t c) { return static_cast<int>(c >> 24); }
inline int Red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int Blue(uint32_t c) { return static_cast<int>(c & 0xFF); }
// The colour without alpha (the window's back buffer keeps what the clears left there).
inline uint32_t Rgb(uint32_t c) { return c & 0xFFFFFF; }
