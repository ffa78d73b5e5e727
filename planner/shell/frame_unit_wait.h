// The time calibration after the planner has just started the unit: the unit
// needs a moment (seconds under load) before its window exists, and the
// planner's window must keep answering meanwhile. The frame's 100 ms timer
// therefore looks for the unit's window tick by tick instead of the
// calibration sleeping on the window thread.
#pragma once
#include <cstdint>

class UnitWindowWait {
 public:
  // Looked for this many frame ticks (5 s) before the calibration is given up.
  static constexpr int kTicks = 50;

  enum class Step {
    Idle,     // no calibration waits
    Waiting,  // not there yet; asked again at the next tick
    Send,     // the window is there: the calibration command goes to it now
    GiveUp,   // the wait is over without a window
  };

  // A unit was started: the wait begins (again) from the full time.
  void Begin() { ticksLeft_ = kTicks; }
  bool Waiting() const { return ticksLeft_ > 0; }
  // One frame tick; `unitWindowThere` says whether the unit's window exists now.
  Step Tick(bool unitWindowThere);

 private:
  int ticksLeft_ = 0;
};
