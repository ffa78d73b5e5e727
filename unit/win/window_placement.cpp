#include "window_placement.h"

#include "common/text.h"

namespace {
RECT WorkArea() {
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  // The desktop's view window (first child of the program manager, without a
  // title) covers what the desktop shows.
  if (HWND progman = FindWindowW(L"Progman", nullptr)) {
    HWND view = GetWindow(progman, GW_CHILD);
    RECT r;
    if (view && GetWindowTextLengthW(view) == 0 && GetWindowRect(view, &r) && !IsRectEmpty(&r)) work = r;
  }
  return work;
}

bool ReceptionWindowAt(POINT p) {
  HWND hwnd = WindowFromPoint(p);
  if (!hwnd) return false;
  hwnd = GetAncestor(hwnd, GA_ROOT);
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 255);
  return FindText(WideToCp932(title), J(u8"受信ユニット")) != std::string::npos;
}
}  // namespace

void PlaceReceptionWindow(HWND window, int position) {
  RECT rect;
  GetWindowRect(window, &rect);
  RECT placed = PlaceRect(rect, WorkArea(), position, ReceptionWindowAt);
  SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
