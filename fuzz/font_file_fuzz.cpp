// Reads arbitrary bytes as a ".fnbin" and as a ".fn" font description.
// Nothing may crash, overrun or hang; a table that is read holds exactly the
// records its count claims, and writing it back reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fonts/glyph_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TGlyphTable table;
  bool signatureOk = false;
  if (ReadFontBinary(data, size, table, signatureOk)) {
    std::vector<uint8_t> again = WriteFontBinary(table);
    TGlyphTable reread;
    if (!ReadFontBinary(again.data(), again.size(), reread, signatureOk) || !(reread.glyphs.size() == table.glyphs.size())) {
      std::abort();
    }
  }
  TGlyphTable text;
  if (ReadFontText(std::string(reinterpret_cast<const char*>(data), size), text)) {
    TGlyphTable reread;
    if (!ReadFontText(WriteFontText(text), reread) || reread.glyphs.size() != text.glyphs.size()) std::abort();
  }
  return 0;
}
