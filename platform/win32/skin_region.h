#pragma once
// The shape of a popup window, made from its skin pixmap.
//
// A skin pixel is outside the window when its alpha, red and blue are all 255
// (the key colour 0xFFFF00FF, whatever the green), which is what a pixel of
// alpha 0 becomes when the skin is loaded. With all margins 0 the whole skin
// is stretched over the window; otherwise the skin is cut into nine pieces:
// the four corners keep their size, the edges stretch along the window's
// sides, and the inner rectangle is always inside.
#include <cstdint>
#include <vector>

#include "compat/win32/win_types.h"
#include "platform/win32/window_owner.h"

struct TSkinMargins {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

inline constexpr uint32_t kSkinKey = 0xFFFF00FF;

// Pixels of alpha 0 take the key colour.
void KeyTransparentPixels(TArgbImage& skin);
inline bool IsOutsideSkin(uint32_t pixel) { return (pixel & kSkinKey) == kSkinKey; }

// The region's rectangles (1 pixel high runs of inside pixels, and the inner
// rectangle) for a window of width x height.
std::vector<RECT> SkinRegionRects(const TArgbImage& skin, const TSkinMargins& margins, int32_t width, int32_t height);
// A system region of the rectangles, built 500 rectangles at a time.
HRGN MakeRegion(const std::vector<RECT>& rects);
