#include "compat/win32/gdi.h"

#include <cstring>
#include <limits>

#include "compat/win32/font.h"
#include "compat/win32/internal/font_data.h"
#include "compat/win32/internal/gdi_data.h"
#include "compat/win32/internal/region_data.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"

namespace {
// No bitmap is made bigger than this many bytes: a size from a script or a
// file must not take all of memory.
constexpr size_t kMaxBitmapBytes = size_t{1} << 30;

int StrideOf(int width, int bitsPerPixel) {
  // Rows of 1-bit bitmaps are padded to 16 bits, as the system lays them out.
  if (bitsPerPixel == 1) return ((width + 15) / 16) * 2;
  return width * 4;
}

std::shared_ptr<BitmapObject> NewBitmap(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return nullptr;
  size_t bytes = static_cast<size_t>(StrideOf(width, bitsPerPixel)) * static_cast<size_t>(height);
  if (bytes > kMaxBitmapBytes) return nullptr;
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitsPerPixel = bitsPerPixel;
  bitmap->stride = StrideOf(width, bitsPerPixel);
  bitmap->bytes.assign(bytes, 0);
  return bitmap;
}

void FreeBitmap(BitmapObject& bitmap) { RemoveHandle(bitmap.id); }
}  // namespace

uint32_t BitmapObject::argbAt(int x, int y) const {
  int row = bottomUp ? height - 1 - y : y;
  const uint8_t* line = bytes.data() + static_cast<size_t>(row) * stride;
  if (bitsPerPixel == 1) return (line[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFFFFu : 0xFF000000u;
  uint32_t value;
  std::memcpy(&value, line + static_cast<size_t>(x) * 4, 4);
  return value;
}

HDC GetDC(HWND window) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (!Lookup<ContextObject>(state->ownDC)) {
    auto context = std::make_shared<ContextObject>();
    context->window = window;
    state->ownDC = reinterpret_cast<HDC>(AddHandle(context));
  }
  return state->ownDC;
}

int ReleaseDC(HWND, HDC) { return 1; }

HDC CreateCompatibleDC(HDC) { return reinterpret_cast<HDC>(AddHandle(std::make_shared<ContextObject>())); }

BOOL DeleteDC(HDC dc) {
  auto context = Lookup<ContextObject>(dc);
  if (!context || context->window) return FALSE;
  if (auto bitmap = Lookup<BitmapObject>(context->selected)) {
    bitmap->selectedInto = nullptr;
    if (bitmap->deletePending) FreeBitmap(*bitmap);
  }
  RemoveHandle(context->id);
  return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || info->bmiHeader.biBitCount != 32 ||
      info->bmiHeader.biCompression != BI_RGB || info->bmiHeader.biHeight == std::numeric_limits<LONG>::min()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LONG height = info->bmiHeader.biHeight;
  auto bitmap = NewBitmap(info->bmiHeader.biWidth, height < 0 ? -height : height, 32);
  if (!bitmap) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  bitmap->bottomUp = height > 0;
  if (bits) *bits = bitmap->bytes.data();
  return reinterpret_cast<HBITMAP>(AddHandle(bitmap));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bitmap = NewBitmap(width, height, static_cast<int>(bitsPerPixel));
  if (!bitmap) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (bits) std::memcpy(bitmap->bytes.data(), bits, bitmap->bytes.size());
  return reinterpret_cast<HBITMAP>(AddHandle(bitmap));
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (Lookup<FontObject>(object)) return SelectFont(dc, static_cast<HFONT>(object));
  auto context = Lookup<ContextObject>(dc);
  auto bitmap = Lookup<BitmapObject>(object);
  if (!context || !bitmap || context->window || (bitmap->selectedInto && bitmap->selectedInto != dc)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP previous = context->selected;
  if (auto old = Lookup<BitmapObject>(previous)) {
    old->selectedInto = nullptr;
    if (old->deletePending) FreeBitmap(*old);
  }
  context->selected = reinterpret_cast<HBITMAP>(object);
  bitmap->selectedInto = dc;
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (auto region = Lookup<RegionObject>(object)) {
    RemoveHandle(region->id);
    return TRUE;
  }
  if (auto font = Lookup<FontObject>(object)) {
    // A context still holding it keeps a handle that finds nothing.
    RemoveHandle(font->id);
    return TRUE;
  }
  auto bitmap = Lookup<BitmapObject>(object);
  if (!bitmap) return FALSE;
  if (bitmap->selectedInto) {
    bitmap->deletePending = true;
  } else {
    FreeBitmap(*bitmap);
  }
  return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
  auto bitmap = Lookup<BitmapObject>(object);
  if (!bitmap || !buffer || size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP info;
  info.bmWidth = bitmap->width;
  info.bmHeight = bitmap->height;
  info.bmWidthBytes = bitmap->stride;
  info.bmBitsPixel = static_cast<WORD>(bitmap->bitsPerPixel);
  info.bmBits = bitmap->bytes.data();
  std::memcpy(buffer, &info, sizeof(info));
  return sizeof(BITMAP);
}
