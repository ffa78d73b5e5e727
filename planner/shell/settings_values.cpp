// Load, change detection, range rules and save of the folder, reception and
// guide pages.
#include "planner/shell/settings_values.h"

#include <cctype>
#include <climits>
#include <cstdlib>

#include "common/path.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/shell/settings_folder_rules.h"

namespace pv = planner_values;

namespace {

const char* const kEnv = peer::kEnvironmentSubKey;
const char* const kResultRecords = "INFO*.RSV";
const char* const kHistoryLog = "RsvData.log";

}  // namespace

bool ParseDecimal(const std::string& text, std::int32_t* value) {
  std::size_t i = 0, end = text.size();
  while (i < end && text[i] == ' ') ++i;
  while (end > i && text[end - 1] == ' ') --end;
  if (i == end) return false;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
  if (i == end) return false;
  long long v = 0;
  for (; i < end; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    v = v * 10 + (text[i] - '0');
    if (v > INT_MAX) return false;
  }
  *value = static_cast<std::int32_t>(negative ? -v : v);
  return true;
}

// --- Folder page -----------------------------------------------------------

FolderPageValues LoadFolderPage(const PlannerSettings& settings) {
  FolderPageValues v;
  v.dataFolder = UpperFolder(settings.DataFolder());
  v.historyFolder = UpperFolder(settings.HistoryFolder());
  const std::int32_t disk = pv::Read(settings, pv::kDiskLimit);
  const std::int32_t total = pv::Read(settings, pv::kTotalLimit);
  v.diskLimitOn = disk != 0;
  v.diskLimit = v.diskLimitOn ? disk : pv::kDiskLimit.fallback;
  v.totalLimitOn = total != 0;
  v.totalLimit = total;
  return v;
}

bool FolderPageChanged(const FolderPageValues& opened, const FolderPageValues& current) {
  // A trailing "\" or the letters' case name the same folder: no change.
  return !SamePath(opened.dataFolder, current.dataFolder) || !SamePath(opened.historyFolder, current.historyFolder) ||
         opened.diskLimitOn != current.diskLimitOn || opened.totalLimitOn != current.totalLimitOn ||
         (current.diskLimitOn && opened.diskLimit != current.diskLimit) ||
         (current.totalLimitOn && opened.totalLimit != current.totalLimit);
}

int CopyHistoryFiles(FileSystem& fs, const std::string& from, const std::string& to, std::string* failed) {
  int copied = 0;
  if (failed) failed->clear();
  auto copy = [&](const std::string& name) {
    if (fs.CopyTo(JoinPath(from, name), JoinPath(to, name), true)) {
      ++copied;
    } else if (failed && failed->empty()) {
      *failed = JoinPath(from, name);
    }
  };
  for (const FoundFile& f : fs.Find(JoinPath(from, kResultRecords))) {
    if (!f.isFolder) copy(f.name);
  }
  if (fs.Exists(JoinPath(from, kHistoryLog))) copy(kHistoryLog);
  return copied;
}

FolderSaveResult SaveFolderPage(const FolderPageValues& opened, const FolderPageValues& current,
                                PlannerSettings& settings, FileSystem& fs, const AskOverwriteHistory& ask) {
  FolderSaveResult r;
  // Syntax first for both, so nothing is created while the other is wrong.
  if (!IsAbsoluteFolderText(current.dataFolder)) {
    r.focus = FolderField::Data;
    r.messageId = 5029;
    return r;
  }
  if (!IsAbsoluteFolderText(current.historyFolder)) {
    r.focus = FolderField::History;
    r.messageId = 5029;
    return r;
  }
  const bool diskOut = current.diskLimitOn && (current.diskLimit < kDiskLimitMin || current.diskLimit > kDiskLimitMax);
  const bool totalOut =
      current.totalLimitOn && (current.totalLimit < kTotalLimitMin || current.totalLimit > kTotalLimitMax);
  if (diskOut || totalOut) {
    r.focus = diskOut ? FolderField::DiskLimit : FolderField::TotalLimit;
    r.messageId = kLimitRangeMessageId;
    r.rangeLow = diskOut ? kDiskLimitMin : kTotalLimitMin;
    r.rangeHigh = diskOut ? kDiskLimitMax : kTotalLimitMax;
    return r;
  }
  const std::string data = WithoutTrailingBackslash(current.dataFolder);
  const std::string history = WithoutTrailingBackslash(current.historyFolder);
  if (!CreateFolderPath(fs, data)) {
    r.focus = FolderField::Data;
    r.messageId = 5001;
    return r;
  }
  if (!CreateFolderPath(fs, history)) {
    r.focus = FolderField::History;
    r.messageId = 5001;
    return r;
  }
  const std::string previousHistory = settings.HistoryFolder();
  const bool dataChanged = UpperFolder(data) != UpperFolder(WithoutTrailingBackslash(opened.dataFolder));
  const bool historyChanged = UpperFolder(history) != UpperFolder(WithoutTrailingBackslash(opened.historyFolder));
  // The history follows the user to the new folder; records already there
  // are only overwritten when the user says so. The old folder keeps its copy.
  // It is copied before anything is stored, so that a failed copy changes nothing.
  if (historyChanged && !previousHistory.empty() && !SamePath(previousHistory, history)) {
    // A log alone is a history too: it is not overwritten without asking.
    const bool holdsRecords =
        !fs.Find(JoinPath(history, kResultRecords)).empty() || fs.Exists(JoinPath(history, kHistoryLog));
    if (!holdsRecords || (ask && ask())) {
      std::string failed;
      r.historyFilesCopied = CopyHistoryFiles(fs, previousHistory, history, &failed);
      if (!failed.empty()) {
        r.focus = FolderField::History;
        r.messageId = kHistoryCopyMessageId;
        r.failedFile = failed;
        return r;
      }
    }
  }
  if (dataChanged) {
    settings.SetText(peer::kDataSubKey, peer::kFolderValue, data);
    r.dataChanged = true;
  }
  if (historyChanged) {
    settings.SetText(peer::kHistorySubKey, peer::kFolderValue, history);
    r.historyChanged = true;
  }
  pv::Write(settings, pv::kDiskLimit, current.diskLimitOn ? current.diskLimit : 0);
  pv::Write(settings, pv::kTotalLimit, current.totalLimitOn ? current.totalLimit : 0);
  r.saved = true;
  return r;
}

