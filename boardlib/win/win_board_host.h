// The Windows side of the library's platform needs: process and window
// liveness, the shared state's lock, ticks and sleeps, and the driver (real or
// simulated, whichever file the DLL links).
#pragma once
#include <windows.h>

#include <memory>

#include "boardlib/board_port.h"
#include "boardlib/shared_state.h"

class WinLibraryHost : public LibraryHost {
 public:
  // How processes are opened for a look (tests put a refusing one in).
  using OpenProcessFn = HANDLE(WINAPI*)(DWORD access, BOOL inherit, DWORD pid);
  explicit WinLibraryHost(OpenProcessFn openProcess = &OpenProcess) : openProcess_(openProcess) {}

  std::uint32_t CurrentProcessId() override;
  // The process's creation time in milliseconds, low 32 bits (never 0).
  std::uint32_t CurrentProcessStarted() override;
  bool ProcessAlive(std::uint32_t pid, std::uint32_t started) override;
  bool WindowAlive(std::uint64_t window) override;
  // A spin lock in the shared section; a holder that died is overtaken after
  // two seconds.
  void Lock(SharedState& state) override;
  void Unlock(SharedState& state) override;

 private:
  OpenProcessFn openProcess_;
};

class WinBoardClock : public BoardClock {
 public:
  std::uint32_t TickMs() override;
  void SleepMs(std::uint32_t ms) override;
};

// Defined by real_board_driver.cpp (the real build) or by the simulated
// card's port in tools/boardsim (the test build).
std::unique_ptr<BoardDriver> CreateBoardDriver();
