// Grid geometry, hit tests and buttons of the timetable.
#include <gtest/gtest.h>
#include <memory>
#include "planner/guide/guide_program.h"
#include "planner/timetable/grid_geometry.h"
#include "planner/timetable/title_rows.h"

namespace {

constexpr Time32 kStart = 1000000800;  // a period start on a whole minute
constexpr Time32 kHour = 3600;

GridInput Days(int days, int charHeight = 12, int vZoom = 0) {
  GridInput in;
  in.charWidth = 12;
  in.charHeight = charHeight;
  in.vZoom = vZoom;
  in.periodStart = in.firstDayStart = kStart;
  in.periodEnd = kStart + days * 24 * kHour;
  return in;
}

std::vector<TitleRow> Rows(std::initializer_list<int> percents) {
  std::vector<TitleRow> rows;
  for (int p : percents) {
    TitleRow r;
    r.widthPercent = p;
    rows.push_back(r);
  }
  return rows;
}

TEST(GridGeometry, SevenDaysAtTwelvePixelsAreSixteenThousandHigh) {
  GridGeometry g(Days(7), {});
  EXPECT_EQ(g.hours, 168);
  EXPECT_EQ(g.slotHeight, 16);
  EXPECT_EQ(g.totalHeight, 16128);
}

TEST(GridGeometry, AHeightOverTheLimitIsScaledDownBelowIt) {
  // vZoom 16: (12 + 16 + 4) x 6 x 168 = 32256, over 32000.
  GridGeometry g(Days(7, 12, 16), {});
  EXPECT_EQ(g.slotHeight, 32 * 32000 / 32256);
  EXPECT_LE(g.totalHeight, kMaxCoordinate);
  EXPECT_EQ(g.totalHeight, g.slotHeight * 6 * 168);
}

TEST(GridGeometry, DayModeShowsTwentyFourHoursShiftedByTheOffset) {
  GridInput in = Days(7, 12, 16);
  in.dayMode24 = true;
  in.firstHourOffset = 30;
  GridGeometry g(in, {});
  EXPECT_EQ(g.hours, 24);
  EXPECT_EQ(g.slotHeight, 32);
  EXPECT_EQ(g.totalHeight, 32 * 6 * 24);
  EXPECT_EQ(g.YOf(kStart + 30 * kHour), 0);
  EXPECT_EQ(g.YOf(kStart + 31 * kHour), 32 * 6);
  EXPECT_EQ(g.TimeAt(32 * 6), kStart + 31 * kHour);
}

TEST(GridGeometry, CoordinatesStayWithinTheLimitInEveryPath) {
  struct Case {
    const char* what;
    int days, charHeight, vZoom, hZoom, columns, percent;
    bool day24;
  } cases[] = {
      {"long period, huge zoom", 30, 40, 64, 64, 200, 2000, false},
      {"damaged zoom below zero", 7, 12, -1000, -1000, 3, 100, false},
      {"24-hour mode, huge zoom", 60, 150, 64, 64, 50, 300, true},
      {"a year", 366, 16, 0, 0, 10, 100, false},
  };
  for (const Case& c : cases) {
    GridInput in = Days(c.days, c.charHeight, c.vZoom);
    in.hZoom = c.hZoom;
    in.dayMode24 = c.day24;
    in.firstHourOffset = c.day24 ? 100 : 0;
    std::vector<TitleRow> rows(static_cast<std::size_t>(c.columns));
    for (TitleRow& r : rows) r.widthPercent = c.percent;
    GridGeometry g(in, rows);
    EXPECT_LE(g.totalHeight, kMaxCoordinate) << c.what;
    EXPECT_LE(g.totalWidth, kMaxCoordinate) << c.what;
    EXPECT_GE(g.slotHeight, 1) << c.what;
    EXPECT_GE(g.columnUnit, 1) << c.what;
    EXPECT_LE(g.columnLeft.back(), kMaxCoordinate) << c.what;
    for (Time32 t : {in.periodStart - 100 * kHour, in.periodEnd, in.periodEnd + 1000 * kHour}) {
      EXPECT_LE(g.YOf(t), kMaxCoordinate + 1) << c.what;
      EXPECT_GE(g.YOf(t), -1) << c.what;
    }
  }
}

TEST(GridGeometry, ColumnsStartAfterTheMarginAndAWideGridIsScaled) {
  GridGeometry g(Days(1), Rows({100, 250}));
  // columnUnit = (0/2 + 10) x 12 + 4 = 124; margin = 12 + 6.
  EXPECT_EQ(g.columnUnit, 124);
  EXPECT_EQ(g.margin, 18);
  EXPECT_EQ(g.columnLeft, (std::vector<std::int32_t>{18, 142, 142 + 310}));
  EXPECT_EQ(g.totalWidth, 2 * 12 + 12 + 124 + 310);

  GridGeometry wide(Days(1), std::vector<TitleRow>(300));
  EXPECT_LE(wide.totalWidth, kMaxCoordinate);
  EXPECT_LT(wide.columnUnit, 124);
}

// On a 144-dpi screen the fonts measure half as much again (12 becomes 18);
// the grid's own pixels and the zoom steps follow, so every measure is 1.5
// times the one at 96.
TEST(GridGeometry, AtOneAndAHalfTimesTheDensityEveryMeasureGrowsByAHalf) {
  GridInput at96 = Days(1, 12, 4);
  GridInput at144 = at96;
  at144.charWidth = at144.charHeight = 18;
  at144.dpi = 144;
  const std::vector<TitleRow> rows = Rows({100, 250});
  GridGeometry small(at96, rows), large(at144, rows);
  EXPECT_EQ(small.slotHeight, 12 + 4 + 4);
  EXPECT_EQ(large.slotHeight, small.slotHeight * 3 / 2);
  EXPECT_EQ(large.margin, small.margin * 3 / 2);
  EXPECT_EQ(large.columnUnit, small.columnUnit * 3 / 2);
  EXPECT_EQ(large.totalWidth, small.totalWidth * 3 / 2);
  EXPECT_EQ(large.totalHeight, small.totalHeight * 3 / 2);
}

// The height limit is a limit of screen coordinates: it holds in pixels of the
// dense screen, where a week that fits at 96 no longer does.
TEST(GridGeometry, TheHeightLimitHoldsInPixelsAfterScaling) {
  GridInput in = Days(7, 12, 8);  // (12 + 8 + 4) x 6 x 168 = 24192
  EXPECT_EQ(GridGeometry(in, {}).totalHeight, 24192);
  in.charWidth = in.charHeight = 18;
  in.dpi = 144;  // (18 + 18) x 6 x 168 = 36288
  GridGeometry g(in, {});
  EXPECT_LE(g.totalHeight, kMaxCoordinate);
  EXPECT_EQ(g.slotHeight, 36 * 32000 / 36288);
  EXPECT_EQ(UnlimitedSlotHeight(18, 8, 144) * 6 * 168, 36288);
}

TEST(GridGeometry, LanesSplitTheColumnWithTheRemainderInTheLast) {
  std::int32_t l, r;
  GridGeometry::LaneSpan(100, 100, 3, 0, &l, &r);
  EXPECT_EQ(l, 100);
  EXPECT_EQ(r, 133);
  GridGeometry::LaneSpan(100, 100, 3, 1, &l, &r);
  EXPECT_EQ(l, 133);
  EXPECT_EQ(r, 166);
  GridGeometry::LaneSpan(100, 100, 3, 2, &l, &r);
  EXPECT_EQ(l, 166);
  EXPECT_EQ(r, 200);
}

class HitTest : public ::testing::Test {
 protected:
  HitTest() {
    // Column 0 (x 18..142): three overlapping programs 0:00-1:00 in three lanes,
    // then a gap, then 2:00-3:00. Column 1: one program 0:30-1:30.
    rows = Rows({100, 100});
    for (int i = 0; i < 3; ++i) Add(0, 0, 60);
    Add(0, 120, 180);
    Add(1, 30, 90);
    for (TitleRow& r : rows) LayOutLanes(r.programs);
    geometry = GridGeometry(Days(1), rows);
  }
  GuideProgram* Add(std::size_t column, int startMin, int endMin) {
    auto p = std::make_unique<GuideProgram>();
    p->startTime = kStart + startMin * 60;
    p->endTime = kStart + endMin * 60;
    rows[column].programs.push_back(p.get());
    owned.push_back(std::move(p));
    return owned.back().get();
  }
  GuideProgram* At(int x, int y) { return geometry.ProgramAt(rows, x, y, &cell); }
  std::vector<TitleRow> rows;
  std::vector<std::unique_ptr<GuideProgram>> owned;
  GridGeometry geometry;
  PixelRect cell;
};

TEST_F(HitTest, LaneBordersBelongToTheLaneOnTheirRight) {
  // 124 wide: lanes 18-59, 59-100, 100-142 (the last takes the remainder).
  EXPECT_EQ(At(18, 10), owned[0].get());
  EXPECT_EQ(At(58, 10), owned[0].get());
  EXPECT_EQ(At(59, 10), owned[1].get());
  EXPECT_EQ(At(99, 10), owned[1].get());
  EXPECT_EQ(At(100, 10), owned[2].get());
  EXPECT_EQ(At(141, 10), owned[2].get());
  EXPECT_EQ(cell.left, 100);
  EXPECT_EQ(cell.right, 142);
}

TEST_F(HitTest, CellBordersInTime) {
  const int hourPx = geometry.slotHeight * 6;  // 96
  EXPECT_EQ(At(20, hourPx - 1), owned[0].get());
  EXPECT_EQ(At(20, hourPx), nullptr);  // the gap after 1:00 is nobody's
  EXPECT_EQ(At(20, 2 * hourPx - 1), nullptr);
  EXPECT_EQ(At(20, 2 * hourPx), owned[3].get());
  EXPECT_EQ(cell.top, 2 * hourPx);
  EXPECT_EQ(cell.bottom, 3 * hourPx);
}

TEST_F(HitTest, ColumnBordersAndOutsideTheGrid) {
  EXPECT_EQ(At(142, 60), owned[4].get());  // first pixel of column 1
  EXPECT_EQ(At(17, 10), nullptr);          // the margin
  EXPECT_EQ(At(266, 60), nullptr);         // right of the last column
  EXPECT_EQ(At(20, -1), nullptr);
  EXPECT_EQ(At(20, geometry.totalHeight), nullptr);
}

TEST(CellButton, VisibilityByState) {
  struct Case {
    std::int32_t state;
    int ended;
    bool enabled;
    CellButton button;
  } cases[] = {
      {kStateNormal, 0, true, CellButton::Reserve},
      {kStateNormal + 5, 0, true, CellButton::Reserve},
      {kStateFailed, 0, true, CellButton::Reserve},
      {kStateFailed + 5, 0, true, CellButton::Reserve},
      {kStateNormal, 1, true, CellButton::None},
      {kStateNormal, 0, false, CellButton::None},
      {kStateReserved, 0, true, CellButton::None},
      {kStateReserved + 5, 0, true, CellButton::None},
      {kStateReceivedLaunchable, 0, true, CellButton::Open},
      {kStateReceivedLaunchable, 1, true, CellButton::Open},
      {kStateReceivedLaunchable + 5, 1, false, CellButton::Open},
      {kStateReceived, 1, true, CellButton::None},
      {kStateFailed, 1, true, CellButton::None},
  };
  for (const Case& c : cases) {
    GuideProgram p;
    p.state = c.state;
    p.ended = c.ended;
    EXPECT_EQ(ButtonFor(p, c.enabled), c.button) << "state " << c.state << " ended " << c.ended;
  }
}

TEST(DayWindow, ScrollingNearAnEndMovesTheWindowByWholeHours) {
  const int slot = 10, hourPx = 60, total = 24 * hourPx, page = 300;
  const int range = total - page;  // 1140; a twelfth is 95
  int y = 500;
  EXPECT_EQ(ShiftDayWindow(10, 168, slot, total, page, &y), 10);  // middle: nothing moves
  EXPECT_EQ(y, 500);
  y = 20;
  int offset = ShiftDayWindow(10, 168, slot, total, page, &y);
  EXPECT_LT(offset, 10);
  EXPECT_EQ(y, 20 + (10 - offset) * hourPx);  // the same time stays at the top
  y = range;
  offset = ShiftDayWindow(140, 168, slot, total, page, &y);
  EXPECT_EQ(offset, 144);  // never beyond the period's last 24 hours
  EXPECT_EQ(y, range - 4 * hourPx);
  y = 0;
  EXPECT_EQ(ShiftDayWindow(0, 168, slot, total, page, &y), 0);  // never below 0
  EXPECT_EQ(y, 0);
}

TEST(DayWindow, DitheringScreensScrollInSteps) {
  EXPECT_EQ(AlignScroll(13, true, false), 13);
  EXPECT_EQ(AlignScroll(13, false, false), 8);
  EXPECT_EQ(AlignScroll(13, false, true), 12);
}

}  // namespace
