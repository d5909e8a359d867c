// The standard widgets in a running applet, driven by input records queued as
// the window procedure queues them: clicks, drags, keys and wheel steps reach
// the widgets through the applet's routing and run their script handlers.
#include <gtest/gtest.h>

#include <cmath>

#include "core/objects/wide_strings.h"
#include "core/resources/stream.h"
#include "core/streams/object_writer.h"
#include "core/streams/object_xml.h"
#include "engine/applet/language_table.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/std_button.h"
#include "gui/widgets/std_check_box.h"
#include "gui/widgets/std_dropdown.h"
#include "gui/widgets/std_edit.h"
#include "gui/widgets/std_list.h"
#include "gui/widgets/std_toggle.h"
#include "gui/widgets/std_trackbar.h"
#include "platform/caret.h"
#include "platform/device_window.h"
#include "platform/font.h"
#include "tests/gui/gui_test_world.h"

namespace {
using Lines = std::vector<std::string>;

// A handler that logs "@<name> <what>".
std::string Logs(const std::string& handler, const std::string& what) {
  return handler + "=\"engine.log('@' + event.paramThis.name + ' " + what + "')\"";
}

class StdWidgets : public ::testing::Test {
 protected:
  Applet* load(const std::string& children) {
    Applet* applet = game.load("frameRate=\"-1\"", children);
    if (applet) game.step(2);
    return applet;
  }
  template <class T>
  T* find(const char16_t* name) {
    return dynamic_cast<T*>(game.applet->findByName(name));
  }
  void queueMouse(uint8_t kind, float x, float y, uint8_t shift) {
    game.applet->QueueEvent(TMouseEvent::Create(kind, kButtonLeft, static_cast<int32_t>(x), static_cast<int32_t>(y),
                                                0, 0, shift, game.applet->window()));
  }
  // Over the point, pressed and let go there, as a real click comes.
  void click(float x, float y) {
    queueMouse(lekMouseMove, x, y, 0);
    queueMouse(lekMouseDown, x, y, kShiftLeftButton);
    queueMouse(lekMouseUp, x, y, kShiftLeftButton);
    game.step();
  }
  void keys(const std::vector<TKeyEvent*>& records) {
    for (TKeyEvent* record : records) game.applet->QueueEvent(record);
    game.step();
  }
  TKeyEvent* key(uint16_t virtualKey, uint8_t shift = 0) {
    return TKeyEvent::Create(lekKeyDown, virtualKey, 0, shift, game.applet->window());
  }
  TKeyEvent* typed(char16_t character) {
    return TKeyEvent::Create(lekKeyDown, 0, character, 0, game.applet->window());
  }
  void wheel(int32_t steps, int times) {
    for (int i = 0; i < times; ++i) game.applet->QueueEvent(TWheelEvent::Create(lekWheel, steps, 0, game.applet->window()));
    game.step();
  }

