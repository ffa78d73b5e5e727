// Where a new reception window goes: the corner "受信メッセージ位置" names,
// then along a column past the reception windows already there.
#pragma once
#include <functional>

struct PlacementRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// position: 0 top left, 1 top right, 2 centre, 3 bottom left, 4 bottom right.
// occupied(x, y) says whether a reception window (or the unit's main window)
// lies at that screen point.
PlacementRect PlaceReceptionRect(PlacementRect rect, const PlacementRect& work, int position,
                                 const std::function<bool(int x, int y)>& occupied);
