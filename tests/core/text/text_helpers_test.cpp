// File-name, token, number-text and comparison helpers, and the text encodings.
#include <gtest/gtest.h>

#include <clocale>

#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

namespace {
TEST(TextHelpers, StripExtensionCutsAtTheLastPointOnly) {
  EXPECT_EQ(StripExtension("readme"), "readme");
  EXPECT_EQ(StripExtension("a.b.qxml"), "a.b");
  EXPECT_EQ(StripExtensionW(u"main.qxml"), u"main");
  EXPECT_EQ(StripExtensionW(u"dir.v2/pic"), u"dir.v2/pic");
  EXPECT_EQ(StripExtension("dir.v2\\pic.png"), "dir.v2\\pic");
  EXPECT_EQ(ExtractFileExt("dir.v2\\file"), "");
  EXPECT_EQ(ExtractFileExt("Main.QXML"), ".QXML");
  EXPECT_EQ(ExtractFilePath("a\\b/c.txt"), "a\\b/");
  EXPECT_EQ(ExtractFileName("a\\b/c.txt"), "c.txt");
}

TEST(TextHelpers, ExtractTokenTrimsAndScansTheWholeText) {
  std::string text = "  alpha , beta,gamma";
  EXPECT_EQ(ExtractToken(text, ","), "alpha");
  EXPECT_EQ(text, "beta,gamma");
  std::string single = "  lone\t";
  EXPECT_EQ(ExtractToken(single, ";,"), "lone");
  EXPECT_TRUE(single.empty());
  WideString longText(279, u'x');
  longText += u";rest";
  longText += WideString(16, u'y');
  EXPECT_EQ(ExtractTokenW(longText, u";"), WideString(279, u'x'));
  EXPECT_EQ(longText, u"rest" + WideString(16, u'y'));
}

TEST(TextHelpers, FloatTextIsFixedWithFifteenDecimalsWhateverTheLocale) {
  EXPECT_EQ(FloatToWideStr(1.5), u"1.500000000000000");
  EXPECT_EQ(FloatToWideStr(static_cast<float>(0.1)), u"0.100000001490116");
  EXPECT_EQ(FloatToWideStr(-2.0), u"-2.000000000000000");
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(FloatToWideStr(0.25), u"0.250000000000000");
  EXPECT_DOUBLE_EQ(WideStrToFloat(u" 2.75 "), 2.75);
  if (german) std::setlocale(LC_NUMERIC, "C");
  EXPECT_DOUBLE_EQ(WideStrToFloat(u"+1e3"), 1000.0);
  EXPECT_THROW(WideStrToFloat(u"1,5"), EConvertError);
  EXPECT_THROW(WideStrToFloat(u""), EConvertError);
  EXPECT_THROW(WideStrToFloat(u"3.5x"), EConvertError);
}

TEST(TextHelpers, CompareTextFoldsOnlyAsciiLettersAndCapsAt255) {
  EXPECT_EQ(CompareTextW(u"abc", u"ABD"), -1);
  EXPECT_EQ(CompareTextW(u"ab", u"abc"), -1);
  EXPECT_EQ(CompareTextW(u"abc", u"ab"), 1);
  EXPECT_EQ(CompareTextW(u"Hello", u"hELLO"), 0);
  EXPECT_EQ(CompareTextW(u"x\u0400", u"x\u0500"), 0);  // both above 255
  EXPECT_EQ(CompareTextW(u"\u00E9", u"\u00C9"), 1);     // Latin-1 letters are not folded
  EXPECT_EQ(CompareTextW(u"[", u"a"), 1);               // 'a' folds to 'A' (65) below '[' (91)
}

TEST(TextHelpers, WideUpperCaseCoversLatinGreekCyrillic) {
  EXPECT_EQ(UpperCaseW(u"abc\u00E9\u00FF\u03B1\u0431"), u"ABC\u00C9\u0178\u0391\u0411");
  EXPECT_EQ(LowerCaseW(u"ABC\u00C9\u0178"), u"abc\u00E9\u00FF");
}

TEST(TextHelpers, RoundingSendsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(480.0), 480);
}

TEST(TextEncoding, Windows1252RoundTripsAndMapsTheHighControls) {
  EXPECT_EQ(AnsiToWide("\x80\x99\xE9"), u"\u20AC\u2122\u00E9");
  EXPECT_EQ(WideToAnsi(u"\u20AC\u2122\u00E9"), "\x80\x99\xE9");
  EXPECT_EQ(WideToAnsi(u"\u4E2D"), "?");
  EXPECT_EQ(AnsiToWide("\x81"), u"\u0081");  // undefined bytes keep their value
  EXPECT_EQ(WideToAnsi(u"\u0081"), "\x81");
}

TEST(TextEncoding, Utf8DecodesAndFallsBackToWindows1252ForBadBytes) {
  EXPECT_EQ(Utf8ToWide("h\xC3\xA9llo \xF0\x9F\x98\x80"), u"h\u00E9llo \U0001F600");
  EXPECT_EQ(WideToUtf8(u"h\u00E9llo \U0001F600"), "h\xC3\xA9llo \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToWide("caf\xE9"), u"caf\u00E9");  // a lone Latin-1 byte
  EXPECT_FALSE(IsValidUtf8("caf\xE9"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));  // overlong
  EXPECT_TRUE(IsValidUtf8("plain"));
}
}  // namespace
