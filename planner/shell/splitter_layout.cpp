#include "planner/shell/splitter_layout.h"

#include <algorithm>

SplitterColumns LayOutColumns(std::int32_t clientWidth, std::int32_t timeScaleWidth, std::int32_t reserveWidth) {
  SplitterColumns c;
  const std::int32_t width = std::max<std::int32_t>(clientWidth, 0);
  c.timeScaleWidth = std::min(timeScaleWidth, width);
  c.gridLeft = std::min(c.timeScaleWidth + kSplitterBar, width);
  // The column gives way before the grid shrinks below its minimum.
  const std::int32_t room = std::max<std::int32_t>(width - c.gridLeft - kSplitterBar - kMinGridWidth, 0);
  c.reserveWidth = std::clamp<std::int32_t>(reserveWidth, 0, room);
  c.reserveLeft = width - c.reserveWidth;
  const std::int32_t gridRight = c.reserveWidth > 0 ? c.reserveLeft - kSplitterBar : width;
  c.gridWidth = std::max<std::int32_t>(gridRight - c.gridLeft, 0);
  c.reserveBarLeft = c.reserveWidth > 0 ? c.gridLeft + c.gridWidth : -1;
  return c;
}

SplitterBar BarAt(const SplitterColumns& c, std::int32_t x) {
  if (x >= c.TimeBarLeft() && x < c.TimeBarLeft() + kSplitterBar) return SplitterBar::TimeScale;
  if (c.reserveBarLeft >= 0 && x >= c.reserveBarLeft && x < c.reserveBarLeft + kSplitterBar)
    return SplitterBar::Reserve;
  return SplitterBar::None;
}

std::int32_t ClampBarLeft(SplitterBar bar, std::int32_t left, std::int32_t clientWidth, const SplitterColumns& c) {
  if (bar == SplitterBar::TimeScale) {
    const std::int32_t reserveSide = c.reserveWidth > 0 ? c.reserveWidth + kSplitterBar : 0;
    const std::int32_t roomy = clientWidth - reserveSide - kSplitterBar - kMinGridWidth;
    const std::int32_t high = std::max(kMinTimeScaleWidth, std::min(kMaxTimeScaleWidth, roomy));
    return std::clamp(left, kMinTimeScaleWidth, high);
  }
  if (bar == SplitterBar::Reserve) {
    const std::int32_t high = std::max<std::int32_t>(clientWidth - kSplitterBar, 0);
    const std::int32_t low = std::min(c.gridLeft + kMinGridWidth, high);
    return std::clamp(left, low, high);
  }
  return left;
}

std::int32_t TimeScaleWidthAt(std::int32_t left) { return std::clamp(left, kMinTimeScaleWidth, kMaxTimeScaleWidth); }

std::int32_t ReserveWidthAt(std::int32_t left, std::int32_t clientWidth) {
  const std::int32_t width = clientWidth - left - kSplitterBar;
  return width < kMinReserveWidth ? 0 : width;
}

std::int32_t StoredReserveWidth(std::int32_t stored) {
  return stored < kMinReserveWidth ? kDefaultReserveWidth : stored;
}

std::int32_t StoredTimeScaleWidth(std::int32_t stored, std::int32_t defaultWidth) {
  if (stored <= 0) return defaultWidth;
  return std::clamp(stored, kMinTimeScaleWidth, kMaxTimeScaleWidth);
}
