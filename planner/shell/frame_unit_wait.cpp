#include "planner/shell/frame_unit_wait.h"

UnitWindowWait::Step UnitWindowWait::Tick(bool unitWindowThere) {
  if (ticksLeft_ <= 0) return Step::Idle;
  if (unitWindowThere) {
    ticksLeft_ = 0;
    return Step::Send;
  }
  return --ticksLeft_ > 0 ? Step::Waiting : Step::GiveUp;
}