// --- Reception page --------------------------------------------------------

ReceptionPageValues LoadReceptionPage(const PlannerSettings& settings) {
  ReceptionPageValues v;
  v.prepareTime = pv::Read(settings, pv::kPrepareTime);
  v.timeout = pv::Read(settings, pv::kTimeout);
  v.autoRun = pv::Read(settings, pv::kAutoRun);
  v.showStatus = pv::Read(settings, pv::kShowStatus);
  // A corner the unit does not know is its top left, and so the page shows it.
  v.messagePosition = pv::Read(settings, pv::kMessagePosition);
  return v;
}

void SaveReceptionPage(PlannerSettings& settings, const ReceptionPageValues& v) {
  pv::Write(settings, pv::kPrepareTime, v.prepareTime);
  pv::Write(settings, pv::kTimeout, v.timeout);
  pv::Write(settings, pv::kAutoRun, v.autoRun);
  pv::Write(settings, pv::kShowStatus, v.showStatus);
  pv::Write(settings, pv::kMessagePosition, v.messagePosition);
}

std::int32_t CheckedPrepareTime(const std::string& typed, std::int32_t lastStored) {
  std::int32_t v = 0;
  return ParseDecimal(typed, &v) && v >= kPrepareMin && v <= kPrepareMax ? v : lastStored;
}

std::int32_t CheckedTimeout(const std::string& typed, std::int32_t lastStored) {
  std::int32_t v = 0;
  return ParseDecimal(typed, &v) && v >= kTimeoutMin && v <= kTimeoutMax ? v : lastStored;
}

// --- Guide page --------------------------------------------------------------

GuidePageValues LoadGuidePage(const PlannerSettings& settings) {
  GuidePageValues v;
  // Stored values outside the page's ranges are shown as the nearest bound.
  v.epgUpdate = pv::Read(settings, pv::kEpgUpdate);
  v.displayDays = pv::Read(settings, pv::kDisplayDays);
  v.yesterday = pv::Read(settings, pv::kYesterday) != 0 ? 1 : 0;
  v.dayStart = pv::Read(settings, pv::kDayStart);
  return v;
}

void SaveGuidePage(PlannerSettings& settings, const GuidePageValues& v) {
  pv::Write(settings, pv::kEpgUpdate, v.epgUpdate);
  pv::Write(settings, pv::kDisplayDays, v.displayDays);
  pv::Write(settings, pv::kYesterday, v.yesterday);
  pv::Write(settings, pv::kDayStart, v.dayStart);
}

std::int32_t CheckedGuideField(GuideField field, const std::string& typed, std::int32_t current) {
  std::int32_t v = 0;
  if (!ParseDecimal(typed, &v)) return current;
  switch (field) {
    case GuideField::DisplayDays: return v >= kDisplayDaysMin && v <= kDisplayDaysMax ? v : current;
    case GuideField::EpgUpdate: return v >= kEpgUpdateMin && v <= kEpgUpdateMax ? v : current;
    case GuideField::DayStart: return v >= kDayStartMin && v <= kDayStartMax ? v : current;
  }
  return current;
}
