// The timers a window or dialog holds, each with the first free id of a range,
// so that the parts of one window never take each other's id.
#pragma once
#include <windows.h>

#include <set>

class TimerIds {
 public:
  // SetTimer with the first id of first ... last not held and that SetTimer
  // accepts; 0 when there is none (or no window).
  UINT_PTR Start(HWND window, UINT_PTR first, UINT_PTR last, UINT periodMs);
  void Stop(HWND window, UINT_PTR id);
  void StopAll(HWND window);
  // The window is gone and its timers with it.
  void Forget() { ids_.clear(); }

 private:
  std::set<UINT_PTR> ids_;
};
