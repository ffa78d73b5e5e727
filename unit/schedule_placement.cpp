#include "unit/schedule_placement.h"

namespace {
void MoveTo(PlacementRect& r, int left, int top) {
  const int w = r.Width(), h = r.Height();
  r.left = left;
  r.top = top;
  r.right = left + w;
  r.bottom = top + h;
}
}  // namespace

PlacementRect PlaceReceptionRect(PlacementRect rect, const PlacementRect& work, int position,
                                 const std::function<bool(int x, int y)>& occupied) {
  const int w = rect.Width(), h = rect.Height();
  switch (position) {
    case 1: MoveTo(rect, work.right - w, 0); break;
    case 2: MoveTo(rect, work.left + (work.Width() - w) / 2, work.top + (work.Height() - h) / 2); break;
    case 3: MoveTo(rect, 0, work.bottom - h); break;
    case 4: MoveTo(rect, work.right - w, work.bottom - h); break;
    default: MoveTo(rect, 0, 0); break;
  }
  const bool even = position % 2 == 0;
  // A window taller or wider than the work area would never find a free place;
  // the bound ends the search where the columns run out anyway.
  for (int step = 0; step < 100000; ++step) {
    if (!occupied((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2)) break;
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
