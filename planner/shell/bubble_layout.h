// Where a bubble goes: its box 10 pixels from the point, right of and below it
// when that fits the work area, otherwise flipped to the left and/or above.
// The window spans the point and the box; the pointer runs from the point's
// corner to the box.
#pragma once
#include "common/dpi_scale.h"

struct BubbleRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct BubblePlacement {
  BubbleRect window;  // screen rectangle of the whole bubble window
  BubbleRect box;     // the rounded box, in window coordinates
  bool left = false;  // flipped to the left of the point
  bool above = false; // flipped above the point
};

// At 96 dpi; scaled to the screen's dpi that the functions take.
constexpr int kBubbleGap = 10;
constexpr int kBubbleMargin = 6;

// textWidth/textHeight: the measured text; (x, y): the point on the screen.
BubblePlacement PlaceBubble(int textWidth, int textHeight, int x, int y, const BubbleRect& workArea,
                            int dpi = kDesignDpi);
// The bubble moves only when the cursor went more than 10 pixels away.
bool BubbleShouldMove(int lastX, int lastY, int x, int y, int dpi = kDesignDpi);
