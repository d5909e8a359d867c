// The inspector's rows and typed values on a font description: what the
// stored test hides has no row, a set shows its members, and typed text is
// taken only when it converts (a set only whole, in brackets); a value's line
// breaks show as a mark on one line and come back as the breaks it used.
#include <gtest/gtest.h>

#include "engine/media/font_persistent.h"
#include "gui/design/inspector_rows.h"

namespace {
const InspectorRow* Find(const std::vector<InspectorRow>& rows, const std::u16string& name) {
  for (const InspectorRow& row : rows) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

TEST(InspectorRows, HiddenByTheStoredTestSetsShowMembersAndOnlyConvertibleTextIsTaken) {
  auto* font = New<TFontPersistent>(nullptr);
  // A named font stores no size or style: neither has a row.
  EXPECT_EQ(Find(BuildInspectorRows(font), u"style"), nullptr);
  font->setFontName(u"");
  font->setStyle(TFontStyles{fsBold});
  const std::vector<InspectorRow> rows = BuildInspectorRows(font);
  ASSERT_NE(Find(rows, u"style"), nullptr);
  EXPECT_EQ(Find(rows, u"style")->value, u"[fsBold]");

  struct Case {
    const char* property;
    std::u16string typed;
    bool taken;
    std::u16string after;
  };
  const Case cases[] = {
      {"style", u"", false, u"[fsBold]"},  // an emptied edit does not clear the set
      {"style", u"fsItalic", false, u"[fsBold]"},
      {"style", u"[fsBold,fsItalic]", true, u"[fsBold,fsItalic]"},
      {"style", u"[fsBold,fsHuge]", false, u"[fsBold,fsItalic]"},
      {"style", u"[]", true, u"[]"},
      {"size", u"twelve", false, u"10"},
      {"size", u" 14 ", true, u"14"},
      {"stepHorz", u"1.5x", false, u"0"},
  };
  for (const Case& c : cases) {
    const PropInfo* prop = font->classInfo().findProperty(c.property);
    ASSERT_NE(prop, nullptr) << c.property;
    EXPECT_EQ(ApplyRowText(font, *prop, c.typed), c.taken) << c.property << " " << WideToAnsi(c.typed);
    EXPECT_EQ(RowValue(font, *prop), c.after) << c.property << " " << WideToAnsi(c.typed);
  }
  font->Free();
}

TEST(InspectorRows, LineBreaksShowAsAMarkAndComeBackAsTheValuesOwn) {
  struct Case {
    std::u16string value, line, typedLine, typedBack;
  };
  const Case cases[] = {
      {u"a\r\nb\r\n", u"a\u00B6b\u00B6", u"a\u00B6c", u"a\r\nc"},
      {u"a\nb", u"a\u00B6b", u"\u00B6b", u"\nb"},
      {u"a\rb\n\nc", u"a\u00B6b\u00B6\u00B6c", u"a\u00B6", u"a\r"},
      {u"ab", u"ab", u"a\u00B6b", u"a\r\nb"},  // a value without breaks takes CR LF
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OneLineText(c.value), c.line) << WideToUtf8(c.value);
    EXPECT_EQ(LineBrokenText(c.typedLine, c.value), c.typedBack) << WideToUtf8(c.value);
  }
}
}  // namespace
