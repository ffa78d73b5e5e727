// The clock seam: wall time and millisecond ticks, replaceable in tests.
#pragma once
#include <cstdint>
#include <memory>
#include "time_text.h"

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Time32 Now() const = 0;             // system time, seconds since 1970 UTC
  virtual std::uint32_t TickMs() const = 0;   // millisecond tick (wraps like GetTickCount)
};

// The platform's real clock (time(), GetTickCount / CLOCK_MONOTONIC).
Clock& SystemClock();

// A clock that moves only when told to.
class ManualClock : public Clock {
 public:
  explicit ManualClock(Time32 now = 0, std::uint32_t tick = 0) : now_(now), tick_(tick) {}
  Time32 Now() const override { return now_; }
  std::uint32_t TickMs() const override { return tick_; }
  void Set(Time32 now) { now_ = now; }
  // Moves ticks by ms and the wall time by the whole seconds that passed.
  void Advance(std::uint32_t ms) {
    std::uint64_t total = subMs_ + ms;
    now_ += static_cast<Time32>(total / 1000);
    subMs_ = static_cast<std::uint32_t>(total % 1000);
    tick_ += ms;
  }

 private:
  Time32 now_;
  std::uint32_t tick_;
  std::uint32_t subMs_ = 0;
};

// Calibrated time: the clock's time plus the measured offset ("TimeError").
class CalibratedClock {
 public:
  explicit CalibratedClock(const Clock& clock, std::int32_t timeError = 0) : clock_(&clock), timeError_(timeError) {}
  Time32 Now() const { return clock_->Now() + timeError_; }
  std::uint32_t TickMs() const { return clock_->TickMs(); }
  std::int32_t TimeError() const { return timeError_; }
  void SetTimeError(std::int32_t e) { timeError_ = e; }
  const Clock& Base() const { return *clock_; }

 private:
  const Clock* clock_;
  std::int32_t timeError_;
};
