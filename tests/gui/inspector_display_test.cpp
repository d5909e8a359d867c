// The inspector on a running game: the console designs a named button, whose
// rows (sorted, sub-objects nested) show in the top layer's inspector form;
// a click on the width row and keys typed into its editor make the button
// 150 wide on the next frame, and the stored tree holds the new width and
// loads back. Text typed into a number is refused with a log line. The
// editors write readably on their dark bodies, and a value of many lines
// keeps to one line in its row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include "core/objects/wide_strings.h"
#include "core/text/text_helpers.h"
#include "gui/console/console.h"
#include "gui/design/inspector.h"
#include "gui/design/inspector_form.h"
#include "gui/gui_parts.h"
#include "gui/widgets/std_dropdown.h"
#include "gui/widgets/std_edit.h"
#include "tests/gui/design_game.h"

namespace {
constexpr uint16_t kGrave = 96;
constexpr char kButton[] = R"(<Button name="ok" text="OK" width="70" height="30"/>)";
constexpr char kList[] = R"(<List name="l" items.text="one" width="70" height="60"/>)";

// How far the text in a window rectangle stands out from its ground, the
// rectangle's middle brightness (text covers less than half of it).
int TextContrast(const GuiFrame& frame, const TRectF& rect) {
  std::vector<int> lumas;
  for (int y = static_cast<int>(rect.top); y < static_cast<int>(rect.bottom); ++y) {
    for (int x = static_cast<int>(rect.left); x < static_cast<int>(rect.right); ++x) lumas.push_back(Luma(frame.at(x, y)));
  }
  if (lumas.empty()) return 0;
  std::nth_element(lumas.begin(), lumas.begin() + lumas.size() / 2, lumas.end());
  const int ground = lumas[lumas.size() / 2];
  const auto [darkest, brightest] = std::minmax_element(lumas.begin(), lumas.end());
  return std::max(*brightest - ground, ground - *darkest);
}

// The middle of a widget's client rectangle in the window, where its text lies.
TRectF TextArea(GuiObject* widget, const TRectF& client) {
  const TVector4F at = widget->getWorldPosition();
  const float w = client.right - client.left, h = client.bottom - client.top;
  return MakeRectF(at.x + client.left + w * 0.3f, at.y + client.top + h * 0.2f, at.x + client.right - w * 0.3f,
                   at.y + client.bottom - h * 0.2f);
}

void Type(GuiTestGame& game, const std::u16string& text) {
  for (char16_t c : text) game.key(0, c);
}

class InspectorGame : public ::testing::Test {
 protected:
  // Opens the console, types the line, waits until `done` holds, closes the
  // console.
  void runInConsole(const std::u16string& line, const std::function<bool()>& done) {
    std::function<bool()> stages[] = {
        [&] { return !game.applet->modalStack().empty(); },
        [&] {
          Type(game, line);
          game.key(13, 0);
          return true;
        },
        done,
        [&] {
          game.key(27, 0);
          return true;
        },
    };
    size_t next = 0;
    game.beforeStep = [&](int) {
      if (next < std::size(stages) && stages[next]()) ++next;
    };
    game.key(0, kGrave);
    ASSERT_TRUE(game.stepUntil([&] { return next == std::size(stages) && game.applet->modalStack().empty(); }, 20));
    game.beforeStep = nullptr;
  }
  // Designs the button from the console.
  void designFromConsole() {
    runInConsole(u"applet.findByName(\"ok\").design()", [&] { return form()->visible(); });
    // The form stands at x 600 of an 800-wide game; this one is 320 wide.
    form()->setRect(MakeRectF(170, 0, 320, 200));
    game.step(2);
    // The inspector follows the form's new size.
    ASSERT_LE(inspector()->y() + inspector()->height(), form()->height());
  }

