#include "compat/win32/icon.h"

#include "compat/win32/internal/gdi_data.h"
#include "compat/win32/internal/icon_data.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/last_error.h"

namespace {
constexpr DWORD kResourceNotFound = 1814;

HCURSOR arrowCursor = nullptr;
HCURSOR currentCursor = nullptr;
int showCount = 0;
}  // namespace

CursorObject::~CursorObject() {
  if (cursor && VideoStarted()) SDL_FreeCursor(cursor);
}

HICON CreateIconIndirect(const ICONINFO* info) {
  auto color = info ? Lookup<BitmapObject>(info->hbmColor) : nullptr;
  auto mask = info ? Lookup<BitmapObject>(info->hbmMask) : nullptr;
  if (!color || !mask || color->bitsPerPixel != 32 || mask->width != color->width || mask->height != color->height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto icon = std::make_shared<IconObject>();
  icon->width = color->width;
  icon->height = color->height;
  icon->pixels.reserve(static_cast<size_t>(icon->width) * icon->height);
  for (int y = 0; y < icon->height; ++y) {
    for (int x = 0; x < icon->width; ++x) icon->pixels.push_back(color->argbAt(x, y));
  }
  return reinterpret_cast<HICON>(AddHandle(icon));
}

BOOL DestroyIcon(HICON icon) {
  auto object = Lookup<IconObject>(icon);
  if (!object) return FALSE;
  RemoveHandle(object->id);
  return TRUE;
}

HICON LoadIconA(HINSTANCE, const char*) {
  SetLastError(kResourceNotFound);
  return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE instance, const char* name) {
  if (instance || name != IDC_ARROW) {
    SetLastError(kResourceNotFound);
    return nullptr;
  }
  if (!Lookup<CursorObject>(arrowCursor)) {
    auto cursor = std::make_shared<CursorObject>();
    if (EnsureVideo()) cursor->cursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    arrowCursor = reinterpret_cast<HCURSOR>(AddHandle(cursor));
  }
  return arrowCursor;
}

namespace {
// Set when a caller took the cursor away with SetCursor(nullptr); before any
// SetCursor the system's own pointer is the cursor.
bool cursorTakenAway = false;

// The pointer shows while the show count is not negative and the cursor was
// not taken away.
void ApplyCursorVisibility() {
  if (VideoStarted()) SDL_ShowCursor(showCount >= 0 && !cursorTakenAway ? SDL_ENABLE : SDL_DISABLE);
}
}  // namespace

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous = currentCursor;
  currentCursor = cursor;
  cursorTakenAway = cursor == nullptr;
  auto object = Lookup<CursorObject>(cursor);
  if (object && object->cursor) SDL_SetCursor(object->cursor);
  ApplyCursorVisibility();
  return previous;
}

int ShowCursor(BOOL show) {
  showCount += show ? 1 : -1;
  ApplyCursorVisibility();
  return showCount;
}

void ShowIconOnWindow(const WindowState& window, HICON icon) {
  auto object = Lookup<IconObject>(icon);
  if (!object || !window.sdl) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(object->pixels.data()), object->width, object->height, 32, object->width * 4,
      SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_SetWindowIcon(window.sdl, surface);
  SDL_FreeSurface(surface);
}
