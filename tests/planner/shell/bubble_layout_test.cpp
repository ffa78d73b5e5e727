// Where the bubble goes beside the pointer, and when it follows it.
#include <gtest/gtest.h>

#include "planner/shell/bubble_layout.h"

namespace {

TEST(BubblePlacement, RightAndBelowWhenItFitsElseFlipped) {
  const BubbleRect screen{0, 0, 1000, 800};
  const BubblePlacement normal = PlaceBubble(100, 40, 200, 200, screen);
  EXPECT_FALSE(normal.left);
  EXPECT_FALSE(normal.above);
  EXPECT_EQ(normal.window.left, 200);
  EXPECT_EQ(normal.box.left, kBubbleGap);
  EXPECT_EQ(normal.window.right - normal.window.left, kBubbleGap + 100 + 2 * kBubbleMargin);

  const BubblePlacement corner = PlaceBubble(100, 40, 990, 790, screen);
  EXPECT_TRUE(corner.left);
  EXPECT_TRUE(corner.above);
  EXPECT_EQ(corner.window.right, 990);
  EXPECT_EQ(corner.window.bottom, 790);
  EXPECT_EQ(corner.box.left, 0);

  const BubblePlacement right = PlaceBubble(100, 40, 990, 100, screen);
  EXPECT_TRUE(right.left);
  EXPECT_FALSE(right.above);
}

// At 144 dpi the gap is 15 and the margin 9: the box of a text measured in
// the screen's pixels keeps the proportions it has at 96, and the flip to the
// left happens when that larger bubble no longer fits.
TEST(BubblePlacement, GapMarginAndSlackScaleWithTheScreensDensity) {
  const BubbleRect screen{0, 0, 1000, 800};
  const BubblePlacement p = PlaceBubble(150, 60, 200, 200, screen, 144);
  EXPECT_EQ(p.box.left, 15);
  EXPECT_EQ(p.box.top, 15);
  EXPECT_EQ(p.window.right - p.window.left, 15 + 150 + 18);
  EXPECT_EQ(p.box.bottom - p.box.top, 60 + 18);
  EXPECT_FALSE(PlaceBubble(150, 60, 1000 - 176, 200, screen).left);
  EXPECT_TRUE(PlaceBubble(150, 60, 1000 - 176, 200, screen, 144).left);
  EXPECT_FALSE(BubbleShouldMove(100, 100, 115, 85, 144));
  EXPECT_TRUE(BubbleShouldMove(100, 100, 116, 100, 144));
}

TEST(BubblePlacement, MovesOnlyPastTenPixels) {
  EXPECT_FALSE(BubbleShouldMove(100, 100, 110, 90));
  EXPECT_TRUE(BubbleShouldMove(100, 100, 111, 100));
  EXPECT_TRUE(BubbleShouldMove(100, 100, 100, 89));
}

}  // namespace
