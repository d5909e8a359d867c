// The 2D drawing services every device shares: pixmaps stretched, nine-sliced
// and tiled, filled and framed rectangles. Each call writes quads into the
// dynamic mesh (4 vfPCT vertices each: top-left, top-right, bottom-right,
// bottom-left) with 6 indices in the quad pattern, and draws them once.
#include <cmath>
#include <cstring>

#include "core/system/log.h"
#include "platform/device.h"

namespace {
// The two triangles of quad number q of a batch starting at vertex `first`.
void WriteQuadIndices(uint16_t* out, int32_t first, int32_t q) {
  auto b = static_cast<uint16_t>(first + 4 * q);
  out[0] = static_cast<uint16_t>(b + 1);
  out[1] = b;
  out[2] = static_cast<uint16_t>(b + 3);
  out[3] = static_cast<uint16_t>(b + 3);
  out[4] = static_cast<uint16_t>(b + 2);
  out[5] = static_cast<uint16_t>(b + 1);
}

// Tiles needed to cover `length` with tiles of `tile`; one stretched tile
// when the tile has no size.
int64_t TileCount(float length, float tile) {
  if (!(length > 0)) return 0;
  if (!(tile > 0)) return 1;
  double count = std::ceil(static_cast<double>(length) / tile);
  return count > 1e9 ? int64_t{1000000000} : static_cast<int64_t>(count);
}

// Most quads one call can ever draw: the dynamic mesh's vertex limit.
constexpr int64_t kMaxQuadsPerCall = kDynamicVertexLimit / 4;

// Whether `quads` tiles of the pixmap fit one call; when they never can, the
// error is logged once for the pixmap, not on every frame that draws it.
bool TilesFit(TPixmap* pixmap, int64_t quads) {
  if (quads <= kMaxQuadsPerCall) return true;
  if (!pixmap->tilingOverflowReported) {
    pixmap->tilingOverflowReported = true;
    LogError(W("Locked size is bigger than buffer have"));
  }
  return false;
}
}  // namespace

void TDevice::DrawQuads(const TQuad* quads, size_t quadCount, float depth) {
  TMesh* mesh = dynamicMesh_;
  if (!mesh || quadCount == 0) return;
  auto count = static_cast<int32_t>(quadCount);
  void* vertexMemory = nullptr;
  if (!LockMeshVertex(mesh, count * 4, vertexMemory)) return;
  uint32_t color = DeviceColor(material_.diffuse);
  auto* vertex = static_cast<TVertexPCT*>(vertexMemory);
  for (const TQuad* q = quads; q != quads + quadCount; ++q) {
    *vertex++ = MakeVertexPCT(q->x0, q->y0, depth, color, q->u0, q->v0);
    *vertex++ = MakeVertexPCT(q->x1, q->y0, depth, color, q->u1, q->v0);
    *vertex++ = MakeVertexPCT(q->x1, q->y1, depth, color, q->u1, q->v1);
    *vertex++ = MakeVertexPCT(q->x0, q->y1, depth, color, q->u0, q->v1);
  }
  int32_t first = mesh->batchFirstVertex;
  uint16_t* indices = nullptr;
  if (!LockMeshIndex(mesh, count * 6, indices)) {
    // Without indices the batch cannot be drawn as quads.
    UnlockMeshVertex(mesh);
    return;
  }
  for (int32_t q = 0; q < count; ++q) WriteQuadIndices(indices + 6 * q, first, q);
  UnlockMeshIndex(mesh);
  UnlockMeshVertex(mesh);
  DrawMesh(mesh);
}

void TDevice::DrawPixmap(TPixmap* pixmap, const TRectF& rect) {
  if (!pixmap) return;
  SetPixmap(0, pixmap);
  float width = RectWidth(rect);
  float height = RectHeight(rect);
  const TQuad quad{rect.left, rect.top, rect.left + width, rect.top + height, 0, 0, 1, 1};
  DrawQuads(&quad, 1, 0);
}

void TDevice::DrawPixmapAt(TPixmap* pixmap, float x, float y) {
  if (!pixmap) return;
  DrawPixmap(pixmap, MakeRectF(x, y, x + static_cast<float>(pixmap->width()), y + static_cast<float>(pixmap->height())));
}

