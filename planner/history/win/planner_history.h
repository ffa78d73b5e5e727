// The reception history as the rest of Tavora.exe calls it: the main frame
// (collection, command 32810, closing), the start-up (missed programs) and the
// reservation dialog (the received contents for its total check).
#pragma once
#include <cstdint>
#include <vector>
#include "planner/reserve/reservation_checks.h"

// New result records into the received list and the document's result marks;
// true when the received list changed.
bool CollectPlannerResults();
// The received contents (folder, bytes) and their KByte total.
std::vector<ReceivedFolder> PlannerReceivedFolders();
std::int32_t PlannerReceivedKbyte();
// Command 32810: enabled once the document exists and the history can be shown.
bool CanOpenPlannerReceivedList();
void OpenPlannerReceivedList();
// After the main window is shown: the notice of programs the unit missed.
void ShowPlannerMissedPrograms();
// Before the main window goes: the history's windows and its bubble.
void ClosePlannerHistory();
