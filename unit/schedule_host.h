// What the schedule driver asks of the program around it: windows, list display,
// messages to itself and to the planner, the selector check, the autorun command
// and the time receiver. The Win32 program implements it with real windows; tests
// implement it with fakes.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include "common/time_text.h"
#include "unit/reception.h"
#include "unit/schedule_reservation.h"

// Everything a reception window is created with: the engine's parameters and
// whether the window is shown ("受信状況表示").
struct ReceptionOrder : ReceptionParams {
  bool visible = true;
};
struct ScheduleSettings;
// The order of a reservation's window, with the settings and offset in force.
ReceptionOrder OrderOf(const Reservation& entry, const ScheduleSettings& settings, std::int32_t timeError);

// The network time receiver as the schedule sees it.
class ScheduleTimeReceiver {
 public:
  virtual ~ScheduleTimeReceiver() = default;
  virtual bool Done() const = 0;        // a time was evaluated, or the socket failed
  virtual bool Changed() const = 0;     // "TimeError" was changed since ClearChanged
  virtual void ClearChanged() = 0;
  virtual std::int32_t LastError() const = 0;  // the offset it knows (seconds)
};

class ScheduleHost {
 public:
  virtual ~ScheduleHost() = default;
  // A reception window; nullptr when it could not be created or destroyed itself.
  virtual std::unique_ptr<ReceptionHandle> OpenReception(const ReceptionOrder& order) = 0;
  virtual std::unique_ptr<ScheduleTimeReceiver> OpenTimeReceiver(std::int32_t timeError) = 0;
  // List display: rebuilt after a scan; single rows change as receptions start
  // and results are written.
  virtual void ShowPending(const std::list<Reservation>& pending) = 0;
  virtual void MarkReceiving(const Reservation& entry) = 0;
  virtual void RemoveRow(const Reservation& entry) = 0;
  // WM_COMMAND posted to the main window (1004 rescan, 1 exit).
  virtual void PostCommand(int id) = 0;
  // WM_COMMAND 32798 to the planner's window, when there is one.
  virtual void NotifyPlanner() = 0;
  // The channel selector check (may show a modal prompt). Like every box of the
  // schedule it is asked for outside a pass only, one box at a time.
  virtual void CheckSelector() = 0;
  // "Bind error %d" with an OK button, for a reception window whose group could
  // not be joined (the window itself shows "受信不可").
  virtual void ShowBindError(int code) = 0;
  virtual void OpenAutorun(const std::string& command, const std::string& storageFolder) = 0;
  // History folder used when "temp"/"DataPath" is empty.
  virtual std::string DefaultHistoryFolder() = 0;
};
