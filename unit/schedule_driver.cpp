#include "unit/schedule_driver.h"

#include <algorithm>
#include <iterator>

#include "common/files.h"
#include "common/peer_names.h"
#include "common/reservation_file.h"
#include "common/settings.h"

namespace {
// Stands in for a reception window that could not be opened (or closed itself
// at once): the reservation ends as failed instead of blocking the schedule.
class FailedReception : public ReceptionHandle {
 public:
  explicit FailedReception(Time32 now) : now_(now) {}
  bool Finished() const override { return true; }
  bool CloseRequested() const override { return true; }
  int Result() const override { return 0; }
  Time32 ReceptionStart() const override { return now_; }
  Time32 ReceptionEnd() const override { return now_; }
  void PlaceFiles() override {}

 private:
  Time32 now_;
};

bool ReadRecord(FileSystem& fs, const std::string& path, ReservationRecord* record) {
  std::string data;
  if (!fs.ReadAll(path, &data)) return false;
  // A file shorter than a record is still being written by the planner; it is
  // met again, whole, at the next scan.
  if (data.size() < kReservationRecordSize) return false;
  return DecodeReservation(data, record) == DecodeStatus::Ok;
}
}  // namespace

ScheduleDriver::ScheduleDriver(PlannerSettings& settings, FileSystem& fs, const Clock& clock, ScheduleHost& host)
    : store_(settings), fs_(fs), clock_(clock), host_(host) {}

ScheduleDriver::~ScheduleDriver() = default;

bool ScheduleDriver::Start() {
  settings_ = ScheduleSettings::Read(store_);
  timeError_ = ReadTimeError(store_);
  results_ = std::make_unique<ResultWriter>(
      fs_, std::string(), static_cast<std::uint32_t>(store_.Int(peer::kEnvironmentSubKey, peer::kInfoCountValue, 0)) & 0xFFFF);
  scheduleFolder_ = store_.ScheduleFolder();
  if (scheduleFolder_.empty()) return false;
  scheduleFolder_ = WithBackslash(scheduleFolder_);
  ReadFolders();
  ScanScheduleFolder();
  host_.ShowPending(pending_);
  return true;
}

void ScheduleDriver::ReadFolders() {
  std::string history = store_.HistoryFolder();
  if (history.empty()) history = host_.DefaultHistoryFolder();
  historyFolder_ = WithBackslash(history);
  // Results written into a folder that does not exist would be lost.
  if (!fs_.IsFolder(historyFolder_)) CreateFolderPath(fs_, historyFolder_);
  results_->SetHistoryFolder(historyFolder_);
}

void ScheduleDriver::Rescan() {
  if (scheduleFolder_.empty()) return;
  if (inPass_) {
    rescanDeferred_ = true;
    return;
  }
  ScanScheduleFolder();
  host_.ShowPending(pending_);
}

void ScheduleDriver::ReloadSettings() {
  settings_ = ScheduleSettings::Read(store_);
  if (results_) ReadFolders();
}

void ScheduleDriver::StartTimeReceiver() {
  if (timeReceiver_) return;
  timeReceiver_ = host_.OpenTimeReceiver(timeError_);
  // The planner's time calibration asks for the check even when one was made.
  selectorChecked_ = true;
  host_.CheckSelector();
}

void ScheduleDriver::EnsureSelectorChecked() {
  if (selectorChecked_) return;
  selectorChecked_ = true;
  host_.CheckSelector();
}

Reservation* ScheduleDriver::FindPending(std::uint32_t reservationId) {
  for (Reservation& r : pending_)
    if (r.reservationId == reservationId) return &r;
  return nullptr;
}

// ---- scanning -------------------------------------------------------------

void ScheduleDriver::ScanScheduleFolder() {
  timeError_ = ReadTimeError(store_);
  const Time32 now = Now();
  int missed = 0;
  ScanReservationFiles(now, &missed);
  ScanDeletionRequests();
  RemoveDuplicates();
  // An entry whose file went away (the planner's rebuild removes some) must not
  // be received: nothing would be left to record it against.
  for (auto it = pending_.begin(); it != pending_.end();) {
    auto next = std::next(it);
    if (!it->window && !fs_.Exists(it->filePath)) pending_.erase(it);
    it = next;
  }
  if (missed > 0) store_.SetInt(peer::kEnvironmentSubKey, peer::kLossRequestValue,
                                  store_.Int(peer::kEnvironmentSubKey, peer::kLossRequestValue, 0) + missed);
}

