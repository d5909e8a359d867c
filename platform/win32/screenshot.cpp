// The rendered frame of a window as a PNG file.
#include "platform/win32/platform_win32.h"
#include "platform/filters/png_codec.h"

void TPlatformWin32::MakePng(TWindow* window, const AnsiString& fileName) {
  if (!window || !window->applet) return;
  const int32_t width = window->appliedWidth, height = window->appliedHeight;
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return;
  // The buffer is exactly the applied size, and the device is told that size,
  // so neither it nor the encoder can go past the end.
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (!window->applet->DeviceRenderToARGB(pixels.data(), width, height)) return;
  std::vector<uint8_t> png;
  if (!EncodePng(width, height, pixels, png)) return;
  window->applet->WriteResource(fileName, png);
}
