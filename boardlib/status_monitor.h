// What the status window shows, computed once a second from the driver's
// reception status: the state and its text, the received amount counted from
// the shared counter base, the transfer rate over five seconds, the error
// differences over ten seconds, and when the window pops up or hides itself.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "boardlib/board_port.h"

enum class WindowAction { None, Show, Hide };

struct StatusView {
  int state = 0;
  std::string statusText;  // cp932
  std::string amount;      // "%u.%u" KBytes
  std::string rate;        // "%d.%d" KBytes/Sec
  std::string errorText;   // empty, or the CRC and TS differences
  std::uint32_t elapsedSeconds = 0;
  bool reconnectEnabled = false;
  bool stateChanged = false;
  WindowAction action = WindowAction::None;
};

// The state's text (cp932).
const std::string& StatusText(int state);

class StatusMonitor {
 public:
  using QueryFn = std::function<bool(std::uint32_t selector, DriverRecord* record)>;
  explicit StatusMonitor(std::uint32_t createdTick) : createdTick_(createdTick) {}

  // One second of the owner's window: driverOpen tells whether the driver is
  // open; counterBase is the shared base.
  StatusView Tick(std::uint32_t tick, bool driverOpen, const QueryFn& query, std::uint32_t* counterBase);
  // The user closed the window (hidden, latch set) or opened it from the icon.
  void UserClosed() { visible_ = false; latch_ = true; }
  void UserShown() { visible_ = true; latch_ = false; }
  bool Visible() const { return visible_; }

 private:
  int DeriveState(const DriverRecord& status, const QueryFn& query);

  std::uint32_t createdTick_;
  std::uint32_t previousCounter_ = 0;
  int state_ = -1;
  int noDataSeconds_ = 0;
  std::uint32_t crc_ = 0, ts_ = 0;  // last selector-3 counts
  std::uint32_t errorRing_[10][2] = {};
  int errorPos_ = 0;
  std::uint32_t rateRing_[5][2] = {};  // counter, tick
  int ratePos_ = 0;
  bool visible_ = false;
  bool latch_ = true;
};
