// The system clock natively: time() and CLOCK_MONOTONIC milliseconds.
#include "common/clock.h"

#include <ctime>

namespace {

class PosixClock : public Clock {
 public:
  Time32 Now() const override { return static_cast<Time32>(std::time(nullptr)); }
  std::uint32_t TickMs() const override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u + ts.tv_nsec / 1000000);
  }
};

}  // namespace

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}
