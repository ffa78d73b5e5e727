// The timetable's two display switches as the frame stores them.
#include <gtest/gtest.h>

#include <cstdint>
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

// The day start is read before the document, for the reservation list; the
// document and the grid take a hostile stored hour as the nearest bound, and
// the list must match the broadcasts to the same days.
TEST(StartValues, DayStartOutsideTheDayIsTakenAsTheGridTakesIt) {
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings(*store);
  EXPECT_EQ(ReadStartValues(settings).dayStartHour, 4);
  const struct {
    std::int32_t stored, read;
  } cases[] = {{0, 0}, {23, 23}, {24, 23}, {99, 23}, {-1, 0}, {INT32_MIN, 0}};
  for (const auto& c : cases) {
    settings.SetInt(peer::kEnvironmentSubKey, "DayStart", c.stored);
    EXPECT_EQ(ReadStartValues(settings).dayStartHour, c.read) << c.stored;
  }
}

}  // namespace
