#include "bench/bench_host.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdlib>

#include "platform/device.h"
#include "platform/device_registry.h"
#include "platform/fonts/fonts_registration.h"
#include "platform/win32/platform_win32.h"

namespace {
// Opaque and half-transparent texels in a checkerboard, coloured by place.
std::vector<uint32_t> SpritePixels() {
  std::vector<uint32_t> pixels(kBenchSide * kBenchSide);
  for (int y = 0; y < kBenchSide; ++y) {
    for (int x = 0; x < kBenchSide; ++x) {
      uint32_t alpha = (x + y) % 2 ? 0xFF : 0x80;
      pixels[y * kBenchSide + x] =
          (alpha << 24) | (static_cast<uint32_t>(x * 8) << 16) | (static_cast<uint32_t>(y * 8) << 8);
    }
  }
  return pixels;
}
}  // namespace

void BenchQuadPlace(int i, float& x, float& y) {
  x = static_cast<float>((i * 37) % (kBenchWidth - kBenchSide));
  y = static_cast<float>((i * 53) % (kBenchHeight - kBenchSide));
}

BenchHost::BenchHost(const char* deviceName) {
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  RegisterPlatformDevices();
  RegisterWin32Platform();
  RegisterFonts();
  platform_ = New<TPlatformWin32>();
  window_ = platform_->CreateWindow(this, "BenchWnd", W("bench"), TWindowKind::Framed, kBenchWidth, kBenchHeight, 0, 0);
  const auto index = static_cast<size_t>(FindDeviceClass(AnsiToWide(deviceName)));
  device_ = CreateDeviceOfClass(DeviceClasses().at(index), window_, this);
  sprite_ = device_->CreatePixmap(kBenchSide, kBenchSide);
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  const std::vector<uint32_t> pixels = SpritePixels();
  if (device_->LockPixmapRectARGB(sprite_, {0, 0, kBenchSide, kBenchSide}, false, bits, pitch)) {
    std::copy(pixels.begin(), pixels.end(), bits);
    device_->UnlockPixmap(sprite_);
  }
}

BenchHost::~BenchHost() {
  device_->Free();
  platform_->DestroyWindow(window_);
  platform_->Free();
}

void BenchHost::drawScene(TDevice* device) {
  device->SetRenderState(rs2D);
  device->SetRenderState(rsBlendAlpha);
  if (scene) {
    scene(*device);
  } else {
    drawQuads(*device);
  }
}

void BenchHost::drawQuads(TDevice& device) {
  device.SetColor(0xFFFFFFFF);
  device.SetPixmap(0, sprite_);
  device.SetRenderState(rsFilterNearest);
  device.SetRenderState(rsTextureModulate);
  for (int i = 0; i < kBenchQuads; ++i) {
    float x, y;
    BenchQuadPlace(i, x, y);
    device.DrawPixmapAt(sprite_, x, y);
  }
}

void BenchHost::frame() {
  device_->Render();
  glFinish();
  device_->Present();
}
