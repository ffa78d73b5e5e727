#include "window_placement.h"

#include "common/peer_names.h"
#include "common/text.h"
#include "common/win/peers.h"
#include "unit/schedule_placement.h"

namespace {
PlacementRect WorkArea() {
  const RECT r = DesktopWorkArea();
  return PlacementRect{r.left, r.top, r.right, r.bottom};
}

bool ReceptionWindowAt(int x, int y) {
  HWND hwnd = WindowFromPoint(POINT{x, y});
  if (!hwnd) return false;
  hwnd = GetAncestor(hwnd, GA_ROOT);
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 255);
  return FindText(WideToCp932(title), J(peer::kReceptionTitle)) != std::string::npos;
}
}  // namespace

void PlaceReceptionWindow(HWND window, int position) {
  RECT r;
  GetWindowRect(window, &r);
  const PlacementRect placed =
      PlaceReceptionRect(PlacementRect{r.left, r.top, r.right, r.bottom}, WorkArea(), position, ReceptionWindowAt);
  SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
