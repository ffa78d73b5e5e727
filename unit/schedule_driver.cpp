#include "unit/schedule_driver.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/reservation_file.h"
#include "common/settings.h"
#include "unit/reception_state.h"

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
  LoadPendingResults();
  RetryUnwrittenResults(true);
  ScanScheduleFolder();
  host_.ShowPending(pending_);
  return true;
}

// The reservation file's name with the pending result's extension: the scans
// ("RSV*.SDL", "*.SDD") and the planner never meet it.
std::string ScheduleDriver::PendingResultPath(const Reservation& entry) {
  return BesideReservation(entry.filePath, kPendingResultExt);
}

// Results that a previous run could not write: they wait for their record as
// they did then, and keep their reservation files from being taken as missed.
void ScheduleDriver::LoadPendingResults() {
  for (const FoundFile& f : fs_.Find(scheduleFolder_ + "*" + kPendingResultExt)) {
    if (f.isFolder) continue;
    const std::string path = scheduleFolder_ + f.name;
    std::string data;
    ReceptionResult result;
    ReservationRecord record;
    if (!fs_.ReadAll(path, &data) || data.size() != kResultRecordSize + kReservationRecordSize ||
        !DecodeResult(data.substr(0, kResultRecordSize), &result) ||
        DecodeReservation(data.substr(kResultRecordSize), &record) != DecodeStatus::Ok) {
      DebugPrintf("Pending result %s is damaged; removed\n", path.c_str());
      fs_.Remove(path);
      continue;
    }
    Reservation entry(record, 0, path.substr(0, path.size() - std::strlen(kPendingResultExt)) + ".SDL");
    // The reservation file keeps the case it was found with.
    for (const FoundFile& r : fs_.Find(entry.filePath))
      if (!r.isFolder) entry.filePath = scheduleFolder_ + r.name;
    unwritten_.push_back(Unwritten{std::move(entry), result, 0, tickCount_});
  }
}

void ScheduleDriver::RememberCollected(const Reservation& entry) {
  collected_.emplace_back(entry.record, entry.fileTime, entry.filePath);
  if (collected_.size() > kCollectedKept) collected_.pop_front();
}

void ScheduleDriver::Park(const Reservation& entry, const ReceptionResult& result) {
  Reservation parked(entry.record, entry.fileTime, entry.filePath);
  if (!fs_.WriteAllReplacing(PendingResultPath(parked), EncodeResult(result) + EncodeReservation(parked.record)))
    DebugPrintf("Result of %s cannot be kept beside its reservation either\n", entry.record.name.c_str());
  unwritten_.push_back(Unwritten{std::move(parked), result, 1, tickCount_});
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
  // The planner's time calibration asks for the check even when one was made,
  // but not a second time while the user still has the first prompt.
  selectorChecked_ = true;
  if (SelectorPromptAsked()) return;
  prompts_.push_back(Prompt{PromptKind::Selector, 0});
  ShowPrompts();
}

void ScheduleDriver::EnsureSelectorChecked() {
  if (selectorChecked_) return;
  selectorChecked_ = true;
  if (!SelectorPromptAsked()) prompts_.push_back(Prompt{PromptKind::Selector, 0});
}

bool ScheduleDriver::SelectorPromptAsked() const {
  return selectorPromptUp_ || std::any_of(prompts_.begin(), prompts_.end(),
                                          [](const Prompt& p) { return p.kind == PromptKind::Selector; });
}

// A box's loop dispatches the main timer, so passes run while it is up; what
// they queue is shown by this loop after the box, never in a second box on top.
void ScheduleDriver::ShowPrompts() {
  if (inPass_ || promptDepth_ > 0) return;
  while (!prompts_.empty() && !shutDown_) {
    const Prompt prompt = prompts_.front();
    prompts_.pop_front();
    ++promptDepth_;
    if (prompt.kind == PromptKind::Selector) {
      selectorPromptUp_ = true;
      host_.CheckSelector();
      selectorPromptUp_ = false;
    } else {
      host_.ShowBindError(prompt.code);
    }
    --promptDepth_;
  }
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
  RemoveStaleStates();
}