void TDevice::DrawPixmapNineSlice(TPixmap* pixmap, const TRectF& rect, const TRectF& margins) {
  if (margins.left == 0 && margins.top == 0 && margins.right == 0 && margins.bottom == 0) {
    DrawPixmap(pixmap, rect);
    return;
  }
  if (!pixmap) return;
  SetPixmap(0, pixmap);
  float tw = static_cast<float>(pixmap->width()) * textureMatrix_.m[0][0];
  float th = static_cast<float>(pixmap->height()) * textureMatrix_.m[1][1];
  float uA = margins.left / tw, vA = margins.top / th;
  float uB = 1 - margins.right / tw, vB = 1 - margins.bottom / th;
  float x = rect.left, y = rect.top;
  float x1 = x + margins.left, y1 = y + margins.top;
  float x2 = x + RectWidth(rect) - margins.right, y2 = y + RectHeight(rect) - margins.bottom;
  float x3 = x + RectWidth(rect), y3 = y + RectHeight(rect);
  const float xs[4] = {x, x1, x2, x3};
  const float ys[4] = {y, y1, y2, y3};
  const float us[4] = {0, uA, uB, 1};
  const float vs[4] = {0, vA, vB, 1};
  std::vector<TQuad> quads;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      quads.push_back({xs[col], ys[row], xs[col + 1], ys[row + 1], us[col], vs[row], us[col + 1], vs[row + 1]});
    }
  }
  DrawQuads(quads, 0);
}

// Covers a region with tiles of tileW x tileH pixels, each showing texRegion;
// a tile that runs past the region's end is cut, and its far texture
// coordinate is pulled back by the cut length over the texture size.
void TDevice::AddNineSliceTiles(std::vector<TQuad>& quads, const TRectF& region, const TRectF& texRegion,
                                float tileW, float tileH, float texW, float texH) {
  float regionW = RectWidth(region), regionH = RectHeight(region);
  int64_t cols = TileCount(regionW, tileW), rows = TileCount(regionH, tileH);
  float stepW = tileW > 0 ? tileW : regionW;
  float stepH = tileH > 0 ? tileH : regionH;
  for (int64_t r = 0; r < rows; ++r) {
    float top = region.top + static_cast<float>(r) * stepH;
    float bottom = std::min(top + stepH, region.bottom);
    float v1 = texRegion.bottom - (tileH > 0 ? (top + stepH - bottom) / texH : 0);
    for (int64_t c = 0; c < cols; ++c) {
      float left = region.left + static_cast<float>(c) * stepW;
      float right = std::min(left + stepW, region.right);
      float u1 = texRegion.right - (tileW > 0 ? (left + stepW - right) / texW : 0);
      quads.push_back({left, top, right, bottom, texRegion.left, texRegion.top, u1, v1});
    }
  }
}

