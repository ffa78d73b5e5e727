#include "boardlib/win/win_board_host.h"

#include <windows.h>

#include "boardlib/win/spin_lock.h"
#include "common/win/scoped_win.h"

namespace {
std::uint32_t StartStamp(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  const ULONGLONG ms = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32 | created.dwLowDateTime) / 10000;
  const auto stamp = static_cast<std::uint32_t>(ms);
  return stamp ? stamp : 1;
}

bool StillRunning(HANDLE process) {
  const DWORD waited = WaitForSingleObject(process, 0);
  if (waited != WAIT_FAILED) return waited == WAIT_TIMEOUT;
  // A handle that may only look: the exit code tells.
  DWORD code = 0;
  return !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
}
}  // namespace

std::uint32_t WinLibraryHost::CurrentProcessId() { return GetCurrentProcessId(); }

std::uint32_t WinLibraryHost::CurrentProcessStarted() { return StartStamp(GetCurrentProcess()); }

bool WinLibraryHost::ProcessAlive(std::uint32_t pid, std::uint32_t started) {
  if (pid == GetCurrentProcessId()) return started == 0 || started == CurrentProcessStarted();
  ScopedHandle process(openProcess_(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  // A process of another user or of a higher integrity level may refuse the
  // wait and still allow a look.
  if (!process && GetLastError() == ERROR_ACCESS_DENIED)
    process.Reset(openProcess_(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  // Only "no such process" proves it gone; one this user may not look at runs.
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  bool alive = StillRunning(process.Get());
  if (alive && started != 0) {
    const std::uint32_t stamp = StartStamp(process.Get());
    if (stamp != 0 && stamp != started) alive = false;  // the id was given to a later process
  }
  return alive;
}

bool WinLibraryHost::WindowAlive(std::uint64_t window) {
  return window != 0 && IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)));
}

void WinLibraryHost::Lock(SharedState& state) { spin_lock::Acquire(spin_lock::AsLockWord(&state.lock)); }

void WinLibraryHost::Unlock(SharedState& state) { spin_lock::Release(spin_lock::AsLockWord(&state.lock)); }

std::uint32_t WinBoardClock::TickMs() { return GetTickCount(); }
void WinBoardClock::SleepMs(std::uint32_t ms) { Sleep(ms); }
