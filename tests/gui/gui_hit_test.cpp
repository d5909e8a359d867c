// Which points and pick rays hit a widget: the strict edges of a point test,
// the far edges a ray may touch, and a hidden autoShow widget that stays
// reachable so that the mouse can bring it up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui_object.h"
#include "gui/gui_registration.h"

namespace {
struct HitCase {
  std::string what;
  float x, y;
  bool visible, autoShow;
  bool pointHits, rayHits;
};

TEST(GuiHit, PointsAndRaysHitInsideTheEdgesTheRulesGive) {
  // A 70 x 30 widget with its top-left corner at (10, 20).
  const std::vector<HitCase> cases = {
      {"inside", 40, 35, true, false, true, true},
      {"left edge", 10, 35, true, false, false, false},
      {"right edge", 80, 35, true, false, false, true},
      {"top edge", 40, 20, true, false, false, false},
      {"bottom edge", 40, 50, true, false, false, true},
      {"just inside the corner", 10.5f, 20.5f, true, false, true, true},
      {"beyond the right edge", 80.5f, 35, true, false, false, false},
      {"hidden", 40, 35, false, false, false, true},
      {"hidden with autoShow", 40, 35, false, true, true, true},
  };
  RegisterGuiClasses();
  for (const HitCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto* gui = New<GuiObject>(nullptr);
    gui->setRect(MakeRectF(10, 20, 80, 50));
    gui->setAutoShow(c.autoShow);
    gui->setVisible(c.visible);
    EXPECT_EQ(gui->pointInObject(c.x, c.y), c.pointHits);
    // Rays towards the plane z = 0 from either side; one along it never hits.
    EXPECT_EQ(gui->rayHit(MakeVector4F(c.x, c.y, -100, 1), MakeVector4F(0, 0, 1, 0)), c.rayHits);
    EXPECT_EQ(gui->rayHit(MakeVector4F(c.x, c.y, 100, 1), MakeVector4F(0, 0, -1, 0)), c.rayHits);
    EXPECT_FALSE(gui->rayHit(MakeVector4F(c.x, c.y, -100, 1), MakeVector4F(0, 0, -1, 0)));
    gui->Free();
  }
}
}  // namespace
