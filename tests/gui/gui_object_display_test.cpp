// A widget in a running applet: what a GUI parent draws of children that
// stick out when they must show in bounds, which widget a queued click
// reaches and focuses, and which changes ask for a new frame.
#include <gtest/gtest.h>

#include "engine/container.h"
#include "tests/gui/gui_test_world.h"

namespace {
constexpr uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

TEST(GuiObjectFrames, AChildThatMustShowInBoundsIsDrawnOnlyWhollyInside) {
  GuiTestGame game;
  // A 100 x 50 panel at (10, 10): "fits" touches its right edge, "sticks"
  // crosses its bottom edge by one unit, "free" crosses it without the rule.
  Applet* applet = game.load("", R"(
  <ColorBox name="panel" x="10" y="10" width="100" height="50" color="#FF000000">
    <ColorBox name="fits" x="90" y="0" width="10" height="10" showInBounds="True" color="#FFFF0000"/>
    <ColorBox name="sticks" x="0" y="41" width="10" height="10" showInBounds="True" color="#FF00FF00"/>
    <ColorBox name="free" x="40" y="45" width="10" height="10" color="#FF0000FF"/>
  </ColorBox>
)");
  ASSERT_NE(applet, nullptr);
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_EQ(frame.at(105, 15), kRed);
  EXPECT_EQ(frame.at(15, 55), kBlack);  // not even the part inside
  EXPECT_EQ(frame.at(15, 61), kBlack);
  EXPECT_EQ(frame.at(55, 57), kBlue);
  EXPECT_EQ(frame.at(55, 62), kBlue);  // outside the parent, drawn all the same
}

TEST(GuiObjectFrames, AQueuedClickFocusesTheWidgetUnderItAndOnlyChangesAskForFrames) {
  GuiTestGame game;
  Applet* applet = game.load("", R"(
  <ColorBox name="panel" x="10" y="10" width="100" height="50">
    <ColorBox name="inner" x="20" y="20" width="30" height="20"/>
  </ColorBox>
)");
  ASSERT_NE(applet, nullptr);
  auto* inner = dynamic_cast<GuiObject*>(applet->findByName(u"inner"));
  auto* panel = dynamic_cast<GuiObject*>(applet->findByName(u"panel"));
  ASSERT_TRUE(inner && panel);
  game.click(45, 45);
  EXPECT_TRUE(game.stepUntil([&] { return applet->focusedObject() == inner; }));
  game.click(30, 35);  // the inner widget's left edge: its parent's
  EXPECT_TRUE(game.stepUntil([&] { return applet->focusedObject() == panel; }));

  inner->setText(u"Play");
  const int32_t frames = applet->updateCounter();
  inner->setText(u"Play");
  inner->setWidth(inner->width());
  EXPECT_EQ(applet->updateCounter(), frames);
  inner->setText(u"Quit");
  EXPECT_GT(applet->updateCounter(), frames);
  EXPECT_EQ(inner->text(), u"Quit");
}
}  // namespace
