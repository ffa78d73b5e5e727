// One received program of the planner's received list, and the texts the history
// shows and logs for it.
#pragma once
#include <cstdint>
#include <string>
#include "common/reception_result.h"
#include "common/time_text.h"

struct ReceivedEntry {
  // The record the unit left, as it was read, except that a storage folder
  // always ends with "\" here (the history joins names onto it).
  ReceptionResult result;
  std::int32_t contentBytes = 0;  // first line of the content's FileList.mls; 0 when unknown
  std::string resultFile;         // name of the INFO record it came from
};

// The one place an entry is built from a result record.
ReceivedEntry EntryFromResult(const ReceptionResult& result, const std::string& resultFile);

// The same reception: the received list's rows are matched back by these.
bool SameReception(const ReceivedEntry& a, const ReceivedEntry& b);

// Storage folders compared as Windows compares paths (ASCII letters without case).
bool SameFolder(const std::string& a, const std::string& b);

// The line appended to "RsvData.log" when the entry is retired at `now`: eight
// TAB-separated fields ending in CR LF (cp932).
std::string RsvDataLogLine(const ReceivedEntry& entry, Time32 now);

// storage folder + autorun, or autorun alone when it carries a drive (":"); empty
// without an autorun.
std::string StartFilePath(const ReceivedEntry& entry);
