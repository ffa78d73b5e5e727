// Dialogs of the programs: each class lists the window messages and command ids
// it handles in two static tables, ended by a zero entry:
//
//   const CMainDlg::MessageEntry CMainDlg::kMessages[] = {{WM_TIMER, &CMainDlg::OnTimer}, {0, nullptr}};
//   const CMainDlg::CommandEntry CMainDlg::kCommands[] = {{1004, &CMainDlg::OnRescan}, {0, nullptr}};
//
// and derives from DialogImpl<CMainDlg>. Texts are cp932 and reach the W calls
// converted with code page 932.
#pragma once
#include <windows.h>

#include <string>

#include "common/win/message_table.h"
#include "common/win/timer_ids.h"

class Dialog {
 public:
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  INT_PTR RunModal(HINSTANCE instance, int resourceId, HWND parent);
  HWND CreateModeless(HINSTANCE instance, int resourceId, HWND parent);
  void End(INT_PTR result);          // modal dialogs
  void Destroy();                     // modeless dialogs
  HWND Handle() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  // A timer with the first free id of first ... last; 0 when every id is taken.
  UINT_PTR StartTimer(UINT_PTR first, UINT_PTR last, UINT periodMs);
  void StopTimer(UINT_PTR id);
  void StopAllTimers();

  void SetItemText(int id, const std::string& cp932);
  void SetTitle(const std::string& cp932);
  void PostCommand(int id) { PostMessageW(hwnd_, WM_COMMAND, static_cast<WPARAM>(id), 0); }

 protected:
  Dialog() = default;
  // From the class's tables; false when the message is not the class's.
  virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) = 0;
  // After the window handle is known, before WM_INITDIALOG is dispatched.
  virtual void Attached() {}
  // The window is gone (WM_NCDESTROY): the handle is cleared.
  virtual void Detached() {}

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  TimerIds timers_;
};

template <class T>
class DialogImpl : public Dialog {
 public:
  // Handlers return the dialog procedure's result (TRUE: handled).
  using MessageEntry = typename MessageTable<T, INT_PTR>::MessageEntry;
  using CommandEntry = typename MessageTable<T, INT_PTR>::CommandEntry;

 protected:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
    return MessageTable<T, INT_PTR>::Dispatch(*static_cast<T*>(this), T::kMessages, T::kCommands, message, wParam,
                                              lParam, TRUE, result);
  }
};

// A string of the program's string table, as cp932.
std::string LoadCp932String(HINSTANCE instance, UINT id);
