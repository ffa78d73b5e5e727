#include "tools/carousel_recv/wait_socket.h"

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>

bool WaitReadable(std::uintptr_t handle, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(static_cast<SOCKET>(handle), &set);
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto secs = [](const FILETIME& f) {
    return ((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
  };
  return secs(kernel) + secs(user);
}

void SleepMs(int ms) { Sleep(static_cast<DWORD>(ms)); }
#else
#include <poll.h>
#include <sys/resource.h>
#include <time.h>

bool WaitReadable(std::uintptr_t handle, int ms) {
  pollfd p{static_cast<int>(handle), POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

void SleepMs(int ms) {
  timespec t{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&t, nullptr);
}
#endif