void ScheduleDriver::ScanReservationFiles(Time32 now, int* missed) {
  for (const FoundFile& f : fs_.Find(scheduleFolder_ + "RSV*.SDL")) {
    if (f.isFolder) continue;
    const std::string path = scheduleFolder_ + f.name;
    ReservationRecord record;
    if (!ReadRecord(fs_, path, &record)) continue;
    Time32 fileTime = f.lastWrite;
    fs_.LastWriteTime(path, &fileTime);
    Reservation entry = ReservationFromRecord(record, fileTime, path);

    // The file of a reception whose result is still to be written.
    auto sameAsEntry = [&entry](const Reservation& r) { return r.SameReservation(entry); };
    if (std::any_of(finished_.begin(), finished_.end(), sameAsEntry)) continue;
    auto old = std::find_if(pending_.begin(), pending_.end(), sameAsEntry);

    // Over before it was received; a reception that is running records its
    // own result, so it never gets a second, "not received" one.
    if (entry.scheduledEnd < now && !(old != pending_.end() && old->window)) {
      results_->Write(MissedResult(record, now));
      ++*missed;
      fs_.Remove(path);
      if (old != pending_.end() && old->filePath == path) pending_.erase(old);
      continue;
    }
    if (old != pending_.end()) {
      if (old->fileTime >= entry.fileTime) {
        if (old->filePath != path) fs_.Remove(path);
        continue;
      }
      Drop(old);
    }
    InsertPending(std::move(entry));
  }
}

void ScheduleDriver::ScanDeletionRequests() {
  for (const FoundFile& f : fs_.Find(scheduleFolder_ + "*.SDD")) {
    if (f.isFolder) continue;
    const std::string path = scheduleFolder_ + f.name;
    std::string data;
    if (!fs_.ReadAll(path, &data)) continue;
    if (data.size() < kReservationRecordSize) continue;  // still being written
    ReservationRecord record;
    if (DecodeReservation(data, &record) == DecodeStatus::Ok) {
      const Time32 start = record.ScheduledStart();
      const Time32 end = record.ScheduledEnd();
      auto it = std::find_if(pending_.begin(), pending_.end(), [&](const Reservation& r) {
        return r.programNumber == record.programNumber && r.subNumber == record.subNumber &&
               r.port == record.port && r.reservationId == record.reservationId &&
               r.scheduledStart == start && r.scheduledEnd == end;
      });
      if (it != pending_.end()) Drop(it);
    }
    fs_.Remove(path);
  }
}

void ScheduleDriver::RemoveDuplicates() {
  // Removing one of a pair invalidates the walk; start again until no pair is left.
  auto removeOnePair = [this] {
    for (auto a = pending_.begin(); a != pending_.end(); ++a) {
      for (auto b = std::next(a); b != pending_.end(); ++b) {
        if (a->programNumber != b->programNumber || a->subNumber != b->subNumber) continue;
        Drop(a->fileTime < b->fileTime ? a : b);
        return true;
      }
    }
    return false;
  };
  while (removeOnePair()) {
  }
}

void ScheduleDriver::InsertPending(Reservation entry) {
  auto pos = std::find_if(pending_.begin(), pending_.end(), [&entry](const Reservation& r) {
    return r.scheduledStart > entry.scheduledStart ||
           (r.scheduledStart == entry.scheduledStart && r.scheduledEnd > entry.scheduledEnd);
  });
  pending_.insert(pos, std::move(entry));
}

void ScheduleDriver::Drop(std::list<Reservation>::iterator it) {
  fs_.Remove(it->filePath);
  it->window.reset();
  pending_.erase(it);
}

// ---- the pass -------------------------------------------------------------

