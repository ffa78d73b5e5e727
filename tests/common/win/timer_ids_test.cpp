// Timer ids from a range, as the windows and dialogs take them.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/win/timer_ids.h"

namespace {

class TimerIdsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  // Whether the window still has the timer (killing it tells).
  bool Running(UINT_PTR id) { return KillTimer(window_, id) != FALSE; }
  HWND window_ = nullptr;
};

TEST_F(TimerIdsTest, EachStartTakesTheFirstFreeIdOfTheRangeUntilItIsUsedUp) {
  TimerIds timers;
  EXPECT_EQ(timers.Start(window_, 10, 12, 100), 10u);
  EXPECT_EQ(timers.Start(window_, 10, 12, 100), 11u);
  EXPECT_EQ(timers.Start(window_, 10, 12, 100), 12u);
  EXPECT_EQ(timers.Start(window_, 10, 12, 100), 0u);
  // Another range of the same window is its own.
  EXPECT_EQ(timers.Start(window_, 20, 29, 100), 20u);
  timers.Stop(window_, 11);
  EXPECT_FALSE(Running(11));
  EXPECT_EQ(timers.Start(window_, 10, 12, 100), 11u);
  EXPECT_TRUE(Running(10));
}

TEST_F(TimerIdsTest, StopAllKillsEveryHeldTimerAndFreesTheIds) {
  TimerIds timers;
  ASSERT_EQ(timers.Start(window_, 1, 2, 100), 1u);
  ASSERT_EQ(timers.Start(window_, 1, 2, 100), 2u);
  timers.StopAll(window_);
  EXPECT_FALSE(Running(1));
  EXPECT_FALSE(Running(2));
  EXPECT_EQ(timers.Start(window_, 1, 2, 100), 1u);
}

TEST_F(TimerIdsTest, AStopOfAnIdNotHeldLeavesOtherTimersOfTheWindowAlone) {
  // A timer the window's own code set directly, outside the set.
  ASSERT_NE(SetTimer(window_, 5, 100, nullptr), 0u);
  TimerIds timers;
  timers.Stop(window_, 5);
  timers.StopAll(window_);
  EXPECT_TRUE(Running(5));
}

TEST_F(TimerIdsTest, NoWindowGivesNoTimerAndAForgottenSetStartsAfresh) {
  TimerIds timers;
  EXPECT_EQ(timers.Start(nullptr, 1, 5, 100), 0u);
  ASSERT_EQ(timers.Start(window_, 1, 5, 100), 1u);
  // The window went away with its timers: the ids are free again.
  timers.Forget();
  EXPECT_EQ(timers.Start(window_, 1, 5, 100), 1u);
  // The last id of the whole range is usable without running past it.
  const UINT_PTR top = ~static_cast<UINT_PTR>(0);
  EXPECT_EQ(timers.Start(window_, top, top, 100), top);
  EXPECT_EQ(timers.Start(window_, top, top, 100), 0u);
}

}  // namespace
