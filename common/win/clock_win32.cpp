// The system clock on Windows: time() and GetTickCount.
#include "common/clock.h"

#include <windows.h>

#include <ctime>

namespace {

class Win32Clock : public Clock {
 public:
  Time32 Now() const override { return static_cast<Time32>(std::time(nullptr)); }
  std::uint32_t TickMs() const override { return GetTickCount(); }
};

}  // namespace

Clock& SystemClock() {
  static Win32Clock clock;
  return clock;
}