// A state folder outlives its reception only for a reservation still held: one
// whose reservation was missed, withdrawn or superseded while the unit was not
// running (or whose window never came back) goes at the next scan.
void ScheduleDriver::RemoveStaleStates() {
  for (const FoundFile& f : fs_.Find(scheduleFolder_ + "RSV*" + kStateFolderExt)) {
    if (!f.isFolder || f.link) continue;
    const std::string folder = scheduleFolder_ + f.name;
    auto holds = [&folder](const Reservation& r) { return StateFolderOf(r) == folder; };
    if (std::any_of(pending_.begin(), pending_.end(), holds) || std::any_of(finished_.begin(), finished_.end(), holds))
      continue;
    DebugPrintf("Reception state %s belongs to no reservation held; removed\n", folder.c_str());
    ClearFolder(fs_, folder);
    fs_.RemoveFolder(folder);
  }
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
    // The file of a reception already recorded, which could not be deleted then
    // (the planner was reading it): it goes now, and is no missed broadcast.
    if (std::any_of(collected_.begin(), collected_.end(), [&entry](const Reservation& r) { return r.SameReservation(entry); })) {
      fs_.Remove(path);
      continue;
    }
    auto sameAsEntry = [&entry](const Reservation& r) { return r.SameReservation(entry); };
    auto old = std::find_if(pending_.begin(), pending_.end(), sameAsEntry);

    // Over before it was received; a reception that is running records its
    // own result, so it never gets a second, "not received" one. Without its
    // record the file stays, and the next scan tries again.
    if (entry.scheduledEnd < now && !(old != pending_.end() && old->window)) {
      if (!WriteResult(ResultOf(entry, kResultNotReceived, now, now))) continue;
      ++*missed;
      if (!fs_.Remove(path)) RememberCollected(entry);
      if (old != pending_.end() && old->filePath == path) pending_.erase(old);
      continue;
    }
    if (old != pending_.end()) {
      if (old->fileTime >= entry.fileTime) {
        if (old->filePath != path) fs_.Remove(path);
        continue;
      }
      if (old->filePath == path) {
        // The same file touched in place: it still holds this reservation, and
        // a reception of it goes on.
        if (old->window) {
          old->fileTime = entry.fileTime;
          continue;
        }
        pending_.erase(old);
      } else {
        Drop(old);
      }
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
  // A tick dispatched from inside a pass does nothing, however long the pass
  // takes: a nested pass would walk and change the lists under the outer one.
  if (inPass_ || shutDown_) return;
  inPass_ = true;
  if (timeReceiver_ && timeReceiver_->Changed()) timeError_ = timeReceiver_->LastError();
  bool running = false;
  bool changed = AdvancePending(Now(), &running);
  changed |= CollectFinished(running);
  bool timeChanged = false;
  changed |= TakeTimeResult(&timeChanged);
  passSid_ = 0;
  CountPass();
  if (timeChanged || changed) host_.NotifyPlanner();
  RetryUnwrittenResults(false);
  inPass_ = false;
  RunDeferred();
  ShowPrompts();
}

// Starts the receptions that are due and moves the first one that finished
// (at most one a pass) to the finished list; true when the lists changed.
bool ScheduleDriver::AdvancePending(Time32 now, bool* running) {
  for (auto it = pending_.begin(); it != pending_.end(); ++it) {
    if (it->window) {
      *running = true;
      if (!it->window->Finished()) continue;
      Reservation entry = std::move(*it);
      pending_.erase(it);
      if (!entry.record.autorun.empty() && entry.IsStream())
        Collect(std::move(entry), true);
      else
        finished_.push_front(std::move(entry));
      return true;
    }
    // A broadcast already over is left to the next scan, which records it missed.
    if (!shutdownDeferred_ && (passSid_ == 0 || passSid_ == it->record.sid) &&
        it->scheduledStart < now + settings_.prepareTime && it->scheduledEnd >= now)
      StartReception(*it);
  }
  return false;
}

// Collects the finished receptions whose window asked for it, and all of them
// once no reception runs; true when any was collected.
bool ScheduleDriver::CollectFinished(bool running) {
  bool changed = false;
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
  return changed;
}

// The clock offset the time receiver measured; true when the receiver is done
// and dropped, *timeChanged when it measured a new offset and goes on.
bool ScheduleDriver::TakeTimeResult(bool* timeChanged) {
  if (timeReceiver_ && timeReceiver_->Done() && passSid_ == 0) {
    if (timeReceiver_->Changed()) timeError_ = timeReceiver_->LastError();
    timeReceiver_.reset();
    return true;
  }
  if (timeReceiver_ && timeReceiver_->Changed()) {
    timeError_ = timeReceiver_->LastError();
    timeReceiver_->ClearChanged();
    *timeChanged = true;
  }
  return false;
}

// The pass counter's periodic work: the selector check, the rescan, and the
// exit of a unit that has had nothing to do for long.
void ScheduleDriver::CountPass() {
  ++tickCount_;
  if (tickCount_ == kSelectorCheckPass && !selectorChecked_ && !pending_.empty()) EnsureSelectorChecked();
  if (tickCount_ % kRescanPasses == 0) host_.PostCommand(peer::kCmdUnitRescan);
  if (tickCount_ % kSelectorResetPasses == 0) selectorChecked_ = false;
  if (pending_.empty()) {
    if (++idleTicks_ > kIdleExitPasses) host_.PostCommand(peer::kCmdUnitExit);
  } else {
    idleTicks_ = 0;
  }
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
    StartTimeReceiver();
  }
}

