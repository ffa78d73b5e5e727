// The board status window "ソラネクボード情報" of one process: hidden at first,
// polled once a second by the process that shows the tray icon; the icon
// moves to another process's window when its owner goes.
#pragma once
#include <windows.h>

#include "boardlib/status_monitor.h"
#include "common/win/dialog.h"
#include "common/win/tray_icon.h"

class OvdLibrary;

class StatusWindow : public DialogImpl<StatusWindow> {
 public:
  StatusWindow(HINSTANCE instance, OvdLibrary& library);
  ~StatusWindow() override;
  bool Create();
  void Close();  // destroys the window (unload on its own thread)
  // Unload may run on any thread of the host, but the window belongs to the
  // thread that loaded the library: there it is destroyed (asked by a sent
  // message when unload runs elsewhere). When that thread does not answer, or
  // the process is ending, the window is cut loose instead: nothing of the
  // library is called from it again and it stays hidden until its thread ends.
  // False then: this object must outlive the library (the window still names it).
  bool CloseOnUnload(bool processEnding);

  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

 protected:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM, LPARAM);
  INT_PTR OnTray(WPARAM, LPARAM);
  INT_PTR OnClose(WPARAM, LPARAM);
  INT_PTR OnDestroy(WPARAM, LPARAM);
  INT_PTR OnDestroyRequest(WPARAM, LPARAM);
  void OnReconnect();
  void Poll();
  void TryToOwnTheIcon();
  void ReleaseTheIcon();
  void Place();
  bool Owner();

  HINSTANCE instance_;
  OvdLibrary& library_;
  StatusMonitor monitor_;
  // No hook of this library's code may stay on a window that is cut loose.
  TrayIcon tray_{127, TrayIcon::Hook::OwnerPasses};
  UINT_PTR timer_ = 0;
};