  InspectorForm* form() const { return GuiParts::of(game.applet)->inspectorForm(); }
  Inspector* inspector() const { return form()->inspector(); }
  int rowOf(const std::u16string& name) const {
    const auto& rows = inspector()->rows();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].name == name && rows[i].path.empty()) return static_cast<int>(i);
    }
    return -1;
  }
  // The applet point in the middle of a shown row's name or value half.
  TPointF rowPoint(int row, bool value) const {
    const TRectF r = inspector()->itemRect(row);
    const TVector4F at = inspector()->getWorldPosition();
    const float x = value ? r.left + (r.right - r.left) * 0.75f : r.left + (r.right - r.left) * 0.25f;
    return {std::round(at.x + x), std::round(at.y + (r.top + r.bottom) / 2)};
  }
  // The pointer comes over the point (a button clicks only while hot), then
  // presses and lets go.
  void click(const TPointF& p) {
    game.applet->QueueEvent(TMouseEvent::Create(lekMouseMove, 0, static_cast<int32_t>(p.x), static_cast<int32_t>(p.y),
                                                0, 0, 0, game.applet->window()));
    game.click(static_cast<int32_t>(p.x), static_cast<int32_t>(p.y));
    game.step(2);
  }
  // Scrolls the focused inspector until the row is the top one shown (or
  // the list is at its end), then clicks its name.
  void selectRow(int row) {
    click(rowPoint(inspector()->topIndex(), false));
    for (int i = 0; i < 100 && inspector()->topIndex() != row; ++i) {
      const int top = inspector()->topIndex();
      // One turn of the wheel as far as the row (a negative turn scrolls down).
      const int32_t steps = top - row;
      game.applet->QueueEvent(TWheelEvent::Create(lekWheel, steps, 0, game.applet->window()));
      game.step();
      if (inspector()->topIndex() == top) break;
    }
    click(rowPoint(row, false));
    ASSERT_EQ(inspector()->itemIndex(), row);
  }
  // Selects the row and clicks into its text editor.
  void openEditor(int row) {
    selectRow(row);
    ASSERT_NE(dynamic_cast<TStdEdit*>(inspector()->editor()), nullptr);
    click(rowPoint(row, true));
    ASSERT_TRUE(inspector()->editor()->focused());
  }
  void retype(const std::u16string& text) {
    game.key(35, 0);  // End
    for (size_t i = 0; i < inspector()->editor()->text().size(); ++i) game.key(8, 0);
    Type(game, text);
    game.key(13, 0);
    game.step(2);
  }

  DesignGame game;
};

TEST_F(InspectorGame, RowsComeFromTheDescriptionSortedWithSubObjectsNested) {
  ASSERT_NE(game.load("frameRate=\"-1\"", kButton), nullptr);
  designFromConsole();
  BaseObject* ok = game.applet->findByName(u"ok");
  EXPECT_EQ(form()->root(), ok);
  const auto& rows = inspector()->rows();
  std::vector<std::u16string> top;
  for (const InspectorRow& row : rows) {
    if (row.path.empty()) top.push_back(row.name);
  }
  EXPECT_TRUE(std::is_sorted(top.begin(), top.end(),
                             [](const auto& a, const auto& b) { return CompareTextW(a, b) < 0; }));
  EXPECT_EQ(rowOf(u"x"), -1) << "x is never stored: no row";
  const int font = rowOf(u"font");
  ASSERT_GE(font, 0);
  EXPECT_EQ(rows[font].value, u"(TFontPersistent)");
  EXPECT_EQ(rows[font + 1].path, std::vector<std::string>{"font"}) << "the font's own rows follow it";
  EXPECT_EQ(rows[rowOf(u"width")].value, FloatToWideStr(70));  // the system's float text
  EXPECT_EQ(rows[rowOf(u"visible")].value, u"True");
}

TEST_F(InspectorGame, ADropDownSetsABooleanAndEditorsGoWithTheirRowTheRootAndTheForm) {
  ASSERT_NE(game.load("frameRate=\"-1\"", kButton), nullptr);
  auto* ok = dynamic_cast<GuiObject*>(game.applet->findByName(u"ok"));
  designFromConsole();
  const int visible = rowOf(u"visible");
  selectRow(visible);
  auto* dropdown = dynamic_cast<TStdDropdown*>(inspector()->editor());
  ASSERT_NE(dropdown, nullptr);
  EXPECT_EQ(dropdown->text(), u"True");
  click(rowPoint(visible, true));
  ASSERT_TRUE(dropdown->dropped());
  // The list drops below its row: "False" is its first entry.
  TStdList* list = dropdown->list();
  const TRectF entry = list->itemRect(0);
  const TVector4F at = list->getWorldPosition();
  click({std::round(at.x + (entry.left + entry.right) / 2), std::round(at.y + (entry.top + entry.bottom) / 2)});
  EXPECT_FALSE(ok->visible());
  EXPECT_EQ(inspector()->rows()[visible].value, u"False");
  EXPECT_EQ(inspector()->editor(), dropdown) << "the choice's own editor stays while its handler runs";
  EXPECT_EQ(dropdown->text(), u"False");

  // Another row frees the drop-down (and its list); an object row has no editor.
  selectRow(rowOf(u"font"));
  EXPECT_EQ(inspector()->editor(), nullptr);
  EXPECT_EQ(game.applet->findByClassName("Dropdown"), nullptr);
  selectRow(rowOf(u"text"));
  ASSERT_NE(inspector()->editor(), nullptr);
  // The root goes: rows and editor go with it.
  ok->Free();
  EXPECT_EQ(form()->root(), nullptr);
  EXPECT_TRUE(inspector()->rows().empty());
  EXPECT_EQ(inspector()->editor(), nullptr);
  game.step(2);
  // The close button closes the form.
  GuiObject* close = form()->closeButton();
  ASSERT_NE(close, nullptr);
  const TVector4F corner = close->getWorldPosition();
  click({corner.x + 6, corner.y + 6});
  game.step(20);
  EXPECT_FALSE(form()->visible());
}

