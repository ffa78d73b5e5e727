// The splitter's columns and drags.
#include <gtest/gtest.h>

#include "planner/shell/splitter_layout.h"

namespace {

TEST(Splitter, ColumnsAndBarsTileTheWidth) {
  const SplitterColumns c = LayOutColumns(640, 20, 50);
  EXPECT_EQ(c.timeScaleWidth, 20);
  EXPECT_EQ(c.gridLeft, 20 + kSplitterBar);
  EXPECT_EQ(c.reserveLeft, 590);
  EXPECT_EQ(c.reserveWidth, 50);
  EXPECT_EQ(c.reserveBarLeft, 590 - kSplitterBar);
  EXPECT_EQ(c.gridLeft + c.gridWidth, c.reserveBarLeft);
}

TEST(Splitter, AHiddenColumnHasNoBarAndTheGridTakesItsPlace) {
  const SplitterColumns c = LayOutColumns(640, 20, 0);
  EXPECT_EQ(c.reserveWidth, 0);
  EXPECT_EQ(c.reserveBarLeft, -1);
  EXPECT_EQ(c.gridLeft + c.gridWidth, 640);
  EXPECT_EQ(BarAt(c, 639), SplitterBar::None);
}

TEST(Splitter, ANarrowWindowShrinksTheColumnBeforeTheGrid) {
  const SplitterColumns c = LayOutColumns(200, 20, 300);
  EXPECT_EQ(c.gridWidth, kMinGridWidth);
  EXPECT_EQ(c.reserveLeft + c.reserveWidth, 200);
  const SplitterColumns tiny = LayOutColumns(10, 20, 50);  // nothing negative anywhere
  EXPECT_GE(tiny.gridWidth, 0);
  EXPECT_GE(tiny.reserveWidth, 0);
  EXPECT_LE(tiny.gridLeft, 10);
}

TEST(Splitter, BarsAreFoundOnlyOnTheirPixels) {
  const SplitterColumns c = LayOutColumns(640, 20, 50);
  struct Case {
    int x;
    SplitterBar want;
  } cases[] = {
      {19, SplitterBar::None},      {20, SplitterBar::TimeScale}, {23, SplitterBar::TimeScale},
      {24, SplitterBar::None},      {585, SplitterBar::None},     {586, SplitterBar::Reserve},
      {589, SplitterBar::Reserve},  {590, SplitterBar::None},
  };
  for (const Case& k : cases) EXPECT_EQ(BarAt(c, k.x), k.want) << k.x;
}

TEST(Splitter, DragsStayWithinTheirLimits) {
  const SplitterColumns c = LayOutColumns(640, 20, 50);
  struct Case {
    const char* name;
    SplitterBar bar;
    int left, want;
  } cases[] = {
      {"time scale wider", SplitterBar::TimeScale, 60, 60},
      {"time scale too narrow", SplitterBar::TimeScale, 2, kMinTimeScaleWidth},
      {"time scale beyond its maximum", SplitterBar::TimeScale, 400, kMaxTimeScaleWidth},
      {"column wider", SplitterBar::Reserve, 400, 400},
      {"column over the grid's minimum", SplitterBar::Reserve, 30, 24 + kMinGridWidth},
      {"column past the edge", SplitterBar::Reserve, 700, 640 - kSplitterBar},
  };
  for (const Case& k : cases) EXPECT_EQ(ClampBarLeft(k.bar, k.left, 640, c), k.want) << k.name;
  // With a wide column the time scale cannot push the grid below its minimum.
  const SplitterColumns wide = LayOutColumns(300, 20, 150);
  EXPECT_EQ(ClampBarLeft(SplitterBar::TimeScale, 200, 300, wide), 300 - 154 - kSplitterBar - kMinGridWidth);
}

TEST(Splitter, DroppingTheColumnNarrowHidesIt) {
  EXPECT_EQ(ReserveWidthAt(400, 640), 640 - 400 - kSplitterBar);
  EXPECT_EQ(ReserveWidthAt(640 - kSplitterBar - kMinReserveWidth, 640), kMinReserveWidth);
  EXPECT_EQ(ReserveWidthAt(640 - kSplitterBar - kMinReserveWidth + 1, 640), 0);
  EXPECT_EQ(ReserveWidthAt(636, 640), 0);
}

// At 144 dpi the frame passes its widths in the screen's pixels: the bars are
// 6 pixels wide, and the limits of a drag and of a hidden column are half as
// much again as at 96.
TEST(Splitter, BarsAndLimitsScaleWithTheScreensDensity) {
  const SplitterColumns c = LayOutColumns(960, 30, 75, 144);
  EXPECT_EQ(c.gridLeft, 36);
  EXPECT_EQ(c.reserveBarLeft, 960 - 75 - 6);
  EXPECT_EQ(BarAt(c, 35), SplitterBar::TimeScale);
  EXPECT_EQ(BarAt(c, 36), SplitterBar::None);
  EXPECT_EQ(ClampBarLeft(SplitterBar::TimeScale, 2, 960, c, 144), 18);
  EXPECT_EQ(ClampBarLeft(SplitterBar::Reserve, 0, 960, c, 144), 36 + 60);
  EXPECT_EQ(TimeScaleWidthAt(1000, 144), 300);
  EXPECT_EQ(ReserveWidthAt(960 - 6 - 30, 960, 144), 30);
  EXPECT_EQ(ReserveWidthAt(960 - 6 - 29, 960, 144), 0);
  const SplitterColumns narrow = LayOutColumns(300, 30, 300, 144);
  EXPECT_EQ(narrow.gridWidth, 60);
}

TEST(Splitter, StoredWidthsComeBackSane) {
  EXPECT_EQ(StoredReserveWidth(120), 120);
  EXPECT_EQ(StoredReserveWidth(0), kDefaultReserveWidth);   // missing
  EXPECT_EQ(StoredReserveWidth(-5), kDefaultReserveWidth);  // damaged
  EXPECT_EQ(StoredReserveWidth(kMinReserveWidth - 1), kDefaultReserveWidth);
  EXPECT_EQ(StoredTimeScaleWidth(0, 20), 20);
  EXPECT_EQ(StoredTimeScaleWidth(5, 20), kMinTimeScaleWidth);
  EXPECT_EQ(StoredTimeScaleWidth(100000, 20), kMaxTimeScaleWidth);
}

}  // namespace
