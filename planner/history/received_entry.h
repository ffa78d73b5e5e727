// One received program of the planner's received list, and the texts the history
// shows and logs for it.
#pragma once
#include <cstdint>
#include <string>
#include "common/time_text.h"

struct ReceptionResult;

struct ReceivedEntry {
  std::int32_t status = 0;         // 0 failed, 1 success, 2 not received
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  std::int32_t contentBytes = 0;   // first line of the content's FileList.mls; 0 when unknown
  std::uint16_t port = 0;          // 0: stream program, no files
  std::uint16_t speed = 0;         // kbps
  Time32 receivedFrom = 0;
  Time32 receivedUntil = 0;
  Time32 scheduledStart = 0;
  Time32 scheduledEnd = 0;
  std::string name;
  std::string storageFolder;       // always ends with "\"
  std::string autorun;             // relative to the storage folder unless it contains ':'
  std::string address;
  std::string channel;
  std::string resultFile;          // name of the INFO record it came from
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
