// Lookup of live windows and calls into their procedures.
#include "compat/win32/internal/class_record.h"
#include "compat/win32/internal/window_state.h"

namespace {
std::vector<std::weak_ptr<WindowState>>& Created() {
  static auto* windows = new std::vector<std::weak_ptr<WindowState>>();
  return *windows;
}
}  // namespace

void RememberWindow(const std::shared_ptr<WindowState>& window) { Created().push_back(window); }

std::shared_ptr<WindowState> FindWindowState(HWND window) {
  auto state = Lookup<WindowState>(window);
  if (state && state->destroyed) return nullptr;
  return state;
}

std::vector<std::shared_ptr<WindowState>> AllWindows() {
  std::vector<std::shared_ptr<WindowState>> live;
  auto& created = Created();
  std::erase_if(created, [](const std::weak_ptr<WindowState>& w) {
    auto state = w.lock();
    return !state || state->destroyed;
  });
  for (const auto& w : created) live.push_back(w.lock());
  return live;
}

std::shared_ptr<WindowState> FindWindowBySdlId(uint32_t id) {
  for (const auto& window : AllWindows()) {
    if (window->sdlId == id) return window;
  }
  return nullptr;
}

LRESULT CallWindowProcedure(const std::shared_ptr<WindowState>& window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window || window->destroyed || !window->windowClass->procedure) return 0;
  return window->windowClass->procedure(window->handle(), message, wParam, lParam);
}
