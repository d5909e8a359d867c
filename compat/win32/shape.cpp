// Window shapes on the display: a popup's region, a layered window's alpha.
#include <SDL2/SDL_shape.h>

#include "compat/win32/internal/placement.h"
#include "compat/win32/internal/region_data.h"

namespace {
// The client-area mask, 1 where the window shows.
std::vector<uint8_t> ShapeMask(const WindowState& state, int width, int height) {
  std::vector<uint8_t> mask(static_cast<size_t>(width) * static_cast<size_t>(height), 1);
  if (state.layered() && state.layeredWidth == width && state.layeredHeight == height) {
    for (size_t i = 0; i < mask.size(); ++i) mask[i] = (state.layeredPixels[i] >> 24) != 0;
    return mask;
  }
  auto region = Lookup<RegionObject>(state.region);
  if (!region) return mask;
  // The region is in window coordinates; the mask starts at the client area.
  std::vector<uint8_t> outer = region->rasterize(state.outerWidth(), state.outerHeight());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int ox = x + state.insets.left, oy = y + state.insets.top;
      bool inside = ox < state.outerWidth() && oy < state.outerHeight() &&
                    outer[static_cast<size_t>(oy) * state.outerWidth() + ox];
      mask[static_cast<size_t>(y) * width + x] = inside;
    }
  }
  return mask;
}

void GiveShape(SDL_Window* window, const std::vector<uint8_t>& mask, int width, int height) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
    for (int x = 0; x < width; ++x) row[x] = mask[static_cast<size_t>(y) * width + x] ? 0xFFFFFFFFu : 0u;
  }
  SDL_WindowShapeMode mode;
  mode.mode = ShapeModeBinarizeAlpha;
  mode.parameters.binarizationCutoff = 1;
  SDL_SetWindowShape(window, surface, &mode);
  SDL_FreeSurface(surface);
}
}  // namespace

void ApplyShapeToDisplay(WindowState& state) {
  if (!state.shapedBySdl || !state.sdl) return;
  int width = 0, height = 0;
  SDL_GetWindowSize(state.sdl, &width, &height);
  if (width <= 0 || height <= 0) return;
  std::vector<uint8_t> mask = ShapeMask(state, width, height);
  if (mask == state.shownShape) return;
  GiveShape(state.sdl, mask, width, height);
  state.shownShape = std::move(mask);
  // The display system moves a shaped window to where it was first asked to
  // be when it gets its first shape; keep it where it is now.
  SDL_SetWindowPosition(state.sdl, state.clientX(), state.clientY());
}
