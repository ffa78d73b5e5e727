// The values of the settings sheet's folder, reception and guide pages: what
// each page loads, how it decides that it changed, its range rules and what
// it writes. The dialogs in win/ only move these values in and out of controls.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "planner/planner_values.h"

class FileSystem;
class PlannerSettings;

// --- Folder page (dialog 153) -------------------------------------------
struct FolderPageValues {
  std::string dataFolder;     // shown upper-cased
  std::string historyFolder;  // shown upper-cased
  bool diskLimitOn = false;
  std::int32_t diskLimit = planner_values::kDiskLimit.fallback;  // MB, 1..1000
  bool totalLimitOn = false;
  std::int32_t totalLimit = 0;  // MB, 0..10000
};
constexpr std::int32_t kDiskLimitMin = 1, kDiskLimitMax = 1000;
constexpr std::int32_t kTotalLimitMin = 0, kTotalLimitMax = 10000;

FolderPageValues LoadFolderPage(const PlannerSettings& settings);
bool FolderPageChanged(const FolderPageValues& opened, const FolderPageValues& current);

enum class FolderField { None, Data, History, DiskLimit, TotalLimit };
// The page's own messages besides STR 5029 and 5001.
constexpr int kLimitRangeMessageId = 5108;    // a limit outside its range (value, low, high)
constexpr int kHistoryCopyMessageId = 5109;   // a history file that could not be copied (file, folder)
struct FolderSaveResult {
  bool saved = false;
  FolderField focus = FolderField::None;  // the edit that refused
  int messageId = 0;  // 5029 bad syntax, 5001 cannot be made, kLimitRangeMessageId, kHistoryCopyMessageId, 0 none
  std::int32_t rangeLow = 0, rangeHigh = 0;  // with kLimitRangeMessageId
  std::string failedFile;                    // with kHistoryCopyMessageId: the file not copied
  bool dataChanged = false;
  bool historyChanged = false;
  int historyFilesCopied = 0;
};
// Asked when the new history folder already holds result records (STR 5019):
// true = copy the previous folder's records and log over them.
using AskOverwriteHistory = std::function<bool()>;
// Validates, ensures both folders (level by level), stores what changed and
// copies the history when the history folder moves. A history that cannot be
// copied whole stores nothing: the planner goes on with the old folder.
FolderSaveResult SaveFolderPage(const FolderPageValues& opened, const FolderPageValues& current,
                                PlannerSettings& settings, FileSystem& fs, const AskOverwriteHistory& ask);
// Copies "INFO*.RSV" and "RsvData.log" from one history folder to another,
// overwriting; the originals stay. Returns the number of files copied;
// *failed (when given) is the first file that could not be copied, else empty.
int CopyHistoryFiles(FileSystem& fs, const std::string& from, const std::string& to, std::string* failed = nullptr);

// --- Reception page (dialog 286) ----------------------------------------
struct ReceptionPageValues {
  std::int32_t prepareTime = planner_values::kPrepareTime.fallback;  // s
  std::int32_t timeout = planner_values::kTimeout.fallback;          // s
  std::int32_t autoRun = planner_values::kAutoRun.fallback;
  std::int32_t showStatus = 1;
  std::int32_t messagePosition = 0;  // 0 top left, 1 top right, 2 centre, 3 bottom left, 4 bottom right
  bool operator==(const ReceptionPageValues& o) const {
    return prepareTime == o.prepareTime && timeout == o.timeout && autoRun == o.autoRun &&
           showStatus == o.showStatus && messagePosition == o.messagePosition;
  }
};
// Spin ranges (the recommended values) and the ranges an edit may hold.
constexpr std::int32_t kPrepareSpinMin = 60, kPrepareSpinMax = 180;
constexpr std::int32_t kTimeoutSpinMin = 200, kTimeoutSpinMax = 600;
constexpr std::int32_t kPrepareMin = 0, kPrepareMax = 36000;
constexpr std::int32_t kTimeoutMin = 10, kTimeoutMax = 36000;

ReceptionPageValues LoadReceptionPage(const PlannerSettings& settings);
void SaveReceptionPage(PlannerSettings& settings, const ReceptionPageValues& values);
// Leaving an edit: the typed text when it is a number inside the allowed
// range, else the last stored value.
std::int32_t CheckedPrepareTime(const std::string& typed, std::int32_t lastStored);
std::int32_t CheckedTimeout(const std::string& typed, std::int32_t lastStored);

// --- Guide page ("番組表取得の設定") -------------------------------------
struct GuidePageValues {
  std::int32_t epgUpdate = planner_values::kEpgUpdate.fallback;      // minutes
  std::int32_t displayDays = planner_values::kDisplayDays.fallback;
  std::int32_t yesterday = planner_values::kYesterday.fallback;      // 0/1
  std::int32_t dayStart = planner_values::kDayStart.fallback;        // hour
  bool operator==(const GuidePageValues& o) const {
    return epgUpdate == o.epgUpdate && displayDays == o.displayDays && yesterday == o.yesterday &&
           dayStart == o.dayStart;
  }
};
constexpr std::int32_t kEpgUpdateMin = planner_values::kEpgUpdate.low, kEpgUpdateMax = planner_values::kEpgUpdate.high;
constexpr std::int32_t kDisplayDaysMin = planner_values::kDisplayDays.low,
                       kDisplayDaysMax = planner_values::kDisplayDays.high;
constexpr std::int32_t kDayStartMin = planner_values::kDayStart.low, kDayStartMax = planner_values::kDayStart.high;

GuidePageValues LoadGuidePage(const PlannerSettings& settings);
void SaveGuidePage(PlannerSettings& settings, const GuidePageValues& values);
// Live validation of an edit: the typed value when valid, else the page's
// current value of that field (an empty day start is invalid too).
enum class GuideField { DisplayDays, EpgUpdate, DayStart };
std::int32_t CheckedGuideField(GuideField field, const std::string& typed, std::int32_t current);

// "123" (blanks around allowed) to a number; false for anything else.
bool ParseDecimal(const std::string& text, std::int32_t* value);
