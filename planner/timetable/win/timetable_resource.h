// Resource ids of the timetable: its section of the planner's resource header.
#pragma once
#include "planner/shell/win/resource.h"
