#include "compat/win32/region.h"

#include <algorithm>
#include <memory>

#include "compat/win32/internal/placement.h"
#include "compat/win32/internal/region_data.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/gdi.h"
#include "compat/win32/last_error.h"
#include "compat/win32/paint.h"

namespace {
bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

HRGN NewRegion(std::vector<RECT> rects) {
  auto region = std::make_shared<RegionObject>();
  std::erase_if(rects, IsEmpty);
  region->rects = std::move(rects);
  return reinterpret_cast<HRGN>(AddHandle(region));
}

int Complexity(const RegionObject& region) {
  if (region.rects.empty()) return NULLREGION;
  return region.rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
}  // namespace

bool RegionObject::contains(int x, int y) const {
  return std::any_of(rects.begin(), rects.end(),
                     [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

std::vector<uint8_t> RegionObject::rasterize(int width, int height) const {
  std::vector<uint8_t> mask(static_cast<size_t>(std::max(0, width)) * static_cast<size_t>(std::max(0, height)), 0);
  for (const RECT& r : rects) {
    int left = std::max<int>(0, r.left), right = std::min<int>(width, r.right);
    int top = std::max<int>(0, r.top), bottom = std::min<int>(height, r.bottom);
    for (int y = top; y < bottom; ++y) {
      std::fill(mask.begin() + static_cast<ptrdiff_t>(y) * width + left,
                mask.begin() + static_cast<ptrdiff_t>(y) * width + right, 1);
    }
  }
  return mask;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion({RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)}});
}

HRGN ExtCreateRegion(const void* transform, DWORD byteCount, const RGNDATA* data) {
  if (transform || !data || byteCount < sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // The count must fit in the bytes the caller says it gave.
  size_t available = (byteCount - sizeof(RGNDATAHEADER)) / sizeof(RECT);
  if (data->rdh.nCount > available) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const RECT* first = data->Buffer;
  return NewRegion(std::vector<RECT>(first, first + data->rdh.nCount));
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode) {
  auto target = Lookup<RegionObject>(destination);
  auto a = Lookup<RegionObject>(source1);
  if (!target || !a) return ERROR;
  std::vector<RECT> rects = a->rects;
  if (mode == RGN_OR) {
    auto b = Lookup<RegionObject>(source2);
    if (!b) return ERROR;
    rects.insert(rects.end(), b->rects.begin(), b->rects.end());
  } else if (mode != RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  target->rects = std::move(rects);
  return Complexity(*target);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  auto r = Lookup<RegionObject>(region);
  return r && r->contains(x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
  auto r = Lookup<RegionObject>(region);
  if (!r || !box) return ERROR;
  *box = RECT{};
  if (r->rects.empty()) return NULLREGION;
  *box = r->rects.front();
  for (const RECT& rect : r->rects) {
    box->left = std::min(box->left, rect.left);
    box->top = std::min(box->top, rect.top);
    box->right = std::max(box->right, rect.right);
    box->bottom = std::max(box->bottom, rect.bottom);
  }
  return Complexity(*r);
}

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  auto state = FindWindowState(window);
  if (!state || (region && !Lookup<RegionObject>(region))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (state->region && state->region != region) DeleteObject(state->region);
  state->region = region;
  ApplyShapeToDisplay(*state);
  if (redraw) InvalidateRect(window, nullptr, TRUE);
  return 1;
}

int GetWindowRgn(HWND window, HRGN region) {
  auto state = FindWindowState(window);
  if (!state || !state->region) return ERROR;
  return CombineRgn(region, state->region, nullptr, RGN_COPY);
}
