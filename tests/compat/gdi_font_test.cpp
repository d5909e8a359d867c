// GDI text on FreeType and fontconfig: the metrics and widths the atlas
// rasteriser places glyphs by, and the coverage it draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compat/win32/font.h"

namespace {

struct TextCanvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HFONT font = nullptr;
  uint32_t* bits = nullptr;
  int width, height;

  TextCanvas(const char* family, int size, int weight = FW_NORMAL, bool italic = false, int w = 96, int h = 48)
      : width(w), height(h) {
    font = CreateFontA(size, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       ANTIALIASED_QUALITY, DEFAULT_PITCH, family);
    BITMAPINFO info;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biBitCount = 32;
    void* memory = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits = static_cast<uint32_t*>(memory);
    SelectObject(dc, bitmap);
    SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
  }
  ~TextCanvas() {
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(font);
  }
  TEXTMETRICA metrics() {
    TEXTMETRICA m;
    EXPECT_TRUE(GetTextMetricsA(dc, &m));
    return m;
  }
  int advance(const std::u16string& text) {
    SIZE size;
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size));
    return size.cx;
  }
  ABCFLOAT abc(char16_t c) {
    ABCFLOAT widths;
    EXPECT_TRUE(GetCharABCWidthsFloatW(dc, c, c, &widths));
    return widths;
  }
  void draw(int x, int y, const std::u16string& text) {
    ASSERT_TRUE(TextOutW(dc, x, y, text.data(), static_cast<int>(text.size())));
  }
  // Coverage of a pixel (the blue byte); red, green and blue must agree.
  int at(int x, int y) {
    uint32_t p = bits[y * width + x];
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
    return static_cast<int>(p & 0xFF);
  }
  // The box around every inked pixel: left, top, right, bottom (exclusive).
  std::vector<int> inkBox(int& count) {
    std::vector<int> box = {width, height, 0, 0};
    count = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (!at(x, y)) continue;
        count += 1;
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
      }
    }
    return box;
  }
};

TEST(compatGdiFont, WidthsAndMetricsAgreeForEveryFamily) {
  for (const char* family : {"arial", "times new roman", "courier new", "DejaVu Sans"}) {
    SCOPED_TRACE(family);
    TextCanvas canvas(family, -16);
    ASSERT_NE(canvas.font, nullptr);
    TEXTMETRICA m = canvas.metrics();
    EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
    EXPECT_GE(m.tmHeight, 16);
    EXPECT_LE(m.tmHeight, 22);
    int sum = 0;
    for (char16_t c : std::u16string(u"Hg.\u0416")) {
      ABCFLOAT abc = canvas.abc(c);
      EXPECT_FLOAT_EQ(abc.abcfA + abc.abcfB + abc.abcfC, static_cast<float>(canvas.advance(std::u16string(1, c))));
      EXPECT_GT(abc.abcfB, 0);
      sum += canvas.advance(std::u16string(1, c));
    }
    EXPECT_EQ(canvas.advance(u"Hg.\u0416"), sum);
  }
}

TEST(compatGdiFont, FamiliesResolveToMetricCompatibleFaces) {
  // Arial's "H" advances 1479/2048 em, Times New Roman's 1479, Courier New's
  // every glyph 1229; DejaVu Sans (the fallback) would give 1540.
  TextCanvas arial("Arial", -100), times("Times New Roman", -100), courier("courier new", -100);
  EXPECT_NEAR(arial.advance(u"H"), 72, 1);
  EXPECT_NEAR(times.advance(u"H"), 72, 1);
  EXPECT_NEAR(courier.advance(u"H"), 60, 1);
  EXPECT_EQ(courier.advance(u"iiii"), courier.advance(u"WWWW"));
  // A positive height is the cell: ascent + descent.
  TextCanvas cell("arial", 30);
  EXPECT_EQ(cell.metrics().tmHeight, 30);
}

TEST(compatGdiFont, TextIsDrawnTopAlignedInGreyscaleCoverage) {
  TextCanvas canvas("arial", -20);
  canvas.draw(10, 3, u"O");
  int count = 0;
  std::vector<int> box = canvas.inkBox(count);
  ABCFLOAT abc = canvas.abc(u'O');
  TEXTMETRICA m = canvas.metrics();
  EXPECT_EQ(box[0], 10 + static_cast<int>(abc.abcfA));
  EXPECT_EQ(box[2] - box[0], static_cast<int>(abc.abcfB));
  EXPECT_GE(box[1], 3);
  EXPECT_LE(box[3], 3 + m.tmAscent);  // no descender
  EXPECT_GT(box[3], 3 + m.tmAscent - 3);
  int full = 0, partial = 0;
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      int c = canvas.at(x, y);
      full += c == 255;
      partial += c > 0 && c < 255;
    }
  }
  EXPECT_GT(full, 10);
  EXPECT_GT(partial, 10);
}

TEST(compatGdiFont, BoldAndItalicShowWhetherTheFaceHasThemOrNot) {
  // Without an italic face of the family (as with fonts-dejavu-core alone)
  // the upright face is slanted; either way the stem leans.
  TextCanvas upright("DejaVu Serif", -32), slanted("DejaVu Serif", -32, FW_NORMAL, true);
  TextCanvas regular("arial", -32), bold("arial", -32, FW_BOLD);
  for (TextCanvas* canvas : {&upright, &slanted, &regular, &bold}) canvas->draw(8, 4, u"l");
  auto lean = [](TextCanvas& canvas) {
    int count = 0;
    std::vector<int> box = canvas.inkBox(count);
    int high = box[1] + (box[3] - box[1]) / 4, low = box[1] + (box[3] - box[1]) * 3 / 4;
    auto firstInk = [&](int row) {
      for (int x = 0; x < canvas.width; ++x) {
        if (canvas.at(x, row) > 128) return x;
      }
      return -1;
    };
    return firstInk(high) - firstInk(low);
  };
  EXPECT_EQ(lean(upright), 0);
  EXPECT_GE(lean(slanted), 2);
  int regularInk = 0, boldInk = 0;
  regular.inkBox(regularInk);
  bold.inkBox(boldInk);
  EXPECT_GT(boldInk, regularInk * 5 / 4);
  EXPECT_EQ(bold.metrics().tmWeight, FW_BOLD);
}

TEST(compatGdiFont, ADeletedFontIsNoLongerUsable) {
  TextCanvas canvas("arial", -12);
  EXPECT_TRUE(DeleteObject(canvas.font));
  TEXTMETRICA m;
  EXPECT_FALSE(GetTextMetricsA(canvas.dc, &m));
  EXPECT_FALSE(TextOutW(canvas.dc, 0, 0, u"x", 1));
  canvas.font = nullptr;
}

}  // namespace
