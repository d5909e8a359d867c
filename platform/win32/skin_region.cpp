#include "platform/win32/skin_region.h"

#include <algorithm>
#include <memory>

#include "compat/win32/gdi.h"
#include "compat/win32/region.h"

namespace {
struct Piece {
  RECT source;       // part of the skin
  int32_t width;     // size in the window
  int32_t height;
  int32_t x;         // base offset in the window
  int32_t y;
};

// Nearest-pixel stretch of a part of the skin: each target pixel takes the
// skin pixel under its centre.
uint32_t SampleStretched(const TArgbImage& skin, const RECT& part, int32_t width, int32_t height, int32_t x,
                         int32_t y) {
  int64_t partWidth = part.right - part.left, partHeight = part.bottom - part.top;
  int64_t sx = part.left + (int64_t{x} * 2 + 1) * partWidth / (int64_t{width} * 2);
  int64_t sy = part.top + (int64_t{y} * 2 + 1) * partHeight / (int64_t{height} * 2);
  return skin.pixels[static_cast<size_t>(sy) * static_cast<size_t>(skin.width) + static_cast<size_t>(sx)];
}

bool UsablePart(const TArgbImage& skin, const RECT& part) {
  return part.left >= 0 && part.top >= 0 && part.right <= skin.width && part.bottom <= skin.height &&
         part.right > part.left && part.bottom > part.top;
}

// Adds the runs of inside pixels of the stretched part, row by row, at (x, y).
void AppendRuns(const TArgbImage& skin, const Piece& piece, std::vector<RECT>& rects) {
  if (piece.width <= 0 || piece.height <= 0 || !UsablePart(skin, piece.source)) return;
  int32_t x0 = piece.x > 0 ? piece.x + 1 : piece.x;
  int32_t y0 = piece.y > 0 ? piece.y + 1 : piece.y;
  for (int32_t y = 0; y < piece.height; ++y) {
    int32_t runStart = -1;
    for (int32_t x = 0; x <= piece.width; ++x) {
      bool inside = x < piece.width && !IsOutsideSkin(SampleStretched(skin, piece.source, piece.width,
                                                                      piece.height, x, y));
      if (inside && runStart < 0) runStart = x;
      if (!inside && runStart >= 0) {
        rects.push_back(RECT{x0 + runStart, y0 + y, x0 + x, y0 + y + 1});
        runStart = -1;
      }
    }
  }
}

std::vector<Piece> BorderPieces(const TArgbImage& skin, const TSkinMargins& m, int32_t w, int32_t h) {
  const int32_t sw = skin.width, sh = skin.height;
  const int32_t L = m.left, T = m.top, R = m.right, B = m.bottom;
  return {
      {{L, 0, sw - R, T}, w - L - R + 1, T, L - 1, 0},                 // top edge
      {{L, sh - B, sw - R, sh}, w - L - R + 1, B, L - 1, h - B},       // bottom edge
      {{0, T, L, sh - B}, L, h - T - B + 1, 0, T - 1},                 // left edge
      {{sw - R, T, sw, sh - B}, R, h - T - B + 1, w - R, T - 1},       // right edge
      {{0, 0, L, T}, L, T, 0, 0},                                      // top-left
      {{sw - R, 0, sw, T}, R, T, w - R, 0},                            // top-right
      {{0, sh - B, L, sh}, L, B, 0, h - B},                            // bottom-left
      {{sw - R, sh - B, sw, sh}, R, B, w - R, h - B},                  // bottom-right
  };
}
}  // namespace

void KeyTransparentPixels(TArgbImage& skin) {
  for (uint32_t& pixel : skin.pixels) {
    if ((pixel >> 24) == 0) pixel = kSkinKey;
  }
}

std::vector<RECT> SkinRegionRects(const TArgbImage& skin, const TSkinMargins& margins, int32_t width,
                                  int32_t height) {
  std::vector<RECT> rects;
  if (skin.width <= 0 || skin.height <= 0 ||
      skin.pixels.size() < static_cast<size_t>(skin.width) * static_cast<size_t>(skin.height)) {
    return rects;
  }
  if (margins.left == 0 && margins.top == 0 && margins.right == 0 && margins.bottom == 0) {
    AppendRuns(skin, Piece{{0, 0, skin.width, skin.height}, width + 1, height + 1, 0, 0}, rects);
    return rects;
  }
  RECT inner{margins.left, margins.top, width - margins.right + 1, height - margins.bottom + 1};
  if (inner.right > inner.left && inner.bottom > inner.top) rects.push_back(inner);
  for (const Piece& piece : BorderPieces(skin, margins, width, height)) AppendRuns(skin, piece, rects);
  return rects;
}

HRGN MakeRegion(const std::vector<RECT>& rects) {
  constexpr size_t kBatch = 500;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  struct Batch {
    RGNDATAHEADER header;
    RECT rects[kBatch];
  };
  auto batch = std::make_unique<Batch>();
  for (size_t first = 0; first < rects.size(); first += kBatch) {
    size_t n = std::min(kBatch, rects.size() - first);
    batch->header = RGNDATAHEADER{};
    batch->header.nCount = static_cast<DWORD>(n);
    batch->header.nRgnSize = static_cast<DWORD>(n * sizeof(RECT));
    std::copy_n(rects.begin() + static_cast<ptrdiff_t>(first), n, batch->rects);
    DWORD bytes = static_cast<DWORD>(sizeof(RGNDATAHEADER) + n * sizeof(RECT));
    HRGN part = ExtCreateRegion(nullptr, bytes, reinterpret_cast<const RGNDATA*>(batch.get()));
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  }
  return region;
}
