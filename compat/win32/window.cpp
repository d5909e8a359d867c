#include "compat/win32/window.h"

#include <SDL2/SDL_shape.h>

#include <algorithm>

#include "compat/win32/gdi.h"
#include "compat/win32/internal/activation_state.h"
#include "compat/win32/internal/class_record.h"
#include "compat/win32/internal/frame.h"
#include "compat/win32/internal/placement.h"
#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/mouse.h"
#include "compat/win32/window_messages.h"
#include "core/text/text.h"

namespace {
bool IsFramed(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

// Popup and layered windows can be shaped (by a region or by alpha); the
// display system needs to know that when it makes the window.
bool WantsShape(DWORD style, DWORD exStyle) { return !IsFramed(style) || (exStyle & WS_EX_LAYERED); }

Uint32 SdlFlags(DWORD style, DWORD exStyle) {
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL;
  if (!IsFramed(style)) flags |= SDL_WINDOW_BORDERLESS;
  if (exStyle & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_SKIP_TASKBAR;
  if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  return flags;
}

bool MakeDisplayWindow(WindowState& state, const char* title) {
  const char* text = title ? title : "";
  int width = std::max(1, state.clientWidth), height = std::max(1, state.clientHeight);
  Uint32 flags = SdlFlags(state.style, state.exStyle);
  if (WantsShape(state.style, state.exStyle) && DriverCanShape()) {
    state.sdl = SDL_CreateShapedWindow(text, 0, 0, width, height, flags);
    state.shapedBySdl = state.sdl != nullptr;
  }
  if (!state.sdl) state.sdl = SDL_CreateWindow(text, state.clientX(), state.clientY(), width, height, flags);
  if (!state.sdl) return false;
  // A shaped window is made off-screen; put it where it was asked for.
  SDL_SetWindowPosition(state.sdl, state.clientX(), state.clientY());
  state.sdlId = SDL_GetWindowID(state.sdl);
  return true;
}

std::shared_ptr<WindowState> NewWindowState(DWORD exStyle, const std::shared_ptr<ClassRecord>& windowClass,
                                            DWORD style, int x, int y, int width, int height) {
  auto state = std::make_shared<WindowState>();
  state->windowClass = windowClass;
  state->style = style & ~WS_VISIBLE;
  state->exStyle = exStyle;
  state->topmost = (exStyle & WS_EX_TOPMOST) != 0;
  state->x = x;
  state->y = y;
  if (IsFramed(style)) state->insets = FramedWindowInsets(nullptr);
  state->clientWidth = std::max(0, width - state->insets.left - state->insets.right);
  state->clientHeight = std::max(0, height - state->insets.top - state->insets.bottom);
  return state;
}

// WM_NCCREATE and WM_CREATE; false when the procedure refuses the window.
bool SendCreationMessages(const std::shared_ptr<WindowState>& state, const char* className, const char* title,
                          HWND parent, HINSTANCE instance, void* param) {
  CREATESTRUCTA create;
  create.lpCreateParams = param;
  create.hInstance = instance;
  create.hwndParent = parent;
  create.cx = state->outerWidth();
  create.cy = state->outerHeight();
  create.x = state->x;
  create.y = state->y;
  create.style = static_cast<LONG>(state->style);
  create.lpszName = title;
  create.lpszClass = className;
  create.dwExStyle = state->exStyle;
  LPARAM pointer = reinterpret_cast<LPARAM>(&create);
  if (!CallWindowProcedure(state, WM_NCCREATE, 0, pointer)) return false;
  return CallWindowProcedure(state, WM_CREATE, 0, pointer) != -1;
}
}  // namespace

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, void*, HINSTANCE instance, void* param) {
  auto windowClass = FindClassRecord(className);
  if (!windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (!EnsureVideo()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto state = NewWindowState(exStyle, windowClass, style, x, y, width, height);
  if (!MakeDisplayWindow(*state, title)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  AddHandle(state);
  RememberWindow(state);
  HWND handle = state->handle();
  if (!SendCreationMessages(state, className, title, parent, instance, param)) {
    DestroyWindow(handle);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  CallWindowProcedure(state, WM_SIZE, SIZE_RESTORED, MAKELPARAM(state->clientWidth, state->clientHeight));
  CallWindowProcedure(state, WM_MOVE, 0, MAKELPARAM(state->clientX(), state->clientY()));
  if ((style & WS_VISIBLE) && IsWindow(handle)) ShowWindow(handle, SW_SHOW);
  return IsWindow(handle) ? handle : nullptr;
}

namespace {
void ReleaseWindowResources(WindowState& state) {
  if (state.region) DeleteObject(state.region);
  state.region = nullptr;
  if (state.ownDC) RemoveHandle(reinterpret_cast<uintptr_t>(state.ownDC));
  state.ownDC = nullptr;
  state.properties.clear();
  if (state.sdl) SDL_DestroyWindow(state.sdl);
  state.sdl = nullptr;
}
}  // namespace

BOOL DestroyWindow(HWND window) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (state->destroying) return TRUE;
  // From here on a second DestroyWindow (from a procedure hearing of this one)
  // does nothing.
  state->destroying = true;
  if (GetCapture() == window) ReleaseCapture();
  if (state->visible) {
    PlaceWindow(state, nullptr, 0, 0, 0, 0,
                SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  DeactivateWindow(window);
  CallWindowProcedure(state, WM_DESTROY, 0, 0);
  CallWindowProcedure(state, WM_NCDESTROY, 0, 0);
  state->destroyed = true;
  RemoveQueuedMessages(window);
  ReleaseWindowResources(*state);
  RemoveHandle(state->id);
  return TRUE;
}

BOOL IsWindow(HWND window) { return FindWindowState(window) != nullptr; }

HWND GetDesktopWindow() {
  // A fixed value below the range of real handles: it names the screen.
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x8000));
}

BOOL ShowWindow(HWND window, int command) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  BOOL wasVisible = state->visible ? TRUE : FALSE;
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
  if (command == SW_HIDE) {
    if (!wasVisible) return FALSE;
    CallWindowProcedure(state, WM_SHOWWINDOW, FALSE, 0);
    PlaceWindow(state, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW | SWP_NOACTIVATE);
    return wasVisible;
  }
  if (command == SW_SHOWNA || command == SW_SHOWNOACTIVATE) flags |= SWP_NOACTIVATE;
  if (!wasVisible) {
    CallWindowProcedure(state, WM_SHOWWINDOW, TRUE, 0);
    PlaceWindow(state, nullptr, 0, 0, 0, 0, flags | SWP_SHOWWINDOW);
  } else if (!(flags & SWP_NOACTIVATE)) {
    ActivateWindow(window, false);
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
  auto state = FindWindowState(window);
  return state && state->visible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return PlaceWindow(state, insertAfter, x, y, width, height, flags);
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
  return SetWindowPos(window, nullptr, x, y, width, height, flags);
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  auto state = FindWindowState(window);
  if (!state || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = RECT{state->x, state->y, state->x + state->outerWidth(), state->y + state->outerHeight()};
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  auto state = FindWindowState(window);
  if (!state || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = RECT{0, 0, state->clientWidth, state->clientHeight};
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  auto state = FindWindowState(window);
  if (!state || !point) return FALSE;
  point->x -= state->clientX();
  point->y -= state->clientY();
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  auto state = FindWindowState(window);
  if (!state || !point) return FALSE;
  point->x += state->clientX();
  point->y += state->clientY();
  return TRUE;
}

BOOL SetWindowTextW(HWND window, const char16_t* text) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->title = text ? std::u16string(text) : std::u16string();
  SDL_SetWindowTitle(state->sdl, WideToUtf8(state->title).c_str());
  return TRUE;
}

int GetWindowTextW(HWND window, char16_t* buffer, int capacity) {
  auto state = FindWindowState(window);
  if (!state || !buffer || capacity <= 0) return 0;
  int n = std::min(static_cast<int>(state->title.size()), capacity - 1);
  std::copy_n(state->title.begin(), n, buffer);
  buffer[n] = 0;
  return n;
}

LONG GetWindowLongA(HWND window, int index) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (index == GWL_STYLE) return static_cast<LONG>(state->style | (state->visible ? WS_VISIBLE : 0));
  if (index == GWL_EXSTYLE) return static_cast<LONG>(state->exStyle);
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

int GetSystemMetrics(int index) {
  if (!EnsureVideo()) return 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
  if (index == SM_CXSCREEN) return mode.w;
  if (index == SM_CYSCREEN) return mode.h;
  return 0;
}