  GuiTestGame game;
};

TEST_F(StdWidgets, ButtonsCheckBoxesAndTogglesReactToALeftClickOverThem) {
  ASSERT_NE(load("<TStdButton name=\"ok\" x=\"10\" y=\"10\" " + Logs("onClick", "click") + "/>" +
                 "<TStdCheckBox name=\"tick\" x=\"10\" y=\"50\" " + Logs("onClick", "tick") + "/>" +
                 "<TStdToggle name=\"mode\" x=\"10\" y=\"90\" items.commaText=\"a,b\"/>" +
                 "<TStdToggle name=\"empty\" x=\"100\" y=\"90\" itemIndex=\"3\"/>"),
            nullptr);
  auto* tick = find<TStdCheckBox>(u"tick");
  auto* mode = find<TStdToggle>(u"mode");
  ASSERT_TRUE(tick && mode);
  int clicks = 0;
  find<TStdButton>(u"ok")->clickCallback.set([&](TStdButton*) { ++clicks; });
  click(20, 20);
  click(20, 60);
  EXPECT_EQ(game.scriptLines(), (Lines{"ok click", "tick tick"}));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(tick->checked());
  std::vector<int32_t> cycle;
  for (int i = 0; i < 3; ++i) {
    click(20, 100);
    cycle.push_back(mode->itemIndex());
  }
  EXPECT_EQ(cycle, (std::vector<int32_t>{1, 0, 1}));
  EXPECT_EQ(find<TStdToggle>(u"empty")->itemIndex(), -1);
  click(20, 60);
  EXPECT_FALSE(tick->checked());
  EXPECT_EQ(game.applet->capturedObject(), nullptr);
}

TEST_F(StdWidgets, APressLetGoOffTheWidgetDoesNotClick) {
  ASSERT_NE(load("<TStdButton name=\"ok\" x=\"10\" y=\"10\" " + Logs("onClick", "click") + "/>" +
                 "<TStdCheckBox name=\"tick\" x=\"10\" y=\"50\" " + Logs("onClick", "tick") + "/>" +
                 "<TStdToggle name=\"mode\" x=\"10\" y=\"90\" items.commaText=\"a,b\"/>" +
                 "<TStdDropdown name=\"drop\" x=\"10\" y=\"130\" items.commaText=\"x,y\"/>"),
            nullptr);
  auto* tick = find<TStdCheckBox>(u"tick");
  auto* mode = find<TStdToggle>(u"mode");
  auto* drop = find<TStdDropdown>(u"drop");
  ASSERT_TRUE(tick && mode && drop);
  for (float y : {20.0f, 60.0f, 100.0f, 140.0f}) {
    queueMouse(lekMouseMove, 20, y, 0);
    queueMouse(lekMouseDown, 20, y, kShiftLeftButton);
    queueMouse(lekMouseMove, 200, y, kShiftLeftButton);
    queueMouse(lekMouseUp, 200, y, kShiftLeftButton);
    game.step();
    EXPECT_EQ(game.applet->capturedObject(), nullptr) << y;
  }
  EXPECT_EQ(game.scriptLines(), Lines{});
  EXPECT_FALSE(tick->checked());
  EXPECT_EQ(mode->itemIndex(), 0);
  EXPECT_FALSE(drop->dropped());
  // Let go of over the widget, even with no move before the press: a click.
  for (float y : {20.0f, 60.0f, 100.0f, 140.0f}) {
    queueMouse(lekMouseDown, 20, y, kShiftLeftButton);
    queueMouse(lekMouseUp, 20, y, kShiftLeftButton);
    game.step();
  }
  EXPECT_EQ(game.scriptLines(), (Lines{"ok click", "tick tick"}));
  EXPECT_EQ(mode->itemIndex(), 1);
  EXPECT_TRUE(drop->dropped());
}

TEST_F(StdWidgets, AnEditTakesKeysAsTheyAreTypedAndNeverThroughTheLanguageTable) {
  ASSERT_NE(load("<TStdEdit name=\"edit\" x=\"10\" y=\"10\" width=\"200\" height=\"24\"/>"), nullptr);
  auto* edit = find<TStdEdit>(u"edit");
  ASSERT_NE(edit, nullptr);
  click(100, 20);
  ASSERT_TRUE(edit->focused());
  struct Case {
    const char16_t* start;  // typed first
    std::vector<std::pair<uint16_t, uint8_t>> moves;
    const char16_t* then;  // typed after the moves
    const char16_t* text;
    int32_t caret;
  };
  const std::vector<Case> cases = {
      {u"abcd", {{kKeyLeft, 0}, {kKeyLeft, kShiftShift}, {kKeyLeft, kShiftShift}}, u"x", u"axd", 2},
      {u"abc", {{kKeyBackspace, 0}}, u"", u"ab", 2},
      {u"abc", {{kKeyHome, 0}, {kKeyBackspace, 0}}, u"", u"abc", 0},
      {u"abc", {{kKeyHome, 0}, {kKeyDelete, 0}, {kKeyEnd, 0}}, u"!", u"bc!", 3},
      {u"abc", {{kKeyHome, 0}, {kKeyRight, kShiftShift}, {kKeyDelete, 0}}, u"", u"bc", 0},
      {u"ab", {{kKeyHome, 0}, {kKeyEnd, kShiftShift}}, u"z", u"z", 1},
  };
  for (const Case& c : cases) {
    edit->setText(u"");
    edit->clearSelection();
    std::vector<TKeyEvent*> records;
    for (const char16_t* p = c.start; *p; ++p) records.push_back(typed(*p));
    for (auto [code, shift] : c.moves) records.push_back(key(code, shift));
    for (const char16_t* p = c.then; *p; ++p) records.push_back(typed(*p));
    keys(records);
    EXPECT_EQ(WideToUtf8(edit->text()), WideToUtf8(c.text)) << WideToUtf8(c.start);
    EXPECT_EQ(edit->caretIndex(), c.caret) << WideToUtf8(c.start);
  }
  const WideString collected = game.applet->languageTable()->list().text();
  for (const char16_t* typedText : {u"abcd", u"axd", u"bc!"}) {
    EXPECT_EQ(collected.find(typedText), WideString::npos) << WideToUtf8(typedText);
  }
}

TEST_F(StdWidgets, AnEditHoldsTheWindowCaretWhileFocusedAndTakesItAlongWhenFreed) {
  ASSERT_NE(load("<TStdEdit name=\"edit\" x=\"10\" y=\"10\" text=\"hello\"/>"
                 "<TStdEdit name=\"narrow\" x=\"10\" y=\"50\" width=\"3\"/>"
                 "<TStdButton name=\"ok\" x=\"100\" y=\"50\"/>"),
            nullptr);
  auto* edit = find<TStdEdit>(u"edit");
  TDevice* device = game.applet->device();
  edit->focus();
  EXPECT_TRUE(edit->hasCaret());
  EXPECT_EQ(std::make_pair(edit->selStart(), edit->selEnd()), std::make_pair(0, 5));  // focusing selects all
  click(120, 60);
  EXPECT_FALSE(edit->hasSelection());
  EXPECT_EQ(device->windowParts().caret, nullptr);
  // An edit narrower than its margins still scrolls to its caret and ends.
  click(11, 60);
  keys({typed(u'w'), typed(u'x'), typed(u'y')});
  EXPECT_EQ(find<TStdEdit>(u"narrow")->firstVisible(), 3);
  click(20, 20);
  ASSERT_NE(device->windowParts().caret, nullptr);
  edit->Free();
  EXPECT_EQ(device->windowParts().caret, nullptr);
  game.step();
}

TEST_F(StdWidgets, AnEditShowsWhatIsTypedPastItsEdgeBreaksLinesAtTheCaretAndSelectsFromABoundary) {
  ASSERT_NE(load("<TStdEdit name=\"edit\" x=\"10\" y=\"10\" width=\"60\" height=\"24\"/>"
                 "<TStdEdit name=\"lines\" x=\"100\" y=\"10\" width=\"150\" height=\"80\" multiLine=\"true\" "
                 "font.color=\"#FF000000\"/>"
                 "<TStdEdit name=\"word\" x=\"10\" y=\"120\" width=\"200\" height=\"24\" text=\"abcdefgh\"/>"),
            nullptr);
  auto* edit = find<TStdEdit>(u"edit");
  TDevice* device = game.applet->device();
  TFont* font = edit->font()->getFont();
  ASSERT_NE(font, nullptr);
  // Every character up to the caret fits in what the drawing measures out.
  click(40, 20);
  for (char16_t c : std::u16string(u"WWiiWWiiWWiiWWii")) {
    keys({typed(c)});
    const int32_t first = edit->firstVisible(), caret = edit->caretIndex();
    TRectF area = edit->contentsRect();
    int32_t fit = 0;
    device->MeasureText(font, edit->text().substr(static_cast<size_t>(first), static_cast<size_t>(caret - first)),
                        RectWidth(area), fit, kTextMiddle, area);
    EXPECT_EQ(fit, caret - first) << "first " << first << " caret " << caret;
  }
  // Enter in a multiLine edit breaks the line at the caret; the second line
  // is drawn below the first.
  auto* lines = find<TStdEdit>(u"lines");
  click(150, 20);
  keys({typed(u'a'), typed(u'b'), key(kKeyLeft), key(kKeyEnter), typed(u'c')});
  EXPECT_EQ(lines->text(), u"a\r\ncb");
  EXPECT_EQ(lines->caretIndex(), 4);
  EXPECT_EQ(lines->lines()->count(), 2);
  game.step();
  const GuiFrame frame = ReadFrame(game.applet);
  ASSERT_FALSE(frame.pixels.empty());
  const float row = lines->contentsRect().top + 10 + RectHeight(edit->contentsRect());
  int dark = 0;
  for (int y = static_cast<int>(row); y < 10 + 70; ++y) {
    for (int x = 102; x < 140; ++x) dark += (frame.at(x, y) & 0xFF) < 0x60;
  }
  EXPECT_GT(dark, 5) << "no second line drawn";
  // A press right on the boundary after "ab" starts a selection there.
  auto* word = find<TStdEdit>(u"word");
  const float boundary = word->contentsRect().left + word->textWidth(0, 2);
  ASSERT_EQ(boundary, std::floor(boundary));
  click(150, 130);  // focused: the whole text is selected
  queueMouse(lekMouseDown, 10 + boundary, 130, kShiftLeftButton);
  queueMouse(lekMouseMove, 10 + word->contentsRect().left + word->textWidth(0, 4) + 1, 130, kShiftLeftButton);
  queueMouse(lekMouseUp, 10 + word->contentsRect().left + word->textWidth(0, 4) + 1, 130, kShiftLeftButton);
  game.step();
  EXPECT_EQ(std::make_pair(word->selStart(), word->selEnd()), std::make_pair(2, 4));
  keys({typed(u'x')});
  EXPECT_EQ(word->text(), u"abxefgh");
}

TEST_F(StdWidgets, AListScrollsByTheWheelAndStopsAtItsLastPage) {
  std::string entries = "e0";
  for (int i = 1; i < 20; ++i) entries += ",e" + std::to_string(i);
  ASSERT_NE(load("<TStdList name=\"list\" x=\"10\" y=\"10\" width=\"100\" height=\"120\" items.commaText=\"" + entries + "\" " +
                 Logs("onChangeItem", "picked") + "/>" +
                 "<TStdList name=\"padded\" x=\"150\" y=\"10\" itemHeight=\"6\" contentsMargin.top=\"5\" "
                 "contentsMargin.bottom=\"5\" items.commaText=\"a,b\"/>"
                 "<TStdList name=\"degenerate\" x=\"150\" y=\"100\" itemHeight=\"0\" rowCount=\"0\" "
                 "columnCount=\"0\" items.commaText=\"a,b\"/>"),
            nullptr);
  auto* list = find<TStdList>(u"list");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->height(), 8 * 14 + 4);  // whole rows: Trunc(120 / 14) of them
  click(20, 12 + 14 + 5);                   // the second row
  EXPECT_EQ(list->itemIndex(), 1);
  EXPECT_EQ(game.scriptLines(), Lines{"list picked"});
  wheel(1, 1);
  EXPECT_EQ(list->topIndex(), 0);
  wheel(-1, 15);
  EXPECT_EQ(list->topIndex(), 12);
  wheel(2, 1);
  EXPECT_EQ(list->topIndex(), 10);
  list->setItemIndex(50);
  EXPECT_EQ(list->itemIndex(), 19);
  list->setItemIndex(-5);
  EXPECT_EQ(list->itemIndex(), -1);
  // Margins of more than a row do not make the list grow frame by frame.
  auto* padded = find<TStdList>(u"padded");
  const float settled = padded->height();
  for (int i = 0; i < 5; ++i) {
    padded->update();
    game.step();
  }
  EXPECT_EQ(padded->height(), settled);
  EXPECT_EQ(padded->height(), padded->rowCount() * 6 + 10);
}

