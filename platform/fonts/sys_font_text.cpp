// Measuring and drawing one line of text with a glyph set: every glyph is a
// quad on the device's dynamic mesh, sampling its cell of the atlas.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/system/log.h"
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

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A text as an error line names it: its start, when it is long.
WideString Shortened(const WideString& text) {
  constexpr size_t kShown = 60;
  return text.size() <= kShown ? text : text.substr(0, kShown) + u"...";
}

// Quads locked on the dynamic mesh and drawn together.
struct TQuadBatch {
  TDevice* target;
  TMesh* mesh;
  const TMatrix4F& transform;
  uint32_t color;
  size_t capacity = 0, quads = 0;
  TVertexPCT* vertex = nullptr;
  uint16_t* indices = nullptr;
  int32_t b = 0;

  bool Begin(size_t count) {
    void* vertexMemory = nullptr;
    if (!target->LockMeshVertex(mesh, static_cast<int32_t>(count * 4), vertexMemory)) {
      LogError(u"Can't lock vertex buffer for text");
      return false;
    }
    if (!target->LockMeshIndex(mesh, static_cast<int32_t>(count * 6), indices)) {
      target->UnlockMeshVertex(mesh);
      LogError(u"Can't lock index buffer for text");
      return false;
    }
    vertex = static_cast<TVertexPCT*>(vertexMemory);
    capacity = count;
    quads = 0;
    b = mesh->batchFirstVertex;
    return true;
  }
  void Emit(float px, float py, float u, float v) {
    if (!(transform == IdentityMatrix4F)) {
      TVector4F p = VecTransform(MakeVector4F(px, py, 0, 1), transform);
      px = p.x;
      py = p.y;
    }
    *vertex++ = MakeVertexPCT(px, py, 0, color, u, v);
  }
  void Quad(float x, float y, float gw, float gh, const TGlyphRecord& glyph) {
    Emit(x, y, glyph.u0, glyph.v0);
    Emit(x + gw, y, glyph.u1, glyph.v0);
    Emit(x + gw, y + gh, glyph.u1, glyph.v1);
    Emit(x, y + gh, glyph.u0, glyph.v1);
    WriteQuadIndices(indices, b);
    indices += 6;
    b += 4;
    ++quads;
  }
  void Draw() {
    target->UnlockMeshIndex(mesh);
    target->UnlockMeshVertex(mesh);
    target->DrawMesh(mesh);
    quads = 0;
  }
};
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

void T3DSysFont::logOnce(const WideString& line) {
  // A line drawn every frame tells its fault once; a bounded memory of what
  // was told, for a game that draws ever new texts.
  constexpr size_t kRemembered = 256;
  if (told_.size() >= kRemembered) told_.clear();
  if (told_.insert(line).second) LogError(line);
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

  // The quads go out in batches the dynamic mesh holds, so that a line of
  // any length is drawn whole; a line longer than one batch is still told
  // once, as the mesh's limit it passed.
  const int64_t fitting = (DynamicMeshCapacity().vertices - 12) / 6;
  const size_t batchQuads = static_cast<size_t>(std::clamp<int64_t>(fitting - 1, 1, 16383));
  size_t quadCount = 0;
  for (char16_t c : text) quadCount += DrawsQuad(c, glyphs) ? 1 : 0;
  if (quadCount > batchQuads) logOnce(u"Text \"" + Shortened(text) + u"\" too long.");

  TQuadBatch batch{target, mesh, transform, target->DeviceColor(target->material().diffuse)};
  float spacing = font ? font->charSpacing : 0;
  size_t left = quadCount;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c < kFirstGlyphCode) continue;
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      // One character beyond the table, written as a pair.
      logOnce(u"Unsupported char " + text.substr(i, 2));
      ++i;
      continue;
    }
    const TGlyphRecord* glyph = glyphs.find(c);
    if (!glyph) {
      logOnce(u"Unsupported char " + CharText(c));
      continue;
    }
    float gw = GlyphWidth(*glyph, glyphs), gh = GlyphHeight(*glyph, glyphs);
    // Every glyph, the space too, takes its room before and after the cell,
    // as measuring counts it.
    x += static_cast<float>(glyph->before);
    if (c != kFirstGlyphCode) {
      if (batch.quads == 0 && !batch.Begin(std::min(left, batchQuads))) return;
      batch.Quad(x, y, gw, gh, *glyph);
      --left;
      if (batch.quads == batch.capacity) batch.Draw();
    }
    x += static_cast<float>(glyph->after) + spacing + gw;
  }
  if (batch.quads > 0) batch.Draw();
}

void T3DSysFont::LayoutText(TFont* font, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines,
                            int32_t& count, float widthLimit, TRectF& rect) {
  TMeasureText measure = [this](const WideString& line, int32_t& fitting, TPointF& size, float limit) {
    MeasureText(line, fitting, size, limit);
  };
  ::LayoutText(font, flags, text, lines, count, widthLimit, measure, rect);
}
