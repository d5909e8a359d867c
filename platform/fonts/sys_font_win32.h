#pragma once
// The glyph set rasterised from a system font through the GDI text calls:
// every enabled glyph drawn white on black into a memory bitmap, its cell
// recorded in the glyph table, the coverage moved into the atlas's alpha.
#include "platform/fonts/sys_font.h"

class T3DSysFontWin32 : public T3DSysFont {
  Q_OBJECT(T3DSysFontWin32, T3DSysFont)

 public:
  void Rasterize() override;
};

// The atlas never grows beyond this height.
inline constexpr uint32_t kMaxAtlasHeight = 1024;
