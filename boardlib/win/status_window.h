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
  void Close();  // destroys the window (unload)

  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnTimer(WPARAM, LPARAM);
  INT_PTR OnTray(WPARAM, LPARAM);
  INT_PTR OnClose(WPARAM, LPARAM);
  INT_PTR OnDestroy(WPARAM, LPARAM);
  void OnReconnect();
  void Poll();
  void TryToOwnTheIcon();
  void ReleaseTheIcon();
  void Place();
  bool Owner();

  HINSTANCE instance_;
  OvdLibrary& library_;
  StatusMonitor monitor_;
  TrayIcon tray_;
  UINT_PTR timer_ = 0;
};
