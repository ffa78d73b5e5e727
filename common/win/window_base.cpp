#include "common/win/window_base.h"

WindowBase::~WindowBase() {
  // An object that dies before its window must not be called back.
  if (!hwnd_) return;
  StopAllTimers();
  SetWindowLongPtrW(hwnd_, slot_, 0);
  HWND hwnd = hwnd_;
  hwnd_ = nullptr;
  if (ownsWindow_) DestroyWindow(hwnd);
}

UINT_PTR WindowBase::StartTimer(UINT_PTR first, UINT_PTR last, UINT periodMs) {
  return timers_.Start(hwnd_, first, last, periodMs);
}

void WindowBase::StopTimer(UINT_PTR id) { timers_.Stop(hwnd_, id); }

void WindowBase::StopAllTimers() { timers_.StopAll(hwnd_); }

void WindowBase::Destroy() {
  if (!hwnd_) return;
  StopAllTimers();
  DestroyWindow(hwnd_);
}

void WindowBase::Attach(HWND hwnd) {
  SetWindowLongPtrW(hwnd, slot_, reinterpret_cast<LONG_PTR>(this));
  hwnd_ = hwnd;
  Attached();
}

void WindowBase::DetachAtDestroy() {
  SetWindowLongPtrW(hwnd_, slot_, 0);
  timers_.Forget();
  hwnd_ = nullptr;
  Detached();
}
