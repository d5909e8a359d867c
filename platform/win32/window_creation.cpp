// Making, replacing and destroying the system windows of window records.
#include "compat/win32/gdi.h"
#include "compat/win32/icon.h"
#include "compat/win32/module_exports.h"
#include "compat/win32/mouse.h"
#include "compat/win32/paint.h"
#include "compat/win32/window.h"
#include "core/system/log.h"
#include "platform/win32/platform_win32.h"
#include "platform/win32/system_entry_points.h"
#include "platform/win32/window_lookup.h"
#include "platform/win32/window_procedure.h"

namespace {
constexpr DWORD kFramedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kLayeredExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW;
}  // namespace

TWindow* TPlatformWin32::CreateWindow(TWindowOwner* applet, const AnsiString& className, const WideString& title,
                                      TWindowKind kind, int32_t width, int32_t height, int32_t left, int32_t top) {
  auto* window = new TWindow();
  window->Create(dynamic_cast<TObject*>(applet));
  windowClassName = className;
  windowTitle = WideToUtf8(title);
  window->width = width;
  window->height = height;
  window->left = left;
  window->top = top;
  window->applet = applet;
  window->kind = kind;
  window->title = title;
  window->platform = this;
  CreateSystemWindow(window);
  ResizeWindow(window, -1, -1);
  return window;
}

void TPlatformWin32::RegisterWindowClass() {
  windowClass = WNDCLASSA{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = &PlatformWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(windowClass.hInstance, "ENGINE");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = windowClassName.c_str();
  if (!RegisterClassA(&windowClass)) {
    LogInfo(u"Class " + Utf8ToWide(windowClassName) + u" already registered.");
  }
}

HWND TPlatformWin32::MakeSystemWindow(TWindow* window) {
  HWND desktop = GetDesktopWindow();
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* name = windowClassName.c_str();
  const char* title = windowTitle.c_str();
  int width = window->width, height = window->height;
  switch (window->kind) {
    case TWindowKind::Framed: {
      HWND handle = CreateWindowExA(0, name, title, kFramedStyle, window->left, window->top, width, height,
                                    desktop, nullptr, instance, nullptr);
      RECT outer, client;
      if (handle && GetWindowRect(handle, &outer) && GetClientRect(handle, &client)) {
        frameExtraWidth = (outer.right - outer.left) - (client.right - client.left);
        frameExtraHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
      }
      return handle;
    }
    case TWindowKind::Popup:
      frameExtraWidth = frameExtraHeight = 0;
      return CreateWindowExA(0, name, title, WS_POPUP, window->left, window->top, width, height, desktop, nullptr,
                             instance, nullptr);
    case TWindowKind::Layered:
      frameExtraWidth = frameExtraHeight = 0;
      return CreateWindowExA(kLayeredExStyle, name, title, WS_POPUP, window->left, window->top, width, height,
                             desktop, nullptr, instance, nullptr);
  }
  return nullptr;
}

void TPlatformWin32::CreateSystemWindow(TWindow* window) {
  RegisterWindowClass();
  if (window->kind == TWindowKind::Layered && !UpdateLayeredWindowEntry()) {
    LogError(u"Not supported layered window.");
    window->handle = nullptr;
    return;
  }
  window->handle = MakeSystemWindow(window);
  if (window->handle) {
    AttachWindowRecord(window->handle, window);
  } else {
    LogError(u"Can't create window");
  }
}

void TPlatformWin32::DestroyWindow(TWindow* window) {
  if (!window) return;
  if (window->handle) {
    ReleaseCapture();
    if (window->kind == TWindowKind::Layered) window->FreeLayeredBitmap();
    if (::DestroyWindow(window->handle)) {
      LogInfo(u"Window was destroyed");
    } else {
      LogLastOSError();
    }
    window->handle = nullptr;
  }
  // A record whose system window could never be made is freed all the same.
  window->Free();
}

void TPlatformWin32::RecreateWnd(TWindow* window) {
  if (!window) return;
  HWND old = window->handle;
  CreateSystemWindow(window);
  ShowWindow(window);
  if (old) ::DestroyWindow(old);
  if (window->applet && window->applet->HasDevice()) window->applet->RecreateDevice();
}

void TPlatformWin32::ShowWindow(TWindow* window) {
  if (!window || !window->handle) return;
  RedrawWindow(window->handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  ::ShowWindow(window->handle, SW_SHOWDEFAULT);
}

bool TPlatformWin32::WindowVisible(TWindow* window) {
  return window && window->handle && IsWindowVisible(window->handle);
}

void TPlatformWin32::ReposWindow(TWindow* window, int32_t x, int32_t y) {
  if (!window || !window->handle) return;
  SetWindowPos(window->handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TPlatformWin32::UpdateWindowState(TWindow* window) {
  if (!window || !window->handle) return;
  constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE;
  if (window->place == TWindowStacking::Topmost) SetWindowPos(window->handle, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
  if (window->place == TWindowStacking::Bottom) SetWindowPos(window->handle, HWND_BOTTOM, 0, 0, 0, 0, kKeepPlace);
  SetWindowTextW(window->handle, window->title.c_str());
}
