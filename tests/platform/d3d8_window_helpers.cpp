#include "platform/d3d8_window_helpers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "compat/win32/test_hooks.h"
#include "platform/device_registry.h"

DeviceWindow::DeviceWindow(const std::string& deviceName, int32_t width, int32_t height, TWindowKind kind)
    : width_(width), height_(height) {
  RegisterDX8Device();
  RegisterWin32Platform();
  platform_ = New<TPlatformWin32>();
  window_ = platform_->CreateWindow(&applet, "DeviceTestWnd", W("device test"), kind, width, height, 0, 0);
  if (window_->handle) win32_test::CaptureFrames(window_->handle, true);
  int index = FindDeviceClass(Utf8ToWide(deviceName));
  if (index >= 0) {
    applet.device = CreateDeviceOfClass(DeviceClasses().at(static_cast<size_t>(index)), window_, &applet);
  }
}

DeviceWindow::~DeviceWindow() {
  TDevice* device = applet.device;
  applet.device = nullptr;
  if (device) device->Free();
  platform_->DestroyWindow(window_);
  platform_->Free();
}

std::vector<uint32_t> DeviceWindow::Frame() {
  std::vector<uint32_t> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  TDevice* d = device();
  if (!d) return pixels;
  if (d->framePending()) d->Present();
  d->Render();
  if (window_->kind == TWindowKind::Layered) {
    const auto* bits = static_cast<const uint32_t*>(window_->layeredBits);
    for (int32_t y = 0; bits && y < height_; ++y) {
      std::memcpy(pixels.data() + static_cast<size_t>(y) * width_,
                  bits + static_cast<size_t>(height_ - 1 - y) * width_, static_cast<size_t>(width_) * 4);
    }
    d->Present();
    return pixels;
  }
  d->Present();
  auto shown = win32_test::LastFrame(window_->handle);
  if (shown && shown->width == width_ && shown->height == height_) pixels = shown->pixels;
  return pixels;
}

TPixmap* DeviceWindow::MakePixmap(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  TPixmap* pixmap = device()->CreatePixmap(width, height);
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (!pixmap || !device()->LockPixmapRectARGB(pixmap, {0, 0, width, height}, false, bits, pitch)) return pixmap;
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(reinterpret_cast<uint8_t*>(bits) + static_cast<size_t>(y) * pitch,
                pixels.data() + static_cast<size_t>(y) * width, static_cast<size_t>(width) * 4);
  }
  device()->UnlockPixmap(pixmap);
  return pixmap;
}

std::vector<uint32_t> RgbOf(const std::vector<uint32_t>& frame) {
  std::vector<uint32_t> out(frame.size());
  std::transform(frame.begin(), frame.end(), out.begin(), [](uint32_t c) { return c & 0xFFFFFF; });
  return out;
}

int LargestChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int largest = a.size() == b.size() ? 0 : 256;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      int x = static_cast<int>((a[i] >> shift) & 0xFF), y = static_cast<int>((b[i] >> shift) & 0xFF);
      largest = std::max(largest, std::abs(x - y));
    }
  }
  return largest;
}