TEST_F(InspectorGame, TypedWidthShowsOnTheNextFrameIsStoredAndLoadsBackAndTextForANumberIsRefused) {
  ASSERT_NE(game.load("frameRate=\"-1\"", kButton), nullptr);
  auto* ok = dynamic_cast<GuiObject*>(game.applet->findByName(u"ok"));
  ok->setRect(MakeRectF(10, 150, 80, 180));
  designFromConsole();
  const GuiFrame before = ReadFrame(game.applet);
  ASSERT_FALSE(before.pixels.empty());
  openEditor(rowOf(u"width"));
  retype(u"150");
  EXPECT_EQ(ok->width(), 150);
  const GuiFrame after = ReadFrame(game.applet);
  // Inside the old width nothing changed colour; beyond it the button now
  // covers what was the background, up to x 160 and no further (the form
  // stands from x 170 on).
  EXPECT_EQ(after.at(40, 165), before.at(40, 165));
  EXPECT_NE(after.at(150, 165), before.at(150, 165));
  EXPECT_EQ(after.at(165, 165), before.at(165, 165));

  runInConsole(u"applet.storeObject(applet, \"stored.qxml\")",
               [&] { return std::ifstream(game.game.file("stored.qxml")).good(); });
  std::ifstream file(game.game.file("stored.qxml"));
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("width=\"" + WideToAnsi(FloatToWideStr(150)) + "\""), std::string::npos) << text.str();
  EXPECT_EQ(text.str().find("Inspector"), std::string::npos) << "the design tools are never stored";

  // Text for a number: refused, logged, the old value stays and shows again.
  openEditor(rowOf(u"width"));
  retype(u"wide");
  EXPECT_EQ(ok->width(), 150);
  EXPECT_TRUE(game.log.contains("(e) Inspector: invalid value \"wide\" for width"));
  EXPECT_EQ(inspector()->editor()->text(), FloatToWideStr(150));

  // What the stored applet holds, read into a new game.
  const std::string stored = text.str();
  const size_t open = stored.find('>', stored.find("<Applet")), close = stored.rfind("</Applet>");
  ASSERT_TRUE(open != std::string::npos && close != std::string::npos);
  DesignGame second;
  ASSERT_NE(second.load("frameRate=\"-1\"", stored.substr(open + 1, close - open - 1)), nullptr);
  auto* again = dynamic_cast<GuiObject*>(second.applet->findByName(u"ok"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->width(), 150);
}

TEST_F(InspectorGame, NumbersNoFloatHoldsAreRefusedAndAnEditorScrolledOutOfViewIsHidden) {
  ASSERT_NE(game.load("frameRate=\"-1\"", kButton), nullptr);
  auto* ok = dynamic_cast<GuiObject*>(game.applet->findByName(u"ok"));
  designFromConsole();
  const int width = rowOf(u"width");
  // The editor stays, showing the value again, after each refusal.
  openEditor(width);
  for (const char16_t* typed : {u"nan", u"inf", u"-inf", u"1e40"}) {
    retype(typed);
    EXPECT_EQ(ok->width(), 70) << WideToUtf8(typed);
    EXPECT_TRUE(game.log.contains("(e) Inspector: invalid value \"" + WideToUtf8(typed) + "\" for width"));
  }
  retype(u"-1e3");
  EXPECT_EQ(ok->width(), -1000);
  // The row scrolls up out of the list: its editor goes out of sight with it.
  int alpha = 1;  // a row near the top with an editor of its own
  while (inspector()->rows()[alpha].value.starts_with(u"(")) ++alpha;
  selectRow(alpha);
  ASSERT_EQ(inspector()->topIndex(), alpha);
  ASSERT_NE(inspector()->editor(), nullptr);
  game.applet->QueueEvent(TWheelEvent::Create(lekWheel, -1, 0, game.applet->window()));
  game.step(2);
  ASSERT_EQ(inspector()->topIndex(), alpha + 1);
  EXPECT_TRUE(inspector()->editor() == nullptr || !inspector()->editor()->visible());
  game.applet->QueueEvent(TWheelEvent::Create(lekWheel, 1, 0, game.applet->window()));
  game.step(2);
  ASSERT_NE(inspector()->editor(), nullptr);
  EXPECT_TRUE(inspector()->editor()->visible());
  EXPECT_EQ(inspector()->editor()->y(), inspector()->itemRect(alpha).top);
}

