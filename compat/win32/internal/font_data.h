#pragma once
// A font handle: one FreeType face at one pixel size, with the styles the
// face lacks made up (emboldened outlines, slanted outlines).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compat/win32/internal/handles.h"

struct FontFace;

// One rendered glyph: coverage bytes, rows top-down.
struct RenderedGlyph {
  int left = 0;     // from the pen to the first column
  int top = 0;      // from the baseline up to the first row
  int width = 0;
  int rows = 0;
  int advance = 0;  // whole pixels
  std::vector<uint8_t> coverage;
};

struct FontObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::Font;
  FontObject() : HandleObject(kKind) {}
  ~FontObject() override;

  std::shared_ptr<FontFace> face;
  bool syntheticBold = false;
  bool syntheticItalic = false;
  int weight = 400;
  bool italic = false;
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int averageWidth = 0;
  int maxWidth = 0;

  // The glyph of a character (the face's missing-glyph box when it has none).
  const RenderedGlyph& glyph(uint32_t code);

 private:
  std::vector<std::pair<uint32_t, RenderedGlyph>> cache_;
};

// Opens the face fontconfig matches for the family and style at a size:
// negative height = em size in pixels, positive = ascent + descent.
std::shared_ptr<FontObject> OpenFont(const std::string& family, int height, int weight, bool italic);
