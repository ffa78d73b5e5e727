// The state shared by every process that has the library loaded. Plain data
// only: it lives in the library's shared section. Besides the fields every
// process relies on it keeps one slot per loaded process, so that a process
// that died without unloading is found (its id no longer runs) and neither
// the count nor the tray owner nor the driver mark stays wrong.
#pragma once
#include <cstdint>

struct ProcessSlot {
  std::uint32_t pid;
  std::uint32_t reserved;
};

struct SharedState {
  static constexpr int kSlots = 64;
  volatile std::int32_t lock;      // spin lock of the platform layer
  std::int32_t processCount;
  char adapterKey[8];              // "%04d" of the adapter, empty until found
  std::int64_t deviceHandle;       // 0 closed, -1 last open failed, else open
  std::uint32_t deviceOwnerPid;    // the process whose handle is open
  std::uint32_t reserved;
  std::uint64_t trayOwner;         // status window showing the icon; 0 none
  std::uint32_t trayOwnerPid;
  std::uint32_t counterBase;       // starts at all ones
  std::uint32_t windowAddress;     // physical address of the window found first
  ProcessSlot slots[kSlots];
};

// Initial contents (the shared section starts with these).
#define OVD_SHARED_STATE_INIT {0, 0, {0}, 0, 0, 0, 0, 0, 0xFFFFFFFFu, 0, {}}

// What the library needs of the platform besides the card.
class LibraryHost {
 public:
  virtual ~LibraryHost() = default;
  virtual std::uint32_t CurrentProcessId() = 0;
  virtual bool ProcessAlive(std::uint32_t pid) = 0;
  virtual bool WindowAlive(std::uint64_t window) = 0;
  virtual void Lock(SharedState& state) = 0;
  virtual void Unlock(SharedState& state) = 0;
};
