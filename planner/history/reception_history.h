// The planner's received list: result records collected from the history folder,
// superseded and retired into "RsvData.log", and content deleted on request.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>
#include "common/clock.h"
#include "planner/history/received_entry.h"

class FileSystem;

constexpr const char* kRsvDataLogName = "RsvData.log";
constexpr const char* kResultPattern = "INFO*.RSV";

// Appends one line to historyFolder + "RsvData.log", creating it when missing;
// false when it cannot be opened or written.
bool AppendRsvDataLog(FileSystem& fs, const std::string& historyFolder, const std::string& line);

// What a content deletion could not do, for the user to see.
struct DeletionReport {
  std::vector<std::string> filesLeft;  // content files and result records still there
  std::vector<std::string> notLogged;  // names of receptions whose log line could not be written
  std::string logPath;                 // the log that could not be written
  bool Clean() const { return filesLeft.empty() && notLogged.empty(); }
};

class ReceptionHistory {
 public:
  // `clock` is the planner's calibrated clock: "now" of the collection and of
  // the log lines.
  ReceptionHistory(FileSystem& fs, const CalibratedClock& clock) : fs_(fs), clock_(clock) {}

  // Collects every INFO*.RSV of the history folder into the list; true when the
  // list changed (the caller then recomputes the program marks). A history
  // folder other than the one the list came from starts the list anew: the
  // names of result records repeat from folder to folder.
  bool CollectResults(const std::string& historyFolder);

  // Appends the entry's RsvData.log line and deletes its INFO file. When the log
  // cannot be written the INFO file stays, so the reception is not forgotten:
  // false, and a debug line says why.
  bool RetireEntry(const ReceivedEntry& entry, const std::string& historyFolder);

  // Deletes the content of every listed entry that matches one of `selected`
  // (same reception start and program numbers) and retires it into the folder
  // the list was collected from (historyFolder before any collection). Returns
  // the number of entries removed from the list.
  int DeleteContent(const std::vector<ReceivedEntry>& selected, const std::string& historyFolder,
                    DeletionReport* report = nullptr);

  // Oldest reception first (ascending receivedFrom, then receivedUntil).
  const std::vector<ReceivedEntry>& Entries() const { return entries_; }
  // Sum of contentBytes / 1024 over the list.
  std::int64_t ReceivedKbyte() const;
  // A line was written to RsvData.log, or the log already existed when collected.
  bool HistoryExists() const { return historyExists_; }
  // The received-programs command is enabled.
  bool CanShowHistory() const { return !entries_.empty() || historyExists_; }
  void Clear();
  // The history folder the list was collected from; empty before the first collection.
  const std::string& Folder() const { return folder_; }

 private:
  enum class Fate { Listed, Retired, Postponed };
  Fate Collect(ReceivedEntry entry, const std::string& historyFolder);
  void Insert(ReceivedEntry entry);
  bool Listed(const std::string& resultFile) const;

  FileSystem& fs_;
  const CalibratedClock& clock_;
  std::vector<ReceivedEntry> entries_;
  // Result files already retired into RsvData.log that could not be deleted:
  // collecting them again would log the same reception every minute.
  std::set<std::string> retiredButKept_;
  bool historyExists_ = false;
  std::string folder_;
};
