// The planner's three working folders at start-up: schedule (reservation files),
// history (results, logs, cached guide and detail files) and data (received
// contents), read from the planner's key, defaulted, created and written back.
#pragma once
#include <string>

class FileSystem;
class PlannerSettings;

struct WorkingFolders {
  std::string schedule;
  std::string history;
  std::string data;
};

enum class FolderFailure {
  None,
  BlockedByFile,  // a file has the folder's name
  CannotCreate,   // the folder cannot be made or reached
  Cancelled,      // the user did not give a data folder
};

struct FolderResult {
  FolderFailure failure = FolderFailure::None;
  std::string folder;  // the folder that failed
};

// What start-up asks of the user and of the network.
class FolderQuestions {
 public:
  virtual ~FolderQuestions() = default;
  // Dialog 132; false when cancelled. *folder holds the proposal on entry.
  virtual bool AskDataFolder(std::string* folder) = 0;
  // "\\server\share" of a connected network drive ("X:"); empty when unknown.
  virtual std::string ShareOfDrive(const std::string& drive) = 0;
};

// The drive of the Windows folder ("C:" of "C:\WINDOWS").
std::string WindowsDrive(const std::string& windowsFolder);
// Creates a folder level by level; true when it then exists as a folder.
bool EnsureFolder(FileSystem& fs, const std::string& path);
// "X:\rest" on a network drive becomes "\\server\share\rest".
std::string WithShareName(const std::string& folder, FolderQuestions& questions);

// defaultRoot: where the default folders go (WindowsDrive of the Windows folder).
FolderResult SettleFolders(FileSystem& fs, PlannerSettings& settings, const std::string& defaultRoot,
                           FolderQuestions& questions, WorkingFolders* folders);
