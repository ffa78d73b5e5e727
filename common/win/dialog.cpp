#include "common/win/dialog.h"

#include "common/text.h"
#include "common/win/modal_loop.h"

Dialog::~Dialog() {
  // A dialog object that dies before its window must not be called back.
  if (hwnd_) {
    StopAllTimers();
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    if (!modal_) DestroyWindow(hwnd);
  }
}

INT_PTR Dialog::RunModal(HINSTANCE instance, int resourceId, HWND parent) {
  modal_ = true;
  ModalLoop loop;
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(resourceId), parent, &Dialog::Proc,
                         reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HINSTANCE instance, int resourceId, HWND parent) {
  modal_ = false;
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(resourceId), parent, &Dialog::Proc,
                            reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
  if (!hwnd_) return;
  StopAllTimers();
  EndDialog(hwnd_, result);
}

void Dialog::Destroy() {
  if (!hwnd_) return;
  StopAllTimers();
  DestroyWindow(hwnd_);
}

UINT_PTR Dialog::StartTimer(UINT_PTR first, UINT_PTR last, UINT periodMs) {
  return timers_.Start(hwnd_, first, last, periodMs);
}

void Dialog::StopTimer(UINT_PTR id) { timers_.Stop(hwnd_, id); }

void Dialog::StopAllTimers() { timers_.StopAll(hwnd_); }

void Dialog::SetItemText(int id, const std::string& cp932) {
  SetDlgItemTextW(hwnd_, id, Cp932ToWide(cp932).c_str());
}

void Dialog::SetTitle(const std::string& cp932) { SetWindowTextW(hwnd_, Cp932ToWide(cp932).c_str()); }

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    self->Attached();
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  const bool handled = self->Dispatch(message, wParam, lParam, &result);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->timers_.Forget();
    self->hwnd_ = nullptr;
    self->Detached();
  }
  return handled ? result : FALSE;
}

std::string LoadCp932String(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return std::string();
  return WideToCp932(std::wstring(text, static_cast<std::size_t>(length)));
}
