#include "boardlib/win/win_board_host.h"

#include <windows.h>

std::uint32_t WinLibraryHost::CurrentProcessId() { return GetCurrentProcessId(); }

bool WinLibraryHost::ProcessAlive(std::uint32_t pid) {
  if (pid == GetCurrentProcessId()) return true;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

bool WinLibraryHost::WindowAlive(std::uint64_t window) {
  return window != 0 && IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)));
}

void WinLibraryHost::Lock(SharedState& state) {
  auto* lock = reinterpret_cast<volatile LONG*>(&state.lock);
  const DWORD start = GetTickCount();
  while (InterlockedCompareExchange(lock, 1, 0) != 0) {
    if (GetTickCount() - start > 2000) {
      *lock = 1;  // its holder is gone
      return;
    }
    Sleep(0);
  }
}

void WinLibraryHost::Unlock(SharedState& state) {
  InterlockedExchange(reinterpret_cast<volatile LONG*>(&state.lock), 0);
}

std::uint32_t WinBoardClock::TickMs() { return GetTickCount(); }
void WinBoardClock::SleepMs(std::uint32_t ms) { Sleep(ms); }
