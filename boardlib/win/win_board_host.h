// The Windows side of the library's platform needs: process and window
// liveness, the shared state's lock, ticks and sleeps, and the driver (real or
// simulated, whichever file the DLL links).
#pragma once
#include <memory>

#include "boardlib/board_port.h"
#include "boardlib/shared_state.h"

class WinLibraryHost : public LibraryHost {
 public:
  std::uint32_t CurrentProcessId() override;
  bool ProcessAlive(std::uint32_t pid) override;
  bool WindowAlive(std::uint64_t window) override;
  // A spin lock in the shared section; a holder that died is overtaken after
  // two seconds.
  void Lock(SharedState& state) override;
  void Unlock(SharedState& state) override;
};

class WinBoardClock : public BoardClock {
 public:
  std::uint32_t TickMs() override;
  void SleepMs(std::uint32_t ms) override;
};

// Defined by real_board_driver.cpp or sim_board_driver.cpp.
std::unique_ptr<BoardDriver> CreateBoardDriver();
