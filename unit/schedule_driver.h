// The reception schedule: the pending and finished reservations, the 300 ms
// pass that opens reception windows "Prepare Time" seconds ahead and collects
// them when they are over, scanning of the schedule folder, the idle exit and
// the change notice to the planner. Windows and messages are the host's.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include "common/clock.h"
#include "unit/schedule_host.h"
#include "unit/schedule_reservation.h"
#include "unit/result_writer.h"
#include "unit/schedule_settings.h"

class FileSystem;
class PlannerSettings;

class ScheduleDriver {
 public:
  static constexpr int kRescanPasses = 1000;
  static constexpr int kSelectorResetPasses = 10000;
  static constexpr int kIdleExitPasses = 3000;
  static constexpr int kSelectorCheckPass = 34;
  // A result record that cannot be written (history folder gone, disk full) is
  // tried again every kResultRetryPasses passes, kResultAttempts times in all,
  // and once more on 1008, at shutdown and at the next start; its reservation
  // file stays meanwhile, and beside it the pending result (kPendingResultExt:
  // the result record and the reservation record), so that the next start
  // writes this result instead of a missed one.
  static constexpr int kResultRetryPasses = 10;
  static constexpr int kResultAttempts = 20;
  static constexpr const char* kPendingResultExt = ".RVP";
  // Reservations recorded in this run, remembered so that a file of one that
  // could not be deleted is never taken for a missed broadcast.
  static constexpr std::size_t kCollectedKept = 1000;

  ScheduleDriver(PlannerSettings& settings, FileSystem& fs, const Clock& clock, ScheduleHost& host);
  ~ScheduleDriver();

  // Reads the settings, "TimeError" and "Info count", settles the folders and
  // makes the first scan. False when "Schedule"/"DataPath" is empty: then the
  // unit never scans and the main timer must not run.
  bool Start();
  // No box is ever shown inside a pass: the selector check and "Bind error"
  // are queued by the pass and shown after it, one at a time. While a box is up
  // its loop dispatches the main timer: passes run as usual (receptions start
  // and are collected on time), a box they ask for waits its turn, and the
  // program's exit waits for the box (PromptUp). Something else that dispatches
  // inside a pass (a shell call) runs no nested pass: the commands below then
  // wait for the pass to end and run once after it.
  // WM_COMMAND 1004: rescan the folder and rebuild the list display.
  void Rescan();
  // WM_COMMAND 1008: reception settings (not "TimeError") and history folder.
  void ReloadSettings();
  // WM_COMMAND 1012: start the time receiver and check for the selector, unless
  // a receiver already runs. While a selector prompt is up or waiting it makes
  // no second one.
  void StartTimeReceiver();
  // One main timer tick; the boxes it asked for follow it (ShowPrompts).
  void Pass();
  // End of the main window: reservations stay for the next start, finished ones
  // are written, "Info count" is stored.
  void Shutdown();
  // Windows ends the session (WM_ENDSESSION, a sent message that may arrive
  // inside a pass): the results of finished receptions and "Info count" are
  // written at once, without touching the lists a pass may be walking; the rest
  // of the shutdown follows at the end of that pass.
  void EndSession();

  // `ScanScheduleFolder`; also run by Rescan.
  void ScanScheduleFolder();

  const std::list<Reservation>& Pending() const { return pending_; }
  const std::list<Reservation>& FinishedList() const { return finished_; }
  // Collected reservations whose result record could not be written yet.
  std::size_t UnwrittenResults() const { return unwritten_.size(); }
  Reservation* FindPending(std::uint32_t reservationId);
  const ScheduleSettings& Settings() const { return settings_; }
  std::int32_t TimeError() const { return timeError_; }
  const std::string& ScheduleFolder() const { return scheduleFolder_; }
  const std::string& HistoryFolder() const { return historyFolder_; }
  bool HasTimeReceiver() const { return timeReceiver_ != nullptr; }
  // True while a pass runs; a modal prompt inside it dispatches messages, and
  // commands that change the lists must wait for its end.
  bool InPass() const { return inPass_; }
  // True while a box is up: one of the schedule's, or one of the window's own
  // between PromptOpened and PromptClosed (the exit question).
  bool PromptUp() const { return promptDepth_ > 0; }
  void PromptOpened() { ++promptDepth_; }
  void PromptClosed() { --promptDepth_; }
  // Shows the boxes that wait, one after another, unless a pass runs or a box
  // is up. Every pass ends with it.
  void ShowPrompts();

 private:
  Time32 Now() const { return clock_.Now() + timeError_; }
  void ReadFolders();
  void ScanReservationFiles(Time32 now, int* missed);
  void ScanDeletionRequests();
  void RemoveStaleStates();
  void RemoveDuplicates();
  void InsertPending(Reservation entry);
  // Deletes the entry's file and closes its window without a result.
  void Drop(std::list<Reservation>::iterator it);
  void DeleteReservationFile(const Reservation& entry);
  bool Known(const Reservation& entry) const;
  void StartReception(Reservation& entry);
  void Collect(Reservation entry, bool forceAutorun);
  // File placement and then the result record of a reservation leaving the lists.
  void WriteResultAndPlace(Reservation& entry);
  bool WriteResult(const ReceptionResult& result);
  ReceptionResult ResultOfReception(const Reservation& entry) const;
  ReceptionResult PlaceAndJudge(Reservation& entry);
  bool Record(Reservation& entry, const ReceptionResult& result);
  void RetryUnwrittenResults(bool now);
  void Park(const Reservation& entry, const ReceptionResult& result);
  void RememberCollected(const Reservation& entry);
  void LoadPendingResults();
  static std::string PendingResultPath(const Reservation& entry);
  void WriteFinishedInPlace();
  void KeepReceptionsForResume();
  bool AdvancePending(Time32 now, bool* running);
  bool CollectFinished(bool running);
  bool TakeTimeResult(bool* timeChanged);
  void CountPass();
  void RunDeferred();
  void EnsureSelectorChecked();
  enum class PromptKind { Selector, BindError };
  struct Prompt {
    PromptKind kind;
    int code;
  };
  bool SelectorPromptAsked() const;

  struct Unwritten {
    Reservation entry;
    ReceptionResult result;
    int attempts = 1;
    std::uint32_t lastTry = 0;  // tickCount_ of the last attempt
  };

  PlannerSettings& store_;
  FileSystem& fs_;
  const Clock& clock_;
  ScheduleHost& host_;
  std::unique_ptr<ResultWriter> results_;  // from Start on
  std::string historyFolder_;
  ScheduleSettings settings_;
  std::int32_t timeError_ = 0;
  std::string scheduleFolder_;
  std::list<Reservation> pending_;
  std::list<Reservation> finished_;   // newest first
  std::list<Unwritten> unwritten_;
  std::list<Reservation> collected_;  // oldest first; no windows
  std::unique_ptr<ScheduleTimeReceiver> timeReceiver_;
  std::list<Prompt> prompts_;       // waiting to be shown
  int promptDepth_ = 0;
  bool selectorPromptUp_ = false;
  std::uint32_t tickCount_ = 0;
  std::uint32_t idleTicks_ = 0;
  std::uint16_t passSid_ = 0;
  bool selectorChecked_ = false;
  bool inPass_ = false;
  bool rescanDeferred_ = false;
  bool reloadDeferred_ = false;
  bool timeReceiverDeferred_ = false;
  bool shutdownDeferred_ = false;
  bool shutDown_ = false;
};
