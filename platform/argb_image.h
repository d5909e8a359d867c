#pragma once
// Pixels held in system memory: ARGB words (0xAARRGGBB, so B, G, R, A in
// memory), rows top-down, `width` words a row. Decoders fill it, encoders
// take it, and the window reads icons and skins through it.
#include <cstdint>
#include <vector>

struct TArgbImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  bool empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
};

// No decoder makes an image wider or higher than this; a file that claims
// more is refused before anything is allocated for it.
inline constexpr int32_t kMaxImageSide = 16384;

inline bool IsDecodableImageSize(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide;
}
