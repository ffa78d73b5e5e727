#include "planner/shell/bubble_layout.h"

#include <cstdlib>

BubblePlacement PlaceBubble(int textWidth, int textHeight, int x, int y, const BubbleRect& work) {
  BubblePlacement p;
  const int boxWidth = textWidth + 2 * kBubbleMargin;
  const int boxHeight = textHeight + 2 * kBubbleMargin;
  const int width = kBubbleGap + boxWidth;
  const int height = kBubbleGap + boxHeight;
  p.left = x + width > work.right && x - width >= work.left;
  p.above = y + height > work.bottom && y - height >= work.top;
  p.window.left = p.left ? x - width : x;
  p.window.top = p.above ? y - height : y;
  p.window.right = p.window.left + width;
  p.window.bottom = p.window.top + height;
  p.box.left = p.left ? 0 : kBubbleGap;
  p.box.top = p.above ? 0 : kBubbleGap;
  p.box.right = p.box.left + boxWidth;
  p.box.bottom = p.box.top + boxHeight;
  return p;
}

bool BubbleShouldMove(int lastX, int lastY, int x, int y) {
  return std::abs(x - lastX) > 10 || std::abs(y - lastY) > 10;
}
