#include "planner/reserve/reservation_files.h"

#include <unordered_map>
#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"

namespace {
constexpr const char* kCounterValue = "Counter";
constexpr std::size_t kComputerNameBytes = 20;
// Names tried past a counter value whose file still exists.
constexpr int kCounterSkips = 1000;

std::string Join(const std::string& folder, const std::string& name) { return WithBackslash(folder) + name; }

std::uint64_t PairKey(std::int32_t programNumber, std::int32_t subNumber) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(programNumber)) << 32) |
         static_cast<std::uint32_t>(subNumber);
}

// The broadcast a record reserves: the one at exactly the record's start, or
// failing that the same broadcast within the broadcast day of the record's date.
GuideProgram* MatchProgram(const std::unordered_map<std::uint64_t, GuideProgram*>& byPair,
                           const ReservationRecord& record, Time32 start, int dayStartHour) {
  auto it = byPair.find(PairKey(record.programNumber, record.subNumber));
  if (it == byPair.end()) return nullptr;
  GuideProgram* p = it->second;
  if (p->startTime == start) return p;
  const LocalTime lt = BreakLocalTime(start);
  const Time32 dayBegin = MakeLocalTime(lt.year, lt.month, lt.day, dayStartHour, 0, 0);
  if (p->startTime >= dayBegin && p->startTime < dayBegin + 24 * 3600) return p;
  return nullptr;
}

bool ReadRecord(FileSystem& fs, const std::string& path, ReservationRecord* record, DecodeStatus* status) {
  std::string data;
  if (!fs.ReadAll(path, &data)) return false;
  *status = DecodeReservation(data, record);
  return true;
}
}  // namespace

ReservationRecord BuildReservationRecord(const GuideProgram& p, const std::string& storageFolder, bool clearFolder,
                                         std::uint32_t tickMs) {
  ReservationRecord r;
  r.reservationId = tickMs;
  r.sid = p.sid;
  r.receiverVersion = p.receiverVersion;
  r.port = p.port;
  r.programNumber = p.programNumber;
  r.subNumber = p.subNumber;
  r.address = p.address;
  SetSchedule(&r, p.startTime, p.endTime);
  r.name = p.name;
  r.totalKbyte = p.totalKbyte;
  r.clearFolder = clearFolder ? 1 : 0;
  r.storageFolder = storageFolder;
  r.autorun = p.autorun;
  r.speed = static_cast<std::uint16_t>(p.speed & 0xFFFF);
  r.channelName = p.channelName;
  return r;
}

ReservationRecord BuildDeletionRecord(const ReservationEntry& e, const std::string& dataFolder) {
  const ReservationRecord& held = e.record;
  ReservationRecord r;
  r.reservationId = held.reservationId;
  r.sid = held.sid;
  r.port = held.port;
  r.programNumber = held.programNumber;
  r.subNumber = held.subNumber;
  SetSchedule(&r, held.ScheduledStart(), held.ScheduledEnd());
  r.name = e.name;
  r.totalKbyte = e.totalKbyte;
  r.clearFolder = 0;
  r.storageFolder = dataFolder;
  return r;
}

bool WriteRecordFile(FileSystem& fs, const std::string& folder, const std::string& name, const std::string& bytes) {
  const std::string target = Join(folder, name);
  const std::string temp = Join(folder, "~" + name + ".tmp");
  if (!fs.WriteAll(temp, bytes)) {
    fs.Remove(temp);
    return false;
  }
  // The same broadcast reserved again: the new record replaces the old one in one step.
  if (fs.Replace(temp, target)) return true;
  fs.Remove(temp);
  return false;
}

bool WriteReservationFile(FileSystem& fs, const std::string& scheduleFolder, const ReservationRecord& record,
                          std::string* writtenName) {
  const std::string name = ReservationFileName(record.ScheduledStart(), record.programNumber, record.subNumber);
  if (!WriteRecordFile(fs, scheduleFolder, name, EncodeReservation(record))) {
    DebugOut("Tavora: cannot write reservation " + Join(scheduleFolder, name));
    return false;
  }
  if (writtenName) *writtenName = name;
  return true;
}

