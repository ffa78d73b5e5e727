#include "planner/reserve/reserve_column.h"

#include <algorithm>
#include "planner/timetable/grid_geometry.h"
#include "planner/timetable/tavora_doc.h"

std::int32_t SlotHeightOf(const CTavoraDoc& doc) {
  const std::int64_t hours = doc.dayMode24 ? 24 : std::max<std::int64_t>(doc.Hours(), 1);
  std::int64_t slot = std::max<std::int64_t>(UnlimitedSlotHeight(doc.charHeight, doc.vZoom, doc.dpi), 1);
  const std::int64_t total = slot * 6 * hours;
  if (total > kMaxPixelHeight) slot = std::max<std::int64_t>(slot * kMaxPixelHeight / total, 1);
  return static_cast<std::int32_t>(slot);
}

ColumnAxis AxisOf(const CTavoraDoc& doc, std::int32_t top) {
  ColumnAxis axis;
  axis.origin = doc.periodStartCopy;
  axis.slotHeight = SlotHeightOf(doc);
  axis.hourOffset = doc.dayMode24 ? doc.firstHourOffset : 0;
  axis.top = top;
  return axis;
}

Time32 TimeAtY(const ColumnAxis& axis, std::int32_t y) {
  const std::int64_t pos = static_cast<std::int64_t>(axis.top) + y;
  const std::int64_t minutes = pos * 10 / axis.slotHeight;
  return static_cast<Time32>(axis.origin + minutes * 60 + static_cast<std::int64_t>(axis.hourOffset) * 3600);
}

std::int32_t YOfTime(const ColumnAxis& axis, Time32 t) {
  const std::int64_t minutes = (static_cast<std::int64_t>(t) - axis.origin) / 60;
  const std::int64_t pos = minutes * axis.slotHeight / 10 - static_cast<std::int64_t>(axis.hourOffset) * axis.slotHeight * 6;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(pos - axis.top, -1000000, 1000000));
}

std::int32_t HeaderWidth(std::int32_t width) { return width / 5; }

BarRect BarOf(const ReservationEntry& e, const ColumnAxis& axis, std::int32_t width) {
  const std::int32_t header = HeaderWidth(width);
  const std::int32_t lanes = std::max<std::int32_t>(e.laneCount, 1);
  const std::int32_t laneWidth = std::max<std::int32_t>((width - header) / lanes, 1);
  BarRect r;
  r.left = header + e.laneIndex * laneWidth;
  r.right = e.laneIndex + 1 == lanes ? width : r.left + laneWidth;
  r.top = YOfTime(axis, e.startTime);
  r.bottom = YOfTime(axis, e.endTime);
  return r;
}

int HitTestColumn(const std::vector<ReservationEntry>& entries, const ColumnAxis& axis, std::int32_t width,
                  std::int32_t x, std::int32_t y) {
  const std::int32_t header = HeaderWidth(width);
  if (x < header || x >= width) return -1;
  const Time32 t = TimeAtY(axis, y);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ReservationEntry& e = entries[i];
    if (t < e.startTime || t >= e.endTime) continue;
    if (e.laneCount > 1) {
      const std::int32_t laneWidth = std::max<std::int32_t>((width - header) / e.laneCount, 1);
      const std::int32_t lane = std::min<std::int32_t>((x - header) / laneWidth, e.laneCount - 1);
      if (lane != e.laneIndex) continue;
    }
    return static_cast<int>(i);
  }
  return -1;
}

std::int32_t TitleInset(const BarRect& bar, std::int32_t lineHeight, std::int32_t dpi) {
  return bar.top < 0 && bar.bottom > 2 * lineHeight ? -bar.top + ScaleForDpi(kTitleBelowTop, dpi) : 0;
}

TitlePlace PlaceTitle(const BarRect& bar, std::int32_t inset, std::int32_t clientHeight, std::int32_t dpi) {
  TitlePlace place;
  // Inside the bar's one-pixel frame.
  place.clip = BarRect{bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom};
  place.x = bar.left + ScaleForDpi(kTitleMarginX, dpi);
  place.y = bar.top + 1 + std::max<std::int32_t>(inset, 0);
  place.shown = place.clip.right > place.x && place.clip.bottom > place.y && place.y < clientHeight &&
                place.clip.bottom > 0;
  return place;
}

TitleFont ChooseTitleFont(const BarRect& bar, std::int32_t normalCharWidth, std::int32_t normalLineHeight,
                          std::int32_t dpi) {
  const std::int32_t room = bar.right - 1 - (bar.left + ScaleForDpi(kTitleMarginX, dpi));
  const std::int32_t height = bar.bottom - bar.top - 1;
  return room >= 2 * normalCharWidth && height >= normalLineHeight ? TitleFont::Normal : TitleFont::Small;
}
