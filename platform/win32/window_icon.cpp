// The window's icon from a pixmap file.
#include <cstring>

#include "compat/win32/gdi.h"
#include "compat/win32/icon.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/window_class.h"
#include "compat/win32/window_messages.h"
#include "platform/win32/platform_win32.h"

namespace {
bool LoadIconPixmap(TWindow* window, const AnsiString& name, TArgbImage& image) {
  if (!window->applet) return false;
  if (window->applet->LoadPixmapARGB(name, image)) return true;
  image = TArgbImage{};
  return window->applet->LoadBuiltInPixmapARGB("defaulticon.pixmap", image);
}

// A top-down 32-bit colour bitmap of the pixmap's ARGB rows.
HBITMAP ColourBitmap(const TArgbImage& image) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
  return bitmap;
}
}  // namespace

void TPlatformWin32::SetIcon(TWindow* window, const AnsiString& pixmapFile) {
  if (!window) return;
  TArgbImage image;
  if (!LoadIconPixmap(window, pixmapFile, image)) return;
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
    return;
  }
  HBITMAP colour = ColourBitmap(image);
  // The icon's transparency comes from the colour bitmap's alpha; the mask is
  // only there because an icon needs one.
  HBITMAP mask = CreateBitmap(image.width, image.height, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  if (!icon) return;
  if (window->handle) {
    SendMessageA(window->handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetClassLongPtrA(window->handle, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  }
  if (window->icon) DestroyIcon(window->icon);
  window->icon = icon;
}
