// The shapes' own geometry without an applet: which rays hit boxes,
// cylinders, cones and spheres in their frames, and the lines a grid draws,
// also from values no grid should have.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/geometry/coordinates.h"
#include "engine/registration.h"
#include "engine/scene/box.h"
#include "engine/scene/cone.h"
#include "engine/scene/cylinder.h"
#include "engine/scene/grid.h"
#include "engine/scene/sphere.h"

namespace {

template <typename T>
struct Freed {
  T* object = New<T>(nullptr);
  ~Freed() { object->Free(); }
  T* operator->() const { return object; }
};

TEST(ShapeRays, ABoxIsHitByRaysThatEnterItsFacesAndByNoOther) {
  RegisterAllClasses();
  Freed<Box> box;
  const TVector4F along = MakeVector4F(0, 1, 0, 0);
  const struct {
    float x, y, z;
    TVector4F direction;
    bool hits;
  } rays[] = {
      {0, -5, 0, along, true},                                     // through the centre
      {0.4998f, -5, 0, along, true},                               // just inside a side
      {0.5002f, -5, 0, along, false},                              // just outside
      {-0.4998f, -5, 0.4998f, along, true},                        // along an edge
      {0, -5, 0.5002f, along, false},
      {0, 5, 0, along, false},                                     // the box lies behind
      {0, 0, 0, along, false},                                     // from inside
      {3, -3, 0, VecNormalized(MakeVector4F(-1, 1, 0, 0)), true},  // slanted, into a corner's faces
      {0, -5, 0, MakeVector4F(0, 0, 0, 0), false},                 // no direction
  };
  for (const auto& ray : rays) {
    EXPECT_EQ(box->rayHit(MakeVector4F(ray.x, ray.y, ray.z, 1), ray.direction), ray.hits)
        << ray.x << "," << ray.y << "," << ray.z;
  }
  // Moved, turned and scaled, the box is hit in its own frame.
  box->position()->setXYZ(10, 0, 0);
  box->scale()->setXYZ(2, 1, 1);
  EXPECT_TRUE(box->rayHit(MakeVector4F(10.99f, -5, 0, 1), along));
  EXPECT_FALSE(box->rayHit(MakeVector4F(11.01f, -5, 0, 1), along));
  box->setZAngle(90);
  EXPECT_FALSE(box->rayHit(MakeVector4F(10.99f, -5, 0, 1), along));
  EXPECT_TRUE(box->rayHit(MakeVector4F(10.49f, -5, 0, 1), along));
}

TEST(ShapeRays, RoundShapesAreHitAsTheirBoxesOrTheirSphereAndConesNever) {
  RegisterAllClasses();
  Freed<Cylinder> cylinder;
  cylinder->setRadius(0.5f);
  cylinder->setHeight(4);  // along x
  const TVector4F along = MakeVector4F(0, 1, 0, 0);
  EXPECT_TRUE(cylinder->rayHit(MakeVector4F(1.9f, -5, 0, 1), along));
  EXPECT_FALSE(cylinder->rayHit(MakeVector4F(0, -5, 0.6f, 1), along));
  Freed<Cone> cone;
  EXPECT_FALSE(cone->rayHit(MakeVector4F(0, -5, 0, 1), along));
  Freed<Sphere> sphere;
  sphere->setRadius(2);
  EXPECT_TRUE(sphere->rayHit(MakeVector4F(1.99f, -5, 0, 1), along));
  EXPECT_FALSE(sphere->rayHit(MakeVector4F(1.99f, -5, 1, 1), along));  // beyond the ball, inside its box
  EXPECT_FALSE(sphere->pointInObject(0, 0));
}

TEST(GridLines, LinesRunFromMinToMaxEveryStepAndStayBoundedWhateverTheValues) {
  const float huge = 1e9f, nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    TPointF min, max, origin, step;
    size_t points;
  } grids[] = {
      {{0, 0}, {2, 2}, {0, 0}, {1, 1}, 12},
      {{-10, -10}, {10, 10}, {0, 0}, {1, 1}, 84},
      {{0, 0}, {2, 2}, {0, 0}, {0, -1}, 4},      // no step: one line an axis
      {{0, 0}, {1, 1}, {0, 0}, {0.1f, 0.5f}, 28},
      {{2, 2}, {0, 0}, {0, 0}, {1, 1}, 0},       // nothing between
      {{-huge, -huge}, {huge, huge}, {0, 0}, {1, 1}, 4 * kMaxGridLinesPerAxis},
      {{0, 0}, {2, 2}, {0, 0}, {nan, 1}, 8},
      {{nan, 0}, {2, 2}, {0, 0}, {1, 1}, 0 + 6},
  };
  for (const auto& g : grids) {
    EXPECT_EQ(GridLinePoints(g.min, g.max, g.origin, g.step).size(), g.points) << g.min.x << " " << g.step.x;
  }
  // Vertical lines first, each from min.y to max.y, all moved by the origin.
  const auto points = GridLinePoints({0, 0}, {2, 2}, {1, 0.5f}, {1, 1});
  EXPECT_EQ(points[0], MakeVector4F(-1, -0.5f, 0, 1));
  EXPECT_EQ(points[1], MakeVector4F(-1, 1.5f, 0, 1));
  EXPECT_EQ(points[6], MakeVector4F(-1, -0.5f, 0, 1));
  EXPECT_EQ(points[11], MakeVector4F(1, 1.5f, 0, 1));
}

}  // namespace
