// What windows and dialogs of the framework share: the handle, the object
// stored in the window's slot, the timers taken from ranges, and the end of
// the window (destroyed, or left when the object dies first).
#pragma once
#include <windows.h>

#include "common/win/timer_ids.h"

class WindowBase {
 public:
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND Handle() const { return hwnd_; }

  // A timer with the first free id of first ... last that SetTimer accepts; 0 when none.
  UINT_PTR StartTimer(UINT_PTR first, UINT_PTR last, UINT periodMs);
  void StopTimer(UINT_PTR id);
  void StopAllTimers();
  void PostCommand(int id) { PostMessageW(hwnd_, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  void Invalidate() const {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
  }
  // Timers stop first: none fires into a window on its way out.
  void Destroy();

 protected:
  // `slot` is where the window keeps this object (GWLP_USERDATA, DWLP_USER).
  explicit WindowBase(int slot) : slot_(slot) {}
  // After the window handle is known, before its first message is dispatched.
  virtual void Attached() {}
  // The window is gone (WM_NCDESTROY): the handle is already cleared.
  virtual void Detached() {}

  static WindowBase* From(HWND hwnd, int slot) {
    return reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, slot));
  }
  void Attach(HWND hwnd);
  void DetachAtDestroy();
  // Whether the object's end destroys its window (not so while a modal loop owns it).
  void SetOwnsWindow(bool owns) { ownsWindow_ = owns; }

 private:
  HWND hwnd_ = nullptr;
  const int slot_;
  bool ownsWindow_ = true;
  TimerIds timers_;
};
