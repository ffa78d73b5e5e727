// The unit's main window "データ受信ユニット(QuillonUnit)": the pending list,
// the tray icon and menu, the commands from the planner, and the schedule
// driver's windows and messages.
#pragma once
#include "reception_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "common/win/dialog.h"
#include "common/win/peers.h"
#include "common/win/scoped_win.h"
#include "common/win/tray_icon.h"
#include "unit/schedule_driver.h"
#include "unit/schedule_host.h"

class Clock;
class FileSystem;
class PlannerSettings;
class Settings;
class TimeReceiver;

class CQuillonDlg : public DialogImpl<CQuillonDlg>, public ScheduleHost {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  static constexpr UINT kTrayMessage = WM_USER;
  static constexpr UINT kTimeSocketMessage = WM_APP + 2;

  // The start lock is released at the end of the initialisation.
  CQuillonDlg(HINSTANCE instance, Settings& store, FileSystem& fs, const Clock& clock, StartLock lock);
  ~CQuillonDlg() override;

  // ScheduleHost
  std::unique_ptr<ReceptionHandle> OpenReception(const ReceptionOrder& order) override;
  std::unique_ptr<ScheduleTimeReceiver> OpenTimeReceiver(std::int32_t timeError) override;
  void ShowPending(const std::list<Reservation>& pending) override;
  void MarkReceiving(const Reservation& entry) override;
  void RemoveRow(const Reservation& entry) override;
  void PostCommand(int id) override { Dialog::PostCommand(id); }
  void NotifyPlanner() override;
  void CheckSelector() override;
  void ShowBindError(int code) override;
  void OpenAutorun(const std::string& command, const std::string& storageFolder) override;
  std::string DefaultHistoryFolder() override;

  // Set by the time receiver's handle while it lives.
  TimeReceiver* activeTimeReceiver = nullptr;

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnSysCommand(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM, LPARAM);
  INT_PTR OnTray(WPARAM, LPARAM);
  INT_PTR OnTimeSocket(WPARAM, LPARAM);
  INT_PTR OnNotify(WPARAM, LPARAM);
  INT_PTR OnClose(WPARAM, LPARAM);
  INT_PTR OnWindowPosChanging(WPARAM, LPARAM);
  INT_PTR OnEndSession(WPARAM, LPARAM);
  void ShutDown(bool sessionEnds);
  void OnExit();
  void OnHide();
  void OnRescan();
  void OnReloadSettings();
  void OnStartTime();
  void OnShowWindow();
  void SetUpList();
  void ReleaseLock();
  void ShowReceptionOf(int row);

  HINSTANCE instance_;
  Settings& store_;
  std::unique_ptr<PlannerSettings> settings_;
  FileSystem& fs_;
  const Clock& clock_;
  StartLock lock_;
  std::unique_ptr<ScheduleDriver> driver_;
  TrayIcon tray_;
  ScopedIcon bigIcon_;
  ScopedIcon smallIcon_;
  UINT_PTR mainTimer_ = 0;
  bool shutDown_ = false;
  bool exitDeferred_ = false;  // command 1 arrived inside a pass or under a box
  // The dialog box shows itself once its queue is idle; while this is set it
  // stays hidden (no schedule folder, or started hidden by the planner).
  bool keepHidden_ = false;
};