TEST_F(InspectorGame, AnEnumerationsEditorAndItsOpenListWriteReadably) {
  ASSERT_NE(game.load("frameRate=\"-1\"", kButton), nullptr);
  designFromConsole();
  const int visible = rowOf(u"visible");
  selectRow(visible);
  auto* dropdown = dynamic_cast<TStdDropdown*>(inspector()->editor());
  ASSERT_NE(dropdown, nullptr);
  // Open, with the pointer over it: the drop-down's text and both entries.
  click(rowPoint(visible, true));
  ASSERT_TRUE(dropdown->dropped());
  const GuiFrame frame = ReadFrame(game.applet);
  ASSERT_FALSE(frame.pixels.empty());
  TStdList* list = dropdown->list();
  for (const TRectF& area : {TextArea(dropdown, dropdown->getClientRect()), TextArea(list, list->itemRect(0)),
                             TextArea(list, list->itemRect(1))}) {
    EXPECT_GE(TextContrast(frame, area), 120) << area.left << "," << area.top;
  }
}

TEST_F(InspectorGame, AValueOfManyLinesOrOneLongLineKeepsToItsRowAndEditsOnOneLine) {
  ASSERT_NE(game.load("frameRate=\"-1\"", kList), nullptr);
  auto* target = dynamic_cast<TStdList*>(game.applet->findByName(u"l"));
  ASSERT_NE(target, nullptr);
  runInConsole(u"applet.findByName(\"l\").design()", [&] { return form()->visible(); });
  form()->setRect(MakeRectF(170, 0, 320, 200));
  const auto& rows = inspector()->rows();
  const auto itemsText = std::find_if(rows.begin(), rows.end(), [](const InspectorRow& r) {
    return r.name == u"text" && r.path == std::vector<std::string>{"items"};
  });
  ASSERT_NE(itemsText, rows.end());
  const int row = static_cast<int>(itemsText - rows.begin());
  // The row on top, nothing selected: no editor covers it.
  inspector()->mouseWheel(0, inspector()->topIndex() - row);
  ASSERT_EQ(inspector()->topIndex(), row);
  game.step(2);
  const GuiFrame oneLine = ReadFrame(game.applet);
  const TVector4F at = inspector()->getWorldPosition();
  const TRectF r = inspector()->itemRect(row);
  const int top = static_cast<int>(at.y + r.top), bottom = static_cast<int>(at.y + r.bottom);
  const int valueLeft = static_cast<int>(at.x + std::trunc((r.right - r.left) / 2));
  const int valueRight = static_cast<int>(at.x + r.right);
  for (const char16_t* text : {u"one\r\ntwo\r\nthree", u"one MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"}) {
    target->items()->setText(text);
    inspector()->rebuild();
    game.step(2);
    const GuiFrame frame = ReadFrame(game.applet);
    ASSERT_EQ(frame.pixels.size(), oneLine.pixels.size());
    // The row's value shows more than "one"; nothing changes outside it, on
    // the form, from the row down.
    int changedInRow = 0, changedOutside = 0;
    for (int y = top; y < frame.height; ++y) {
      for (int x = 170; x < frame.width; ++x) {
        const bool inRow = y < bottom && x >= valueLeft && x < valueRight;
        (inRow ? changedInRow : changedOutside) += frame.at(x, y) != oneLine.at(x, y);
      }
    }
    EXPECT_GT(changedInRow, 10) << WideToUtf8(text);
    EXPECT_EQ(changedOutside, 0) << WideToUtf8(text);
  }
  // The edit holds the lines on one line; the marks typed become line breaks.
  target->items()->setText(u"one\r\ntwo");
  inspector()->rebuild();
  openEditor(row);
  EXPECT_EQ(inspector()->editor()->text(), u"one\u00B6two\u00B6");
  retype(u"a\u00B6b\u00B6c");
  EXPECT_EQ(target->items()->text(), u"a\r\nb\r\nc\r\n");
}
}  // namespace
