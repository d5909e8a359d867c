#pragma once
// The basic types of the windows layer: integer widths, handles and the small
// records (rectangle, point, size, message) that every other header uses.
//
// Handles are opaque: each kind is a distinct pointer type whose value is a
// number handed out by the layer, never an address, so a stale or foreign
// handle is recognised and refused instead of followed.
#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using ATOM = uint16_t;
using COLORREF = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LONG_PTR = intptr_t;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

#define Q_DECLARE_HANDLE(name) \
  struct name##__;             \
  using name = name##__*;

Q_DECLARE_HANDLE(HWND)
Q_DECLARE_HANDLE(HDC)
Q_DECLARE_HANDLE(HBITMAP)
Q_DECLARE_HANDLE(HRGN)
Q_DECLARE_HANDLE(HICON)
Q_DECLARE_HANDLE(HCURSOR)
Q_DECLARE_HANDLE(HINSTANCE)
Q_DECLARE_HANDLE(HBRUSH)
Q_DECLARE_HANDLE(HGLRC)
Q_DECLARE_HANDLE(HFONT)
#undef Q_DECLARE_HANDLE

// A loaded module (the program or a system library) is named by an instance.
using HMODULE = HINSTANCE;

// Any GDI object (bitmap, region) as SelectObject and DeleteObject take it.
using HGDIOBJ = void*;
using HANDLE = void*;
// An entry point found by name; cast to its real type before the call.
using FARPROC = void (*)();

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
  DWORD lPrivate = 0;
};

constexpr WORD LOWORD(uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
// Signed coordinates packed into a message parameter.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(value))); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(value))); }
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM value) { return static_cast<int16_t>(HIWORD(value)); }
constexpr LPARAM MAKELPARAM(int low, int high) {
  return static_cast<LPARAM>((static_cast<uint32_t>(low) & 0xFFFF) | ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}
constexpr WPARAM MAKEWPARAM(int low, int high) {
  return static_cast<WPARAM>((static_cast<uint32_t>(low) & 0xFFFF) | ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}