void ScheduleDriver::StartReception(Reservation& entry) {
  // The prompt comes after the pass; the reception does not wait for it.
  EnsureSelectorChecked();
  if (!timeReceiver_) timeReceiver_ = host_.OpenTimeReceiver(timeError_);
  entry.window = host_.OpenReception(OrderOf(entry, settings_, timeError_));
  if (!entry.window) entry.window = std::make_unique<FailedReception>(Now());
  if (const int code = entry.window->BindError()) prompts_.push_back(Prompt{PromptKind::BindError, code});
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

// Writes the record; once it exists the row, the reservation file and any
// pending result beside it go.
bool ScheduleDriver::Record(Reservation& entry, const ReceptionResult& result) {
  if (!WriteResult(result)) return false;
  entry.resultWritten = true;
  host_.RemoveRow(entry);
  DeleteReservationFile(entry);
  RememberCollected(entry);
  const std::string pending = PendingResultPath(entry);
  if (fs_.Exists(pending)) fs_.Remove(pending);
  return true;
}

void ScheduleDriver::WriteResultAndPlace(Reservation& entry) {
  const ReceptionResult result = PlaceAndJudge(entry);
  if (!entry.resultWritten) {
    if (!Record(entry, result)) {
      // The reservation file stays, so that the reception is not lost; the
      // record is tried again in later passes.
      DebugPrintf("Result of %s kept for a retry\n", entry.record.name.c_str());
      Park(entry, result);
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
    // Kept on disk as well: the process may not live to the end of the pass.
    if (!entry.resultWritten && !Record(entry, result)) {
      fs_.WriteAllReplacing(PendingResultPath(entry), EncodeResult(result) + EncodeReservation(entry.record));
    }
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
  // The system may end the process before the pass does.
  KeepReceptionsForResume();
  shutdownDeferred_ = true;
}

// A reception still under way is continued by the next start.
void ScheduleDriver::KeepReceptionsForResume() {
  for (Reservation& entry : pending_)
    if (entry.window && !entry.window->Finished()) entry.window->KeepForResume();
}

void ScheduleDriver::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  timeReceiver_.reset();
  KeepReceptionsForResume();
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
