// What the history dialogs show, built without windows: the received list's rows
// and bubble, the reception detail, the past records read from RsvData.log, the
// stored column widths and the missed-programs count.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "planner/history/received_entry.h"

class FileSystem;
class PlannerSettings;

// --- dialog 136: the received list ------------------------------------------
enum class RowIcon { Failed, WithStartFile, WithoutStartFile };

struct ReceivedRow {
  std::string name;
  std::string date;    // "%y/%m/%d" of receivedFrom
  std::string start;   // "%H:%M"
  std::string end;     // "%H:%M" of receivedUntil
  std::string result;  // "正常終了" or "受信失敗"
  RowIcon icon = RowIcon::WithoutStartFile;
  bool hasStartFile = false;
};

// A start file: a non-empty autorun whose file exists.
bool HasStartFile(FileSystem& fs, const ReceivedEntry& entry);
ReceivedRow MakeReceivedRow(FileSystem& fs, const ReceivedEntry& entry);
// The bubble shown while the mouse is over a row.
std::string ReceivedBubbleText(const ReceivedEntry& entry);

// Sorting by a column (0 name, 1 date, 2 start, 3 end, 4 result): text order for
// the texts, time order for the times; ties keep list order.
void SortReceived(std::vector<ReceivedEntry>* entries, int column, bool descending);

// --- dialog 141: the reception detail ---------------------------------------
struct DetailFile {
  std::string fileName;   // name without folder
  std::string pathName;   // storage folder + the line's folder part
  std::string fullPath;
  std::string extension;  // with its dot, e.g. ".txt"; empty without one
  std::uint64_t bytes = 0;
  std::string sizeText;   // "%ldKB", rounded up
};

struct ReceptionDetail {
  std::string name;
  std::string result;       // "受信成功" or "受信失敗"
  std::string folder;
  std::string from;         // "%Y年 %m月 %d日\t%H:%M.%S"
  std::string until;
  std::string totalSize;    // "%ld (KB)", rounded up
  std::vector<DetailFile> files;  // FileList.mls lines whose file exists
};

ReceptionDetail MakeReceptionDetail(FileSystem& fs, const ReceivedEntry& entry);
// The type name of a file without a registered class: "TXT ﾌｧｲﾙ".
std::string FallbackTypeName(const std::string& extension);
std::string KbyteText(std::uint64_t bytes, const char* suffix);  // rounded up

// --- dialog 143: past records -------------------------------------------------
struct PastRecord {
  std::string name;       // field 3
  std::string broadcast;  // field 4
  std::string received;   // field 5 without its leading "受信 "
  std::string result;     // field 8, CR, LF and TAB trimmed
  bool failed = false;    // result is not "成功"
};

// Lines of RsvData.log, newest (last) first.
std::vector<PastRecord> ParsePastRecords(const std::string& logText);
std::vector<PastRecord> ReadPastRecords(FileSystem& fs, const std::string& historyFolder);

// --- stored sizes --------------------------------------------------------------
constexpr const char* kReportSizeKey = "ReportSize";
constexpr const char* kLogViewSizeKey = "LogViewSize";
constexpr const char* kWindowWidthValue = "WindowWidth";
constexpr const char* kWindowHeightValue = "WindowHeight";
constexpr std::int32_t kMaxColumnWidth = 1024;

struct ColumnSpec {
  const char* title;       // UTF-8 literal; also the registry value's name
  std::int32_t defaultWidth;
};
// The received list (ReportSize), the detail file list (ReportSize) and the past
// records (LogViewSize).
extern const std::vector<ColumnSpec> kReceivedColumns;
extern const std::vector<ColumnSpec> kDetailColumns;
extern const std::vector<ColumnSpec> kPastColumns;

// A stored width, or the default when missing or above kMaxColumnWidth.
std::vector<std::int32_t> ReadColumnWidths(const PlannerSettings& settings, const char* subKey,
                                           const std::vector<ColumnSpec>& columns);
void WriteColumnWidths(PlannerSettings& settings, const char* subKey, const std::vector<ColumnSpec>& columns,
                       const std::vector<std::int32_t>& widths);

// --- dialog 144 ---------------------------------------------------------------
// The unit's count of missed programs; reset to 0 when it was not 0.
std::int32_t TakeLossRequest(PlannerSettings& settings);

struct DeletionReport;
// What "削除..." could not do, naming the log and the files (at most ten of
// them); empty when everything was done.
std::string DeletionFailureText(const DeletionReport& report);
