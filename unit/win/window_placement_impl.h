// Template body of PlaceRect (included by window_placement.h).
#pragma once

namespace placement_detail {
inline void MoveTo(RECT& r, LONG left, LONG top) {
  const LONG w = r.right - r.left, h = r.bottom - r.top;
  r.left = left;
  r.top = top;
  r.right = left + w;
  r.bottom = top + h;
}
}  // namespace placement_detail

template <class Occupied>
RECT PlaceRect(RECT rect, const RECT& work, int position, Occupied occupied) {
  using placement_detail::MoveTo;
  const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
  switch (position) {
    case 1: MoveTo(rect, work.right - w, 0); break;
    case 2: MoveTo(rect, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2); break;
    case 3: MoveTo(rect, 0, work.bottom - h); break;
    case 4: MoveTo(rect, work.right - w, work.bottom - h); break;
    default: MoveTo(rect, 0, 0); break;
  }
  const bool even = position % 2 == 0;
  // Bounded: a screen holds only so many windows; beyond that they pile at 0, 0.
  for (int guard = 0; guard < 10000; ++guard) {
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!occupied(centre)) break;
    if (position < 3) {
      MoveTo(rect, rect.left, rect.top + h);
      if (rect.bottom > work.bottom) MoveTo(rect, even ? rect.left + w : rect.left - w, 0);
    } else {
      MoveTo(rect, rect.left, rect.top - h);
      if (rect.top < 0) MoveTo(rect, even ? rect.left - w : rect.left + w, work.bottom - h);
    }
    if (rect.right > work.right || rect.left < 0) {
      MoveTo(rect, 0, 0);
      break;
    }
  }
  return rect;
}
