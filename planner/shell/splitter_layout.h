// The main frame's columns below the heading row: the time scale, the grid and
// the reservation column, with a bar between neighbours that the user drags to
// move the boundary. The reservation column may be hidden (width 0, no bar).
#pragma once
#include <cstdint>
#include "common/dpi_scale.h"

// Widths at 96 dpi. The functions work in the screen's pixels: they take its
// dpi and scale these; widths kept in the settings stay at 96 dpi.
constexpr std::int32_t kSplitterBar = 4;             // width of a bar
constexpr std::int32_t kMinTimeScaleWidth = 12;
constexpr std::int32_t kMaxTimeScaleWidth = 200;
constexpr std::int32_t kMinReserveWidth = 20;        // dropped narrower, the column hides
constexpr std::int32_t kDefaultReserveWidth = 50;
constexpr std::int32_t kMinGridWidth = 40;           // what a drag leaves the grid

struct SplitterColumns {
  std::int32_t timeScaleWidth = 0;
  std::int32_t gridLeft = 0, gridWidth = 0;
  std::int32_t reserveLeft = 0, reserveWidth = 0;  // width 0: hidden
  std::int32_t reserveBarLeft = -1;                 // -1: no bar (column hidden)
  std::int32_t barWidth = kSplitterBar;
  std::int32_t TimeBarLeft() const { return timeScaleWidth; }
};
// Columns for a client width; a window too narrow for everything squeezes the grid.
// Columns for a client width. In a narrow window the reservation column gives
// way first, so that the grid keeps kMinGridWidth while it can.
SplitterColumns LayOutColumns(std::int32_t clientWidth, std::int32_t timeScaleWidth, std::int32_t reserveWidth,
                              std::int32_t dpi = kDesignDpi);

enum class SplitterBar { None, TimeScale, Reserve };
SplitterBar BarAt(const SplitterColumns& columns, std::int32_t x);

// The left edge a dragged bar may take: the time scale between its limits with
// room for the grid; the reservation column's bar anywhere right of the grid's
// minimum up to the client's edge (where the column disappears).
std::int32_t ClampBarLeft(SplitterBar bar, std::int32_t left, std::int32_t clientWidth,
                          const SplitterColumns& columns, std::int32_t dpi = kDesignDpi);
// Widths after a drop with the bar's left edge at `left` (clamped first).
std::int32_t TimeScaleWidthAt(std::int32_t left, std::int32_t dpi = kDesignDpi);
// 0 when the column would be narrower than kMinReserveWidth: it hides.
std::int32_t ReserveWidthAt(std::int32_t left, std::int32_t clientWidth, std::int32_t dpi = kDesignDpi);
// A stored width as the next start uses it: missing, damaged or hidden values
// give the default; never below the minimum.
std::int32_t StoredReserveWidth(std::int32_t stored);
std::int32_t StoredTimeScaleWidth(std::int32_t stored, std::int32_t defaultWidth);
