#include "core/geometry/geometry_color.h"

#include <gtest/gtest.h>

#include "core/text/exceptions.h"

TEST(GeometryColor, ToTextIsEightUpperCaseDigits) {
  EXPECT_EQ(ColorToText(0), W("#00000000"));
  EXPECT_EQ(ColorToText(0xFFFFFFFF), W("#FFFFFFFF"));
  EXPECT_EQ(ColorToText(MakeColorARGB(0xAB, 0x0C, 0xEF, 0x12)), W("#AB0CEF12"));
}

TEST(GeometryColor, FromText) {
  EXPECT_EQ(TextToColor(W("#FF969696")), 0xFF969696u);
  EXPECT_EQ(TextToColor(W("#ff969696")), 0xFF969696u);
  EXPECT_EQ(TextToColor(W("#000000001")), 1u);  // leading zeros do not overflow
  EXPECT_EQ(TextToColor(W("255")), 255u);
  EXPECT_EQ(TextToColor(W("-1")), kNoColor);
  EXPECT_EQ(TextToColor(W("-2147483648")), 0x80000000u);
  EXPECT_EQ(TextToColor(W("4288059030")), 0xFF969696u);
  EXPECT_EQ(TextToColor(W("$ffffffff")), 0xFFFFFFFFu);
  for (TColorARGB c : {0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(TextToColor(ColorToText(c)), c);
  }
}

TEST(GeometryColor, TextThatIsNoNumberReadsAsZero) {
  EXPECT_EQ(TextToColor(std::u16string_view(u"\0", 1)), 0u);
  EXPECT_EQ(TextToColor(std::u16string_view(u"12\0ab", 5)), 12u);
  for (const char* text : {"", "#", "red", "#FFG00000", "12 ", "#1FF969696", "4294967296",
                           "-2147483649"}) {
    EXPECT_EQ(TextToColor(W(text)), 0u) << text;
  }
}

TEST(GeometryColor, ASetterRefusesHashTextOtherThanEightDigitsWithAHint) {
  struct Case {
    const char* text;
    const char* message;
  };
  for (const Case& c : {Case{"#FFD040", "#FFD040: a colour is #AARRGGBB, e.g. #FFFFD040"},
                        Case{"#ffd040", "#ffd040: a colour is #AARRGGBB, e.g. #FFFFD040"},
                        Case{"#FD0", "#FD0: a colour is #AARRGGBB, e.g. #FF000000"},
                        Case{"#000000001", "#000000001: a colour is #AARRGGBB, e.g. #FF000000"}}) {
    try {
      ColorFromText(W(c.text));
      ADD_FAILURE() << c.text << " was taken";
    } catch (const EConvertError& e) {
      EXPECT_EQ(WideToUtf8(e.wideMessage()), c.message);
    }
  }
  EXPECT_EQ(ColorFromText(W("#ffd04080")), 0xFFD04080u);
  EXPECT_EQ(ColorFromText(W("255")), 255u);
}

TEST(GeometryColor, ScaleAlphaTruncatesAndKeepsTheColour) {
  EXPECT_EQ(ColorScaleAlpha(0x80112233, 0.5f), 0x40112233u);
  EXPECT_EQ(ColorScaleAlpha(0xFF112233, 0.999f), 0xFE112233u);  // 254.745 -> 254
  EXPECT_EQ(ColorScaleAlpha(0x80112233, 1.5f), 0xC0112233u);
  // Out-of-range factors stay within the alpha byte.
  EXPECT_EQ(ColorScaleAlpha(0x80112233, 4), 0xFF112233u);
  EXPECT_EQ(ColorScaleAlpha(0x80112233, -1), 0x00112233u);
}

TEST(GeometryColor, LerpPerChannel) {
  EXPECT_EQ(ColorLerp(0xFF000000, 0xFFFFFFFF, 0.5f), 0xFF7F7F7Fu);
  // 255 + Trunc(-127.5) = 128: toward zero, not downwards.
  EXPECT_EQ(ColorLerp(0x00FF0000, 0x00000000, 0.5f), 0x00800000u);
  EXPECT_EQ(ColorLerp(0x10203040, 0x50607080, 1), 0x50607080u);
  EXPECT_EQ(ColorLerp(0x00000000, 0xFF000000, 0.25f), 0x3F000000u);
  // Beyond 1 a channel wraps within its byte: 128 + 254 = 382 -> 126.
  EXPECT_EQ(ColorLerp(0x00000080, 0x000000FF, 2), 0x0000007Eu);
}
