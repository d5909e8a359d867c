// Measuring and drawing one line of text with a glyph set: every glyph is a
// quad on the device's dynamic mesh, sampling its cell of the atlas.
#include <algorithm>
#include <cmath>

#include "core/log.h"
#include "platform/device.h"
#include "platform/fonts/sys_font.h"
#include "platform/fonts/text_layout.h"

namespace {
int32_t TruncToInt(float value) {
  if (!(value > -2e9f && value < 2e9f)) return 0;
  return static_cast<int32_t>(value);
}

float GlyphWidth(const TGlyphRecord& glyph, const TGlyphTable& table) {
  return (glyph.u1 - glyph.u0) * static_cast<float>(table.atlasWidth);
}

float GlyphHeight(const TGlyphRecord& glyph, const TGlyphTable& table) {
  return (glyph.v1 - glyph.v0) * static_cast<float>(table.atlasHeight);
}

// Whether the glyph writes a quad: the space and codes below 32 write none.
bool DrawsQuad(char16_t c, const TGlyphTable& table) { return c > kFirstGlyphCode && table.find(c) != nullptr; }

void WriteQuadIndices(uint16_t* out, int32_t b) {
  const int32_t pattern[6] = {b + 1, b, b + 3, b + 3, b + 2, b + 1};
  for (int i = 0; i < 6; ++i) out[i] = static_cast<uint16_t>(pattern[i]);
}

WideString CharText(char16_t c) { return WideString(1, c); }
}  // namespace

void T3DSysFont::MeasureText(const WideString& text, int32_t& count, TPointF& size, float maxWidth) {
  count = static_cast<int32_t>(text.size());
  size = MakePointF(0, 0);
  if (text.empty()) return;
  AddChars(text);
  const TGlyphTable& glyphs = table();
  const TGlyphRecord* space = glyphs.find(kFirstGlyphCode);
  float lineHeight = space ? GlyphHeight(*space, glyphs) : 0;
  float sum = 0, widest = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const TGlyphRecord* glyph = glyphs.find(text[i]);
    if (!glyph) continue;
    float width = GlyphWidth(*glyph, glyphs);
    if (sum + width > maxWidth) {
      // Only the characters before this one fit (none when it is the first).
      count = static_cast<int32_t>(i);
      break;
    }
    // The cell ends one margin column after the ink; a glyph whose ink
    // reaches past its advance widens the box to its ink.
    float inkEnd = sum + static_cast<float>(glyph->before) + width - 1;
    sum += static_cast<float>(glyph->before) + width + static_cast<float>(glyph->after);
    widest = std::max({widest, sum, inkEnd});
    count = static_cast<int32_t>(i + 1);
  }
  size = MakePointF(static_cast<float>(TruncToInt(widest)), static_cast<float>(TruncToInt(lineHeight)));
}

void T3DSysFont::BuildText(TFont* font, const TMatrix4F& transform, const WideString& text, float x, float y) {
  TDevice* target = device();
  if (text.empty() || !target) return;
  AddChars(text);
  TMesh* mesh = target->dynamicMesh();
  if (!mesh) return;
  // A new rasterisation may have replaced the atlas the caller selected.
  target->SetPixmap(0, Atlas());
  const TGlyphTable& glyphs = table();

  // Quads are counted first, so that exactly the quads written are locked and
  // drawn; the space and control characters write none.
  int64_t capacity = DynamicMeshCapacity().vertices;
  size_t quadCount = 0, end = 0;
  for (; end < text.size(); ++end) {
    if (!DrawsQuad(text[end], glyphs)) continue;
    if (static_cast<int64_t>(quadCount + 1) * 6 + 6 > capacity - 6) {
      LogError(u"Text \"" + text + u"\" too long.");
      break;
    }
    quadCount += 1;
  }
  void* vertexMemory = nullptr;
  uint16_t* indices = nullptr;
  if (quadCount > 0) {
    if (!target->LockMeshVertex(mesh, static_cast<int32_t>(quadCount * 4), vertexMemory)) {
      LogError(u"Can't lock vertex buffer for text");
      return;
    }
    if (!target->LockMeshIndex(mesh, static_cast<int32_t>(quadCount * 6), indices)) {
      target->UnlockMeshVertex(mesh);
      LogError(u"Can't lock index buffer for text");
      return;
    }
  }
  auto* vertex = static_cast<TVertexPCT*>(vertexMemory);
  int32_t b = mesh->batchFirstVertex;
  uint32_t color = target->DeviceColor(target->material().diffuse);
  bool moved = !(transform == IdentityMatrix4F);
  auto emit = [&](float px, float py, float u, float v) {
    if (moved) {
      TVector4F p = VecTransform(MakeVector4F(px, py, 0, 1), transform);
      px = p.x;
      py = p.y;
    }
    *vertex++ = MakeVertexPCT(px, py, 0, color, u, v);
  };
  float spacing = font ? font->charSpacing : 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c < kFirstGlyphCode) continue;
    const TGlyphRecord* glyph = glyphs.find(c);
    if (!glyph) {
      LogError(u"Unsupported char " + CharText(c));
      continue;
    }
    float gw = GlyphWidth(*glyph, glyphs), gh = GlyphHeight(*glyph, glyphs);
    if (c != kFirstGlyphCode && i < end) {
      x += static_cast<float>(glyph->before);
      emit(x, y, glyph->u0, glyph->v0);
      emit(x + gw, y, glyph->u1, glyph->v0);
      emit(x + gw, y + gh, glyph->u1, glyph->v1);
      emit(x, y + gh, glyph->u0, glyph->v1);
      WriteQuadIndices(indices, b);
      indices += 6;
      b += 4;
      x += static_cast<float>(glyph->after);
    }
    x += spacing + gw;
  }
  if (quadCount == 0) return;
  target->UnlockMeshIndex(mesh);
  target->UnlockMeshVertex(mesh);
  target->DrawMesh(mesh);
}

void T3DSysFont::LayoutText(TFont* font, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines,
                            int32_t& count, float widthLimit, TRectF& rect) {
  TMeasureText measure = [this](const WideString& line, int32_t& fitting, TPointF& size, float limit) {
    MeasureText(line, fitting, size, limit);
  };
  ::LayoutText(font, flags, text, lines, count, widthLimit, measure, rect);
}
