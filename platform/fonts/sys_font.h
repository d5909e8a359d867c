#pragma once
// The texture-atlas glyph set: a glyph table (one record per character code
// from 32 up) and an atlas pixmap in which every enabled glyph is drawn white
// with its coverage in alpha. A subclass rasterises the glyphs from a system
// font; the cache files "<base>.fn", "<base>.fnbin" and "<base>.png" keep the
// result. Glyphs a text needs are added on demand.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/fonts/glyph_table.h"

class TFilter;

class T3DSysFont : public TGlyphSet {
  Q_OBJECT(T3DSysFont, TGlyphSet)

 public:
  void Destroy() override;

  TPixmap* Atlas() override { return atlas_; }
  void MeasureText(const WideString& text, int32_t& count, TPointF& size, float maxWidth) override;
  void BuildText(TFont* font, const TMatrix4F& transform, const WideString& text, float x, float y) override;
  void LayoutText(TFont* font, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines, int32_t& count,
                  float widthLimit, TRectF& rect) override;

  bool LoadFn(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
              const std::string& family) override;
  bool LoadFnbin(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                 const std::string& family) override;
  void SaveFnbin(TResourceMan* manager, const std::string& baseName) override;
  void SaveFn(TResourceMan* manager, const std::string& baseName);
  void BuildFromSystem(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                       const std::string& family) override;

  // Extends the table to code 1134 and enables the Cyrillic capitals and
  // small letters (1040 to 1103).
  void AddCyrillic();
  // Enables every character of code 32 or more the text holds, lengthening
  // the table as needed (never for the halves of a surrogate pair, which
  // write characters beyond the table); rasterises again when anything changed and
  // rebuilding is allowed.
  void AddChars(const WideString& text);
  // Replaces the atlas by a device pixmap filled from the kept copy of its
  // pixels, drops the copy and saves the atlas as "<base>.png".
  void StoreAtlas(TResourceMan* manager, const std::string& baseName);
  // Makes the atlas and the glyph cells from the glyph table's enabled codes.
  virtual void Rasterize() = 0;

  const TGlyphTable& table() const { return table_; }
  const std::string& family() const { return family_; }
  int32_t size() const { return size_; }
  int32_t style() const { return style_; }
  bool hasKeptCopy() const { return !keptCopy_.empty(); }

 protected:
  TGlyphTable& mutableTable() { return table_; }
  // Frees the atlas through the device that holds it.
  void ReleaseAtlas();
  // The atlas made anew from ARGB words (rows top-down); false when the
  // device cannot make it. Keeps a copy when rebuilding is allowed.
  bool FillAtlas(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height);
  TResourceMan* cacheManager() const { return manager_; }
  const std::string& cacheBaseName() const { return baseName_; }

 private:
  void SetFields(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                 const std::string& family);
  void LoadAtlas();
  TFilter* filter() const;
  // Logs the error line unless this font told it already.
  void logOnce(const WideString& line);

  TPixmap* atlas_ = nullptr;
  std::vector<uint32_t> keptCopy_;
  TGlyphTable table_;
  std::string family_;
  int32_t size_ = 0;
  int32_t style_ = 0;
  TResourceMan* manager_ = nullptr;
  std::string baseName_;
  std::set<WideString> told_;
};