TEST_F(StdWidgets, AListGivenFewerEntriesByAScriptShowsThemAndScrollsBack) {
  std::string entries = "e0";
  for (int i = 1; i < 20; ++i) entries += ",e" + std::to_string(i);
  ASSERT_NE(load("<TStdList name=\"list\" x=\"10\" y=\"10\" width=\"100\" height=\"116\" items.commaText=\"" +
                 entries + "\"/>" +
                 "<TStdButton name=\"ten\" x=\"200\" y=\"10\" onClick=\"list.items.commaText='" +
                 entries.substr(0, entries.find(",e10")) + "'\"/>"),
            nullptr);
  auto* list = find<TStdList>(u"list");
  ASSERT_NE(list, nullptr);
  const float firstRow = 12 + 7;
  click(20, firstRow);
  wheel(-1, 15);
  ASSERT_EQ(list->topIndex(), 12);
  click(210, 20);  // ten entries left: the last page starts at entry 2
  click(20, firstRow);
  EXPECT_EQ(list->topIndex(), 2);
  EXPECT_EQ(list->itemIndex(), 2);
  wheel(1, 5);
  EXPECT_EQ(list->topIndex(), 0);
  list->items()->setCommaText(u"a,b,c");
  wheel(-1, 3);
  EXPECT_EQ(list->topIndex(), 0);
  click(20, firstRow);
  EXPECT_EQ(list->text(), u"a");
}

