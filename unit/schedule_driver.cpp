#include "unit/schedule_driver.h"

#include <algorithm>
#include <iterator>

#include "common/debug_log.h"
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
  bool PlaceFiles() override { return false; }

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
  if (scheduleFolder_.empty() || shutDown_) return;
  if (inPass_) {
    rescanDeferred_ = true;
    return;
  }
  ScanScheduleFolder();
  host_.ShowPending(pending_);
}

void ScheduleDriver::ReloadSettings() {
  if (shutDown_) return;
  if (inPass_) {
    reloadDeferred_ = true;
    return;
  }
  settings_ = ScheduleSettings::Read(store_);
  if (!results_) return;
  ReadFolders();
  // The history folder may be back (or new): unwritten results get a fresh start.
  RetryUnwrittenResults(true);
}

void ScheduleDriver::StartTimeReceiver() {
  if (timeReceiver_ || shutDown_) return;
  if (inPass_) {
    timeReceiverDeferred_ = true;
    return;
  }
  timeReceiver_ = host_.OpenTimeReceiver(timeError_);
  // The planner's time calibration asks for the check even when one was made.
  selectorChecked_ = true;
  host_.CheckSelector();
}

void ScheduleDriver::EnsureSelectorChecked() {
  if (selectorChecked_) return;
  selectorChecked_ = true;
  selectorCheckedInPass_ = inPass_;
  host_.CheckSelector();
}

Reservation* ScheduleDriver::FindPending(std::uint32_t reservationId) {
  for (Reservation& r : pending_)
    if (r.record.reservationId == reservationId) return &r;
  return nullptr;
}

// ---- scanning -------------------------------------------------------------

void ScheduleDriver::ScanScheduleFolder() {
  timeError_ = ReadTimeError(store_);
  // A folder that cannot be listed (a network drive that went away) says nothing
  // about the reservations in it: the list stays as it is until it is back.
  if (!fs_.IsFolder(scheduleFolder_)) {
    DebugPrintf("Schedule folder %s cannot be read; the reservations stay as they are\n", scheduleFolder_.c_str());
    return;
  }
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
    Reservation entry(record, fileTime, path);

    // The file of a reception whose result is still to be written.
    if (Known(entry)) continue;
    auto sameAsEntry = [&entry](const Reservation& r) { return r.SameReservation(entry); };
    auto old = std::find_if(pending_.begin(), pending_.end(), sameAsEntry);

    // Over before it was received; a reception that is running records its
    // own result, so it never gets a second, "not received" one. Without its
    // record the file stays, and the next scan tries again.
    if (entry.scheduledEnd < now && !(old != pending_.end() && old->window)) {
      if (!WriteResult(ResultOf(entry, kResultNotReceived, now, now))) continue;
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
        return r.record.programNumber == record.programNumber && r.record.subNumber == record.subNumber &&
               r.record.port == record.port && r.record.reservationId == record.reservationId &&
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
        if (a->record.programNumber != b->record.programNumber || a->record.subNumber != b->record.subNumber)
          continue;
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
  Reservation entry = std::move(*it);
  pending_.erase(it);
  entry.window.reset();
  DeleteReservationFile(entry);
}

// A cancel and a new reservation of the same broadcast between two scans share
// the file name: the file goes only while it still holds the reservation that
// leaves, and no entry that stays uses it.
void ScheduleDriver::DeleteReservationFile(const Reservation& entry) {
  // (The entry itself may still sit in its list when the session ends in a pass.)
  auto usesPath = [&entry](const Reservation& r) { return &r != &entry && r.filePath == entry.filePath; };
  if (std::any_of(pending_.begin(), pending_.end(), usesPath) ||
      std::any_of(finished_.begin(), finished_.end(), usesPath) ||
      std::any_of(unwritten_.begin(), unwritten_.end(), [&](const Unwritten& u) { return usesPath(u.entry); }))
    return;
  ReservationRecord onDisk;
  if (!ReadRecord(fs_, entry.filePath, &onDisk)) return;
  if (!Reservation(onDisk, 0, entry.filePath).SameReservation(entry)) return;
  fs_.Remove(entry.filePath);
}

// The reservation is being collected: its file is met again until its result is written.
bool ScheduleDriver::Known(const Reservation& entry) const {
  auto same = [&entry](const Reservation& r) { return r.SameReservation(entry); };
  return std::any_of(finished_.begin(), finished_.end(), same) ||
         std::any_of(unwritten_.begin(), unwritten_.end(), [&](const Unwritten& u) { return same(u.entry); });
}

// ---- the pass -------------------------------------------------------------

void ScheduleDriver::Pass() {
  if (passGuard_ != 0) {
    --passGuard_;
    return;
  }
  if (shutDown_) return;
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
      if (!entry.record.autorun.empty() && entry.IsStream())
        Collect(std::move(entry), true);
      else
        finished_.push_front(std::move(entry));
      changed = true;
      break;
    }
    // A broadcast already over is left to the next scan, which records it missed.
    if (!shutdownDeferred_ && (passSid_ == 0 || passSid_ == it->record.sid) && it->scheduledStart < now + settings_.prepareTime &&
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
    if (++idleTicks_ > kIdleExitPasses) host_.PostCommand(peer::kCmdUnitExit);
  } else {
    idleTicks_ = 0;
  }
  if (timeChanged || changed) host_.NotifyPlanner();

  RetryUnwrittenResults(false);

  inPass_ = false;
  passGuard_ = 0;
  RunDeferred();
  selectorCheckedInPass_ = false;
}

