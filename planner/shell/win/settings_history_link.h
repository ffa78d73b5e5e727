// The received list behind the old content deletion: the history's one list
// in Tavora.exe, wrapped as the deletion rules see it.
#pragma once
#include <memory>
#include "planner/shell/settings_housekeeping.h"

std::unique_ptr<ContentHistory> MakePlannerContentHistory();
