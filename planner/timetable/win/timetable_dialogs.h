// The timetable's dialogs; each returns true when the user confirmed a change.
#pragma once
#include <windows.h>

class TimetableModel;
class TimetableHost;

// Program filter (140): replaces the display rules and rebuilds the rows.
bool RunFilterDialog(HWND owner, TimetableModel& model);
// Title order (134): stores the order, clears the hidden titles, rebuilds.
bool RunTitleOrderDialog(HWND owner, TimetableModel& model);
// Colour design (287) on its own, until the settings sheet hosts the page.
bool RunColourPageDialog(HWND owner, TimetableModel& model, TimetableHost& host);
// Category group editor (137): writes "CategoryList.dat".
bool RunCategoryEditor(HWND owner, TimetableModel& model);
