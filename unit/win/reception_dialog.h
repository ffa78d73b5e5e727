// The reception window "受信ユニット": one modeless dialog per running
// reception. It drives the engine with a 10 ms timer, which takes what the
// socket's receiving thread queued, and shows the engine's figures.
#pragma once
#include <windows.h>

#include <memory>

#include "common/files.h"
#include "common/win/dialog.h"
#include "resource.h"
#include "unit/reception.h"
#include "unit/schedule_host.h"

class Clock;
class FileSystem;

class CReceptionDlg : public DialogImpl<CReceptionDlg>, public ReceptionView {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  CReceptionDlg(const ReceptionOrder& order, FileSystem& fs, const Clock& clock);
  ~CReceptionDlg() override;
  // Creates the window and starts the reception; false when the window closed
  // itself at once (no address or storage folder).
  bool Open(HINSTANCE instance, HWND owner);
  void ShowOnTop();

  Reception& Engine() { return *reception_; }
  bool PlaceFilesOnce();

  // ReceptionView
  void SetProgramName(const std::string& text) override { SetItemText(IDC_PROGRAM_NAME, text); }
  void SetStatus(const std::string& text) override { SetItemText(IDC_STATUS, text); }
  void SetRemainingText(const std::string& text) override { SetItemText(IDC_REMAINING, text); }
  void SetSizeText(const std::string& text) override { SetItemText(IDC_SIZE_TEXT, text); }
  void SetProgressRange(int upper) override;
  void SetProgressPos(int pos) override;
  void RelabelStopButton(const std::string& text) override { SetItemText(IDC_STOP, text); }
  void Refresh() override;
  bool StartTimer() override;
  void StopTimer() override;
  void PostStopCommand() override { PostCommand(IDC_STOP); }
  // Kept for the schedule, which shows the box after its pass.
  void ShowBindError(int code) override { bindError_ = code; }
  int BindError() const { return bindError_; }

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM, LPARAM);
  INT_PTR OnClose(WPARAM, LPARAM);
  INT_PTR OnGetDefId(WPARAM, LPARAM);
  void OnStop();
  void OnHide();

  ReceptionOrder order_;
  std::unique_ptr<Reception> reception_;
  UINT_PTR timer_ = 0;
  bool started_ = false;
  bool placed_ = false;
  bool allPlaced_ = false;
  int bindError_ = 0;
};

// The schedule's handle on a reception window; dropping it closes the window.
class ReceptionWindowHandle : public ReceptionHandle {
 public:
  explicit ReceptionWindowHandle(std::unique_ptr<CReceptionDlg> dialog) : dialog_(std::move(dialog)) {}
  bool Finished() const override { return dialog_->Engine().Finished(); }
  bool CloseRequested() const override { return dialog_->Engine().CloseRequested(); }
  int Result() const override { return dialog_->Engine().Result(); }
  Time32 ReceptionStart() const override { return dialog_->Engine().ReceptionStart(); }
  Time32 ReceptionEnd() const override { return dialog_->Engine().ReceptionEnd(); }
  bool PlaceFiles() override { return dialog_->PlaceFilesOnce(); }
  int BindError() const override { return dialog_->BindError(); }
  void KeepForResume() override { dialog_->Engine().KeepForResume(); }
  CReceptionDlg& Dialog() { return *dialog_; }

 private:
  std::unique_ptr<CReceptionDlg> dialog_;
};
