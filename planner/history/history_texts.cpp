// Texts of the history dialogs.
#include "planner/history/history_texts.h"

#include <algorithm>

#include "common/files.h"
#include "common/path.h"
#include "common/reception_result.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/history/file_list.h"
#include "planner/history/reception_history.h"

// --- dialog 136 ----------------------------------------------------------------

bool HasStartFile(FileSystem& fs, const ReceivedEntry& entry) {
  const std::string path = StartFilePath(entry);
  return !path.empty() && fs.Exists(path);
}

ReceivedRow MakeReceivedRow(FileSystem& fs, const ReceivedEntry& e) {
  const ReceptionResult& r = e.result;
  ReceivedRow row;
  row.name = r.name;
  row.date = FormatLocalTime(r.receivedFrom, "%y/%m/%d");
  row.start = FormatLocalTime(r.receivedFrom, "%H:%M");
  row.end = FormatLocalTime(r.receivedUntil, "%H:%M");
  row.result = r.status == kResultSuccess ? J(u8"正常終了") : J(u8"受信失敗");
  row.hasStartFile = HasStartFile(fs, e);
  row.icon = r.status != kResultSuccess ? RowIcon::Failed
                                        : (row.hasStartFile ? RowIcon::WithStartFile : RowIcon::WithoutStartFile);
  return row;
}

std::string ReceivedBubbleText(const ReceivedEntry& e) {
  const ReceptionResult& r = e.result;
  std::string text = "CP: " + r.channelName + "\r\n";
  text += J(u8"番組名  ") + r.name + "\r\n";
  text += J(u8"送出時間  ") + FormatLocalTime(r.scheduledStart, "%y/%m/%d %H:%M ") +
          FormatLocalTime(r.scheduledEnd, "- %m/%d %H:%M\r\n");
  text += J(u8"送出速度  ") + std::to_string(r.speed) + "kbps\r\n\r\n";
  text += J(u8"受信時刻  ") + FormatLocalTime(r.receivedFrom, "%m/%d %H:%M:%S ") +
          FormatLocalTime(r.receivedUntil, "- %m/%d %H:%M:%S\r\n");
  text += J(u8"アドレス  ") + r.address + ":" + std::to_string(r.port) + "\r\n";
  text += J(u8"受信結果   ") + ResultStatusText(r.status);
  return text;
}

void SortReceived(std::vector<ReceivedEntry>* entries, int column, bool descending) {
  auto less = [column](const ReceivedEntry& a, const ReceivedEntry& b) {
    switch (column) {
      case 0: return a.result.name < b.result.name;
      case 3: return a.result.receivedUntil < b.result.receivedUntil;
      case 4: return (a.result.status == kResultSuccess) > (b.result.status == kResultSuccess);
      default: return a.result.receivedFrom < b.result.receivedFrom;
    }
  };
  if (descending) {
    std::stable_sort(entries->begin(), entries->end(),
                     [&](const ReceivedEntry& a, const ReceivedEntry& b) { return less(b, a); });
  } else {
    std::stable_sort(entries->begin(), entries->end(), less);
  }
}

// --- dialog 141 ----------------------------------------------------------------

std::string KbyteText(std::uint64_t bytes, const char* suffix) {
  return std::to_string((bytes + 1023) / 1024) + suffix;
}

std::string FallbackTypeName(const std::string& extension) {
  std::string bare = extension.empty() || extension[0] != '.' ? extension : extension.substr(1);
  return AsciiUpper(bare) + " " + J(u8"ﾌｧｲﾙ");
}

namespace {

// Splits a relative path at its last separator, knowing cp932 trail bytes.
void SplitRelative(const std::string& path, std::string* folder, std::string* name) {
  const std::size_t cut = LastSeparator(path);
  *folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  *name = cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ExtensionOf(const std::string& name) {
  std::size_t dot = std::string::npos;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(name[i]))) ++i;
    else if (name[i] == '.') dot = i;
  }
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string DetailTime(Time32 t) {
  return FormatLocalTime(t, "%Y") + J(u8"年 ") + FormatLocalTime(t, "%m") + J(u8"月 ") +
         FormatLocalTime(t, "%d") + J(u8"日") + FormatLocalTime(t, "\t%H:%M.%S");
}

}  // namespace

ReceptionDetail MakeReceptionDetail(FileSystem& fs, const ReceivedEntry& e) {
  const ReceptionResult& r = e.result;
  ReceptionDetail d;
  d.name = r.name;
  d.result = r.status == kResultSuccess ? J(u8"受信成功") : J(u8"受信失敗");
  d.folder = r.storageFolder;
  d.from = DetailTime(r.receivedFrom);
  d.until = DetailTime(r.receivedUntil);
  d.totalSize = KbyteText(static_cast<std::uint64_t>(std::max<std::int32_t>(e.contentBytes, 0)), " (KB)");
  FileList list;
  if (r.storageFolder.empty() || !ReadFileList(fs, r.storageFolder, &list)) return d;
  for (const std::string& line : list.files) {
    const std::string full = r.storageFolder + line;
    std::vector<FoundFile> found = fs.Find(full);
    if (found.size() != 1 || found[0].isFolder) continue;
    DetailFile f;
    std::string folder;
    SplitRelative(line, &folder, &f.fileName);
    f.pathName = r.storageFolder + folder;
    f.fullPath = full;
    f.extension = ExtensionOf(f.fileName);
    f.bytes = found[0].size;
    f.sizeText = KbyteText(f.bytes, "KB");
    d.files.push_back(std::move(f));
  }
  return d;
}

