#pragma once
// What tests use to drive and observe the windows layer: a clock that stands
// still until moved, input and window events injected as the display system
// would deliver them, and read-back of what the layer shows (a window's shape,
// a layered window's last bitmap, its icon, the last GL frame it swapped).
#include <cstdint>
#include <optional>
#include <vector>

#include "compat/win32/win_types.h"

namespace win32_test {

// From now on timeGetTime answers `milliseconds` until the next call; nullopt
// returns to the real clock.
void SetFakeClock(std::optional<DWORD> milliseconds);

// Hides (or shows again) an entry point from GetProcAddress, as on a system
// that lacks it.
void HideExport(const char* name, bool hidden);

// The frame each framed (WS_CAPTION) window created from now on has around its
// client area; nullopt: the window manager's real decoration (none without one).
void SetFrameInsets(std::optional<RECT> insets);

// Input and window events as the display system delivers them; they become
// messages when the queue is next read. Coordinates are client coordinates of
// the window.
void InjectMouseMove(HWND window, int x, int y);
// button: 1 left, 2 middle, 3 right.
void InjectMouseButton(HWND window, int button, bool down, int x, int y);
// steps > 0: away from the user.
void InjectWheel(HWND window, int steps);
void InjectCloseRequest(HWND window);
void InjectFocus(HWND window, bool gained);
// As if the user (or window manager) moved or resized the window: client
// origin in screen coordinates, client size.
void InjectMoved(HWND window, int clientX, int clientY);
void InjectResized(HWND window, int clientWidth, int clientHeight);
// Content lost (for example uncovered): the window is invalidated.
void InjectExposed(HWND window);

// The shape of a window as a width x height mask, row by row, 1 inside the
// window's region; nullopt when the window has no region.
std::optional<std::vector<uint8_t>> WindowShapeMask(HWND window, int width, int height);

// The last bitmap UpdateLayeredWindow gave a window: ARGB words, rows top-down.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
std::optional<Image> LayeredWindowImage(HWND window);
// The icon WM_SETICON (big) set on a window, ARGB rows top-down.
std::optional<Image> WindowIconImage(HWND window);
// The class icon of a window's class.
HICON ClassIcon(HWND window);

// From now on SwapBuffers on the window keeps a copy of the frame it shows.
void CaptureFrames(HWND window, bool on);
std::optional<Image> LastFrame(HWND window);

// The name of the display system's driver ("offscreen", "x11").
const char* VideoDriverName();
// Whether a window has started the display system yet (a test that wants its
// own display server starts it before).
bool DisplayStarted();

}  // namespace win32_test
