#pragma once
// Top-level windows: creation in the three kinds the system uses (framed,
// popup, layered), placement, visibility and title.
//
// A window's rectangle is its outer rectangle in screen coordinates; the client
// area sits inside it by the frame's insets (nothing for popup and layered
// windows, the window manager's decoration for framed ones). Changes of place
// or size are reported to the window procedure before the call that made them
// returns (WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, then WM_MOVE and WM_SIZE
// from the default handling), as the system guarantees.
#include "compat/win32/win_types.h"
#include "compat/win32/window_class.h"

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
// Extended styles.
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_LAYERED = 0x00080000;

// The record WM_NCCREATE and WM_CREATE point to (lParam).
struct CREATESTRUCTA {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  void* hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

// Creates a window of a registered class. The procedure receives WM_NCCREATE,
// WM_CREATE, WM_SIZE and WM_MOVE before this returns; a window created with
// WS_VISIBLE is then shown. Null (with a last error) when the class is unknown,
// the system cannot make the window, or WM_NCCREATE / WM_CREATE refuse it.
// `title` is UTF-8; x, y, width and height are the outer rectangle.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param);
// Sends WM_DESTROY and WM_NCDESTROY, releases capture and activation, removes
// the window's properties and queued messages. FALSE for an invalid handle.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// The parent of every top-level window; not a window that can be drawn into.
HWND GetDesktopWindow();

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;
constexpr int SW_SHOWDEFAULT = 10;
// Answers whether the window was visible before the call.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
// Stacking places for SetWindowPos's insert-after argument.
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Outer rectangle in screen coordinates.
BOOL GetWindowRect(HWND window, RECT* rect);
// Client rectangle: 0, 0, client width, client height.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL ClientToScreen(HWND window, POINT* point);

// The title, as UTF-16 text.
BOOL SetWindowTextW(HWND window, const char16_t* text);
int GetWindowTextW(HWND window, char16_t* buffer, int capacity);

// Window-style queries.
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_STYLE = -16;
LONG GetWindowLongA(HWND window, int index);

// Screen metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
int GetSystemMetrics(int index);
