// The wait for a unit just started before its time calibration is sent.
#include <gtest/gtest.h>

#include "planner/shell/frame_unit_wait.h"

namespace {

TEST(UnitWindowWait, TheCommandGoesAtTheTickTheWindowAppears) {
  UnitWindowWait wait;
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Idle) << "nothing was started";
  wait.Begin();
  for (int tick = 0; tick < 20; ++tick) ASSERT_EQ(wait.Tick(false), UnitWindowWait::Step::Waiting) << tick;
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Send);
  EXPECT_FALSE(wait.Waiting());
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Idle) << "sent once";
}

TEST(UnitWindowWait, GivenUpAfterFiveSecondsOfTicks) {
  UnitWindowWait wait;
  wait.Begin();
  for (int tick = 1; tick < UnitWindowWait::kTicks; ++tick) ASSERT_EQ(wait.Tick(false), UnitWindowWait::Step::Waiting);
  EXPECT_EQ(wait.Tick(false), UnitWindowWait::Step::GiveUp);
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Idle) << "a window that comes later gets nothing";
  EXPECT_EQ(UnitWindowWait::kTicks * 100, 5000);
  // A second start while waiting waits the full time again.
  wait.Begin();
  for (int tick = 1; tick < 30; ++tick) wait.Tick(false);
  wait.Begin();
  for (int tick = 1; tick < UnitWindowWait::kTicks; ++tick) ASSERT_EQ(wait.Tick(false), UnitWindowWait::Step::Waiting);
}

}  // namespace
