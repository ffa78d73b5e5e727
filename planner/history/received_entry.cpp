// Received entries and the RsvData.log line.
#include "planner/history/received_entry.h"

#include "common/files.h"
#include "common/text.h"

namespace {

// A TAB or line end inside a field would shift every later column of the past
// records, so such bytes become blanks in the log (they never occur in the trail
// byte of a cp932 character, which is 0x40 or above).
std::string LogField(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

ReceivedEntry EntryFromResult(const ReceptionResult& r, const std::string& resultFile) {
  ReceivedEntry e;
  e.result = r;
  if (!r.storageFolder.empty()) e.result.storageFolder = WithBackslash(r.storageFolder);
  e.resultFile = resultFile;
  return e;
}

bool SameReception(const ReceivedEntry& a, const ReceivedEntry& b) {
  const ReceptionResult& x = a.result;
  const ReceptionResult& y = b.result;
  return x.receivedFrom == y.receivedFrom && x.programNumber == y.programNumber && x.subNumber == y.subNumber;
}

bool SameFolder(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  // Compared byte by byte, ASCII letters without case, trail bytes exactly (the
  // collection compares every new record with every listed folder).
  for (std::size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(x)) {
      if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    const auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    if (upper(x) != upper(y)) return false;
  }
  return true;
}

std::string RsvDataLogLine(const ReceivedEntry& e, Time32 now) {
  const ReceptionResult& r = e.result;
  std::string line = FormatLocalTime(now, "%y/%m/%d %H:%M") + "\t";
  line += LogField(r.channelName) + "\t";
  line += LogField(r.name) + "\t";
  line += FormatLocalTime(r.scheduledStart, "%y/%m/%d %H:%M");
  line += FormatLocalTime(r.scheduledEnd, " - %m/%d %H:%M") + "\t";
  line += J(u8"受信") + FormatLocalTime(r.receivedFrom, " %m/%d %H:%M:%S");
  line += FormatLocalTime(r.receivedUntil, " - %H:%M:%S") + "\t";
  line += "IP " + LogField(r.address) + "\t" + std::to_string(r.port) + "\t" + ResultStatusText(r.status) + "\r\n";
  return line;
}

std::string StartFilePath(const ReceivedEntry& e) {
  const ReceptionResult& r = e.result;
  if (r.autorun.empty()) return std::string();
  if (r.autorun.find(':') != std::string::npos) return r.autorun;
  return r.storageFolder + r.autorun;
}
