// Placement of reception windows: corners, stacking past windows already
// there, new columns, and the fall-back to the origin.
#include <gtest/gtest.h>

#include <vector>

#include "unit/schedule_placement.h"

namespace {
const PlacementRect kWork{0, 0, 1000, 700};
const PlacementRect kWindow{0, 0, 300, 100};

// Windows already on the screen; a point is occupied when one contains it.
struct Screen {
  std::vector<PlacementRect> windows;
  bool operator()(int x, int y) const {
    for (const auto& w : windows)
      if (x >= w.left && x < w.right && y >= w.top && y < w.bottom) return true;
    return false;
  }
  PlacementRect Place(int position) {
    PlacementRect r = PlaceReceptionRect(kWindow, kWork, position, *this);
    windows.push_back(r);
    return r;
  }
};
}  // namespace

TEST(SchedulePlacement, EmptyScreenPutsTheWindowInItsCorner) {
  struct Case { int position, left, top; };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 700, 0}, Case{2, 350, 300}, Case{3, 0, 600}, Case{4, 700, 600}}) {
    Screen screen;
    PlacementRect r = screen.Place(c.position);
    EXPECT_EQ(r.left, c.left) << c.position;
    EXPECT_EQ(r.top, c.top) << c.position;
    EXPECT_EQ(r.Width(), 300);
    EXPECT_EQ(r.Height(), 100);
  }
}

TEST(SchedulePlacement, SecondWindowAtTheOriginOpensDirectlyBelowTheFirst) {
  Screen screen;
  screen.Place(0);
  PlacementRect second = screen.Place(0);
  EXPECT_EQ(second.left, 0);
  EXPECT_EQ(second.top, 100);
}

TEST(SchedulePlacement, BottomCornersStackUpwards) {
  Screen screen;
  screen.Place(4);
  PlacementRect second = screen.Place(4);
  EXPECT_EQ(second.left, 700);
  EXPECT_EQ(second.top, 500);
}

TEST(SchedulePlacement, FullColumnStartsANewOneBesideIt) {
  Screen top;
  for (int i = 0; i < 7; ++i) top.Place(0);  // 0..600: the column is full
  PlacementRect next = top.Place(0);
  EXPECT_EQ(next.left, 300);
  EXPECT_EQ(next.top, 0);

  Screen right;
  for (int i = 0; i < 7; ++i) right.Place(1);
  PlacementRect left = right.Place(1);  // odd positions go left
  EXPECT_EQ(left.left, 400);
  EXPECT_EQ(left.top, 0);

  Screen bottom;
  for (int i = 0; i < 7; ++i) bottom.Place(3);
  PlacementRect beside = bottom.Place(3);  // odd bottom positions go right
  EXPECT_EQ(beside.left, 300);
  EXPECT_EQ(beside.top, 600);
}

TEST(SchedulePlacement, FullScreenFallsBackToTheOrigin) {
  Screen screen;
  for (int i = 0; i < 21; ++i) screen.Place(0);  // three full columns
  PlacementRect r = screen.Place(0);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
}