void TDevice::DrawPixmapNineSliceTiled(TPixmap* pixmap, const TRectF& rect, const TRectF& margins) {
  if (!pixmap) return;
  SetPixmap(0, pixmap);
  float tw = static_cast<float>(pixmap->width()) * textureMatrix_.m[0][0];
  float th = static_cast<float>(pixmap->height()) * textureMatrix_.m[1][1];
  float tileW = tw - margins.left - margins.right;
  float tileH = th - margins.top - margins.bottom;
  float uA = margins.left / tw, vA = margins.top / th;
  float uB = 1 - margins.right / tw, vB = 1 - margins.bottom / th;
  float x = rect.left, y = rect.top;
  float x1 = x + margins.left, y1 = y + margins.top;
  float x3 = x + RectWidth(rect), y3 = y + RectHeight(rect);
  float x2 = x3 - margins.right, y2 = y3 - margins.bottom;

  // Edges repeat along their length only; the centre repeats both ways.
  struct Region {
    TRectF area, tex;
    float tileW, tileH;
  };
  const Region regions[5] = {
      {MakeRectF(x1, y, x2, y1), MakeRectF(uA, 0, uB, vA), tileW, 0},     // top edge
      {MakeRectF(x, y1, x1, y2), MakeRectF(0, vA, uA, vB), 0, tileH},     // left edge
      {MakeRectF(x1, y1, x2, y2), MakeRectF(uA, vA, uB, vB), tileW, tileH},  // centre
      {MakeRectF(x2, y1, x3, y2), MakeRectF(uB, vA, 1, vB), 0, tileH},    // right edge
      {MakeRectF(x1, y2, x2, y3), MakeRectF(uA, vB, uB, 1), tileW, 0},    // bottom edge
  };
  int64_t total = 4;
  for (const Region& r : regions) {
    total += TileCount(RectWidth(r.area), r.tileW) * TileCount(RectHeight(r.area), r.tileH);
  }
  if (!TilesFit(pixmap, total)) return;
  std::vector<TQuad> quads;
  quads.reserve(static_cast<size_t>(total));
  auto corner = [&](float l, float t, float r, float b, float u0, float v0, float u1, float v1) {
    if (r > l && b > t) quads.push_back({l, t, r, b, u0, v0, u1, v1});
  };
  // Row by row from the top: corners and the tiles between them.
  corner(x, y, x1, y1, 0, 0, uA, vA);
  AddNineSliceTiles(quads, regions[0].area, regions[0].tex, regions[0].tileW, regions[0].tileH, tw, th);
  corner(x2, y, x3, y1, uB, 0, 1, vA);
  for (int i = 1; i <= 3; ++i) {
    AddNineSliceTiles(quads, regions[i].area, regions[i].tex, regions[i].tileW, regions[i].tileH, tw, th);
  }
  corner(x, y2, x1, y3, 0, vB, uA, 1);
  AddNineSliceTiles(quads, regions[4].area, regions[4].tex, regions[4].tileW, regions[4].tileH, tw, th);
  corner(x2, y2, x3, y3, uB, vB, 1, 1);
  DrawQuads(quads, 0);
}

// The whole pixmap repeated from the rectangle's top-left corner at its own
// size, the last row and column cut to the rectangle.
void TDevice::DrawPixmapTiled(TPixmap* pixmap, const TRectF& rect) {
  if (!pixmap) return;
  float tw = static_cast<float>(pixmap->width()) * textureMatrix_.m[0][0];
  float th = static_cast<float>(pixmap->height()) * textureMatrix_.m[1][1];
  if (!TilesFit(pixmap, TileCount(RectWidth(rect), tw) * TileCount(RectHeight(rect), th))) return;
  SetPixmap(0, pixmap);
  std::vector<TQuad> quads;
  AddNineSliceTiles(quads, rect, MakeRectF(0, 0, 1, 1), tw, th, tw, th);
  DrawQuads(quads, 0);
}

void TDevice::FillRect(float left, float top, float right, float bottom, float depth) {
  FillRectF(MakeRectF(left, top, right, bottom), depth);
}

void TDevice::FillRectF(const TRectF& rect, float depth) {
  TPixmap* skin = defaultSkin();
  SetPixmap(0, skin);
  SetRenderState(rsFilterNearest);
  SetRenderState(rsTextureOff);
  float texel = skin ? 1.0f / static_cast<float>(skin->width()) : 1.0f;
  const TQuad quad{rect.left, rect.top, rect.right, rect.bottom, 0, 0, texel, texel};
  DrawQuads(&quad, 1, depth);
}

void TDevice::FrameRectF(const TRectF& rect, float depth, float w) {
  if (!(w > 0)) return;
  TPixmap* skin = defaultSkin();
  SetPixmap(0, skin);
  SetRenderState(rsFilterNearest);
  SetRenderState(rsTextureModulate);
  float texel = skin ? 1.0f / static_cast<float>(skin->width()) : 1.0f;
  const TRectF& r = rect;
  // Four bars that do not overlap, so a translucent frame has no darker corners.
  const TQuad bars[4] = {{r.left, r.top, r.right - w, r.top + w, 0, 0, texel, texel},
                         {r.left + w, r.bottom - w, r.right, r.bottom, 0, 0, texel, texel},
                         {r.left, r.top + w, r.left + w, r.bottom, 0, 0, texel, texel},
                         {r.right - w, r.top, r.right, r.bottom - w, 0, 0, texel, texel}};
  DrawQuads(bars, 4, depth);
}
