#include "common/win/tray_icon.h"

#include <cwchar>

#include "common/text.h"
#include "common/win/scoped_win.h"

namespace {

// The window property that leads the hooked procedure to its icon.
constexpr wchar_t kHookProperty[] = L"lv.TrayIcon";

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

HICON LoadSmallIcon(HINSTANCE module, LPCWSTR name) {
  return static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                       GetSystemMetrics(SM_CYSMICON), LR_SHARED));
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
  if (hook_ == Hook::Subclass && SetPropW(owner_, kHookProperty, this)) {
    ownerProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayIcon::OwnerProc)));
  }
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
  if (ownerProc_) {
    if (GetWindowLongPtrW(owner_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TrayIcon::OwnerProc))
      SetWindowLongPtrW(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownerProc_));
    RemovePropW(owner_, kHookProperty);
    ownerProc_ = nullptr;
  }
  owner_ = nullptr;
  shown_ = false;
}

bool TrayIcon::OwnerMessage(UINT message, WPARAM wParam) {
  if (!owner_) return false;
  if (message == WM_TIMER && wParam == reinterpret_cast<UINT_PTR>(this)) {
    OfferUntilShown();
    return true;
  }
  if (message == TaskbarCreatedMessage() && message != 0) {
    // A new shell holds none of the old one's icons.
    shown_ = false;
    OfferUntilShown();
  } else if (message == WM_NCDESTROY) {
    // The icon does not outlive its window (the shell would keep a dead icon
    // until the mouse passes over it).
    Remove();
  }
  return false;
}

LRESULT CALLBACK TrayIcon::OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<TrayIcon*>(GetPropW(hwnd, kHookProperty));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  // Taken now: at WM_NCDESTROY the icon unhooks itself before the owner's
  // procedure sees the message.
  const WNDPROC ownerProc = self->ownerProc_;
  if (self->OwnerMessage(message, wParam)) return 0;
  return CallWindowProcW(ownerProc, hwnd, message, wParam, lParam);
}

void ShowPopupMenuAtCursor(HWND owner, const MenuItem* items, int count) {
  const ScopedMenu menu(CreatePopupMenu());
  if (!menu) return;
  for (int i = 0; i < count; ++i)
    AppendMenuW(menu.Get(), MF_STRING, items[i].id, Cp932ToWide(items[i].text).c_str());
  POINT at;
  GetCursorPos(&at);
  // The owner must be foreground, or the menu stays open after a click elsewhere.
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen) PostMessageW(owner, WM_COMMAND, chosen, 0);
}
