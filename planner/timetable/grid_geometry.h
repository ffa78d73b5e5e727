// Where things are in the timetable grid: the height of ten minutes, the width
// of a 100 % column, column edges, cell and lane rectangles, the program under
// a point and which button a cell shows. Pure arithmetic, so the windows only
// draw what this computes. Every coordinate it gives stays within the
// 32000-pixel limit of the screen coordinates.
#pragma once
#include <cstdint>
#include <vector>
#include "common/dpi_scale.h"
#include "common/time_text.h"
#include "planner/guide/guide_program.h"

struct TitleRow;

constexpr std::int32_t kMaxCoordinate = 32000;

struct GridInput {
  std::int32_t charWidth = 16;
  std::int32_t charHeight = 16;
  std::int32_t vZoom = 0;
  std::int32_t hZoom = 0;
  bool dayMode24 = false;
  std::int32_t firstHourOffset = 0;
  Time32 periodStart = 0;  // periodStartCopy
  Time32 firstDayStart = 0;
  Time32 periodEnd = 0;
  // The screen's density: the fonts (charWidth, charHeight) are measured at
  // it already, the fixed pixels and the zoom steps are scaled to it here.
  std::int32_t dpi = kDesignDpi;
};

// The height of ten minutes before the height limit: the character height and
// the zoom with four pixels of space, those two scaled to the screen.
std::int64_t UnlimitedSlotHeight(std::int32_t charHeight, std::int32_t vZoom, std::int32_t dpi);

struct PixelRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(std::int32_t x, std::int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Empty() const { return right <= left || bottom <= top; }
};

class GridGeometry {
 public:
  GridGeometry() = default;
  GridGeometry(const GridInput& in, const std::vector<TitleRow>& rows);

  std::int32_t hours = 0;
  std::int32_t slotHeight = 1;   // ten minutes
  std::int32_t totalHeight = 0;
  std::int32_t columnUnit = 1;   // a 100 % column
  std::int32_t totalWidth = 0;
  std::int32_t margin = 0;       // left of the first column
  std::vector<std::int32_t> columnLeft;  // one more than the columns: the last is the right edge

  std::size_t Columns() const { return columnLeft.empty() ? 0 : columnLeft.size() - 1; }
  std::int32_t ColumnWidth(std::size_t i) const { return columnLeft[i + 1] - columnLeft[i]; }
  // The column that holds x, or npos.
  std::size_t ColumnAt(std::int32_t x) const;

  // y of a time (clamped to just outside the grid when it lies beyond it).
  std::int32_t YOf(Time32 t) const;
  // The time at y (start of its minute).
  Time32 TimeAt(std::int32_t y) const;
  // The hour shown at the top of the grid in 24-hour mode is this many hours
  // after the period start.
  std::int32_t ShiftHours() const { return in_.dayMode24 ? in_.firstHourOffset : 0; }
  // Pixels between the start of the period and the top of the window.
  std::int32_t ShiftPixels() const { return ShiftHours() * slotHeight * 6; }

  // Lane k of n in a column: width / n each, the last also takes the remainder.
  static void LaneSpan(std::int32_t left, std::int32_t width, std::int32_t laneCount, std::int32_t laneIndex,
                       std::int32_t* laneLeft, std::int32_t* laneRight);
  PixelRect CellRect(std::size_t column, const GuideProgram& p) const;

  // The program under (x, y) and its cell rectangle, or nullptr.
  GuideProgram* ProgramAt(const std::vector<TitleRow>& rows, std::int32_t x, std::int32_t y, PixelRect* cell) const;

  const GridInput& Input() const { return in_; }

 private:
  GridInput in_;
};

enum class CellButton { None, Reserve, Open };
// The button a cell shows: the reserve button while the program has not ended,
// reservations are enabled and it is normal or failed; the open button for a
// program received with something to open, ended or not.
CellButton ButtonFor(const GuideProgram& p, bool reservationsEnabled);

// 24-hour mode: when the scroll position comes within a twelfth of the range of
// either end, the window moves by whole hours. Returns the new firstHourOffset
// and corrects *scrollY by the same amount.
std::int32_t ShiftDayWindow(std::int32_t firstHourOffset, std::int32_t periodHours, std::int32_t slotHeight,
                            std::int32_t scrollRange, std::int32_t pageHeight, std::int32_t* scrollY);

// The scroll position kept on a dithering screen: a multiple of 8 (4 while dragging).
std::int32_t AlignScroll(std::int32_t pos, bool deepColour, bool dragging);
