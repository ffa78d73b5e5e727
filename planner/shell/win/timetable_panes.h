// The seam between the main frame and the timetable: the frame asks the
// timetable for its panes once, when it is created, and lays them out:
//
//   +----------------------------------------------+
//   | dayInfo (height dayInfoHeight)                |
//   +--------+-------------------------+-----------+
//   | corner | titles                  | heading   |  row of height kTitleRowHeight
//   +--------+-------------------------+-----------+
//   | time   | grid                    | reserve   |  reserve = the reservation column
//   | scale  |                         | column    |  (CReserveView, width from the document)
//   +--------+-------------------------+-----------+
//
// The timetable's planner/timetable/win/timetable_panes.cpp defines these, and
// answers the timetable's commands in the frame's menu.
#pragma once
#include <windows.h>

class CTavoraDoc;
class PlannerDocHooks;

constexpr int kTitleRowHeight = 20;
constexpr int kTimeScaleWidth = 20;

struct TimetablePanes {
  HWND dayInfo = nullptr;
  HWND corner = nullptr;
  HWND titles = nullptr;
  HWND reserveHeading = nullptr;
  HWND timeScale = nullptr;
  HWND grid = nullptr;
  int dayInfoHeight = 20;
  // The views' share of the document's hooks (fonts, colours, title rows,
  // redraw); the shell forwards those calls here. May be null.
  PlannerDocHooks* viewHooks = nullptr;
};

// Creates the timetable's panes as children of `frame`. The reservation column
// already exists: the grid keeps it on the same vertical position (see
// planner/reserve/win/reserve_view.h).
TimetablePanes CreateTimetablePanes(HWND frame, CTavoraDoc& doc, HWND reserveColumn);

// The timetable's menu commands (filter, title order, colours, categories, the
// cell dump, the day scroll): their menu state, and the command run when it is
// enabled. Both false for any other id.
bool TimetableCommandState(int id, bool* enabled, bool* checked);
bool RunTimetableCommand(int id);
