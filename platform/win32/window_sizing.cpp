// Putting a window's size into effect, by kind, and drawing it.
#include <cmath>

#include "compat/win32/gdi.h"
#include "compat/win32/layered_window.h"
#include "compat/win32/region.h"
#include "compat/win32/window.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/skin_region.h"
#include "platform/win32/system_entry_points.h"

namespace {
void SetApplied(TWindow* window) {
  window->appliedWidth = window->width;
  window->appliedHeight = window->height;
  window->clientRect = TRectF{0, 0, static_cast<float>(window->width - 1), static_cast<float>(window->height - 1)};
}

bool RequestedDiffersFromApplied(const TWindow* window) {
  return window->width != window->appliedWidth || window->height != window->appliedHeight;
}

// The skin as a 32-bit copy, loaded through the applet when first needed (and
// again when the applet names another skin).
const TArgbImage* Skin(TWindow* window) {
  if (!window->skinLoaded || window->skinName != window->maskFile) {
    window->skinLoaded = true;
    window->skinName = window->maskFile;
    window->skin = TArgbImage{};
    if (window->applet && !window->maskFile.empty() && window->applet->LoadPixmapARGB(window->maskFile, window->skin)) {
      KeyTransparentPixels(window->skin);
    } else {
      window->skin = TArgbImage{};
    }
  }
  return window->skin.width > 0 && window->skin.height > 0 ? &window->skin : nullptr;
}

TSkinMargins MarginsOf(const TWindow* window) {
  return TSkinMargins{static_cast<int32_t>(std::trunc(window->maskLeft)),
                      static_cast<int32_t>(std::trunc(window->maskTop)),
                      static_cast<int32_t>(std::trunc(window->maskRight)),
                      static_cast<int32_t>(std::trunc(window->maskBottom))};
}

// The frame the system puts around the window's client area now.
SIZE FrameOf(HWND handle) {
  RECT outer, client;
  if (!GetWindowRect(handle, &outer) || !GetClientRect(handle, &client)) return SIZE{};
  return SIZE{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}
}  // namespace

void TPlatformWin32::ResizeWindow(TWindow* window, int32_t width, int32_t height) {
  if (!window) return;
  if (width > 0) {
    if (window->kind != TWindowKind::Layered && window->handle) {
      AskSystemForSize(window, width, height);
      return;
    }
    window->width = width;
    window->height = height;
  }
  switch (window->kind) {
    case TWindowKind::Framed:
      SetApplied(window);
      break;
    case TWindowKind::Popup:
      ApplyPopupSize(window);
      break;
    case TWindowKind::Layered:
      ApplyLayeredSize(window);
      break;
  }
  if (window->applet) {
    window->applet->WindowResized();
    if (window->applet->HasDevice()) window->applet->DeviceResize();
  }
}

// The system resizes the window and reports the new size to the window
// procedure, which applies it with ResizeWindow(window, -1, -1).
void TPlatformWin32::AskSystemForSize(TWindow* window, int32_t width, int32_t height) {
  // The window's own frame: with several applets the last framed window made
  // need not be this one.
  SIZE frame = FrameOf(window->handle);
  SetWindowPos(window->handle, nullptr, 0, 0, width + frame.cx, height + frame.cy,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER);
}

void TPlatformWin32::ApplyPopupSize(TWindow* window) {
  if (!RequestedDiffersFromApplied(window)) return;
  SetApplied(window);
  const TArgbImage* skin = Skin(window);
  if (!skin) return;
  HRGN region = MakeRegion(SkinRegionRects(*skin, MarginsOf(window), window->appliedWidth, window->appliedHeight));
  if (!window->handle || !SetWindowRgn(window->handle, region, TRUE)) DeleteObject(region);
}

void TPlatformWin32::ApplyLayeredSize(TWindow* window) {
  if (!RequestedDiffersFromApplied(window) && window->layeredBitmap) return;
  SetApplied(window);
  window->FreeLayeredBitmap();
  window->layeredDC = CreateCompatibleDC(nullptr);
  BITMAPINFO info;
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = window->width;
  info.bmiHeader.biHeight = window->height;  // rows bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  window->layeredBitmap = CreateDIBSection(window->layeredDC, &info, DIB_RGB_COLORS, &window->layeredBits, nullptr, 0);
  if (!window->layeredBitmap) {
    // A size the system cannot hold: the device gets no bits to render into.
    LogLastOSError();
    return;
  }
  SelectObject(window->layeredDC, window->layeredBitmap);
}

void TPlatformWin32::UpdateWindow(TWindow* window, float width, float height) {
  if (!window) return;
  bool drawable = window->applet && window->applet->HasDevice();
  if (window->kind != TWindowKind::Layered) {
    if (drawable) window->applet->DeviceRender();
    return;
  }
  auto w = static_cast<int32_t>(std::trunc(width)), h = static_cast<int32_t>(std::trunc(height));
  if (w != window->appliedWidth || h != window->appliedHeight) ResizeWindow(window, w, h);
  if (drawable) window->applet->DeviceRender();
  PutLayeredOnScreen(window);
}

void TPlatformWin32::PutLayeredOnScreen(TWindow* window) {
  UpdateLayeredWindowProc update = UpdateLayeredWindowEntry();
  if (!window->handle || !window->layeredDC || !window->layeredBitmap || !update) return;
  POINT position{window->left, window->top};
  SIZE size{window->appliedWidth, window->appliedHeight};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  update(window->handle, nullptr, &position, &size, window->layeredDC, &origin, 0, &blend, ULW_ALPHA);
}
