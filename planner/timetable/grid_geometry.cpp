#include "planner/timetable/grid_geometry.h"
#include <algorithm>
#include "planner/timetable/title_rows.h"

namespace {

std::int32_t Clamp(std::int64_t v, std::int64_t lo, std::int64_t hi) {
  return static_cast<std::int32_t>(std::max(lo, std::min(v, hi)));
}

// Whole minutes from `from` to t, rounded down also before `from`.
std::int64_t MinutesBetween(Time32 from, Time32 t) {
  std::int64_t s = static_cast<std::int64_t>(t) - from;
  return s >= 0 ? s / 60 : -((-s + 59) / 60);
}

}  // namespace

std::int64_t UnlimitedSlotHeight(std::int32_t charHeight, std::int32_t vZoom, std::int32_t dpi) {
  return static_cast<std::int64_t>(charHeight) + ScaleForDpi(vZoom + 4, dpi);
}

GridGeometry::GridGeometry(const GridInput& in, const std::vector<TitleRow>& rows) : in_(in) {
  const std::int64_t periodHours = (static_cast<std::int64_t>(in.periodEnd) - in.firstDayStart) / 3600;
  hours = in.dayMode24 ? 24 : Clamp(periodHours, 0, 24 * 366);
  // Damaged zoom or font values must not turn the scale upside down.
  std::int64_t slot = std::max<std::int64_t>(1, UnlimitedSlotHeight(in.charHeight, in.vZoom, in.dpi));
  std::int64_t height = slot * 6 * hours;
  if (height > kMaxCoordinate) {
    slot = std::max<std::int64_t>(1, slot * kMaxCoordinate / height);
    height = slot * 6 * hours;
  }
  slotHeight = static_cast<std::int32_t>(slot);
  // One pixel per ten minutes is the floor; a period longer than that fits
  // (over 222 days) is cut at the limit rather than drawn past it.
  totalHeight = Clamp(height, 0, kMaxCoordinate);

  const std::int64_t charHeight = std::max<std::int32_t>(1, in.charHeight);
  const std::int64_t charWidth = std::max<std::int32_t>(1, in.charWidth);
  const std::int64_t edges = 2 * charHeight + ScaleForDpi(12, in.dpi);
  std::int64_t unit = std::max<std::int64_t>(1, (in.hZoom / 2 + 10) * charWidth + ScaleForDpi(4, in.dpi));
  auto widthWith = [&](std::int64_t u) {
    std::int64_t w = edges;
    for (const TitleRow& r : rows) w += static_cast<std::int64_t>(r.widthPercent) * u / 100;
    return w;
  };
  std::int64_t width = widthWith(unit);
  if (width > kMaxCoordinate) {
    unit = std::max<std::int64_t>(1, unit * kMaxCoordinate / width);
    width = widthWith(unit);
    // Rounding of many narrow columns can still leave it a little over.
    while (width > kMaxCoordinate && unit > 1) width = widthWith(--unit);
  }
  columnUnit = static_cast<std::int32_t>(unit);
  margin = static_cast<std::int32_t>(charHeight + ScaleForDpi(6, in.dpi));
  columnLeft.reserve(rows.size() + 1);
  std::int64_t x = margin;
  columnLeft.push_back(Clamp(x, 0, kMaxCoordinate));
  for (const TitleRow& r : rows) {
    x += static_cast<std::int64_t>(r.widthPercent) * unit / 100;
    columnLeft.push_back(Clamp(x, 0, kMaxCoordinate));
  }
  totalWidth = Clamp(std::max(width, x), 0, kMaxCoordinate);
}

std::size_t GridGeometry::ColumnAt(std::int32_t x) const {
  if (Columns() == 0 || x < columnLeft.front() || x >= columnLeft.back()) return static_cast<std::size_t>(-1);
  auto it = std::upper_bound(columnLeft.begin(), columnLeft.end(), x);
  return static_cast<std::size_t>(it - columnLeft.begin()) - 1;
}

