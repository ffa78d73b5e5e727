// The notification-area icon of a window (Shell_NotifyIconW, tip from cp932).
//
// The shell can lose the icon: Explorer restarts (and then broadcasts the
// registered message "TaskbarCreated"), or it is not there yet when a program
// starts early at logon. A TrayIcon therefore keeps what it shows and puts the
// icon back by itself: on "TaskbarCreated", and from a retry timer while the
// shell refuses it. By default it hooks the owner window for both (its window
// procedure, one icon per window), so the owners' own message tables need
// nothing for it. The hook is plain Win32, not comctl32's subclassing, so the
// board library does not load comctl32 for it (that load's unload would run
// inside the library's own unload).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <string>

// Icon `name` of `module` at the size the notification area shows: the
// system's small icon, which grows with the screen's dpi in a DPI-aware
// program (16 pixels at 96, 24 at 144). Shared: the system frees it with the
// module, so a caller may ask again at every change of the icon.
HICON LoadSmallIcon(HINSTANCE module, LPCWSTR name);

class TrayIcon {
 public:
  // How often an icon the shell refused is offered again.
  static constexpr UINT kRetryMs = 2000;

  // How the icon hears of a new shell and of its retry timer. An owner window
  // that may outlive the module holding this code (the board library's status
  // window, cut loose when the library is unloaded from another thread) must
  // not carry a hook into it: it passes its messages to OwnerMessage instead.
  enum class Hook { Subclass, OwnerPasses };

  // The tip is cut to tipChars characters (at most the 127 the shell holds).
  explicit TrayIcon(std::size_t tipChars = 127, Hook hook = Hook::Subclass)
      : tipChars_(tipChars < 127 ? tipChars : 127), hook_(hook) {}
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Shows the icon; true when the shell took it now. Otherwise it is offered
  // again every kRetryMs until the shell takes it or Remove is called.
  bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::string& tipCp932);
  // A new icon and tip. False when the shell does not show the icon now; the
  // new icon and tip are then the ones offered next.
  bool Modify(HICON icon, const std::string& tipCp932);
  // Takes the icon away and stops offering it.
  void Remove();
  // The shell shows the icon now.
  bool Shown() const { return shown_; }
  // The icon is wanted (Add was called, Remove not yet), shown or not.
  bool Wanted() const { return owner_ != nullptr; }
  // Every message of the owner window, with Hook::OwnerPasses. True when it
  // was the icon's own (its retry timer) and is not the owner's.
  bool OwnerMessage(UINT message, WPARAM wParam);

  // There is a notification area to ask at all (an early start may come
  // before the shell has made one).
  static bool NotificationAreaExists();

 private:
  static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // NIM_ADD; a shell that still holds the icon (a "TaskbarCreated" for other
  // reasons) answers NIM_MODIFY instead.
  bool Offer();
  void OfferUntilShown();
  void StopRetry();
  void Fill(NOTIFYICONDATAW* data, UINT flags) const;

  std::size_t tipChars_;
  Hook hook_;
  HWND owner_ = nullptr;
  UINT id_ = 0;
  UINT callbackMessage_ = 0;
  HICON icon_ = nullptr;
  std::wstring tip_;
  WNDPROC ownerProc_ = nullptr;   // the owner's own procedure while hooked
  bool shown_ = false;
  bool retrying_ = false;
};

// Shows a popup menu of (command id, cp932 text) at the cursor and posts the
// chosen command to owner.
struct MenuItem {
  UINT id;
  std::string text;
};
void ShowPopupMenuAtCursor(HWND owner, const MenuItem* items, int count);
