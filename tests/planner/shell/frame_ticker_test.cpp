// The frame timer's work per tick and the guide's update times.
#include <gtest/gtest.h>

#include "common/time_text.h"
#include "planner/shell/frame_ticker.h"

namespace {

TEST(FrameTicker, HoverEveryTickAllPanesEverySecondRefreshEveryMinute) {
  FrameTicker ticker;
  int hover = 0, all = 0, minute = 0;
  for (int i = 0; i < 1800; ++i) {
    const TickWork w = ticker.Tick(true);
    hover += w.hoverPanes;
    all += w.allPanes;
    minute += w.minute;
  }
  EXPECT_EQ(hover, 1800);
  EXPECT_EQ(all, 180);
  EXPECT_EQ(minute, 2);  // ticks 600 and 1200
}

TEST(FrameTicker, NothingWithoutADocument) {
  FrameTicker ticker;
  const TickWork w = ticker.Tick(false);
  EXPECT_FALSE(w.hoverPanes || w.allPanes || w.minute);
  EXPECT_EQ(ticker.Count(), 0u);
}

TEST(GuideUpdateDue, CheckIntervalAndDailyReload) {
  const Time32 now = MakeLocalTime(2026, 12, 10, 12, 0, 0);
  Time32 check = now + 100;
  Time32 daily = MakeLocalTime(2026, 12, 11, 4, 10, 0);
  EXPECT_FALSE(GuideUpdateDue(now, 3600, &check, &daily));
  EXPECT_TRUE(GuideUpdateDue(now + 100, 3600, &check, &daily));
  EXPECT_EQ(check, now + 100 + 3600);
  // Asleep over two nights: one update, and the next reload is the coming 04:10.
  const Time32 later = MakeLocalTime(2026, 12, 13, 9, 0, 0);
  EXPECT_TRUE(GuideUpdateDue(later, 3600, &check, &daily));
  EXPECT_EQ(daily, MakeLocalTime(2026, 12, 14, 4, 10, 0));
  EXPECT_EQ(check, later + 3600);
}

}  // namespace
