// The one check of what may lie inside the data folder. A folder that comes from
// outside (a holder from the broadcaster's detail file, a program's name, a
// folder named by a reservation file) passes here before anything is proposed,
// written, created, cleared or deleted.
#pragma once
#include <cstddef>
#include <string>

enum class HolderProblem {
  None,
  Empty,     // no holder and nothing to use instead
  Unsafe,    // absolute, a drive, "..", a device name or a character no folder can hold
  TooLong,   // the folder would not fit a reservation record
};

// The longest storage folder a reservation record holds (its 260-byte field with
// the terminator); a longer one is refused, never cut.
constexpr std::size_t kMaxStorageFolderBytes = 259;

// dataFolder + "\" + holder when the holder names a place inside the data
// folder; *folder is set only when the answer is None.
HolderProblem StorageFolderForHolder(const std::string& dataFolder, const std::string& holder,
                                     std::string* folder);
// A short English reason for debug lines ("names a place outside the data folder").
const char* HolderProblemText(HolderProblem problem);

// Whether folder lies strictly inside dataFolder: never the data folder itself,
// never a drive or share root, never a path with "." or ".." components.
bool IsInsideDataFolder(const std::string& dataFolder, const std::string& folder);
