#include "planner/shell/splitter_layout.h"

#include <algorithm>

SplitterColumns LayOutColumns(std::int32_t clientWidth, std::int32_t timeScaleWidth, std::int32_t reserveWidth,
                              std::int32_t dpi) {
  SplitterColumns c;
  const std::int32_t bar = ScaleForDpi(kSplitterBar, dpi);
  c.barWidth = bar;
  const std::int32_t width = std::max<std::int32_t>(clientWidth, 0);
  c.timeScaleWidth = std::min(timeScaleWidth, width);
  c.gridLeft = std::min(c.timeScaleWidth + bar, width);
  // The column gives way before the grid shrinks below its minimum.
  const std::int32_t room = std::max<std::int32_t>(width - c.gridLeft - bar - ScaleForDpi(kMinGridWidth, dpi), 0);
  c.reserveWidth = std::clamp<std::int32_t>(reserveWidth, 0, room);
  c.reserveLeft = width - c.reserveWidth;
  const std::int32_t gridRight = c.reserveWidth > 0 ? c.reserveLeft - bar : width;
  c.gridWidth = std::max<std::int32_t>(gridRight - c.gridLeft, 0);
  c.reserveBarLeft = c.reserveWidth > 0 ? c.gridLeft + c.gridWidth : -1;
  return c;
}

SplitterBar BarAt(const SplitterColumns& c, std::int32_t x) {
  if (x >= c.TimeBarLeft() && x < c.TimeBarLeft() + c.barWidth) return SplitterBar::TimeScale;
  if (c.reserveBarLeft >= 0 && x >= c.reserveBarLeft && x < c.reserveBarLeft + c.barWidth)
    return SplitterBar::Reserve;
  return SplitterBar::None;
}

std::int32_t ClampBarLeft(SplitterBar bar, std::int32_t left, std::int32_t clientWidth, const SplitterColumns& c,
                          std::int32_t dpi) {
  const std::int32_t barWidth = ScaleForDpi(kSplitterBar, dpi);
  const std::int32_t minGrid = ScaleForDpi(kMinGridWidth, dpi);
  if (bar == SplitterBar::TimeScale) {
    const std::int32_t reserveSide = c.reserveWidth > 0 ? c.reserveWidth + barWidth : 0;
    const std::int32_t roomy = clientWidth - reserveSide - barWidth - minGrid;
    const std::int32_t low = ScaleForDpi(kMinTimeScaleWidth, dpi);
    const std::int32_t high = std::max(low, std::min(ScaleForDpi(kMaxTimeScaleWidth, dpi), roomy));
    return std::clamp(left, low, high);
  }
  if (bar == SplitterBar::Reserve) {
    const std::int32_t high = std::max<std::int32_t>(clientWidth - barWidth, 0);
    const std::int32_t low = std::min(c.gridLeft + minGrid, high);
    return std::clamp(left, low, high);
  }
  return left;
}

std::int32_t TimeScaleWidthAt(std::int32_t left, std::int32_t dpi) {
  return std::clamp(left, ScaleForDpi(kMinTimeScaleWidth, dpi), ScaleForDpi(kMaxTimeScaleWidth, dpi));
}

std::int32_t ReserveWidthAt(std::int32_t left, std::int32_t clientWidth, std::int32_t dpi) {
  const std::int32_t width = clientWidth - left - ScaleForDpi(kSplitterBar, dpi);
  return width < ScaleForDpi(kMinReserveWidth, dpi) ? 0 : width;
}

std::int32_t StoredReserveWidth(std::int32_t stored) {
  return stored < kMinReserveWidth ? kDefaultReserveWidth : stored;
}

std::int32_t StoredTimeScaleWidth(std::int32_t stored, std::int32_t defaultWidth) {
  if (stored <= 0) return defaultWidth;
  return std::clamp(stored, kMinTimeScaleWidth, kMaxTimeScaleWidth);
}
