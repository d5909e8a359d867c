#pragma once
// Device fonts. A `TFont` names a family, size and style and owns the glyph
// set that draws it: a texture atlas with one cell per character, made by the
// font unit (`T3DSysFont` derives from `TGlyphSet`). The device lays text out
// and draws it through the glyph set alone.
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geometry.h"
#include "core/objects/component.h"

class TDevice;
class TFont;
class TPixmap;
class TResourceMan;

// Style bits of a font.
inline constexpr int32_t kFontBold = 1;
inline constexpr int32_t kFontItalic = 2;

// Layout flags of DrawText and MeasureText.
inline constexpr uint8_t kTextLeft = 1;
inline constexpr uint8_t kTextCentre = 2;
inline constexpr uint8_t kTextRight = 4;
inline constexpr uint8_t kTextMiddle = 16;
inline constexpr uint8_t kTextBottom = 32;
inline constexpr uint8_t kTextWordWrap = 64;

// One laid-out line: where it goes and what it says.
struct TTextLine {
  TRectF rect;
  WideString text;
};

class TDeviceHost;

class TGlyphSet : public TSomePersistent {
  Q_OBJECT(TGlyphSet, TSomePersistent)

 public:
  // The device that uses the glyph set now and the applet's side of it. The
  // device sets them before every use; the host's current device wins, so a
  // glyph set kept across a device switch reaches the new device.
  void useDevice(TDevice* device, TDeviceHost* host) {
    device_ = device;
    host_ = host;
  }
  TDevice* device() const;
  TDeviceHost* host() const { return host_; }

  // The atlas pixmap the glyph quads sample (nil before one is made).
  virtual TPixmap* Atlas() = 0;
  // Characters of `text` that fit in maxWidth, and the size they take.
  virtual void MeasureText(const WideString& text, int32_t& count, TPointF& size, float maxWidth) = 0;
  // Appends the quads of one line at (x, y) to the device's dynamic mesh in
  // the device's current colour and draws them.
  virtual void BuildText(TFont* font, const TMatrix4F& transform, const WideString& text, float x, float y) = 0;
  // Breaks text into lines placed in rect (which it moves to the block).
  virtual void LayoutText(TFont* font, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines,
                          int32_t& count, float widthLimit, TRectF& rect) = 0;

  // The cache files of a font: "<base>.fn" (text), "<base>.fnbin" (binary)
  // and "<base>.png" (the atlas). The loaders answer true when the glyph
  // table and its atlas were read; a font that could not be read is made
  // again from the system.
  virtual bool LoadFn(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                      const std::string& family) = 0;
  virtual bool LoadFnbin(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                         const std::string& family) = 0;
  virtual void SaveFnbin(TResourceMan* manager, const std::string& baseName) = 0;
  // Rasterises the font from the system into its cache files.
  virtual void BuildFromSystem(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                               const std::string& family) = 0;

 private:
  TDevice* device_ = nullptr;
  TDeviceHost* host_ = nullptr;
};

// The class the device makes glyph sets of; the font unit sets it at start-up.
// Without one, fonts have no glyph set and draw nothing.
using TGlyphSetFactory = TGlyphSet* (*)(TObject* owner);
void SetGlyphSetClass(TGlyphSetFactory factory);
TGlyphSetFactory GlyphSetClass();

class TFont : public TSomePersistent {
  Q_OBJECT(TFont, TSomePersistent)

 public:
  void Destroy() override;

  TGlyphSet* glyphSet = nullptr;  // owned
  std::string family;
  float size = 0;
  int32_t style = 0;          // kFontBold, kFontItalic
  float charSpacing = 0;      // added after every glyph
  float lineSpacing = 0;      // added to every line's height
  bool missingReported = false;  // "Font error" was logged for this font
};

// "cache\" + family + Trunc(size) + "bold" (bit 0) + "italic" (bit 1).
std::string FontCacheBaseName(const std::string& family, float size, int32_t style);
