#pragma once
// The glyph table of a texture-atlas font and its two stored forms: the
// binary ".fnbin" and the name=value text ".fn". Readers check every count
// against what the data holds and answer false on anything damaged, leaving
// the table as it was.
#include <cstdint>
#include <string>
#include <vector>

// One character's cell in the atlas (fractions of the atlas size) and the
// space laid out before and after it (pixels).
struct TGlyphRecord {
  bool enabled = false;
  float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  int32_t before = 0;
  int32_t after = 0;
  bool operator==(const TGlyphRecord&) const = default;
};

// Record i is the character of code i + 32.
inline constexpr uint32_t kFirstGlyphCode = 32;

struct TGlyphTable {
  uint32_t atlasWidth = 0;
  uint32_t atlasHeight = 0;
  bool allowRebuild = false;
  std::vector<TGlyphRecord> glyphs;
  bool operator==(const TGlyphTable&) const = default;

  // The record of a character code, nil below 32 or beyond the table.
  const TGlyphRecord* find(uint32_t code) const {
    if (code < kFirstGlyphCode || code - kFirstGlyphCode >= glyphs.size()) return nullptr;
    return &glyphs[code - kFirstGlyphCode];
  }
};

inline constexpr char kFontBinarySignature[] = "FONTBIN";  // 7 bytes, no terminator
inline constexpr size_t kGlyphRecordBytes = 28;
// The largest table any font makes: every code of the 16-bit range.
inline constexpr int32_t kMaxGlyphCount = 0x10000;

std::vector<uint8_t> WriteFontBinary(const TGlyphTable& table);
// False for a wrong signature or data that does not hold what it claims;
// `signatureOk` tells the two apart.
bool ReadFontBinary(const uint8_t* data, size_t size, TGlyphTable& table, bool& signatureOk);

// Lines "texwidth", "texheight", "charcount", "allowrebuild" ("-1"/"0") and
// "#<code>=u0,v0,u1,v1,before,after" for every enabled glyph.
std::string WriteFontText(const TGlyphTable& table);
bool ReadFontText(const std::string& text, TGlyphTable& table);