TEST_F(StdWidgets, ADropdownDropsTheRowsItWasGivenEachTime) {
  ASSERT_NE(load("<TStdDropdown name=\"drop\" x=\"10\" y=\"10\" width=\"80\" height=\"20\" "
                 "items.commaText=\"a,b\"/>"
                 "<TStdDropdown name=\"four\" x=\"150\" y=\"10\" width=\"80\" height=\"20\" rowCount=\"4\" "
                 "items.commaText=\"a,b\"/>"),
            nullptr);
  for (const char16_t* name : {u"drop", u"four"}) {
    auto* drop = find<TStdDropdown>(name);
    ASSERT_NE(drop, nullptr);
    const int32_t rows = drop->rowCount();
    const float x = drop->x() + 10;
    click(x, 20);
    ASSERT_TRUE(drop->dropped());
    EXPECT_EQ(drop->list()->height(), 2 * 14 + 4);
    click(300, 180);
    drop->items()->setCommaText(u"a,b,c,d,e,f");
    click(x, 20);
    ASSERT_TRUE(drop->dropped());
    EXPECT_EQ(drop->list()->height(), std::min(rows, 6) * 14 + 4) << WideToUtf8(name);
    EXPECT_EQ(drop->rowCount(), rows);
    click(300, 180);
  }
}