std::string DeletionComputerName(const std::string& systemName) {
  const std::string upper = AsciiUpper(systemName);
  return upper.substr(0, FitToBytes(upper, kComputerNameBytes));
}

bool WriteDeletionRequest(FileSystem& fs, PlannerSettings& settings, const std::string& scheduleFolder,
                          const std::string& computerName, const ReservationRecord& request, std::string* writtenName) {
  std::uint32_t counter = static_cast<std::uint32_t>(settings.Int(peer::kEnvironmentSubKey, kCounterValue, 0));
  std::string name = DeletionRequestName(computerName, static_cast<long>(counter % 1000000));
  for (int skip = 0; skip < kCounterSkips && fs.Exists(Join(scheduleFolder, name)); ++skip) {
    ++counter;
    name = DeletionRequestName(computerName, static_cast<long>(counter % 1000000));
  }
  if (!WriteRecordFile(fs, scheduleFolder, name, EncodeReservation(request))) {
    DebugOut("Tavora: cannot write deletion request " + Join(scheduleFolder, name));
    return false;
  }
  settings.SetInt(peer::kEnvironmentSubKey, kCounterValue, static_cast<std::int32_t>(counter + 1));
  DebugOut("Tavora: deletion request " + name + " written");
  if (writtenName) *writtenName = name;
  return true;
}

bool RebuildReservations(FileSystem& fs, const std::string& scheduleFolder, GuideList& guide, int dayStartHour,
                         ReservationList& list, bool full) {
  std::unordered_map<std::uint64_t, GuideProgram*> byPair;
  for (GuideProgram* p : guide.Ordered()) byPair.emplace(PairKey(p->programNumber, p->subNumber), p);
  bool changed = false;
  if (full && !list.Empty()) {
    for (const ReservationEntry& e : list.Entries()) {
      auto it = byPair.find(PairKey(e.record.programNumber, e.record.subNumber));
      if (it != byPair.end() && it->second->startTime == e.startTime) it->second->state = 0;
    }
    list.Clear();
    changed = true;
  }
  if (scheduleFolder.empty()) return changed;

  for (const FoundFile& f : fs.Find(Join(scheduleFolder, "RSV*.SDL"))) {
    if (f.isFolder) continue;
    const std::string path = Join(scheduleFolder, f.name);
    ReservationRecord record;
    DecodeStatus status;
    if (!ReadRecord(fs, path, &record, &status)) continue;
    if (status == DecodeStatus::WrongMagic) {
      fs.Remove(path);
      continue;
    }
    if (status == DecodeStatus::Empty) continue;  // nothing to judge yet
    const Time32 start = record.ScheduledStart();
    GuideProgram* program = MatchProgram(byPair, record, start, dayStartHour);
    if (!program) continue;
    program->state = 1;
    const int listed = list.Find(record.programNumber, record.subNumber);
    if (listed >= 0) {
      const ReservationEntry& held = list.Entries()[static_cast<std::size_t>(listed)];
      if (held.record.reservationId != record.reservationId) fs.Remove(path);
      continue;
    }
    list.Insert(EntryFrom(record, *program));
    changed = true;
  }

  for (const FoundFile& f : fs.Find(Join(scheduleFolder, "*.SDD"))) {
    if (f.isFolder) continue;
    ReservationRecord request;
    DecodeStatus status;
    if (!ReadRecord(fs, Join(scheduleFolder, f.name), &request, &status)) continue;
    if (status != DecodeStatus::Ok && status != DecodeStatus::Short) continue;
    const Time32 start = request.ScheduledStart();
    const Time32 end = request.ScheduledEnd();
    auto& entries = list.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const ReservationEntry& e = entries[i];
      const ReservationRecord& r = e.record;
      if (r.programNumber == request.programNumber && r.subNumber == request.subNumber && r.port == request.port &&
          r.reservationId == request.reservationId && r.ScheduledStart() == start && r.ScheduledEnd() == end) {
        auto it = byPair.find(PairKey(r.programNumber, r.subNumber));
        if (it != byPair.end() && it->second->startTime == e.startTime) it->second->state = 0;
        list.RemoveAt(i);
        changed = true;
        break;
      }
    }
  }
  if (changed) list.LayOutLanes();
  return changed;
}
