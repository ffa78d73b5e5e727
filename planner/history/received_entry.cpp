// Received entries and the RsvData.log line.
#include "planner/history/received_entry.h"

#include "common/files.h"
#include "common/reception_result.h"
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
  e.status = r.status;
  e.programNumber = r.programNumber;
  e.subNumber = r.subNumber;
  e.port = r.port;
  e.speed = r.speed;
  e.receivedFrom = r.receivedFrom;
  e.receivedUntil = r.receivedUntil;
  e.scheduledStart = r.scheduledStart;
  e.scheduledEnd = r.scheduledEnd;
  e.name = r.name;
  e.storageFolder = r.storageFolder.empty() ? std::string() : WithBackslash(r.storageFolder);
  e.autorun = r.autorun;
  e.address = r.address;
  e.channel = r.channelName;
  e.resultFile = resultFile;
  return e;
}

bool SameReception(const ReceivedEntry& a, const ReceivedEntry& b) {
  return a.receivedFrom == b.receivedFrom && a.programNumber == b.programNumber && a.subNumber == b.subNumber;
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
  std::string line = FormatLocalTime(now, "%y/%m/%d %H:%M") + "\t";
  line += LogField(e.channel) + "\t";
  line += LogField(e.name) + "\t";
  line += FormatLocalTime(e.scheduledStart, "%y/%m/%d %H:%M");
  line += FormatLocalTime(e.scheduledEnd, " - %m/%d %H:%M") + "\t";
  line += J(u8"受信") + FormatLocalTime(e.receivedFrom, " %m/%d %H:%M:%S");
  line += FormatLocalTime(e.receivedUntil, " - %H:%M:%S") + "\t";
  line += "IP " + LogField(e.address) + "\t" + std::to_string(e.port) + "\t" + ResultStatusText(e.status) + "\r\n";
  return line;
}

std::string StartFilePath(const ReceivedEntry& e) {
  if (e.autorun.empty()) return std::string();
  if (e.autorun.find(':') != std::string::npos) return e.autorun;
  return e.storageFolder + e.autorun;
}
