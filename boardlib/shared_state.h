// The state shared by every process that has the library loaded. Plain data
// only: it lives in the library's shared section. Besides the fields every
// process relies on it keeps one slot per loaded process, so that a process
// that died without unloading is found (its id no longer runs, or runs a later
// process started at another time) and neither the count nor the tray owner
// nor the driver mark stays wrong.
#pragma once
#include <cstdint>

struct ProcessSlot {
  std::uint32_t pid;
  std::uint32_t started;           // start stamp of that process; 0 not known
};

struct SharedState {
  static constexpr int kSlots = 64;
  volatile std::int32_t lock;      // spin lock of the platform layer
  std::int32_t processCount;
  char adapterKey[8];              // "%04d" of the adapter, empty until found
  std::int64_t deviceHandle;       // 0 closed, -1 last open failed, else open
  std::uint32_t deviceOwnerPid;    // the process whose handle is open
  std::uint32_t deviceOwnerStarted;  // and its start stamp
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
  // A stamp of when this process started (0 when it cannot be had). Ids are
  // reused: the id and the stamp together name one process.
  virtual std::uint32_t CurrentProcessStarted() = 0;
  // Whether the process with this id, started at this stamp (0: any start),
  // still runs. Only proof that it is gone answers false: a process this user
  // may not look at (an elevated one) counts as running.
  virtual bool ProcessAlive(std::uint32_t pid, std::uint32_t started) = 0;
  virtual bool WindowAlive(std::uint64_t window) = 0;
  virtual void Lock(SharedState& state) = 0;
  virtual void Unlock(SharedState& state) = 0;
};
