// Result records for the planner and the split of an autorun command.
#pragma once
#include <cstdint>
#include <string>
#include "common/reception_result.h"
#include "common/time_text.h"

class FileSystem;

// Writes "INFO%05d.RSV" records into the history folder, numbered from the
// counter "Info count" (the owner reads it at start and stores Counter() back).
class ResultWriter {
 public:
  // Numbers tried for one record before giving up: one full turn of the counter.
  static constexpr int kMaxNumbers = 0x10000;
  // Failed creations tried before giving up (a missing or read-only folder fails
  // for every number alike).
  static constexpr int kMaxCreateFailures = 8;

  ResultWriter(FileSystem& fs, std::string historyFolder, std::uint32_t counter);
  // Takes the counter's number, counter = (counter + 1) & 0xFFFF, and skips numbers
  // whose name already exists or cannot be created. False (and a debug line) when
  // no record could be written: the counter then stays where it was, so that a
  // retry does not use up numbers; `path` receives the file written.
  bool Write(const ReceptionResult& result, std::string* path = nullptr);
  std::uint32_t Counter() const { return counter_; }
  void SetHistoryFolder(const std::string& folder) { historyFolder_ = folder; }

 private:
  FileSystem& fs_;
  std::string historyFolder_;
  std::uint32_t counter_;
};

// An autorun command split into what ShellExecute opens and its parameters; a
// program without ":" is taken relative to the storage folder.
struct AutorunCommand {
  std::string program;
  std::string parameters;
};
AutorunCommand SplitAutorun(const std::string& command, const std::string& storageFolder);
