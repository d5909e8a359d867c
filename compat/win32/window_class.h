#pragma once
// Window classes: a named record of the window procedure, icon and cursor that
// windows created under the name share.
#include "compat/win32/win_types.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Class styles.
constexpr UINT CS_OWNDC = 0x0020;

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  const char* lpszMenuName = nullptr;
  const char* lpszClassName = nullptr;
};

// Registers a class; 0 (last error ERROR_CLASS_ALREADY_EXISTS) when a class of
// that name, compared ignoring case, is registered already.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
BOOL GetClassInfoA(HINSTANCE instance, const char* className, WNDCLASSA* windowClass);

// The class record a window was created from, changed through the window.
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
// Sets one field of the window's class; answers the previous value.
LONG_PTR SetClassLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetClassLongPtrA(HWND window, int index);
