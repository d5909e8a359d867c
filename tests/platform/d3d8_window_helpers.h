#pragma once
// A window of the windows layer with a device of a registered class on it
// ("dx8" or "ogl"), for tests that render real frames through either device
// and compare what the window shows.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d8/dx8_device.h"
#include "platform/opengl_window_helpers.h"

class DeviceWindow {
 public:
  DeviceWindow(const std::string& deviceName, int32_t width, int32_t height,
               TWindowKind kind = TWindowKind::Framed);
  ~DeviceWindow();
  DeviceWindow(const DeviceWindow&) = delete;
  DeviceWindow& operator=(const DeviceWindow&) = delete;

  TDevice* device() const { return applet.device; }
  // The Direct3D 8 device, or nil for another class.
  TWin32DX8Device* dx8() const { return dynamic_cast<TWin32DX8Device*>(applet.device); }
  TWindow* window() const { return window_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

  // Renders a frame and answers what the window shows (ARGB words, rows
  // top-down): the frame presented on screen, or a layered window's bitmap.
  std::vector<uint32_t> Frame();
  uint32_t At(const std::vector<uint32_t>& frame, int x, int y) const {
    return frame.at(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x));
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

// A static indexed mesh of the vertices and indices.
template <typename Vertex>
TMesh* MakeStaticMesh(TDevice* d, TVertexFormat format, const std::vector<Vertex>& vertices,
                      const std::vector<uint16_t>& indices) {
  auto count = static_cast<int32_t>(vertices.size()), indexCount = static_cast<int32_t>(indices.size());
  TMesh* mesh = d->CreateMesh(format, count, true, indexCount, false, false, 1);
  void* memory = nullptr;
  uint16_t* out = nullptr;
  if (!mesh || !d->LockMeshVertex(mesh, count, memory)) return mesh;
  std::memcpy(memory, vertices.data(), vertices.size() * sizeof(Vertex));
  d->UnlockMeshVertex(mesh);
  if (d->LockMeshIndex(mesh, indexCount, out)) {
    std::copy(indices.begin(), indices.end(), out);
    d->UnlockMeshIndex(mesh);
  }
  return mesh;
}

// Colour channels of the frame without alpha (a window's back buffer keeps
// no alpha worth comparing).
std::vector<uint32_t> RgbOf(const std::vector<uint32_t>& frame);
// The largest difference of one channel between two frames of one size.
int LargestChannelDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
