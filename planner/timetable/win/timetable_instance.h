// The planner's one timetable (model, host, windows), made with the main
// frame's panes; null before that.
#pragma once

class TimetableModel;
class TimetableHost;
class TimetableWindows;

TimetableModel* CurrentTimetableModel();
TimetableHost* CurrentTimetableHost();
TimetableWindows* CurrentTimetableWindows();
