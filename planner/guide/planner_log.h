// "Tavora.log" in the schedule folder: one line per guide update.
#pragma once
#include <string>
#include "common/time_text.h"

class FileSystem;

// Appends "%Y/%m/%d %X" TAB message CR LF when the log file exists; a missing
// log is not created. False when nothing was written.
bool AppendPlannerLog(FileSystem& fs, const std::string& scheduleFolder, const std::string& message, Time32 now);
