#pragma once
// A region: the union of its rectangles (right and bottom exclusive).
#include <cstdint>
#include <vector>

#include "compat/win32/internal/handles.h"
#include "compat/win32/win_types.h"

struct RegionObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Region;
  RegionObject() : HandleObject(kKind) {}
  std::vector<RECT> rects;

  bool contains(int x, int y) const;
  // A width x height mask, 1 for every pixel inside the region.
  std::vector<uint8_t> rasterize(int width, int height) const;
};
