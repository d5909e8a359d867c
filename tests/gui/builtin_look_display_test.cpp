// The built-in look on real pixels: every skinned widget drawn from the
// built-in skin shows only its own element (one field colour in the middle of
// an edit and a list, smooth form edges), the default white text stands out
// on each, past the tenth list entry too, and a drop-down's open list writes
// in the drop-down's font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/geometry/coordinates.h"
#include "gui/widgets/std_dropdown.h"
#include "gui/widgets/std_list.h"
#include "tests/gui/gui_test_world.h"
#include "tests/gui/pointer_click.h"

namespace {
int Distance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int shift : {0, 8, 16}) most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return most;
}

std::string Widget(const std::string& cls, const std::string& attributes, int x, int y, int w, int h) {
  return "<" + cls + " " + attributes + " position.x=\"" + std::to_string(x) + "\" position.y=\"" +
         std::to_string(y) + "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"/>\r\n";
}

class BuiltinLook : public ::testing::TestWithParam<const char*> {
 protected:
  Applet* load(const std::string& children) {
    Applet* applet = game.load(std::string("frameRate=\"-1\" bkColor=\"#FF000000\" deviceName=\"") +
                                   GetParam() + "\"",
                               children);
    if (applet) game.step(3);
    return applet;
  }
  GuiTestGame game;
};

TEST_P(BuiltinLook, WidgetsShowOnlyTheirOwnElement) {
  Applet* applet = load(Widget("ImageForm", "", 10, 10, 200, 180) + Widget("Edit", "", 220, 10, 90, 60) +
                        Widget("List", "", 220, 80, 90, 110));
  ASSERT_NE(applet, nullptr);
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  // The middle of an edit and of an empty list: one field colour (to the
  // skin's coding).
  struct Area {
    int left, top, right, bottom;
  };
  for (auto [left, top, right, bottom] : {Area{235, 25, 295, 55}, Area{235, 95, 295, 175}}) {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) ASSERT_LE(Distance(frame.at(x, y), frame.at(left, top)), 2) << x << "," << y;
    }
  }
  // The form's bottom and right edges change smoothly: no icon laid over them.
  for (int x = 40; x < 180; ++x) EXPECT_LE(Distance(frame.at(x, 172), frame.at(x + 1, 172)), 6) << x;
  for (int y = 40; y < 160; ++y) EXPECT_LE(Distance(frame.at(193, y), frame.at(193, y + 1)), 6) << y;
}

// A widget showing "MMM" in the default font, a rectangle its text lies in
// and a point of its body without text.
struct TextCase {
  std::string widget;
  int left, top, right, bottom;
  int bodyX, bodyY;
};

TEST_P(BuiltinLook, WhiteTextStandsOutOnEveryElement) {
  const std::vector<TextCase> widgets = {
      {Widget("Button", "text=\"MMM\"", 10, 10, 90, 30), 30, 12, 80, 38, 16, 25},
      {Widget("Toggle", "items.commaText=\"MMM\" itemIndex=\"0\"", 110, 10, 90, 30), 130, 12, 180, 38, 116, 25},
      {Widget("Edit", "text=\"MMM\"", 210, 10, 100, 30), 214, 14, 270, 36, 300, 25},
      {Widget("Dropdown", "items.commaText=\"MMM\" itemIndex=\"0\"", 10, 50, 140, 30), 12, 54, 90, 76, 125, 53},
      {Widget("ImageForm", "text=\"MMM\"", 160, 50, 150, 140), 200, 52, 270, 70, 170, 62},
  };
  // Twelve entries of 16 pixels below a margin of 2: the first, the selected
  // sixth and the eleventh (past the default enabled count); their body left
  // of the centred text.
  const std::string entries = "itemHeight=\"16\" itemIndex=\"5\" items.commaText=\"MMM,b,c,d,e,MMM,g,h,i,j,MMM,l\"";
  const std::vector<TextCase> entryCases = {
      {Widget("List", entries, 10, 0, 150, 198), 50, 4, 120, 20, 20, 12},
      {"", 50, 84, 120, 100, 20, 92},
      {"", 50, 164, 120, 180, 20, 172},
  };
  for (const std::vector<TextCase>* cases : {&widgets, &entryCases}) {
    std::string children;
    for (const TextCase& c : *cases) children += c.widget;
    Applet* applet = load(children);
    ASSERT_NE(applet, nullptr);
    const GuiFrame frame = ReadFrame(applet);
    ASSERT_FALSE(frame.pixels.empty());
    for (const TextCase& c : *cases) {
      SCOPED_TRACE(c.widget + " at " + std::to_string(c.bodyX) + "," + std::to_string(c.bodyY));
      int ink = 0;
      for (int y = c.top; y < c.bottom; ++y) {
        for (int x = c.left; x < c.right; ++x) ink = std::max(ink, Luma(frame.at(x, y)));
      }
      EXPECT_GE(ink - Luma(frame.at(c.bodyX, c.bodyY)), 120) << std::hex << frame.at(c.bodyX, c.bodyY);
    }
  }
}

TEST_P(BuiltinLook, ADropdownsOpenListWritesInItsFont) {
  Applet* applet = load(Widget("Dropdown", "name=\"d\" font.color=\"#FFFF0000\" items.commaText=\"MMM,MMM\"", 10, 10, 150, 30));
  ASSERT_NE(applet, nullptr);
  PointerClick(applet, 40, 25);
  game.step(2);
  auto* dropdown = dynamic_cast<TStdDropdown*>(applet->findByName(u"d"));
  ASSERT_TRUE(dropdown && dropdown->dropped() && dropdown->list());
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  TStdList* list = dropdown->list();
  const TRectF rect = list->itemRect(1);
  int red = 0;
  for (int y = static_cast<int>(list->y() + rect.top); y < static_cast<int>(list->y() + rect.bottom); ++y) {
    for (int x = static_cast<int>(list->x() + rect.left); x < static_cast<int>(list->x() + rect.right); ++x) {
      const uint32_t p = frame.at(x, y);
      if (((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) < 80) ++red;
    }
  }
  EXPECT_GT(red, 10) << "the entry's text is red";
}

INSTANTIATE_TEST_SUITE_P(BothDevices, BuiltinLook, ::testing::Values("ogl", "dx8"));
}  // namespace
