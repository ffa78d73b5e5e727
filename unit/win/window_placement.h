// Where a new reception window goes: the corner "受信メッセージ位置" names,
// moved along a column past reception windows already there.
#pragma once
#include <windows.h>

// p: 0 top left, 1 top right, 2 centre, 3 bottom left, 4 bottom right.
void PlaceReceptionWindow(HWND window, int position);

// The pure part: moves `rect` within `work` while occupied(centre) says another
// reception window lies under the rectangle's centre.
template <class Occupied>
RECT PlaceRect(RECT rect, const RECT& work, int position, Occupied occupied);
#include "window_placement_impl.h"
