// Geometry of the reservation column: the same time axis as the timetable's
// grid (time runs downwards, slotHeight pixels per 10 minutes), a header of a
// fifth of the width at the left, and each reservation as a bar in its lane.
#pragma once
#include <cstdint>
#include <vector>
#include "common/dpi_scale.h"
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

// --- The program name on each bar --------------------------------------------
// The name is written at the top of its bar, clipped to the bar's lane. A bar
// that begins above the visible top and still reaches well below it (more than
// two lines) has its name a few pixels below the top instead, as the grid does
// with its cell text; that inset is recomputed only when scrolling has paused
// (command 32805), so the name scrolls with its bar in between.
// Both at 96 dpi; the functions take the screen's dpi and scale them.
constexpr std::int32_t kTitleMarginX = 2;      // from the bar's left edge
constexpr std::int32_t kTitleBelowTop = 5;     // below the visible top when inset
std::int32_t TitleInset(const BarRect& bar, std::int32_t lineHeight, std::int32_t dpi = kDesignDpi);

struct TitlePlace {
  bool shown = false;
  std::int32_t x = 0, y = 0;  // where the text starts
  BarRect clip;               // the inside of the bar: the text never leaves it
};
// The placement for a bar with a stored inset (from TitleInset); not shown
// when the bar's inside is empty or lies outside 0..clientHeight.
TitlePlace PlaceTitle(const BarRect& bar, std::int32_t inset, std::int32_t clientHeight,
                      std::int32_t dpi = kDesignDpi);

enum class TitleFont { Small, Normal };
// The timetable's normal font when the lane has room for two of its
// characters and the bar for one of its lines; the small font otherwise.
TitleFont ChooseTitleFont(const BarRect& bar, std::int32_t normalCharWidth, std::int32_t normalLineHeight,
                          std::int32_t dpi = kDesignDpi);
