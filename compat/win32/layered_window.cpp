#include "compat/win32/layered_window.h"

#include <algorithm>

#include "compat/win32/internal/gdi_data.h"
#include "compat/win32/internal/placement.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"
#include "compat/win32/window.h"

namespace {
// Copies size.cx x size.cy pixels from the bitmap at `from`; pixels outside
// the bitmap are transparent.
std::vector<uint32_t> CopyPixels(const BitmapObject& bitmap, POINT from, SIZE size) {
  std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy), 0);
  for (int y = 0; y < size.cy; ++y) {
    int sy = from.y + y;
    if (sy < 0 || sy >= bitmap.height) continue;
    for (int x = 0; x < size.cx; ++x) {
      int sx = from.x + x;
      if (sx >= 0 && sx < bitmap.width) pixels[static_cast<size_t>(y) * size.cx + x] = bitmap.argbAt(sx, sy);
    }
  }
  return pixels;
}

// Shows the bitmap in the window as far as the display system can: the
// colours through the window surface, the alpha as the window's shape.
void ShowOnDisplay(WindowState& state) {
  ApplyShapeToDisplay(state);
  if (!state.visible || !state.sdl) return;
  SDL_Surface* surface = SDL_GetWindowSurface(state.sdl);
  if (!surface) return;
  int width = std::min(surface->w, state.layeredWidth), height = std::min(surface->h, state.layeredHeight);
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(state.layeredPixels.data(), state.layeredWidth,
                                                           state.layeredHeight, 32, state.layeredWidth * 4,
                                                           SDL_PIXELFORMAT_ARGB8888);
  if (!source) return;
  SDL_Rect area{0, 0, width, height};
  SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
  SDL_BlitSurface(source, &area, surface, &area);
  SDL_FreeSurface(source);
  SDL_UpdateWindowSurface(state.sdl);
}
}  // namespace

BOOL UpdateLayeredWindow(HWND window, HDC, const POINT* position, const SIZE* size, HDC source,
                         const POINT* sourcePoint, COLORREF, const BLENDFUNCTION*, DWORD) {
  auto state = FindWindowState(window);
  auto context = Lookup<ContextObject>(source);
  auto bitmap = context ? Lookup<BitmapObject>(context->selected) : nullptr;
  if (!state || !state->layered() || !bitmap || bitmap->bitsPerPixel != 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT place = position ? *position : POINT{state->x, state->y};
  SIZE extent = size ? *size : SIZE{state->outerWidth(), state->outerHeight()};
  if (extent.cx < 0 || extent.cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (place.x != state->x || place.y != state->y || extent.cx != state->outerWidth() ||
      extent.cy != state->outerHeight()) {
    PlaceWindow(state, nullptr, place.x, place.y, extent.cx, extent.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (state->destroyed) return FALSE;
  }
  state->layeredPixels = CopyPixels(*bitmap, sourcePoint ? *sourcePoint : POINT{}, extent);
  state->layeredWidth = extent.cx;
  state->layeredHeight = extent.cy;
  ShowOnDisplay(*state);
  return TRUE;
}
