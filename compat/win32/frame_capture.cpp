#include "compat/win32/internal/frame_capture.h"

#include <algorithm>

#include "compat/win32/test_hooks.h"

namespace {
constexpr unsigned kPackAlignment = 0x0D05;
constexpr unsigned kBgra = 0x80E1;
constexpr unsigned kUnsignedByte = 0x1401;

using PixelStore = void (*)(unsigned, int);
using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void*);
}  // namespace

void CaptureBackBuffer(WindowState& window) {
  auto pixelStore = reinterpret_cast<PixelStore>(SDL_GL_GetProcAddress("glPixelStorei"));
  auto readPixels = reinterpret_cast<ReadPixels>(SDL_GL_GetProcAddress("glReadPixels"));
  if (!pixelStore || !readPixels) return;
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window.sdl, &width, &height);
  std::vector<uint32_t> bottomUp(static_cast<size_t>(width) * static_cast<size_t>(height));
  pixelStore(kPackAlignment, 4);
  // BGRA bytes are ARGB words on this little-endian machine.
  readPixels(0, 0, width, height, kBgra, kUnsignedByte, bottomUp.data());
  window.lastFrame.resize(bottomUp.size());
  for (int y = 0; y < height; ++y) {
    std::copy_n(bottomUp.begin() + static_cast<ptrdiff_t>(height - 1 - y) * width, width,
                window.lastFrame.begin() + static_cast<ptrdiff_t>(y) * width);
  }
  window.frameWidth = width;
  window.frameHeight = height;
}

void win32_test::CaptureFrames(HWND handle, bool on) {
  if (auto window = FindWindowState(handle)) window->captureFrames = on;
}

std::optional<win32_test::Image> win32_test::LastFrame(HWND handle) {
  auto window = FindWindowState(handle);
  if (!window || window->lastFrame.empty()) return std::nullopt;
  return Image{window->frameWidth, window->frameHeight, window->lastFrame};
}
