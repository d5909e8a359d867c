#pragma once
// An applet stand-in for window tests: it counts what the platform asks of it,
// draws a known pattern as its "device", and serves pixmaps from memory.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/window.h"
#include "platform/win32/window_owner.h"

class TestWindowOwner : public TWindowOwner {
 public:
  bool terminated = false;
  bool fullScreen = false;
  bool hasDevice = true;
  bool canRenderToARGB = true;
  TWindow* window = nullptr;  // where DeviceRender draws a layered frame

  int resized = 0;
  int renders = 0;
  int presents = 0;
  int deviceResizes = 0;
  int recreated = 0;
  std::vector<std::string> pixmapsAsked;
  std::map<std::string, TArgbImage> pixmaps;
  std::map<std::string, TArgbImage> builtIn;
  std::map<std::string, std::vector<uint8_t>> written;
  bool canWrite = true;

  // The frame the device "renders": pixel (x, y) is this colour.
  static uint32_t Pattern(int x, int y) { return 0x80000000u | static_cast<uint32_t>(y << 8) | static_cast<uint32_t>(x); }

  bool IsTerminated() const override { return terminated; }
  bool IsFullScreen() const override { return fullScreen; }
  void WindowResized() override { ++resized; }
  bool HasDevice() const override { return hasDevice; }

  // Like the devices, a layered window's frame goes into its bits, rows
  // bottom-up.
  void DeviceRender() override {
    ++renders;
    if (!window || window->kind != TWindowKind::Layered || !window->layeredBits) return;
    auto* bits = static_cast<uint32_t*>(window->layeredBits);
    for (int y = 0; y < window->appliedHeight; ++y) {
      for (int x = 0; x < window->appliedWidth; ++x) {
        bits[(window->appliedHeight - 1 - y) * window->appliedWidth + x] = Pattern(x, y);
      }
    }
  }
  void DevicePresent() override { ++presents; }
  void DeviceResize() override { ++deviceResizes; }
  bool DeviceRenderToARGB(uint32_t* pixels, int32_t width, int32_t height) override {
    if (!canRenderToARGB) return false;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels[y * width + x] = Pattern(x, y);
    }
    return true;
  }
  void RecreateDevice() override { ++recreated; }

  bool LoadPixmapARGB(const AnsiString& name, TArgbImage& image) override {
    pixmapsAsked.push_back(name);
    auto found = pixmaps.find(name);
    if (found == pixmaps.end()) return false;
    image = found->second;
    return true;
  }
  bool LoadBuiltInPixmapARGB(const AnsiString& name, TArgbImage& image) override {
    auto found = builtIn.find(name);
    if (found == builtIn.end()) return false;
    image = found->second;
    return true;
  }
  bool WriteResource(const AnsiString& name, const std::vector<uint8_t>& bytes) override {
    if (!canWrite) return false;
    written[name] = bytes;
    return true;
  }
};

// A w x h image of one colour.
inline TArgbImage FilledImage(int w, int h, uint32_t colour) {
  TArgbImage image;
  image.width = w;
  image.height = h;
  image.pixels.assign(static_cast<size_t>(w) * h, colour);
  return image;
}