// What arrived while the pass ran, in the order that keeps each meaningful.
void ScheduleDriver::RunDeferred() {
  if (shutdownDeferred_) {
    shutdownDeferred_ = false;
    Shutdown();
    return;
  }
  if (reloadDeferred_) {
    reloadDeferred_ = false;
    ReloadSettings();
  }
  if (rescanDeferred_) {
    rescanDeferred_ = false;
    Rescan();
  }
  if (timeReceiverDeferred_) {
    timeReceiverDeferred_ = false;
    if (!timeReceiver_ && selectorCheckedInPass_) {
      timeReceiver_ = host_.OpenTimeReceiver(timeError_);
      selectorChecked_ = true;
    } else {
      StartTimeReceiver();
    }
  }
}

void ScheduleDriver::StartReception(Reservation& entry) {
  EnsureSelectorChecked();
  if (shutdownDeferred_) return;  // the session ended inside the selector prompt
  if (!timeReceiver_) timeReceiver_ = host_.OpenTimeReceiver(timeError_);
  entry.window = host_.OpenReception(OrderOf(entry, settings_, timeError_));
  if (!entry.window) entry.window = std::make_unique<FailedReception>(Now());
  host_.MarkReceiving(entry);
  passSid_ = entry.record.sid;
}

bool ScheduleDriver::WriteResult(const ReceptionResult& result) {
  return results_ && results_->Write(result);
}

// Places the files, then judges: a reception succeeded only when every file is
// whole at its final name, and its record is written only after placement.
ReceptionResult ScheduleDriver::PlaceAndJudge(Reservation& entry) {
  const bool placed = entry.window && entry.window->PlaceFiles();
  ReceptionResult result = ResultOfReception(entry);
  if (result.status == kResultSuccess && !placed && !entry.IsStream()) {
    DebugPrintf("Result of %s: the files could not all be placed; recorded as failed\n", entry.record.name.c_str());
    result.status = kResultFailed;
  }
  return result;
}

ReceptionResult ScheduleDriver::ResultOfReception(const Reservation& entry) const {
  const int status = entry.window ? entry.window->Result() : kResultFailed;
  const Time32 from = entry.window ? entry.window->ReceptionStart() : Now();
  const Time32 until = entry.window ? entry.window->ReceptionEnd() : from;
  return ResultOf(entry, status, from, until);
}

// Writes the record; once it exists the row and the reservation file go.
bool ScheduleDriver::Record(Reservation& entry, const ReceptionResult& result) {
  if (!WriteResult(result)) return false;
  entry.resultWritten = true;
  host_.RemoveRow(entry);
  DeleteReservationFile(entry);
  return true;
}

void ScheduleDriver::WriteResultAndPlace(Reservation& entry) {
  const ReceptionResult result = PlaceAndJudge(entry);
  if (!entry.resultWritten) {
    if (!Record(entry, result)) {
      // The reservation file stays, so that the reception is not lost; the
      // record is tried again in later passes.
      DebugPrintf("Result of %s kept for a retry\n", entry.record.name.c_str());
      Reservation parked(entry.record, entry.fileTime, entry.filePath);
      unwritten_.push_back(Unwritten{std::move(parked), result, 1, tickCount_});
    }
  }
}

void ScheduleDriver::RetryUnwrittenResults(bool now) {
  for (auto it = unwritten_.begin(); it != unwritten_.end();) {
    auto next = std::next(it);
    Unwritten& u = *it;
    if (now) u.attempts = 0;
    const bool due = now || (u.attempts < kResultAttempts && tickCount_ - u.lastTry >= kResultRetryPasses);
    if (due && !u.entry.resultWritten) {
      ++u.attempts;
      u.lastTry = tickCount_;
      if (!Record(u.entry, u.result) && u.attempts == kResultAttempts)
        DebugPrintf("Result of %s still not written after %d attempts; its reservation file stays\n",
                    u.entry.record.name.c_str(), u.attempts);
    }
    if (u.entry.resultWritten) unwritten_.erase(it);
    it = next;
  }
}

void ScheduleDriver::Collect(Reservation entry, bool forceAutorun) {
  WriteResultAndPlace(entry);
  if ((forceAutorun || settings_.autoRun != 0) && !entry.record.autorun.empty())
    host_.OpenAutorun(entry.record.autorun, entry.record.storageFolder);
  entry.window.reset();
}

// Results first, in place: a pass below this call may be walking these lists.
void ScheduleDriver::WriteFinishedInPlace() {
  for (Reservation& entry : finished_) {
    const ReceptionResult result = PlaceAndJudge(entry);
    if (!entry.resultWritten) Record(entry, result);
  }
  for (Unwritten& u : unwritten_)
    if (!u.entry.resultWritten) Record(u.entry, u.result);
  if (results_) store_.SetInt(peer::kEnvironmentSubKey, peer::kInfoCountValue, static_cast<std::int32_t>(results_->Counter()));
}

void ScheduleDriver::EndSession() {
  if (shutDown_) return;
  if (!inPass_) {
    Shutdown();
    return;
  }
  WriteFinishedInPlace();
  shutdownDeferred_ = true;
}

void ScheduleDriver::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  timeReceiver_.reset();
  pending_.clear();  // closes their windows; the files stay for the next start
  while (!finished_.empty()) {
    Reservation entry = std::move(finished_.front());
    finished_.pop_front();
    WriteResultAndPlace(entry);
    entry.window.reset();
  }
  RetryUnwrittenResults(true);
  if (results_) store_.SetInt(peer::kEnvironmentSubKey, peer::kInfoCountValue, static_cast<std::int32_t>(results_->Counter()));
}
