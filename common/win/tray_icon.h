// The notification-area icon of a window (Shell_NotifyIconW, tip from cp932).
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

class TrayIcon {
 public:
  // The tip is cut to tipChars characters (at most the 127 the shell holds).
  explicit TrayIcon(std::size_t tipChars = 127) : tipChars_(tipChars < 127 ? tipChars : 127) {}
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::string& tipCp932);
  // A new icon and tip for the shown icon; false when it is not shown or the shell refused.
  bool Modify(HICON icon, const std::string& tipCp932);
  void Remove();
  bool Shown() const { return owner_ != nullptr; }

 private:
  void SetTip(wchar_t* tip, const std::string& tipCp932) const;
  std::size_t tipChars_;
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
