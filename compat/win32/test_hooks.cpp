// Input and window events injected the way the display system delivers them,
// and read-back of what windows show.
#include "compat/win32/test_hooks.h"

#include "compat/win32/internal/class_record.h"
#include "compat/win32/internal/icon_data.h"
#include "compat/win32/internal/region_data.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"

namespace {
uint32_t IdOf(HWND window) {
  auto state = FindWindowState(window);
  return state ? state->sdlId : 0;
}

void PushWindowEvent(HWND window, Uint8 what, int data1 = 0, int data2 = 0) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = IdOf(window);
  event.window.event = what;
  event.window.data1 = data1;
  event.window.data2 = data2;
  SDL_PushEvent(&event);
}
}  // namespace

namespace win32_test {

void InjectMouseMove(HWND window, int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = IdOf(window);
  event.motion.x = x;
  event.motion.y = y;
  SDL_PushEvent(&event);
}

void InjectMouseButton(HWND window, int button, bool down, int x, int y) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = IdOf(window);
  event.button.button = static_cast<Uint8>(button);
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  SDL_PushEvent(&event);
}

void InjectWheel(HWND window, int steps) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = IdOf(window);
  event.wheel.y = steps;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  SDL_PushEvent(&event);
}

void InjectCloseRequest(HWND window) { PushWindowEvent(window, SDL_WINDOWEVENT_CLOSE); }

void InjectFocus(HWND window, bool gained) {
  PushWindowEvent(window, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

void InjectMoved(HWND window, int clientX, int clientY) {
  PushWindowEvent(window, SDL_WINDOWEVENT_MOVED, clientX, clientY);
}

void InjectResized(HWND window, int clientWidth, int clientHeight) {
  PushWindowEvent(window, SDL_WINDOWEVENT_SIZE_CHANGED, clientWidth, clientHeight);
}

void InjectExposed(HWND window) { PushWindowEvent(window, SDL_WINDOWEVENT_EXPOSED); }

std::optional<std::vector<uint8_t>> WindowShapeMask(HWND window, int width, int height) {
  auto state = FindWindowState(window);
  auto region = state ? Lookup<RegionObject>(state->region) : nullptr;
  if (!region) return std::nullopt;
  return region->rasterize(width, height);
}

std::optional<Image> LayeredWindowImage(HWND window) {
  auto state = FindWindowState(window);
  if (!state || state->layeredPixels.empty()) return std::nullopt;
  return Image{state->layeredWidth, state->layeredHeight, state->layeredPixels};
}

std::optional<Image> WindowIconImage(HWND window) {
  auto state = FindWindowState(window);
  auto icon = state ? Lookup<IconObject>(state->bigIcon) : nullptr;
  if (!icon) return std::nullopt;
  return Image{icon->width, icon->height, icon->pixels};
}

HICON ClassIcon(HWND window) {
  auto state = FindWindowState(window);
  return state ? state->windowClass->icon : nullptr;
}

const char* VideoDriverName() {
  if (!EnsureVideo()) return "";
  const char* name = SDL_GetCurrentVideoDriver();
  return name ? name : "";
}

bool DisplayStarted() { return VideoStarted(); }

}  // namespace win32_test
