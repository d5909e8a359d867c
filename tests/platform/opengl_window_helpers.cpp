#include "platform/opengl_window_helpers.h"

#include <epoxy/gl.h>

#include <cstring>

#include "platform/device_registry.h"

void GLTestApplet::RecreateDevice() {
  if (!device) return;
  device = TDevice::RecreateDevice(device, DeviceClasses().at(static_cast<size_t>(FindDeviceClass(W("ogl")))));
}

GLWindow::GLWindow(int32_t width, int32_t height, TWindowKind kind) : width_(width), height_(height) {
  RegisterPlatformDevices();
  RegisterWin32Platform();  // resolves the entry points layered windows need
  platform_ = New<TPlatformWin32>();
  window_ = platform_->CreateWindow(&applet, "GLTestWnd", W("GL test"), kind, width, height, 0, 0);
  int index = FindDeviceClass(W("ogl"));
  applet.device = CreateDeviceOfClass(DeviceClasses().at(static_cast<size_t>(index)), window_, &applet);
}

GLWindow::~GLWindow() {
  TDevice* device = applet.device;
  applet.device = nullptr;
  if (device) device->Free();
  platform_->DestroyWindow(window_);
  platform_->Free();
}

std::vector<uint32_t> GLWindow::Frame() {
  std::vector<uint32_t> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_));
  TOGLDevice* gl = device();
  if (gl->framePending()) gl->Present();
  gl->Render();
  if (window_->kind == TWindowKind::Layered) {
    const auto* bits = static_cast<const uint32_t*>(window_->layeredBits);
    for (int32_t y = 0; y < height_; ++y) {
      std::memcpy(pixels.data() + static_cast<size_t>(y) * width_,
                  bits + static_cast<size_t>(height_ - 1 - y) * width_, static_cast<size_t>(width_) * 4);
    }
  } else {
    std::vector<uint32_t> rows(pixels.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    for (int32_t y = 0; y < height_; ++y) {
      std::memcpy(pixels.data() + static_cast<size_t>(y) * width_,
                  rows.data() + static_cast<size_t>(height_ - 1 - y) * width_, static_cast<size_t>(width_) * 4);
    }
  }
  gl->Present();
  return pixels;
}

TPixmap* GLWindow::MakePixmap(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
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
