#include "planner/shell/bubble_layout.h"

#include <cstdlib>

BubblePlacement PlaceBubble(int textWidth, int textHeight, int x, int y, const BubbleRect& work, int dpi) {
  BubblePlacement p;
  const int gap = ScaleForDpi(kBubbleGap, dpi), margin = ScaleForDpi(kBubbleMargin, dpi);
  const int boxWidth = textWidth + 2 * margin;
  const int boxHeight = textHeight + 2 * margin;
  const int width = gap + boxWidth;
  const int height = gap + boxHeight;
  p.left = x + width > work.right && x - width >= work.left;
  p.above = y + height > work.bottom && y - height >= work.top;
  p.window.left = p.left ? x - width : x;
  p.window.top = p.above ? y - height : y;
  p.window.right = p.window.left + width;
  p.window.bottom = p.window.top + height;
  p.box.left = p.left ? 0 : gap;
  p.box.top = p.above ? 0 : gap;
  p.box.right = p.box.left + boxWidth;
  p.box.bottom = p.box.top + boxHeight;
  return p;
}

bool BubbleShouldMove(int lastX, int lastY, int x, int y, int dpi) {
  const int slack = ScaleForDpi(10, dpi);
  return std::abs(x - lastX) > slack || std::abs(y - lastY) > slack;
}