// --- dialog 143 ----------------------------------------------------------------

namespace {

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

std::string Trimmed(std::string text) {
  auto blank = [](char c) { return c == '\r' || c == '\n' || c == '\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  std::size_t from = 0;
  while (from < text.size() && blank(text[from])) ++from;
  return text.substr(from);
}

}  // namespace

std::vector<PastRecord> ParsePastRecords(const std::string& logText) {
  std::vector<PastRecord> records;
  const std::string receivedMark = J(u8"受信 ");
  for (const std::string& line : SplitAt(logText, '\n')) {
    if (Trimmed(line).empty()) continue;
    std::vector<std::string> fields = SplitAt(line, '\t');
    fields.resize(std::max<std::size_t>(fields.size(), 8));
    PastRecord r;
    r.name = fields[2];
    r.broadcast = fields[3];
    // Only the log's own "受信 " mark is cut, so a damaged line shows as it is.
    r.received = fields[4].compare(0, receivedMark.size(), receivedMark) == 0 ? fields[4].substr(receivedMark.size())
                                                                              : fields[4];
    r.result = Trimmed(fields[7]);
    r.failed = r.result != J(u8"成功");
    records.push_back(std::move(r));
  }
  std::reverse(records.begin(), records.end());
  return records;
}

std::vector<PastRecord> ReadPastRecords(FileSystem& fs, const std::string& historyFolder) {
  std::string text;
  if (historyFolder.empty() || !fs.ReadAll(WithBackslash(historyFolder) + kRsvDataLogName, &text)) return {};
  return ParsePastRecords(text);
}

// --- stored sizes ----------------------------------------------------------------

const std::vector<ColumnSpec> kReceivedColumns = {
    {u8"番組名", 150}, {u8"受信日", 70}, {u8"開始", 50}, {u8"終了", 50}, {u8"受信結果", 120}};
const std::vector<ColumnSpec> kDetailColumns = {
    {u8"ファイル名", 150}, {u8"ﾌｧｲﾙの種類", 120}, {u8"パス名", 200}, {u8"サイズ", 70}};
const std::vector<ColumnSpec> kPastColumns = {
    {u8"番組名", 150}, {u8"送出時間", 200}, {u8"受信時間", 200}, {u8"受信結果", 60}};

std::vector<std::int32_t> ReadColumnWidths(const PlannerSettings& settings, const char* subKey,
                                           const std::vector<ColumnSpec>& columns) {
  std::vector<std::int32_t> widths;
  for (const ColumnSpec& c : columns) {
    std::int32_t w = settings.Int(subKey, J(c.title), c.defaultWidth);
    widths.push_back(w < 0 || w > kMaxColumnWidth ? c.defaultWidth : w);
  }
  return widths;
}

void WriteColumnWidths(PlannerSettings& settings, const char* subKey, const std::vector<ColumnSpec>& columns,
                       const std::vector<std::int32_t>& widths) {
  for (std::size_t i = 0; i < columns.size() && i < widths.size(); ++i) {
    settings.SetInt(subKey, J(columns[i].title), widths[i]);
  }
}

// --- dialog 144 ------------------------------------------------------------------

std::int32_t TakeLossRequest(PlannerSettings& settings) {
  const std::int32_t count = settings.Int(peer::kEnvironmentSubKey, peer::kLossRequestValue, 0);
  if (count != 0) settings.SetInt(peer::kEnvironmentSubKey, peer::kLossRequestValue, 0);
  return count;
}

// --- "削除..." ---------------------------------------------------------------

std::string DeletionFailureText(const DeletionReport& report) {
  constexpr std::size_t kNamedFiles = 10;
  std::string text;
  if (!report.notLogged.empty()) {
    text += J(u8"受信記録ファイル \"") + report.logPath + J(u8"\" に書き込めませんでした。\n");
    text += J(u8"次の番組は受信済み番組の一覧に残してあります。\n");
    for (const std::string& name : report.notLogged) text += J(u8"　") + name + "\n";
  }
  if (!report.filesLeft.empty()) {
    if (!text.empty()) text += "\n";
    text += J(u8"次のファイルを削除できませんでした。\n");
    for (std::size_t i = 0; i < report.filesLeft.size() && i < kNamedFiles; ++i)
      text += J(u8"　") + report.filesLeft[i] + "\n";
    if (report.filesLeft.size() > kNamedFiles)
      text += J(u8"　ほか ") + std::to_string(report.filesLeft.size() - kNamedFiles) + J(u8" 件\n");
  }
  return text;
}
