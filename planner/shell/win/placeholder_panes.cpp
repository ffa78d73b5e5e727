// Until the timetable's own panes exist, the frame shows plain panes in their
// places, so that the shell, the reservation column and the dialogs can run.
#include "planner/shell/win/timetable_panes.h"

#include "common/text.h"

namespace {
HWND Pane(HWND frame, const char* utf8Text, DWORD style) {
  return CreateWindowExW(0, L"STATIC", Cp932ToWide(J(utf8Text)).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                         frame, nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE)),
                         nullptr);
}
}  // namespace

TimetablePanes CreateTimetablePanes(HWND frame, CTavoraDoc&, HWND) {
  TimetablePanes panes;
  panes.dayInfo = Pane(frame, u8"", SS_LEFT);
  panes.corner = Pane(frame, u8"", SS_LEFT);
  panes.titles = Pane(frame, u8"", SS_LEFT);
  panes.reserveHeading = Pane(frame, u8"予約状況", SS_CENTER | WS_BORDER);
  panes.timeScale = Pane(frame, u8"", SS_LEFT);
  panes.grid = Pane(frame, u8"番組表", SS_CENTER | SS_CENTERIMAGE | WS_BORDER);
  return panes;
}