void ScheduleDriver::Pass() {
  if (passGuard_ != 0) {
    --passGuard_;
    return;
  }
  passGuard_ = 1000;
  inPass_ = true;
  if (timeReceiver_ && timeReceiver_->Changed()) timeError_ = timeReceiver_->LastError();
  const Time32 now = Now();
  bool changed = false;
  bool running = false;

  for (auto it = pending_.begin(); it != pending_.end(); ++it) {
    if (it->window) {
      running = true;
      if (!it->window->Finished()) continue;
      Reservation entry = std::move(*it);
      pending_.erase(it);
      if (!entry.autorun.empty() && entry.IsStream())
        Collect(std::move(entry), true);
      else
        finished_.push_front(std::move(entry));
      changed = true;
      break;
    }
    // A broadcast already over is left to the next scan, which records it missed.
    if ((passSid_ == 0 || passSid_ == it->sid) && it->scheduledStart < now + settings_.prepareTime &&
        it->scheduledEnd >= now)
      StartReception(*it);
  }

  for (auto it = finished_.begin(); it != finished_.end();) {
    auto next = std::next(it);
    if (it->window && it->window->CloseRequested()) {
      Reservation entry = std::move(*it);
      finished_.erase(it);
      Collect(std::move(entry), false);
      changed = true;
    }
    it = next;
  }
  if (!running && !finished_.empty()) {
    while (!finished_.empty()) {
      Reservation entry = std::move(finished_.front());
      finished_.pop_front();
      Collect(std::move(entry), false);
    }
    changed = true;
  }

  bool timeChanged = false;
  if (timeReceiver_ && timeReceiver_->Done() && passSid_ == 0) {
    if (timeReceiver_->Changed()) timeError_ = timeReceiver_->LastError();
    timeReceiver_.reset();
    changed = true;
  } else if (timeReceiver_ && timeReceiver_->Changed()) {
    timeError_ = timeReceiver_->LastError();
    timeReceiver_->ClearChanged();
    timeChanged = true;
  }

  passSid_ = 0;
  ++tickCount_;
  if (tickCount_ == kSelectorCheckPass && !selectorChecked_ && !pending_.empty()) EnsureSelectorChecked();
  if (tickCount_ % kRescanPasses == 0) host_.PostCommand(peer::kCmdUnitRescan);
  if (tickCount_ % kSelectorResetPasses == 0) selectorChecked_ = false;

  if (pending_.empty()) {
    if (++idleTicks_ > kIdleExitPasses) host_.PostCommand(1);
  } else {
    idleTicks_ = 0;
  }
  if (timeChanged || changed) host_.NotifyPlanner();

  inPass_ = false;
  if (rescanDeferred_) {
    rescanDeferred_ = false;
    Rescan();
  }
  passGuard_ = 0;
}

bool ScheduleDriver::StartReception(Reservation& entry) {
  EnsureSelectorChecked();
  if (!timeReceiver_) timeReceiver_ = host_.OpenTimeReceiver(timeError_);
  ReceptionOrder order;
  order.sid = entry.sid;
  order.port = entry.port;
  order.address = entry.address;
  order.storageFolder = entry.storageFolder;
  order.name = entry.name;
  order.totalBytes = static_cast<std::int64_t>(entry.totalKbyte) * 1024;
  order.scheduledEnd = entry.scheduledEnd;
  order.clearFolder = entry.clearFolder != 0;
  order.timeError = timeError_;
  order.timeout = settings_.timeout;
  order.messagePosition = settings_.messagePosition;
  order.visible = settings_.showStatus != 0;
  entry.window = host_.OpenReception(order);
  if (!entry.window) entry.window = std::make_unique<FailedReception>(Now());
  host_.MarkReceiving(entry);
  passSid_ = entry.sid;
  return true;
}

void ScheduleDriver::WriteResultAndPlace(Reservation& entry) {
  const int status = entry.window ? entry.window->Result() : 0;
  const Time32 from = entry.window ? entry.window->ReceptionStart() : Now();
  const Time32 until = entry.window ? entry.window->ReceptionEnd() : from;
  fs_.Remove(entry.filePath);
  host_.RemoveRow(entry);
  results_->Write(CollectedResult(RecordFromReservation(entry), status, from, until));
  if (entry.window) entry.window->PlaceFiles();
}

void ScheduleDriver::Collect(Reservation entry, bool forceAutorun) {
  WriteResultAndPlace(entry);
  if ((forceAutorun || settings_.autoRun != 0) && !entry.autorun.empty())
    host_.OpenAutorun(entry.autorun, entry.storageFolder);
  entry.window.reset();
}

void ScheduleDriver::Shutdown() {
  timeReceiver_.reset();
  pending_.clear();  // closes their windows; the files stay for the next start
  while (!finished_.empty()) {
    Reservation entry = std::move(finished_.front());
    finished_.pop_front();
    WriteResultAndPlace(entry);
    entry.window.reset();
  }
  if (results_) store_.SetInt(peer::kEnvironmentSubKey, peer::kInfoCountValue, static_cast<std::int32_t>(results_->Counter()));
}
