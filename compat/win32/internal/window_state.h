#pragma once
// What the layer keeps for every window.
#include <SDL2/SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "compat/win32/internal/handles.h"
#include "compat/win32/window.h"

struct ClassRecord;

struct WindowState : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Window;
  WindowState() : HandleObject(kKind) {}

  HWND handle() const { return HandleOf<HWND>(*this); }

  SDL_Window* sdl = nullptr;
  uint32_t sdlId = 0;
  std::shared_ptr<ClassRecord> windowClass;
  DWORD style = 0;
  DWORD exStyle = 0;
  bool shapedBySdl = false;

  // Outer rectangle: top-left on the screen; the client area sits inside it by
  // the frame insets.
  int x = 0;
  int y = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  RECT insets;

  bool visible = false;
  bool destroying = false;  // WM_DESTROY is on its way; the window still answers
  bool destroyed = false;
  bool invalid = false;
  bool eraseWanted = false;
  bool topmost = false;

  std::u16string title;
  std::map<ATOM, void*> properties;
  HRGN region = nullptr;
  HDC ownDC = nullptr;

  // The last bitmap of a layered window, ARGB, rows top-down.
  int layeredWidth = 0;
  int layeredHeight = 0;
  std::vector<uint32_t> layeredPixels;

  // The mask last given to the display system, to skip giving it again.
  std::vector<uint8_t> shownShape;

  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;

  // Placements asked of the display system and not yet reported back by it.
  std::vector<POINT> requestedOrigins;
  std::vector<SIZE> requestedSizes;

  bool captureFrames = false;
  int frameWidth = 0;
  int frameHeight = 0;
  std::vector<uint32_t> lastFrame;

  int outerWidth() const { return insets.left + clientWidth + insets.right; }
  int outerHeight() const { return insets.top + clientHeight + insets.bottom; }
  int clientX() const { return x + insets.left; }
  int clientY() const { return y + insets.top; }
  bool layered() const { return (exStyle & WS_EX_LAYERED) != 0; }
};

std::shared_ptr<WindowState> FindWindowState(HWND window);
// The window of a display-system window id, or null.
std::shared_ptr<WindowState> FindWindowBySdlId(uint32_t id);
// Every live window, in creation order.
std::vector<std::shared_ptr<WindowState>> AllWindows();
// Calls the window's procedure (0 for a window that is gone).
LRESULT CallWindowProcedure(const std::shared_ptr<WindowState>& window, UINT message, WPARAM wParam, LPARAM lParam);
void RememberWindow(const std::shared_ptr<WindowState>& window);
