// The clock in the frame's top strip: the calibrated time (system time plus
// the planner's TimeError) as hours, minutes and seconds, drawn through a
// memory bitmap and repainted on every tick it is given.
#pragma once
#include <windows.h>

#include <cstdint>
#include "common/win/window.h"

class CClockWindow : public WindowImpl<CClockWindow> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool CreateClock(HINSTANCE instance, HWND parent, std::int32_t timeError);
  void SetTimeError(std::int32_t timeError);
  // Repaints when the shown second changed.
  void Tick();

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return 1; }
  void OnPlaceA();
  void OnPlaceB();

  std::int32_t timeError_ = 0;
  long long shown_ = -1;
  bool rightAligned_ = true;
};
