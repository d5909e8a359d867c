// Skinned widgets in a running game, drawn from the built-in skin through
// each device: every widget shows the same pixels as a sprite showing its
// skin element at the same place and size, a check box's two states look
// different, a list covers the entries past its enabled count, and a colour
// drop-down chooses only the colours it offers and shows them as swatches;
// a list's entries may be drawn by a published method, as a standard list's.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/geometry/coordinates.h"
#include "core/objects/class_builder.h"
#include "core/objects/wide_strings.h"
#include "core/resources/stream.h"
#include "core/streams/object_file.h"
#include "engine/scene/position_object.h"
#include "gui/skinned/color_dropdown.h"
#include "gui/widgets/std_list.h"
#include "tests/gui/gui_test_world.h"
#include "tests/gui/pointer_click.h"

namespace {
// A sprite of the skin element covering the rect (x, y, w, h) of the screen.
std::string Reference(const std::string& element, int x, int y, int w, int h) {
  return "<Sprite position.x=\"" + std::to_string(x + w / 2) + "\" position.y=\"" + std::to_string(y + h / 2) +
         "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" pixmap.objectName=\"" +
         element + "\"/>\r\n";
}

std::string Widget(const std::string& cls, const std::string& attributes, int x, int y, int w, int h) {
  return "<" + cls + " " + attributes + " position.x=\"" + std::to_string(x) + "\" position.y=\"" +
         std::to_string(y) + "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"/>\r\n";
}

// Takes the place of a list's entry drawing: notes which entries it drew.
class EntryPainter : public TPersistent {
  Q_OBJECT(EntryPainter, TPersistent)

 public:
  void paintEntry(TObject* list, int32_t index) {
    if (list) painted.insert(index);
  }
  std::set<int32_t> painted;
};

const ClassInfo& EntryPainter::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<EntryPainter>("EntryPainter").method("paintEntry", &EntryPainter::paintEntry).build();
  return info;
}

class SkinnedWidgets : public ::testing::TestWithParam<const char*> {
 protected:
  Applet* load(const std::string& children) {
    Applet* applet = game.load(std::string("frameRate=\"-1\" bkColor=\"#FF000000\" deviceName=\"") + GetParam() + "\"",
                               children);
    if (applet) game.step(3);
    return applet;
  }
  GuiTestGame game;
};

TEST_P(SkinnedWidgets, EachDrawsItsBuiltInSkinElement) {
  // Each widget at y = 10, with its element's reference at y = 110: the
  // widget's point (px, py) must match the reference's (px, py + 100).
  struct Case {
    std::string widget;
    std::string reference;
    int px, py;
  } cases[] = {
      {Widget("Button", "", 10, 10, 80, 30), Reference("button", 10, 110, 80, 30), 50, 15},
      {Widget("Toggle", "", 100, 10, 60, 30), Reference("button", 100, 110, 60, 30), 130, 15},
      {Widget("Edit", "", 170, 10, 60, 30), Reference("edit", 170, 110, 60, 30), 200, 25},
      {Widget("Dropdown", "", 240, 10, 70, 30), Reference("dropdown", 240, 110, 70, 30), 260, 25},
      // checkSize 20 in a height of 24: the square at (2, 2) of the box.
      {Widget("Checkbox", "checkSize=\"20\" checked=\"true\"", 10, 50, 60, 24), Reference("checked", 12, 152, 20, 20),
       22, 62},
      {Widget("Checkbox", "checkSize=\"20\"", 80, 50, 60, 24), Reference("unchecked", 82, 152, 20, 20), 92, 62},
      // A track bar 120 x 30 at value 0: the thumb (10, 7, 20, 23) and the
      // track (0, 11, 120, 19) of its frame.
      {Widget("TrackBar", "", 170, 50, 120, 30), Reference("track", 170, 161, 120, 8), 250, 65},
      {"", Reference("thumb", 180, 157, 10, 16), 185, 65},
      // The colour drop-down's arrow keeps the size of its element's part.
      {Widget("ColorDropdown", "", 10, 80, 70, 24), Reference("dropdown", 10, 180, 70, 24), 30, 92},
  };
  std::string children;
  for (const Case& c : cases) children += c.widget + c.reference;
  Applet* applet = load(children);
  ASSERT_NE(applet, nullptr);
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.widget);
    EXPECT_NE(frame.at(c.px, c.py), 0xFF000000u) << "the widget draws";
    EXPECT_EQ(frame.at(c.px, c.py), frame.at(c.px, c.py + 100));
  }
  EXPECT_NE(frame.at(22, 62), frame.at(92, 62)) << "checked and unchecked differ on screen";
}

