// rsvtool make / make-delete: a reservation file or a deletion request from
// command-line options, written under the name the rules give.
#pragma once
#include <string>
#include <vector>

class Clock;
class FileSystem;

struct MakeOutcome {
  bool ok = false;
  std::string error;  // names the bad option or file
  std::string path;   // the file written (seam form, "\" separators)
  std::string help;   // set instead when --help was asked for
};

// The synopses of the two commands, for the tool's overview.
extern const char kMakeUsage[];
extern const char kMakeDeleteUsage[];
// A command's synopsis and its option rows.
std::string MakeHelp();
std::string MakeDeleteHelp();

MakeOutcome MakeReservationFile(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock);
// computerName is used when --computer is not given.
MakeOutcome MakeDeletionRequest(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock,
                                const std::string& computerName);
