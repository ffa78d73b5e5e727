#include "common/win/tray_icon.h"

#include <shellapi.h>

#include <cwchar>

#include "common/text.h"

bool TrayIcon::Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::string& tipCp932) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = id;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  SetTip(data.szTip, tipCp932);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  owner_ = owner;
  id_ = id;
  return true;
}

bool TrayIcon::Modify(HICON icon, const std::string& tipCp932) {
  if (!owner_) return false;
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = id_;
  data.uFlags = NIF_ICON | NIF_TIP;
  data.hIcon = icon;
  SetTip(data.szTip, tipCp932);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TrayIcon::SetTip(wchar_t* tip, const std::string& tipCp932) const {
  // The NOTIFYICONDATAW tip holds 128 characters with its end; tipChars_ <= 127.
  std::wcsncpy(tip, Cp932ToWide(tipCp932).c_str(), tipChars_);
  tip[tipChars_] = L'\0';
}

void TrayIcon::Remove() {
  if (!owner_) return;
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = id_;
  Shell_NotifyIconW(NIM_DELETE, &data);
  owner_ = nullptr;
}

void ShowPopupMenuAtCursor(HWND owner, const MenuItem* items, int count) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (int i = 0; i < count; ++i)
    AppendMenuW(menu, MF_STRING, items[i].id, Cp932ToWide(items[i].text).c_str());
  POINT at;
  GetCursorPos(&at);
  // The owner must be foreground, or the menu stays open after a click elsewhere.
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen) PostMessageW(owner, WM_COMMAND, chosen, 0);
}
