// Waking the reception unit: its window gets the rescan command, or the unit
// is started hidden from the planner's own folder when it is not running.
#pragma once
#include <string>

// After every write into the schedule folder: command 1004 to the unit's
// window, or start Quillon.exe (which scans at start).
void WakeUnit(const std::string& programFolder);
// The time calibration command: command 1012 to the unit. A unit that is not
// running is started first; the command follows from the frame's timer once
// its window exists (UnitLinkTick).
void StartUnitTimeReceiver(const std::string& programFolder);
// Every tick of the frame's timer: while a unit the planner started has no
// window yet, it is looked for again; what was asked of the unit meanwhile
// (the calibration, a rescan) is sent when the window is there. Nobody sleeps
// on the window thread, and the unit is not started twice.
void UnitLinkTick();
// The path of a unit program that could not be started and has not been
// reported to the user yet, or empty. A failure is reported once; after a
// later successful start the next failure is reported again.
std::string TakeUnitStartFailure();
