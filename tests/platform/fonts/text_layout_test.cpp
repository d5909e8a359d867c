// Text layout: lines broken at line breaks or wrapped at words, and the block
// and its lines placed in the rectangle by the alignment flags. Measured with
// 10 pixels a character and lines 12 pixels high.
#include <gtest/gtest.h>

#include "platform/fonts/text_layout.h"

namespace {

void TenPixels(const WideString& text, int32_t& count, TPointF& size, float limit) {
  count = static_cast<int32_t>(std::min<size_t>(text.size(), static_cast<size_t>(limit / 10)));
  size = MakePointF(10.0f * static_cast<float>(count), text.empty() ? 0 : 12);
}

struct Case {
  const char* name;
  uint8_t flags;
  const char16_t* text;
  TRectF rect;
  TRectF block;
  std::vector<TTextLine> lines;
};

TEST(TextLayout, FlagsPlaceLinesAndBlock) {
  const TRectF box = MakeRectF(0, 0, 100, 60);
  const Case cases[] = {
      {"left top", 0, u"ab\r\nabcd", box, MakeRectF(0, 0, 40, 24),
       {{MakeRectF(0, 0, 20, 12), u"ab"}, {MakeRectF(0, 12, 40, 24), u"abcd"}}},
      {"right", kTextRight, u"ab\nabcd", box, MakeRectF(60, 0, 100, 24),
       {{MakeRectF(80, 0, 100, 12), u"ab"}, {MakeRectF(60, 12, 100, 24), u"abcd"}}},
      {"centre, middle", kTextCentre | kTextMiddle, u"ab\rabcd", box, MakeRectF(30, 18, 70, 42),
       {{MakeRectF(40, 18, 60, 30), u"ab"}, {MakeRectF(30, 30, 70, 42), u"abcd"}}},
      {"bottom", kTextBottom, u"abc", box, MakeRectF(0, 48, 30, 60), {{MakeRectF(0, 48, 30, 60), u"abc"}}},
      {"wrap at spaces, commas and stops", kTextWordWrap, u"one two,three.four", MakeRectF(0, 0, 85, 60),
       MakeRectF(0, 0, 80, 36),
       {{MakeRectF(0, 0, 80, 12), u"one two,"}, {MakeRectF(0, 12, 60, 24), u"three."},
        {MakeRectF(0, 24, 40, 36), u"four"}}},
      {"a word wider than the rectangle stands alone", kTextWordWrap, u"a abcdefghijkl b", MakeRectF(0, 0, 50, 60),
       MakeRectF(0, 0, 130, 36),
       {{MakeRectF(0, 0, 20, 12), u"a "}, {MakeRectF(0, 12, 130, 24), u"abcdefghijkl "},
        {MakeRectF(0, 24, 10, 36), u"b"}}},
      {"text that fits is one line", kTextWordWrap, u"a b", MakeRectF(0, 0, 50, 60), MakeRectF(0, 0, 30, 12),
       {{MakeRectF(0, 0, 30, 12), u"a b"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TTextLine> lines;
    int32_t count = 0;
    TRectF rect = c.rect;
    LayoutText(nullptr, c.flags, c.text, lines, count, 65535, TenPixels, rect);
    EXPECT_EQ(rect, c.block);
    ASSERT_EQ(lines.size(), c.lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].rect, c.lines[i].rect) << i;
      EXPECT_EQ(WideToUtf8(lines[i].text), WideToUtf8(c.lines[i].text)) << i;
    }
  }
}

TEST(TextLayout, LineSpacingAndFittingCount) {
  auto* font = New<TFont>(nullptr);
  font->lineSpacing = 3;
  std::vector<TTextLine> lines;
  int32_t count = 0;
  TRectF rect = MakeRectF(0, 0, 100, 100);
  LayoutText(font, 0, u"abcdef\nxy", lines, count, 40, TenPixels, rect);
  EXPECT_EQ(count, 6);  // 4 of the first line, 2 of the second
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].rect, MakeRectF(0, 15, 20, 30));
  EXPECT_EQ(rect.bottom, 30);
  LayoutText(font, 0, u"abc", lines, count, 40, nullptr, rect);
  EXPECT_TRUE(lines.empty());
  font->Free();
}

}  // namespace