TEST_P(SkinnedWidgets, ListCoversEntriesFromItsEnabledCountOn) {
  // Twelve entries in rows of 14 below a margin of 2; entries 9 and 10 at
  // y 2 + 9.5 x 14 and 2 + 10.5 x 14, sampled left of their centred text.
  const std::string entries = "items.commaText=\"a,b,c,d,e,f,g,h,i,j,k,l\" pixmapDisabled.objectName=\"redbutton\"";
  Applet* applet = load(Widget("List", entries, 10, 10, 150, 172) +
                        Widget("List", entries + " enabledCount=\"0\"", 170, 10, 150, 172));
  ASSERT_NE(applet, nullptr);
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  const int enabledY = 10 + 2 + 9 * 14 + 7, disabledY = enabledY + 14;
  EXPECT_NE(frame.at(30, enabledY), frame.at(30, disabledY)) << "entry 10 is covered";
  EXPECT_EQ(frame.at(190, enabledY), frame.at(190, disabledY)) << "enabledCount 0 covers nothing";
  EXPECT_EQ(frame.at(30, enabledY), frame.at(190, enabledY));
}

TEST_P(SkinnedWidgets, ListEntriesAreDrawnByTheMethodSetAsItsOnPaintItem) {
  Applet* applet = load(Widget("List", "name=\"entries\" items.commaText=\"a,b,c\"", 10, 10, 150, 100));
  ASSERT_NE(applet, nullptr);
  auto* list = dynamic_cast<TStdList*>(applet->findByName(u"entries"));
  ASSERT_NE(list, nullptr);
  EntryPainter painter;
  const MethodRef paint{&painter, painter.classInfo().findMethod("paintEntry")};
  SetMethodProp(list, *list->classInfo().findProperty("onPaintItem"), paint);
  list->update();
  game.step(2);
  SetMethodProp(list, *list->classInfo().findProperty("onPaintItem"), MethodRef{});
  EXPECT_EQ(painter.painted, (std::set<int32_t>{0, 1, 2}));
}

