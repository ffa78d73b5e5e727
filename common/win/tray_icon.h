// The notification-area icon of a window (Shell_NotifyIconW, tip from cp932).
#pragma once
#include <windows.h>

#include <string>

class TrayIcon {
 public:
  ~TrayIcon() { Remove(); }
  bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::string& tipCp932);
  void Remove();
  bool Shown() const { return owner_ != nullptr; }

 private:
  HWND owner_ = nullptr;
  UINT id_ = 0;
};

// Shows a popup menu of (command id, cp932 text) at the cursor and posts the
// chosen command to owner.
struct MenuItem {
  UINT id;
  std::string text;
};
void ShowPopupMenuAtCursor(HWND owner, const MenuItem* items, int count);