std::int32_t GridGeometry::YOf(Time32 t) const {
  std::int64_t y = MinutesBetween(in_.periodStart, t) * slotHeight / 10 - ShiftPixels();
  return Clamp(y, -1, static_cast<std::int64_t>(totalHeight) + 1);
}

Time32 GridGeometry::TimeAt(std::int32_t y) const {
  std::int64_t minutes = static_cast<std::int64_t>(y) * 10 / slotHeight + ShiftHours() * 60;
  return static_cast<Time32>(in_.periodStart + minutes * 60);
}

void GridGeometry::LaneSpan(std::int32_t left, std::int32_t width, std::int32_t laneCount, std::int32_t laneIndex,
                            std::int32_t* laneLeft, std::int32_t* laneRight) {
  if (laneCount <= 1) {
    *laneLeft = left;
    *laneRight = left + width;
    return;
  }
  const std::int32_t laneWidth = width / laneCount;
  const std::int32_t index = std::max(0, std::min(laneIndex, laneCount - 1));
  *laneLeft = left + index * laneWidth;
  *laneRight = index == laneCount - 1 ? left + width : *laneLeft + laneWidth;
}

PixelRect GridGeometry::CellRect(std::size_t column, const GuideProgram& p) const {
  PixelRect r;
  LaneSpan(columnLeft[column], ColumnWidth(column), p.laneCount, p.laneIndex, &r.left, &r.right);
  r.top = YOf(p.startTime);
  r.bottom = YOf(p.endTime);
  return r;
}

GuideProgram* GridGeometry::ProgramAt(const std::vector<TitleRow>& rows, std::int32_t x, std::int32_t y,
                                      PixelRect* cell) const {
  const std::size_t column = ColumnAt(x);
  if (column >= rows.size() || column >= Columns() || y < 0 || y >= totalHeight) return nullptr;
  const Time32 t = TimeAt(y);
  const std::vector<GuideProgram*>& programs = rows[column].programs;
  auto it = std::find_if(programs.begin(), programs.end(), [t](const GuideProgram* p) { return p->endTime > t; });
  for (; it != programs.end() && (*it)->startTime <= t; ++it) {
    GuideProgram* p = *it;
    if (p->endTime <= t) continue;
    PixelRect r = CellRect(column, *p);
    // A lane only answers for points inside it: overlapping programs of other
    // lanes, and the empty space of a lane, belong to nobody else.
    if (x < r.left || x >= r.right) continue;
    if (cell) *cell = r;
    return p;
  }
  return nullptr;
}

CellButton ButtonFor(const GuideProgram& p, bool reservationsEnabled) {
  const std::int32_t base = p.state % 5;
  if (!p.ended && reservationsEnabled && (base == kStateNormal || base == kStateFailed)) return CellButton::Reserve;
  if (base == kStateReceivedLaunchable) return CellButton::Open;
  return CellButton::None;
}

std::int32_t ShiftDayWindow(std::int32_t firstHourOffset, std::int32_t periodHours, std::int32_t slotHeight,
                            std::int32_t scrollRange, std::int32_t pageHeight, std::int32_t* scrollY) {
  const std::int32_t hourPx = slotHeight * 6;
  const std::int32_t range = scrollRange - pageHeight;
  if (hourPx <= 0 || range <= 0) return firstHourOffset;
  const std::int32_t edge = range / 12;
  if (*scrollY >= edge && *scrollY <= range - edge) return firstHourOffset;
  // Bring the position back to the middle of the range by whole hours.
  const std::int32_t hours = (*scrollY - range / 2) / hourPx;
  const std::int32_t last = std::max(0, periodHours - 24);
  const std::int32_t offset = std::max(0, std::min(firstHourOffset + hours, last));
  *scrollY -= (offset - firstHourOffset) * hourPx;
  *scrollY = std::max(0, std::min(*scrollY, range));
  return offset;
}

std::int32_t AlignScroll(std::int32_t pos, bool deepColour, bool dragging) {
  if (deepColour) return pos;
  const std::int32_t step = dragging ? 4 : 8;
  return pos - ((pos % step) + step) % step;
}
