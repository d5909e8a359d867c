// A layout read back from real frames: a panel's top, left and client
// children cover exactly the pixels their alignments give, a wider panel
// takes its top-right child along and leaves its top-left one, and a Dummy
// lays its GUI children out over the whole window.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/scene/dummy.h"
#include "gui/gui_parts.h"
#include "tests/gui/gui_test_world.h"

namespace {
constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kYellow = 0xFFFFFF00u;
constexpr uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kCyan = 0xFF00FFFFu;

struct Probe {
  int x, y;
  uint32_t colour;
};

std::string Mismatches(const GuiFrame& frame, const std::vector<Probe>& probes) {
  std::ostringstream out;
  for (const Probe& p : probes) {
    if (frame.at(p.x, p.y) != p.colour) {
      out << "(" << p.x << ", " << p.y << ") is " << std::hex << frame.at(p.x, p.y) << " not " << p.colour << std::dec
          << "; ";
    }
  }
  return out.str();
}

TEST(GuiLayoutFrames, APanelsChildrenCoverThePixelsTheirAlignmentsGive) {
  GuiTestGame game;
  // The panel is 200 x 100 at (10, 10): top 0..20, left 0..30 below it, the
  // client beyond; two 10 x 10 children at (170, 40), anchored top-right and
  // top-left, drawn over the client.
  Applet* applet = game.load("", R"(
  <ColorBox name="panel" x="10" y="10" width="200" height="100" color="#FF000000">
    <ColorBox name="top" align="gaTop" height="20" color="#FFFF0000"/>
    <ColorBox name="left" align="gaLeft" width="30" color="#FF00FF00"/>
    <ColorBox name="client" align="gaClient" color="#FF0000FF"/>
    <ColorBox name="topRight" align="gaTopRight" x="170" y="40" width="10" height="10" color="#FFFFFF00"/>
    <ColorBox name="topLeft" x="170" y="60" width="10" height="10" color="#FFFFFFFF"/>
  </ColorBox>
)");
  ASSERT_NE(applet, nullptr);
  GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_EQ(Mismatches(frame, {{10, 10, kRed},       {209, 29, kRed},      {10, 30, kGreen},   {39, 109, kGreen},
                               {40, 30, kBlue},      {209, 109, kBlue},    {9, 10, kBlack},    {210, 50, kBlack},
                               {40, 110, kBlack},    {180, 50, kYellow},   {189, 59, kYellow}, {190, 50, kBlue},
                               {180, 70, kWhite},    {189, 79, kWhite}}),
            "");

  auto* panel = dynamic_cast<GuiObject*>(applet->findByName(u"panel"));
  ASSERT_NE(panel, nullptr);
  panel->setWidth(260);
  frame = ReadFrame(applet);
  EXPECT_EQ(Mismatches(frame, {{269, 29, kRed},   {269, 109, kBlue},  {180, 50, kBlue},  {240, 50, kYellow},
                               {249, 59, kYellow}, {180, 70, kWhite}, {270, 50, kBlack}}),
            "");
}

TEST(GuiLayoutFrames, ADummyLaysItsGuiChildrenOverTheWholeWindow) {
  GuiTestGame game;
  Applet* applet = game.load("", R"(
  <Dummy name="holder">
    <ColorBox name="bottom" align="gaBottom" height="20" color="#FF00FFFF"/>
    <ColorBox name="corner" align="gaBottomRight" x="300" y="0" width="20" height="20" color="#FFFF0000"/>
  </Dummy>
)");
  ASSERT_NE(applet, nullptr);
  EXPECT_NE(GuiParts::of(applet), nullptr);  // every applet gets the GUI's parts
  auto* holder = dynamic_cast<Dummy*>(applet->findByName(u"holder"));
  ASSERT_NE(holder, nullptr);
  EXPECT_TRUE(holder->guiHolder());
  GuiFrame frame = ReadFrame(applet);
  ASSERT_EQ(frame.width, 320);
  EXPECT_EQ(Mismatches(frame, {{0, 180, kCyan}, {319, 199, kCyan}, {0, 179, kBlack}, {300, 0, kRed}}), "");

  applet->setWidth(360);
  frame = ReadFrame(applet);
  ASSERT_EQ(frame.width, 360);
  EXPECT_EQ(Mismatches(frame, {{0, 180, kCyan}, {359, 199, kCyan}, {340, 0, kRed}, {339, 0, kBlack}}), "");
}
}  // namespace
