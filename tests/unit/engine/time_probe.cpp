// time-probe.exe: runs the time receiver with the real registry until it has
// evaluated a datagram, for the end-to-end test of network time under Wine.
//   time-probe [SECONDS]   exit 0 when a time was evaluated, 1 when none came,
//                          3 when port 123 or the group could not be had.
#include <cstdio>
#include <cstdlib>
#include "common/clock.h"
#include "common/settings.h"
#include "common/sockets.h"
#include "tools/carousel_recv/wait_socket.h"
#include "unit/time_receiver.h"

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  if (!InitSockets()) return 3;
  std::unique_ptr<Settings> store = CreatePlatformSettings();
  PlannerSettings planner(*store);
  std::int32_t known = planner.Int("Environment", "TimeError", 0);
  TimeReceiver receiver(planner, SystemClock(), known);
  receiver.Create();
  if (receiver.Failed()) {
    std::fprintf(stderr, "time-probe: cannot listen on 224.0.1.1:123\n");
    return 3;
  }
  std::fprintf(stderr, "time-probe: listening\n");
  std::uint32_t end = SystemClock().TickMs() + static_cast<std::uint32_t>(seconds) * 1000u;
  while (!receiver.Done() && static_cast<std::int32_t>(end - SystemClock().TickMs()) > 0) {
    if (WaitReadable(receiver.Socket()->Handle(), 50)) receiver.OnDatagrams();
  }
  std::printf("done %d changed %d offset %d\n", receiver.Done() ? 1 : 0, receiver.Changed() ? 1 : 0,
              static_cast<int>(receiver.LastError()));
  return receiver.Done() ? 0 : 1;
}