TEST_F(StdWidgets, ADropdownOpensBelowItselfTakesTheEntryLetGoOfAndCloses) {
  ASSERT_NE(load("<TStdDropdown name=\"drop\" x=\"10\" y=\"10\" width=\"80\" height=\"20\" "
                 "items.commaText=\"a,b,c\" " +
                 Logs("onChange", "changed") + "/>"),
            nullptr);
  auto* drop = find<TStdDropdown>(u"drop");
  ASSERT_NE(drop, nullptr);
  TStdList* list = drop->list();
  click(20, 20);
  ASSERT_TRUE(drop->dropped());
  EXPECT_TRUE(list->visible());
  EXPECT_EQ(list->getBoundsRect(), MakeRectF(10, 30, 90, 30 + 3 * 14 + 4));
  click(20, 30 + 2 + 14 + 7);  // the entry "b"
  EXPECT_FALSE(drop->dropped());
  EXPECT_FALSE(list->visible());
  EXPECT_EQ(drop->text(), u"b");
  EXPECT_EQ(drop->itemIndex(), 1);
  EXPECT_TRUE(drop->focused());
  EXPECT_EQ(game.applet->capturedObject(), nullptr);
  // Let go of outside the list: it closes, the text stays, onChange runs.
  click(20, 20);
  ASSERT_TRUE(drop->dropped());
  click(300, 180);
  EXPECT_FALSE(drop->dropped());
  EXPECT_EQ(drop->text(), u"b");
  EXPECT_EQ(game.scriptLines(), (Lines{"drop changed", "drop changed"}));
  EXPECT_EQ(game.applet->capturedObject(), nullptr);
}

TEST_F(StdWidgets, AnEmptyDropdownDoesNotKeepTheMouseFromAButton) {
  ASSERT_NE(load("<TStdDropdown name=\"drop\" x=\"10\" y=\"10\"/><TStdButton name=\"ok\" x=\"10\" y=\"100\" " +
                 Logs("onClick", "click") + "/>"),
            nullptr);
  click(20, 20);
  click(20, 110);
  EXPECT_EQ(game.scriptLines(), Lines{"ok click"});
  EXPECT_EQ(game.applet->capturedObject(), nullptr);
}

