// Geometry of the reservation column: the same time axis as the timetable's
// grid (time runs downwards, slotHeight pixels per 10 minutes), a header of a
// fifth of the width at the left, and each reservation as a bar in its lane.
#pragma once
#include <cstdint>
#include <vector>
#include "common/time_text.h"
#include "planner/reserve/reservation_list.h"

class CTavoraDoc;

struct ColumnAxis {
  Time32 origin = 0;          // time at grid position 0 (the period start)
  std::int32_t slotHeight = 20;  // pixels per 10 minutes
  std::int32_t hourOffset = 0;   // hours shown above the top in 24-hour mode
  std::int32_t top = 0;          // vertical scroll position of the grid
};

// The grid's slot height as the timetable computes it: charHeight + vZoom + 4,
// scaled down so that the whole period stays within 32000 pixels.
std::int32_t SlotHeightOf(const CTavoraDoc& doc);
ColumnAxis AxisOf(const CTavoraDoc& doc, std::int32_t top);

// Time at client y, and client y of a time.
Time32 TimeAtY(const ColumnAxis& axis, std::int32_t y);
std::int32_t YOfTime(const ColumnAxis& axis, Time32 t);

struct BarRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
std::int32_t HeaderWidth(std::int32_t width);
BarRect BarOf(const ReservationEntry& entry, const ColumnAxis& axis, std::int32_t width);
// Index of the entry under client (x, y), or -1: only right of the header; the
// bar must hold the time, and in a group of lanes the lane must be the pointer's.
int HitTestColumn(const std::vector<ReservationEntry>& entries, const ColumnAxis& axis, std::int32_t width,
                  std::int32_t x, std::int32_t y);
