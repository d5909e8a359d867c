#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/design/design_geometry.h"

TEST(DesignSnap, StepsTruncateTowardsZeroAndAZeroGridNeverDivides) {
  struct Case {
    float value, half, fifteen;
  };
  for (const Case& c : {Case{1.26f, 1.0f, 0}, Case{-1.26f, -1.0f, -0.0f}, Case{29, 29, 15}, Case{-29, -29, -15},
                        Case{0.49f, 0, 0}, Case{44.9f, 44.5f, 30}}) {
    EXPECT_FLOAT_EQ(SnapHalfUnit(c.value), c.half) << c.value;
    EXPECT_FLOAT_EQ(SnapFifteenDegrees(c.value), c.fifteen) << c.value;
  }
  EXPECT_FLOAT_EQ(SnapGrid(7.9f, 2), 6);
  EXPECT_FLOAT_EQ(SnapGrid(-7.9f, 2), -6);
  for (float step : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) EXPECT_FLOAT_EQ(SnapGrid(7.9f, step), 7.9f);
}
