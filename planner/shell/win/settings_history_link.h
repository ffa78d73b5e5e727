// The received list behind the old content deletion: the history's one list
// in Tavora.exe, wrapped as the deletion rules see it. The wrapper registers
// itself (settings_history_link.cpp) when the history is part of the program.
#pragma once
#include <memory>
#include "planner/shell/settings_housekeeping.h"

using ContentHistoryMaker = std::unique_ptr<ContentHistory> (*)();
void RegisterContentHistory(ContentHistoryMaker maker);
// nullptr while no received list is registered.
std::unique_ptr<ContentHistory> MakePlannerContentHistory();
