// Waking the reception unit: its window gets the rescan command, or the unit
// is started hidden from the planner's own folder when it is not running.
#pragma once
#include <string>

// After every write into the schedule folder: command 1004 to the unit's
// window, or start Quillon.exe (which scans at start).
void WakeUnit(const std::string& programFolder);
// The time calibration command: command 1012 to the unit; a unit that is not
// running is started first and waited for (up to a few seconds).
void StartUnitTimeReceiver(const std::string& programFolder);
