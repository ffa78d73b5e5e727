// The timetable's two display switches as the frame stores them.
#include <gtest/gtest.h>

#include <memory>
#include "common/peer_names.h"
#include "common/settings.h"
#include "planner/shell/frame_settings.h"

namespace {

TEST(DisplaySwitches, OnByDefaultAndStoredAsWritten) {
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings(*store);
  DisplaySwitches s = ReadDisplaySwitches(settings);
  EXPECT_TRUE(s.reserveButtons);
  EXPECT_TRUE(s.hoverFeedback);
  s.reserveButtons = false;
  ASSERT_TRUE(WriteDisplaySwitches(settings, s));
  EXPECT_EQ(settings.Int(peer::kEnvironmentSubKey, frame_values::kReserveButtons, -1), 0);
  EXPECT_EQ(settings.Int(peer::kEnvironmentSubKey, frame_values::kHoverFeedback, -1), 1);
  const DisplaySwitches back = ReadDisplaySwitches(settings);
  EXPECT_FALSE(back.reserveButtons);
  EXPECT_TRUE(back.hoverFeedback);
  // Any value but 0 counts as on, as another version might have written it.
  settings.SetInt(peer::kEnvironmentSubKey, frame_values::kHoverFeedback, 7);
  EXPECT_TRUE(ReadDisplaySwitches(settings).hoverFeedback);
}

}  // namespace
