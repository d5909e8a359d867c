#include "bench/bench_host.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdlib>

#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
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

void BenchHost::drawQuads(TDevice& device, int count, TRenderState filter) {
  device.SetColor(0xFFFFFFFF);
  device.SetPixmap(0, sprite_);
  device.SetRenderState(filter);
  device.SetRenderState(rsTextureModulate);
  for (int i = 0; i < count; ++i) {
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

void PlainQuads::add(float x, float y, float w, float h, float u0, float v0, float u1, float v1) {
  vertices_.push_back({x, y, 0, {255, 255, 255, 255}, u0, v0});
  vertices_.push_back({x + w, y, 0, {255, 255, 255, 255}, u1, v0});
  vertices_.push_back({x + w, y + h, 0, {255, 255, 255, 255}, u1, v1});
  vertices_.push_back({x, y + h, 0, {255, 255, 255, 255}, u0, v1});
}

void PlainQuads::addSprites(int count) {
  vertices_.reserve(vertices_.size() + static_cast<size_t>(count) * 4);
  for (int i = 0; i < count; ++i) {
    float x, y;
    BenchQuadPlace(i, x, y);
    constexpr auto side = static_cast<float>(kBenchSide);
    add(x, y, side, side, 0, 0, 1, 1);
  }
}

void PlainQuads::frame() {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glActiveTexture(GL_TEXTURE0);
  glClientActiveTexture(GL_TEXTURE0);
  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, kBenchWidth, kBenchHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, kBenchWidth, kBenchHeight);
  glClearColor(0.125f, 0.125f, 0.125f, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  const GLint filter = linear_ ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices_[0].x);
  glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), vertices_[0].colour);
  glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertices_[0].u);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices_.size()));
  glFinish();
  SwapBuffers(wglGetCurrentDC());
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
