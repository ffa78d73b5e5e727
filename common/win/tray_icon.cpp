#include "common/win/tray_icon.h"

#include <commctrl.h>

#include <cwchar>

#include "common/text.h"

namespace {

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

bool TrayIcon::NotificationAreaExists() { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

void TrayIcon::Fill(NOTIFYICONDATAW* data, UINT flags) const {
  *data = {};
  data->cbSize = sizeof *data;
  data->hWnd = owner_;
  data->uID = id_;
  data->uFlags = flags;
  data->uCallbackMessage = callbackMessage_;
  data->hIcon = icon_;
  // The NOTIFYICONDATAW tip holds 128 characters with its end; tipChars_ <= 127.
  std::wcsncpy(data->szTip, tip_.c_str(), tipChars_);
  data->szTip[tipChars_] = L'\0';
}

bool TrayIcon::Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::string& tipCp932) {
  Remove();
  if (!owner) return false;
  owner_ = owner;
  id_ = id;
  callbackMessage_ = callbackMessage;
  icon_ = icon;
  tip_ = Cp932ToWide(tipCp932);
  TaskbarCreatedMessage();
  SetWindowSubclass(owner_, &TrayIcon::Hook, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
  OfferUntilShown();
  return shown_;
}

bool TrayIcon::Offer() {
  NOTIFYICONDATAW data;
  Fill(&data, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  shown_ = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
  return shown_;
}

void TrayIcon::OfferUntilShown() {
  if (Offer()) {
    StopRetry();
    return;
  }
  if (!retrying_) retrying_ = SetTimer(owner_, reinterpret_cast<UINT_PTR>(this), kRetryMs, nullptr) != 0;
}

void TrayIcon::StopRetry() {
  if (retrying_) KillTimer(owner_, reinterpret_cast<UINT_PTR>(this));
  retrying_ = false;
}

bool TrayIcon::Modify(HICON icon, const std::string& tipCp932) {
  if (!owner_) return false;
  icon_ = icon;
  tip_ = Cp932ToWide(tipCp932);
  if (!shown_) return false;
  NOTIFYICONDATAW data;
  Fill(&data, NIF_ICON | NIF_TIP);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void TrayIcon::Remove() {
  if (!owner_) return;
  StopRetry();
  if (shown_) {
    NOTIFYICONDATAW data;
    Fill(&data, 0);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  RemoveWindowSubclass(owner_, &TrayIcon::Hook, reinterpret_cast<UINT_PTR>(this));
  owner_ = nullptr;
  shown_ = false;
}

LRESULT CALLBACK TrayIcon::Hook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TrayIcon*>(data);
  if (message == WM_TIMER && wParam == reinterpret_cast<UINT_PTR>(self)) {
    self->OfferUntilShown();
    return 0;
  }
  if (message == TaskbarCreatedMessage() && message != 0) {
    // A new shell holds none of the old one's icons.
    self->shown_ = false;
    self->OfferUntilShown();
  } else if (message == WM_NCDESTROY) {
    // The icon does not outlive its window (the shell would keep a dead icon
    // until the mouse passes over it).
    self->Remove();
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
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
