#include "tools/rsvtool/dump.h"

#include <cstdio>

#include "common/reception_result.h"
#include "common/reservation_file.h"
#include "common/text.h"

namespace {

class Lines {
 public:
  void Add(const char* field, const std::string& value) { text_ += std::string(field) + ": " + value + "\n"; }
  void Number(const char* field, long long value) { Add(field, std::to_string(value)); }
  void Hex(const char* field, long long value, unsigned long long bits) {
    char hex[32];
    std::snprintf(hex, sizeof hex, " (0x%llx)", static_cast<unsigned long long>(value) & bits);
    Add(field, std::to_string(value) + hex);
  }
  void Time(const char* field, Time32 t) {
    Add(field, FormatLocalTime(t, "%Y-%m-%d %H:%M:%S") + " (" + std::to_string(t) + ")");
  }
  void Quoted(const char* field, const std::string& text) { Add(field, "\"" + text + "\""); }
  std::string& Text() { return text_; }

 private:
  std::string text_;
};

bool EndsWithSdd(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return tail == ".SDD";
}

void ReservationFields(Lines& out, const ReservationRecord& r) {
  out.Hex("reservationId", r.reservationId, 0xFFFFFFFFull);
  out.Number("sid", r.sid);
  out.Number("receiverVersion", r.receiverVersion);
  out.Number("port", r.port);
  out.Hex("programNumber", r.programNumber, 0xFFFFFFFFull);
  out.Hex("subNumber", r.subNumber, 0xFFFFFFFFull);
  out.Quoted("address", r.address);
  out.Quoted("startText", r.startText);
  out.Quoted("durationText", r.durationText);
  out.Quoted("name", r.name);
  out.Number("totalKbyte", r.totalKbyte);
  out.Number("clearFolder", r.clearFolder);
  out.Quoted("storageFolder", r.storageFolder);
  out.Quoted("autorun", r.autorun);
  out.Number("speed", r.speed);
  out.Quoted("channelName", r.channelName);
  out.Time("scheduledStart", r.ScheduledStart());
  out.Time("scheduledEnd", r.ScheduledEnd());
}

void ResultFields(Lines& out, const ReceptionResult& r) {
  out.Add("status", std::to_string(r.status) + " " + ResultStatusText(r.status));
  out.Hex("programNumber", r.programNumber, 0xFFFFFFFFull);
  out.Hex("subNumber", r.subNumber, 0xFFFFFFFFull);
  out.Time("receivedFrom", r.receivedFrom);
  out.Time("receivedUntil", r.receivedUntil);
  out.Quoted("name", r.name);
  out.Quoted("storageFolder", r.storageFolder);
  out.Quoted("autorun", r.autorun);
  out.Time("scheduledStart", r.scheduledStart);
  out.Time("scheduledEnd", r.scheduledEnd);
  out.Number("port", r.port);
  out.Number("speed", r.speed);
  out.Quoted("address", r.address);
  out.Quoted("channelName", r.channelName);
}

// The record's length against what the file holds; short files are not whole records.
bool SizeNote(Lines& out, std::size_t size, std::size_t expected) {
  if (size < expected) {
    out.Add("error", "short record: " + std::to_string(size) + " of " + std::to_string(expected) +
                         " bytes; the missing bytes read as zero");
    return false;
  }
  if (size > expected) out.Add("note", std::to_string(size - expected) + " bytes after the record ignored");
  return true;
}

std::string MagicText(const std::string& data) {
  std::string shown;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(data[i]);
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    shown += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  return shown;
}

// A file of exactly one record's size is shown as that record, so that the
// operator sees what the damaged file holds; readers still ignore it.
void WrongMagicFields(Lines& out, const std::string& data) {
  if (data.size() == kReservationRecordSize) {
    out.Add("shown as", "reservation record, by its size");
    ReservationRecord r;
    DecodeReservation(data, &r);
    ReservationFields(out, r);
  } else if (data.size() == kResultRecordSize) {
    out.Add("shown as", "result record, by its size");
    ReceptionResult r;
    DecodeResult(data, &r);
    ResultFields(out, r);
  }
}

}  // namespace

DumpResult DumpRecord(const std::string& label, const std::string& data) {
  Lines out;
  out.Add("file", label);
  DumpResult result;
  const std::string magic = data.substr(0, 4);
  if (magic == "Rcfi") {
    out.Add("type", EndsWithSdd(label) ? "deletion request (Rcfi, 538 bytes)" : "reservation (Rcfi, 538 bytes)");
    result.ok = SizeNote(out, data.size(), kReservationRecordSize);
    ReservationRecord r;
    DecodeReservation(data, &r);
    ReservationFields(out, r);
  } else if (magic == "RvIf") {
    out.Add("type", "result (RvIf, 520 bytes)");
    result.ok = SizeNote(out, data.size(), kResultRecordSize);
    ReceptionResult r;
    DecodeResult(data, &r);
    ResultFields(out, r);
  } else if (data.empty()) {
    out.Add("error", "empty file, not a record");
  } else {
    out.Add("error", "wrong magic \"" + MagicText(data) + "\" (a record starts with \"Rcfi\" or \"RvIf\"); " +
                         std::to_string(data.size()) + " bytes");
    WrongMagicFields(out, data);
  }
  result.text = out.Text();
  return result;
}
