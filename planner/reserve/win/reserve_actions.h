// What the planner does with its reservation list from the windows: cancel
// one (dialog 151), clear all (command 32820), rebuild from the schedule
// folder, and reserve a guide program (dialog 149).
#pragma once
#include <windows.h>

#include <cstddef>

struct GuideProgram;

// Dialog 151 for entry `index`; on OK the deletion request is written, the
// entry leaves the list and the unit is woken. False when nothing was cancelled.
bool CancelReservation(HWND owner, std::size_t index);
// Command 32820: after confirmation every reservation is withdrawn.
void ClearAllReservations(HWND owner);
// Rebuilds the list from the schedule folder (`full`: from scratch), collects
// results, lays out the lanes and refreshes the document's marks.
void RebuildAndCollect(bool full);
// Dialog 149 for a guide program; true when a reservation was written.
bool ReserveProgram(HWND owner, GuideProgram& program);
// Test-only command: dialog 149 for the program named by the registry value
// "Environment"/"TestReserveProgram" ("programNumber-subNumber").
void OpenTestReservation(HWND owner);