TEST_F(StdWidgets, AnOpenDropdownFreedTakesItsListAlongAndItsListIsNeverStored) {
  ASSERT_NE(load("<GuiObject name=\"panel\" width=\"300\" height=\"200\">"
                 "<TStdDropdown name=\"drop\" x=\"10\" y=\"10\" items.commaText=\"a,b\"/></GuiObject>"),
            nullptr);
  auto* panel = find<GuiObject>(u"panel");
  auto* drop = find<TStdDropdown>(u"drop");
  TMemoryStream binary;
  {
    TGWriter writer(&binary, 4096);
    writer.emitRoot(panel);
  }
  binary.SetPosition(0);
  TMemoryStream xml;
  ASSERT_TRUE(binaryToXml(binary, xml));
  const std::string text(reinterpret_cast<const char*>(xml.Memory()), static_cast<size_t>(xml.Size()));
  EXPECT_EQ(text.find("TStdList"), std::string::npos) << text;
  EXPECT_NE(text.find("a,b"), std::string::npos) << text;

  click(20, 20);
  ASSERT_TRUE(drop->dropped());
  ASSERT_EQ(drop->list()->parent(), panel);
  drop->Free();
  EXPECT_EQ(panel->findByClassName("TStdList"), nullptr);
  EXPECT_EQ(game.applet->capturedObject(), nullptr);
  click(20, 40);  // where the list was
  game.step();
}

TEST_F(StdWidgets, AButtonWhoseClickFreesItsOwnParentIsLeftAlone) {
  ASSERT_NE(load("<GuiObject name=\"panel\" width=\"200\" height=\"100\">"
                 "<TStdButton name=\"close\" x=\"10\" y=\"10\" modalResult=\"2\" " +
                 Logs("onClick", "click") + "/></GuiObject>"),
            nullptr);
  find<TStdButton>(u"close")->clickCallback.set([](TStdButton* button) { button->parent()->Free(); });
  click(20, 20);
  EXPECT_EQ(game.applet->findByName(u"panel"), nullptr);
  EXPECT_EQ(game.applet->findByName(u"close"), nullptr);
  EXPECT_EQ(game.scriptLines(), Lines{"close click"});
  click(20, 20);
  game.step();
}

TEST_F(StdWidgets, ATrackBarThumbFollowsThePointerItWasTakenBy) {
  ASSERT_NE(load("<TStdTrackbar name=\"volume\" x=\"10\" y=\"10\" width=\"120\" value=\"50\" " +
                 Logs("onEndDrag", "done") + "/>" +
                 "<TStdTrackbar name=\"cramped\" x=\"10\" y=\"60\" width=\"30\" value=\"50\"/>"),
            nullptr);
  auto* volume = find<TStdTrackbar>(u"volume");
  EXPECT_EQ(volume->thumbRect().left, 55);
  auto drag = [&](float fromX, float toX, float y) {
    queueMouse(lekMouseMove, fromX, y, 0);
    queueMouse(lekMouseDown, fromX, y, kShiftLeftButton);
    queueMouse(lekMouseMove, toX, y, kShiftLeftButton);
    queueMouse(lekMouseUp, toX, y, kShiftLeftButton);
    game.step();
  };
  drag(10 + 57, 10 + 57 + 18, 25);  // the thumb taken 2 from its left edge
  EXPECT_EQ(volume->thumbRect().left, 55 + 18);
  EXPECT_FLOAT_EQ(volume->value(), 50 + 18 * 100.0f / 90);
  drag(10 + 75, 500, 25);
  EXPECT_EQ(volume->value(), 100);
  EXPECT_EQ(game.scriptLines(), (Lines{"volume done", "volume done"}));
  // No room to travel: the value stays.
  auto* cramped = find<TStdTrackbar>(u"cramped");
  drag(10 + 1, 40, 75);
  EXPECT_EQ(cramped->value(), 50);
}
}  // namespace
