#pragma once
// Icons and cursors.
#include <SDL2/SDL.h>

#include <cstdint>
#include <vector>

#include "compat/win32/internal/handles.h"
#include "compat/win32/internal/window_state.h"

struct IconObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Icon;
  IconObject() : HandleObject(kKind) {}
  int width = 0;
  int height = 0;
  // ARGB, rows top-down.
  std::vector<uint32_t> pixels;
};

struct CursorObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Cursor;
  CursorObject() : HandleObject(kKind) {}
  ~CursorObject() override;
  SDL_Cursor* cursor = nullptr;
};

// Gives the icon to the display system as the window's icon.
void ShowIconOnWindow(const WindowState& window, HICON icon);