TEST_P(SkinnedWidgets, ColorDropdownChoosesOfferedColoursAndShowsSwatches) {
  Applet* applet = load(Widget("ColorDropdown", "name=\"colours\"", 10, 10, 120, 24));
  ASSERT_NE(applet, nullptr);
  auto* colours = dynamic_cast<ColorDropdown*>(applet->findByName(u"colours"));
  ASSERT_NE(colours, nullptr);
  ASSERT_EQ(colours->items()->count(), 96);
  EXPECT_EQ(colours->colorValue(), u"#FF000000");
  colours->setColorValue(u"#FF808080");  // not offered
  EXPECT_EQ(colours->text(), u"");
  colours->setColorValue(u"#00242424");  // the second grey, Round(255 / 7)
  EXPECT_EQ(colours->itemIndex(), 1);
  EXPECT_EQ(colours->text(), u"2368548");
  EXPECT_EQ(colours->colorValue(), u"#FF242424");
  colours->setColorValue(u"#FF808080");
  EXPECT_EQ(colours->itemIndex(), 1) << "a colour not offered changes nothing";

  PointerClick(applet, 20, 20);
  game.step(2);
  ASSERT_TRUE(colours->dropped());
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  // Entry 13 (second row, second column) of the list below the drop-down.
  TStdList* list = colours->list();
  const TRectF rect = list->itemRect(13);
  const int x = static_cast<int>(list->x() + (rect.left + rect.right) / 2);
  const int y = static_cast<int>(list->y() + (rect.top + rect.bottom) / 2);
  EXPECT_EQ(frame.at(x, y), TextToColor(list->items()->items(13)) | 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(BothDevices, SkinnedWidgets, ::testing::Values("ogl", "dx8"));

// Object files of each kind an ObjectList may meet: an object that fits its
// row, one without size, one that is not positioned, and none at all.
TEST(ObjectList, KeepsOnlyPositionedObjectsAndFitsEachIntoItsRow) {
  GuiTestGame game;
  game.game.write("box.qxml", "<?xml version=\"1.0\"?>\r\n<Box width=\"20\" height=\"4\" depth=\"4\"/>\r\n");
  game.game.write("dummy.qxml", "<?xml version=\"1.0\"?>\r\n<Dummy/>\r\n");
  game.game.write("timer.qxml", "<?xml version=\"1.0\"?>\r\n<Timer/>\r\n");
  Applet* applet = game.load("frameRate=\"-1\"", Widget("ObjectList", "name=\"shapes\" itemHeight=\"60\" "
                                                                     "items.commaText=\"box.qxml,dummy.qxml,timer.qxml,none.qxml\"",
                                                      10, 10, 150, 250));
  ASSERT_NE(applet, nullptr);
  game.step(2);
  BaseObject* shapes = applet->findByName(u"shapes");
  ASSERT_NE(shapes, nullptr);
  struct Case {
    const char16_t* entry;
    bool kept;
    float scale;
  } cases[] = {{u"box.qxml", true, 50.0f / (2.5f * 10)}, {u"dummy.qxml", true, 1}, {u"timer.qxml", false, 0},
               {u"none.qxml", false, 0}};
  for (const Case& c : cases) {
    auto* object = dynamic_cast<PositionObject*>(shapes->findByTagString(c.entry));
    ASSERT_EQ(object != nullptr, c.kept) << WideToAnsi(c.entry);
    if (!object) continue;
    EXPECT_FALSE(object->visible());
    EXPECT_FLOAT_EQ(object->scale()->x(), c.scale);
    EXPECT_FLOAT_EQ(object->xAngle(), 135);
  }
  EXPECT_EQ(shapes->findByClassName("Timer"), nullptr) << "what is not positioned is not kept";
}
// Parts a widget makes for itself are made again when it is read back: a
// tree stored and read twice still holds one of each, also while open.
TEST(SelfMadeParts, AreNeverStoredSoReadingATreeBackNeverDoublesThem) {
  GuiTestGame game;
  Applet* applet = game.load("frameRate=\"-1\"", Widget("Dropdown", "name=\"d\" itemIndex=\"1\" items.commaText=\"a,b\"", 10, 10, 80, 24) +
                                                     Widget("ColorDropdown", "name=\"c\"", 100, 10, 80, 24) +
                                                     Widget("TConsole", "name=\"t\"", 10, 100, 200, 60));
  ASSERT_NE(applet, nullptr);
  PointerClick(applet, 20, 20);  // the drop-down's list opens under the applet
  game.step(2);
  for (const char16_t* name : {u"d", u"c", u"t"}) {
    BaseObject* object = applet->findByName(name);
    ASSERT_NE(object, nullptr);
    for (int round = 0; round < 2; ++round) {
      TMemoryStream stream;
      SaveObjectToStream(stream, object);
      stream.SetPosition(0);
      object = LoadObjectFromStream(nullptr, stream, applet, nullptr);
      ASSERT_NE(object, nullptr) << WideToAnsi(name);
      EXPECT_EQ(object->count(), 1) << WideToAnsi(name) << " holds its own list or edit once";
      // The root of what was read takes its stored entries and choice (stored
      // before the entries) into its list.
      if (name == std::u16string(u"d")) {
        auto* dropdown = dynamic_cast<TStdDropdown*>(object);
        ASSERT_NE(dropdown, nullptr);
        EXPECT_EQ(WideToAnsi(dropdown->items()->commaText()), "a,b");
        EXPECT_EQ(dropdown->itemIndex(), 1);
        EXPECT_EQ(WideToAnsi(dropdown->text()), "b");
      }
    }
  }
}
// A close button closes the form it sits on, and only a form; a handler that
// frees the button itself leaves the form alone.
TEST(CloseButton, ClosesItsFormAfterItsOwnClick) {
  struct Case {
    const char* holder;
    const char* onClick;
    bool holderVisible;
    int holderChildren;
  } cases[] = {{"Form", "", false, 1},
               {"Panel", "", true, 1},
               {"Form", "h2.deleteChildren()", true, 0},
               {"Form", "h3.dispose()", true, 1}};
  std::string children;
  for (int i = 0; i < 4; ++i) {
    const std::string button = "<CloseButton position.x=\"5\" position.y=\"25\" width=\"55\" height=\"25\" "
                               "onClick=\"" + std::string(cases[i].onClick) + "\"/>";
    children += "<" + std::string(cases[i].holder) + " name=\"h" + std::to_string(i) + "\" position.x=\"" +
                std::to_string(10 + 75 * i) + "\" position.y=\"10\" width=\"70\" height=\"60\">" + button + "</" +
                cases[i].holder + ">\r\n";
  }
  GuiTestGame game;
  Applet* applet = game.load("frameRate=\"-1\"", children);
  ASSERT_NE(applet, nullptr);
  game.step(2);
  for (int i = 0; i < 4; ++i) PointerClick(applet, 40 + 75 * i, 45);
  game.step(2);
  for (int i = 0; i < 4; ++i) {
    auto* holder = dynamic_cast<VisualObject*>(applet->findByName(AnsiToWide("h" + std::to_string(i))));
    ASSERT_NE(holder, nullptr) << i;
    EXPECT_EQ(holder->visible(), cases[i].holderVisible) << i;
    EXPECT_EQ(holder->count(), cases[i].holderChildren) << i;
  }
}
}  // namespace
