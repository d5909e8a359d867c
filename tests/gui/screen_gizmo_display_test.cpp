// The screen gizmo and the selection frame on a real applet: a design-time
// click on a widget selects it in the frame (whose onSelect sees it) and
// gives it to the screen gizmo, which moves it from where it stands, sizes
// it on its grid (a grid of 0 snaps nothing) and hides the 3D gizmo.
#include <gtest/gtest.h>

#include "core/geometry/coordinates.h"
#include "gui/design/frame.h"
#include "gui/design/inspector_form.h"
#include "gui/gui_parts.h"
#include "tests/gui/design_game.h"

namespace {
class ScreenDesign : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(game.load("frameRate=\"-1\"",
                        R"x(<Dummy name="stage"><Frame name="frame" onSelect="engine.log('@selected ' + event.paramObject.name)"/>)x"
                        R"(<ColorBox name="panel" width="100" height="50" color="#FF00FF00"/></Dummy>)"
                        R"(<Dummy name="elsewhere"/>)"),
              nullptr);
    panel = dynamic_cast<GuiObject*>(game.applet->findByName(u"panel"));
    frame = dynamic_cast<Frame*>(game.applet->findByName(u"frame"));
    ASSERT_TRUE(panel && frame);
    panel->setRect(MakeRectF(40, 30, 140, 80));
    panel->setDesignTime(true);
    game.step(3);
  }
  void TearDown() override { ScreenGizmo::gridStep = 1; }

  // Presses at `at`, moves by (dx, dy) one pixel at a time, releases.
  void drag(TPointF at, int dx, int dy) {
    game.press(at);
    for (int i = 0; i < std::max(std::abs(dx), std::abs(dy)); ++i) {
      game.moveBy(at, i < std::abs(dx) ? (dx > 0 ? 1.0f : -1.0f) : 0, i < std::abs(dy) ? (dy > 0 ? 1.0f : -1.0f) : 0);
    }
    game.release(at);
  }

  DesignGame game;
  GuiObject* panel = nullptr;
  Frame* frame = nullptr;
};

TEST_F(ScreenDesign, AClickSelectsInTheFrameAndTheScreenGizmoTakesOver) {
  // The inspector, once shown, follows the selection.
  GuiParts::of(game.applet)->showInspector(frame);
  game.click(60, 40);
  game.step();
  EXPECT_EQ(DesignTarget(), panel);
  EXPECT_EQ(frame->root(), panel);
  EXPECT_EQ(frame->rect().left, 40);
  EXPECT_EQ(frame->rect().bottom, 80);
  EXPECT_EQ(game.scriptLines(), std::vector<std::string>{"selected panel"});
  EXPECT_TRUE(game.screenGizmo()->visible());
  EXPECT_FALSE(game.gizmo()->visible());
  EXPECT_EQ(GuiParts::of(game.applet)->inspectorForm()->root(), panel);
  // The tools never select themselves.
  SelectForDesign(game.screenGizmo());
  EXPECT_EQ(DesignTarget(), panel);
  // Outside the frame's parent's subtree, or the frame itself: nothing.
  frame->select(game.applet->findByName(u"elsewhere"));
  frame->select(frame);
  EXPECT_EQ(frame->root(), panel);
  EXPECT_EQ(game.scriptLines().size(), 1u);
}

TEST_F(ScreenDesign, TheCentreMovesFromWhereTheGizmoStandsAndTheCornerSizesOnTheGrid) {
  game.click(60, 40);
  game.step();
  // The centre handle: the first one-pixel move moves one unit, not to the
  // point of the press.
  TPointF centre{90, 55};
  game.press(centre);
  game.moveBy(centre, 1, 0);
  EXPECT_EQ(panel->x(), 41);
  EXPECT_EQ(panel->y(), 30);
  game.moveBy(centre, 6, 3);
  game.release(centre);
  EXPECT_EQ(panel->x(), 47);
  EXPECT_EQ(panel->y(), 33);
  // The size handle at the bottom-right corner, on a grid of 5 and of 0.
  struct Case {
    float grid;
    int dx, dy;
    float width, height;
  };
  for (const Case& c : {Case{5, 13, 8, 110, 55}, Case{0, -3, 2, 107, 57}}) {
    ScreenGizmo::gridStep = c.grid;
    drag({47 + panel->width(), 33 + panel->height()}, c.dx, c.dy);
    EXPECT_EQ(panel->width(), c.width) << "grid " << c.grid;
    EXPECT_EQ(panel->height(), c.height) << "grid " << c.grid;
  }
  EXPECT_EQ(game.screenGizmo()->width(), panel->width());
}

TEST_F(ScreenDesign, TheFrameMovesAndSizesAGuiRootAndOnlyMovesAnyOther) {
  frame->setRoot(panel);
  frame->mouseDown(1, kShiftLeftButton, 10, 10);
  frame->mouseMove(kShiftLeftButton, 5, 7, 15, 17);
  frame->mouseUp(1, kShiftLeftButton, 15, 17);
  EXPECT_EQ(panel->x(), 45);
  EXPECT_EQ(panel->y(), 37);
  frame->mouseDown(1, kShiftLeftButton, 96, 46);  // the sizing corner
  frame->mouseMove(kShiftLeftButton, 4, -6, 100, 40);
  frame->mouseUp(1, kShiftLeftButton, 100, 40);
  EXPECT_EQ(panel->width(), 104);
  EXPECT_EQ(panel->height(), 44);
  // A root that is not a widget: the frame keeps its rect and moves alone.
  auto* elsewhere = dynamic_cast<PositionObject*>(game.applet->findByName(u"elsewhere"));
  const TRectF kept = frame->rect();
  frame->setRoot(elsewhere);
  EXPECT_EQ(frame->rect().left, kept.left);
  EXPECT_EQ(frame->rect().right, kept.right);
  frame->mouseDown(1, kShiftLeftButton, 10, 10);
  frame->mouseMove(kShiftLeftButton, 5, 5, 15, 15);
  frame->mouseUp(1, kShiftLeftButton, 15, 15);
  EXPECT_EQ(elsewhere->x(), 0);
  EXPECT_EQ(frame->rect().left, kept.left + 5);
}
}  // namespace
