#include "common/win/timer_ids.h"

UINT_PTR TimerIds::Start(HWND window, UINT_PTR first, UINT_PTR last, UINT periodMs) {
  if (!window) return 0;
  for (UINT_PTR id = first; id <= last && id >= first; ++id) {
    if (ids_.count(id)) continue;
    if (!SetTimer(window, id, periodMs, nullptr)) continue;
    ids_.insert(id);
    return id;
  }
  return 0;
}

void TimerIds::Stop(HWND window, UINT_PTR id) {
  if (!ids_.erase(id)) return;
  if (window) KillTimer(window, id);
}

void TimerIds::StopAll(HWND window) {
  if (window) {
    for (UINT_PTR id : ids_) KillTimer(window, id);
  }
  ids_.clear();
}
