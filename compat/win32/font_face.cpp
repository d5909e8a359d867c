// Faces found through fontconfig and rendered by FreeType.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

#include "compat/win32/internal/font_data.h"

struct FontFace {
  FT_Face face = nullptr;
  ~FontFace() {
    if (face) FT_Done_Face(face);
  }
};

namespace {
// Never freed: faces still open at exit must not outlive their library.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0) return static_cast<FT_Library>(nullptr);
    return made;
  }();
  return library;
}

struct MatchedFile {
  std::string path;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

bool MatchFile(const std::string& family, int weight, bool italic, MatchedFile& out) {
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
  if (found) {
    out.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &out.slant);
  }
  FcPatternDestroy(match);
  return found;
}

// The em size in pixels for a requested height: a negative height is the em
// itself; a positive one is the cell (the face's Windows ascent + descent).
int EmPixels(FT_Face face, int height) {
  if (height < 0) return -height;
  if (height == 0) return 16;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double cell = os2 ? os2->usWinAscent + os2->usWinDescent : face->ascender - face->descender;
  if (cell <= 0) return height;
  return std::max(1, static_cast<int>(std::lround(height * face->units_per_EM / cell)));
}

void SetMetrics(FontObject& font, int em) {
  FT_Face face = font.face->face;
  double scale = static_cast<double>(em) / face->units_per_EM;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double ascent = os2 ? os2->usWinAscent : face->ascender;
  double descent = os2 ? os2->usWinDescent : -face->descender;
  font.ascent = static_cast<int>(std::ceil(ascent * scale - 0.01));
  font.descent = static_cast<int>(std::ceil(descent * scale - 0.01));
  font.internalLeading = std::max(0, font.ascent + font.descent - em);
  font.averageWidth = os2 && os2->xAvgCharWidth > 0 ? static_cast<int>(std::lround(os2->xAvgCharWidth * scale))
                                                     : em / 2;
  font.maxWidth = static_cast<int>(std::ceil((face->bbox.xMax - face->bbox.xMin) * scale));
}

RenderedGlyph Render(FontObject& font, uint32_t code) {
  RenderedGlyph out;
  FT_Face face = font.face->face;
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) return out;
  FT_GlyphSlot slot = face->glyph;
  if (font.syntheticItalic) FT_GlyphSlot_Oblique(slot);
  if (font.syntheticBold) FT_GlyphSlot_Embolden(slot);
  out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return out;
  const FT_Bitmap& bitmap = slot->bitmap;
  out.left = slot->bitmap_left;
  out.top = slot->bitmap_top;
  out.width = static_cast<int>(bitmap.width);
  out.rows = static_cast<int>(bitmap.rows);
  out.coverage.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.rows));
  for (int y = 0; y < out.rows; ++y) {
    const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    std::memcpy(out.coverage.data() + static_cast<size_t>(y) * out.width, row, static_cast<size_t>(out.width));
  }
  return out;
}
}  // namespace

FontObject::~FontObject() = default;

const RenderedGlyph& FontObject::glyph(uint32_t code) {
  auto found = std::lower_bound(cache_.begin(), cache_.end(), code,
                                [](const auto& entry, uint32_t c) { return entry.first < c; });
  if (found != cache_.end() && found->first == code) return found->second;
  return cache_.insert(found, {code, Render(*this, code)})->second;
}

std::shared_ptr<FontObject> OpenFont(const std::string& family, int height, int weight, bool italic) {
  MatchedFile file;
  if (!Library() || !MatchFile(family, weight, italic, file)) return nullptr;
  auto face = std::make_shared<FontFace>();
  if (FT_New_Face(Library(), file.path.c_str(), file.index, &face->face) != 0 || !FT_IS_SCALABLE(face->face)) {
    return nullptr;
  }
  auto font = std::make_shared<FontObject>();
  font->face = face;
  font->weight = weight;
  font->italic = italic;
  // The face stands in for the style it lacks.
  font->syntheticBold = weight >= 600 && file.weight < FC_WEIGHT_DEMIBOLD;
  font->syntheticItalic = italic && file.slant == FC_SLANT_ROMAN;
  int em = EmPixels(face->face, height);
  if (FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(em)) != 0) return nullptr;
  SetMetrics(*font, em);
  // A cell height asked for is the height the font has.
  if (height > 0 && font->ascent < height) font->descent = height - font->ascent;
  return font;
}
