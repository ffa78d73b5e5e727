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

// The reception states in the order of their numbers, which the window and
// the board's status texts use.
enum class ReceptionState {
  BoardReleased = 0,  // the driver is not open
  Receiving = 1,
  Stopped = 2,        // not active
  Tuning = 3,         // the tuner has not locked yet
  Scrambled = 4,
  TuningFailed = 5,
  NoData = 6,         // locked, but nothing has arrived for ten seconds
};

struct StatusView {
  ReceptionState state = ReceptionState::BoardReleased;
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
const std::string& StatusText(ReceptionState state);

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
  ReceptionState DeriveState(const DriverRecord& status, const QueryFn& query);
  std::string ErrorTextOfTenSeconds();
  std::string RateOfFiveSeconds(std::uint32_t tick, std::uint32_t counter);
  WindowAction FollowState(ReceptionState state);

  std::uint32_t createdTick_;
  std::uint32_t previousCounter_ = 0;
  bool stateKnown_ = false;  // no tick yet: the first one always reports a change
  ReceptionState state_ = ReceptionState::BoardReleased;
  int noDataSeconds_ = 0;
  std::uint32_t crc_ = 0, ts_ = 0;  // last selector-3 counts
  std::uint32_t errorRing_[10][2] = {};
  int errorPos_ = 0;
  std::uint32_t rateRing_[5][2] = {};  // counter, tick
  int ratePos_ = 0;
  bool visible_ = false;
  bool latch_ = true;
};
