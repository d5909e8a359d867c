#pragma once
// Bitmaps and drawing contexts.
#include <cstdint>
#include <memory>
#include <vector>

#include "compat/win32/internal/handles.h"
#include "compat/win32/win_types.h"

struct BitmapObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Bitmap;
  BitmapObject() : HandleObject(kKind) {}
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
  // Rows bottom-up, as a device-independent bitmap with a positive height.
  bool bottomUp = false;
  int stride = 0;
  std::vector<uint8_t> bytes;
  HDC selectedInto = nullptr;
  bool deletePending = false;

  // The pixel at (x, y) counted from the top, as an ARGB word (1-bit pixels
  // give opaque black or white).
  uint32_t argbAt(int x, int y) const;
};

struct ContextObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::DeviceContext;
  ContextObject() : HandleObject(kKind) {}
  // The window of a window's own context; null for a memory context.
  HWND window = nullptr;
  HBITMAP selected = nullptr;
  // Text state: the selected font, colours (0x00BBGGRR), background mode and
  // alignment.
  HFONT font = nullptr;
  COLORREF textColor = 0;
  COLORREF backColor = 0xFFFFFF;
  int backMode = 2;  // OPAQUE
  UINT textAlign = 0;
};
