// The millisecond clock and its stand-still for tests.
#include <gtest/gtest.h>

#include <thread>

#include "compat/win32/clock.h"
#include "compat/win32/test_hooks.h"

namespace {
TEST(compatClock, RealClockAdvancesInMilliseconds) {
  DWORD start = timeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  DWORD elapsed = timeGetTime() - start;
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 2000u);
}

TEST(compatClock, FakeClockStandsStillUntilMoved) {
  win32_test::SetFakeClock(5000);
  EXPECT_EQ(timeGetTime(), 5000u);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(timeGetTime(), 5000u);
  win32_test::SetFakeClock(5250);
  EXPECT_EQ(timeGetTime(), 5250u);
  win32_test::SetFakeClock(std::nullopt);
  EXPECT_NE(timeGetTime(), 5250u);
}
}  // namespace
