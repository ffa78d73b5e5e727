#include "common/time_text.h"

#include <gtest/gtest.h>

#include "tests/common/tokyo_time.h"

namespace {

class TimeText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseTokyoTime(); }
};

constexpr Time32 k20010305_2130 = 983795400;  // 2001-03-05 12:30 UTC

TEST_F(TimeText, LocalCalendarTimeIsTokyoTime) {
  EXPECT_EQ(MakeLocalTime(2001, 3, 5, 21, 30), k20010305_2130);
  LocalTime t = BreakLocalTime(k20010305_2130 + 59);
  EXPECT_EQ(t.year, 2001);
  EXPECT_EQ(t.month, 3);
  EXPECT_EQ(t.day, 5);
  EXPECT_EQ(t.hour, 21);
  EXPECT_EQ(t.minute, 30);
  EXPECT_EQ(t.second, 59);
  EXPECT_EQ(t.weekday, 1);  // a Monday
}

TEST_F(TimeText, MakeLocalTimeNormalisesOutOfRangeFields) {
  EXPECT_EQ(MakeLocalTime(2001, 2, 29, 0, 0), MakeLocalTime(2001, 3, 1, 0, 0));
  EXPECT_EQ(MakeLocalTime(2001, 3, 5, 20, 90), k20010305_2130);
}

// The C library and the Win32 zone functions give different garbage for times
// a 32-bit count cannot hold: both give kNoTime.
TEST_F(TimeText, CalendarTimesOutsideNineteenSeventyToTwentyThirtySevenAreNoTime) {
  const struct {
    int year, month, day, hour, minute;
  } outside[] = {
      {0, 0, 0, 0, 0},         {1969, 12, 31, 23, 59}, {2038, 1, 1, 0, 0},  {2100, 1, 1, 0, 0},
      {2037, 13, 1, 0, 0},     {2037, 12, 31, 24, 0},  {1970, 0, 1, 0, 0},  {-5, 1, 1, 0, 0},
      {2147483647, 1, 1, 0, 0}, {2001, 2147483647, 1, 0, 0}, {2001, 1, 1, 2147483647, 0},
  };
  for (const auto& t : outside)
    EXPECT_EQ(MakeLocalTime(t.year, t.month, t.day, t.hour, t.minute), kNoTime)
        << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute;
  EXPECT_EQ(MakeLocalTime(1970, 1, 1, 9, 0), 0);
  EXPECT_EQ(MakeLocalTime(2037, 12, 31, 23, 59), 2145884340);
  EXPECT_EQ(MakeLocalTime(1971, -11, 1, 9, 0), 0) << "a carry back into 1970 is inside";
}

TEST_F(TimeText, StartTextRoundTrips) {
  EXPECT_EQ(FormatStartText(k20010305_2130), "200103052130");
  EXPECT_EQ(ParseStartText("200103052130"), k20010305_2130);
  for (Time32 t = k20010305_2130; t < k20010305_2130 + 400 * 86400; t += 86400 + 7 * 60)
    EXPECT_EQ(ParseStartText(FormatStartText(t).c_str()), t - t % 60);
}

TEST_F(TimeText, StartTextReaderTakesDigitsWithoutValidation) {
  // ":" is '0' + 10: minute ":0" reads as 100 minutes.
  EXPECT_EQ(ParseStartText("2001030520:0"), k20010305_2130 + 10 * 60);
}

TEST_F(TimeText, DurationTextWritesHoursAndMinutes) {
  struct Case { Time32 span; const char* text; };
  const Case cases[] = {{0, "0000"}, {59, "0000"}, {60, "0001"}, {3600 + 30 * 60, "0130"},
                        {25 * 3600, "2500"}, {99 * 3600 + 59 * 60, "9959"}};
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDurationText(k20010305_2130, k20010305_2130 + c.span), c.text) << c.span;
    EXPECT_EQ(ParseDurationText(c.text), c.span - c.span % 60) << c.text;
  }
}

TEST_F(TimeText, DurationTextNeverSpillsOutOfItsFourDigits) {
  EXPECT_EQ(FormatDurationText(k20010305_2130, k20010305_2130 + 100 * 3600), "9959");
  EXPECT_EQ(FormatDurationText(k20010305_2130, k20010305_2130 - 3600), "0000");
}

TEST_F(TimeText, FormatUsesTheLocalCalendar) {
  EXPECT_EQ(FormatLocalTime(k20010305_2130, "RSV%m%d%H%M%Y"), "RSV030521302001");
  EXPECT_EQ(FormatLocalTime(k20010305_2130, "gd%y%m%d.dpn"), "gd010305.dpn");
}

}  // namespace
