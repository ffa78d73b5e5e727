#include "planner/shell/startup_folders.h"

#include "common/files.h"
#include "common/path.h"
#include "common/peer_names.h"
#include "common/settings.h"

namespace {
constexpr const char* kScheduleDefault = "\\Program Files\\Lumivent\\Schedule";
constexpr const char* kHistoryDefault = "\\Program Files\\Lumivent\\Temporary";
}  // namespace

std::string WindowsDrive(const std::string& windowsFolder) {
  // The root without its separator: "C:\WINDOWS" -> "C:".
  std::string root = windowsFolder.substr(0, PathRootLength(windowsFolder));
  if (root.empty()) return windowsFolder;
  if (EndsWithSeparator(root)) root.pop_back();
  return root;
}

bool EnsureFolder(FileSystem& fs, const std::string& path) {
  if (path.empty()) return false;
  if (fs.IsFolder(path)) return true;
  CreateFolderPath(fs, path);
  return fs.IsFolder(path);
}

std::string WithShareName(const std::string& folder, FolderQuestions& questions) {
  const std::size_t root = PathRootLength(folder);
  if (root < 2 || folder[1] != ':') return folder;
  const std::string share = questions.ShareOfDrive(folder.substr(0, 2));
  if (share.empty()) return folder;
  return share + folder.substr(2);
}

FolderResult SettleFolders(FileSystem& fs, PlannerSettings& settings, const std::string& drive,
                           FolderQuestions& questions, WorkingFolders* out) {
  FolderResult result;

  std::string schedule = WithoutTrailingSeparator(settings.ScheduleFolder());
  if (schedule.empty()) schedule = drive + kScheduleDefault;
  if (!EnsureFolder(fs, schedule)) {
    result.failure = fs.Exists(schedule) ? FolderFailure::BlockedByFile : FolderFailure::CannotCreate;
    result.folder = schedule;
    return result;
  }
  settings.SetText(peer::kScheduleSubKey, peer::kFolderValue, schedule);

  std::string history = WithoutTrailingSeparator(settings.HistoryFolder());
  if (history.empty()) history = drive + kHistoryDefault;
  const bool historyMade = EnsureFolder(fs, history);
  if (!historyMade) history = schedule;
  settings.SetText(peer::kHistorySubKey, peer::kFolderValue, history);

  std::string data = WithoutTrailingSeparator(settings.DataFolder());
  if (data.empty() || !historyMade) {
    if (!questions.AskDataFolder(&data)) {
      result.failure = FolderFailure::Cancelled;
      return result;
    }
    data = WithoutTrailingSeparator(data);
    if (!EnsureFolder(fs, data)) {
      result.failure = FolderFailure::CannotCreate;
      result.folder = data;
      return result;
    }
    if (fs.DriveTypeOf(VolumeRoot(data)) == DriveType::Remote) data = WithShareName(data, questions);
    settings.SetText(peer::kDataSubKey, peer::kFolderValue, data);
  }

  out->schedule = schedule;
  out->history = history;
  out->data = data;
  return result;
}
