#include "compat/win32/internal/frame.h"

#include <optional>

#include "compat/win32/test_hooks.h"

namespace {
std::optional<RECT>& InsetsOverride() {
  static std::optional<RECT> insets;
  return insets;
}
}  // namespace

void win32_test::SetFrameInsets(std::optional<RECT> insets) { InsetsOverride() = insets; }

RECT FramedWindowInsets(SDL_Window* window) {
  if (InsetsOverride()) return *InsetsOverride();
  RECT insets;
  int top = 0, left = 0, bottom = 0, right = 0;
  if (window && SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0) {
    insets.left = left;
    insets.top = top;
    insets.right = right;
    insets.bottom = bottom;
  }
  return insets;
}
