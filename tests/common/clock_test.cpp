#include "common/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(ManualClockTicks, AdvanceMovesTicksAndWholeSeconds) {
  ManualClock clock(1000, 0xFFFFFF00u);
  clock.Advance(700);
  EXPECT_EQ(clock.Now(), 1000);
  clock.Advance(700);  // 1.4 s in all
  EXPECT_EQ(clock.Now(), 1001);
  EXPECT_EQ(clock.TickMs(), 0xFFFFFF00u + 1400u);  // wraps like GetTickCount
  clock.Set(5);
  EXPECT_EQ(clock.Now(), 5);
}

TEST(CalibratedTime, AddsTheTimeErrorToTheClock) {
  ManualClock clock(1000);
  CalibratedClock calibrated(clock, -30);
  EXPECT_EQ(calibrated.Now(), 970);
  calibrated.SetTimeError(15);
  clock.Advance(2000);
  EXPECT_EQ(calibrated.Now(), 1017);
  EXPECT_EQ(calibrated.TickMs(), 2000u);
}

TEST(SystemClockTime, NowIsTheSystemTimeAndTicksMoveForward) {
  Clock& clock = SystemClock();
  EXPECT_GT(clock.Now(), 1600000000);  // after 2020
  std::uint32_t a = clock.TickMs();
  volatile unsigned spin = 0;
  while (clock.TickMs() == a) ++spin;
  EXPECT_LT(clock.TickMs() - a, 1000u);
}

}  // namespace
