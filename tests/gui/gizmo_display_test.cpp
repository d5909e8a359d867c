// The 3D gizmo on a real applet: a design-time click makes a box its target,
// its move handle drags the box along x in 0.5-unit steps (and nothing moves
// with a modifier key held or with the view looking down the axis), its
// rotate handle turns it in 15-degree steps that follow the mouse.
#include <gtest/gtest.h>

#include <cmath>

#include "core/geometry/coordinates.h"
#include "engine/scene/box.h"
#include "gui/design/gizmo.h"
#include "gui/design/gizmo_box.h"
#include "tests/gui/design_game.h"

namespace {
class GizmoDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    // A crate 100 units in front of the camera (which stands at y -150
    // looking along +y): a pixel there is about 0.29 units.
    ASSERT_NE(game.load("frameRate=\"-1\"", "<Box name=\"crate\" kind=\"okSpace\" width=\"2\" height=\"2\" depth=\"2\"/>"),
              nullptr);
    crate = dynamic_cast<Box*>(game.applet->findByName(u"crate"));
    ASSERT_NE(crate, nullptr);
    crate->position()->setXYZ(0, -50, 0);
    crate->setDesignTime(true);
    gizmo = game.gizmo();
    ASSERT_NE(gizmo, nullptr);
    game.step(3);
  }

  void selectCrate() {
    const TPointF at = game.windowPointOf(crate->getWorldPosition());
    game.press(at);
    game.release(at);
    ASSERT_EQ(DesignTarget(), crate);
  }

  // Presses the handle, moves the mouse `steps` times by `dx` pixels with the
  // shift state, releases; the crate's x after each move.
  std::vector<float> dragHandle(const WideString& role, int steps, float dx, uint8_t shift = kShiftLeftButton) {
    TPointF at = game.windowPointOf(gizmo->handle(role)->getWorldPosition());
    game.press(at, shift);
    EXPECT_TRUE(gizmo->handle(role)->dragging()) << "the press missed the handle";
    std::vector<float> xs;
    for (int i = 0; i < steps; ++i) {
      game.moveBy(at, dx, 0, shift);
      xs.push_back(crate->getWorldPosition().x);
    }
    game.release(at, shift);
    return xs;
  }

  DesignGame game;
  Box* crate = nullptr;
  Gizmo* gizmo = nullptr;
};

TEST_F(GizmoDrag, ClickSelectsAndTheMoveHandleDragsInHalfUnitSteps) {
  selectCrate();
  EXPECT_FLOAT_EQ(gizmo->getWorldPosition().y, -50);  // the gizmo stands on its target
  const std::vector<float> xs = dragHandle(u"movex", 20, 1);
  float previous = 0;
  for (float x : xs) {
    EXPECT_FLOAT_EQ(x, std::trunc(x / 0.5f) * 0.5f) << "x " << x << " is off the 0.5 grid";
    EXPECT_LE(std::fabs(x - previous), 0.5f) << "a one-pixel move jumped from " << previous << " to " << x;
    previous = x;
  }
  // 20 pixels at this depth are about 5.8 units, however the screen's x runs.
  EXPECT_GE(std::fabs(xs.back()), 5.0f);
  EXPECT_LE(std::fabs(xs.back()), 6.0f);
  EXPECT_FLOAT_EQ(crate->getWorldPosition().y, -50);
  EXPECT_FLOAT_EQ(crate->getWorldPosition().z, 0);
}

TEST_F(GizmoDrag, ModifierKeysOrAViewDownTheAxisMoveNothing) {
  selectCrate();
  for (uint8_t shift : {uint8_t(kShiftLeftButton | kShiftShift), uint8_t(kShiftLeftButton | kShiftControl)}) {
    for (float x : dragHandle(u"movex", 10, 2, shift)) EXPECT_EQ(x, 0) << "shift state " << int(shift);
  }
  // Turned a quarter about z, the crate's x axis runs along the view: the
  // drag plane is seen edge-on and gives no point.
  crate->setZAngle(90);
  selectCrate();
  for (float x : dragHandle(u"movex", 10, 3)) EXPECT_EQ(x, 0);
  const TVector4F at = crate->getWorldPosition();
  EXPECT_EQ(at.y, -50);
  EXPECT_EQ(at.z, 0);
}

TEST_F(GizmoDrag, TheRotateHandleTurnsInFifteenDegreeStepsAndFollowsTheMouse) {
  selectCrate();
  // rotatey turns about the view axis: circle the mouse round the centre,
  // starting at the handle, a little more than a quarter.
  const TPointF centre = game.windowPointOf(crate->getWorldPosition());
  TPointF at = game.windowPointOf(gizmo->handle(u"rotatey")->getWorldPosition());
  const float radius = std::hypot(at.x - centre.x, at.y - centre.y);
  const float start = std::atan2(at.x - centre.x, centre.y - at.y);
  game.press(at);
  std::vector<float> angles;
  for (int degrees = 5; degrees <= 95; degrees += 5) {
    const float a = start + static_cast<float>(degrees) * 3.14159265f / 180;
    const TPointF to{std::round(centre.x + radius * std::sin(a)), std::round(centre.y - radius * std::cos(a))};
    game.moveBy(at, to.x - at.x, to.y - at.y);
    angles.push_back(crate->yAngle());
    // Each turn is a whole step towards the mouse, never past it.
    EXPECT_LE(std::fabs(angles.back()), static_cast<float>(degrees) + 1) << degrees;
    EXPECT_GE(std::fabs(angles.back()), static_cast<float>(degrees) - 16) << degrees;
  }
  game.moveBy(at, 0, 0);  // the mouse holds still: so does the crate
  game.release(at);
  for (float a : angles) EXPECT_FLOAT_EQ(a, std::trunc(a / 15) * 15);
  EXPECT_FLOAT_EQ(std::fabs(angles.back()), 90);
  EXPECT_FLOAT_EQ(crate->yAngle(), angles.back());
}
}  // namespace
