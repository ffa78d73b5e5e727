#include "boardlib/status_monitor.h"

#include <cstdio>

#include "common/text.h"

namespace {
// Bit 16-31 of the status flags when the tuner has locked on the carrier.
constexpr std::uint32_t kLockedPhase = 14;
// Seconds of a locked tuner without data before the state says so.
constexpr int kNoDataSeconds = 11;
}  // namespace

const std::string& StatusText(ReceptionState state) {
  switch (state) {
    case ReceptionState::Receiving: return J(u8"受信中");
    case ReceptionState::Stopped: return J(u8"受信停止中");
    case ReceptionState::Tuning: return J(u8"受信設定中");
    case ReceptionState::Scrambled: return J(u8"スクランブル");
    case ReceptionState::TuningFailed: return J(u8"受信設定失敗");
    case ReceptionState::NoData: return J(u8"未受信状態");
    case ReceptionState::BoardReleased: break;
  }
  return J(u8"ボード開放中");
}

ReceptionState StatusMonitor::DeriveState(const DriverRecord& r, const QueryFn& query) {
  const std::uint32_t flags = r.word[2];
  if (flags & 2) return ReceptionState::TuningFailed;
  if (flags & 1) return ReceptionState::Scrambled;
  if (r.word[0] == 0) return ReceptionState::Stopped;
  if ((flags >> 16) == kLockedPhase) {
    if (flags & 4) {
      DriverRecord errors;
      if (query(3, &errors)) {
        crc_ = errors.word[2];
        ts_ = errors.word[3];
      }
      noDataSeconds_ = 0;
    } else {
      ++noDataSeconds_;
    }
    return noDataSeconds_ < kNoDataSeconds ? ReceptionState::Receiving : ReceptionState::NoData;
  }
  return flags < 0x10000 ? ReceptionState::TuningFailed : ReceptionState::Tuning;
}

// The CRC and TS error counts against those of ten seconds ago; empty when
// neither moved.
std::string StatusMonitor::ErrorTextOfTenSeconds() {
  const std::uint32_t* old = errorRing_[errorPos_];
  std::string text;
  if (old[0] != crc_ || old[1] != ts_) {
    char line[96];
    std::snprintf(line, sizeof line, "Error information\r\n CRC:%d TS:%d", static_cast<int>(crc_ - old[0]),
                  static_cast<int>(ts_ - old[1]));
    text = line;
  }
  errorRing_[errorPos_][0] = crc_;
  errorRing_[errorPos_][1] = ts_;
  errorPos_ = (errorPos_ + 1) % 10;
  return text;
}

// KBytes a second, in tenths, against the counter and tick of five seconds ago.
std::string StatusMonitor::RateOfFiveSeconds(std::uint32_t tick, std::uint32_t counter) {
  const std::uint32_t oldCounter = rateRing_[ratePos_][0], oldTick = rateRing_[ratePos_][1];
  rateRing_[ratePos_][0] = counter;
  rateRing_[ratePos_][1] = tick;
  ratePos_ = (ratePos_ + 1) % 5;
  std::uint64_t tenthsPerSecond = 0;
  if (tick != oldTick && oldTick != 0) {
    tenthsPerSecond = static_cast<std::uint64_t>(counter - oldCounter) * 10000 / 1024 / (tick - oldTick);
  }
  char text[48];
  std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(tenthsPerSecond / 10),
                static_cast<int>(tenthsPerSecond % 10));
  return text;
}

// The window pops up when the reception needs attention and hides itself
// again when it recovers, unless the user closed or opened it meanwhile.
WindowAction StatusMonitor::FollowState(ReceptionState state) {
  if (state == ReceptionState::BoardReleased || state == ReceptionState::Receiving ||
      state == ReceptionState::Stopped) {
    const bool hide = latch_ && visible_;
    if (hide) visible_ = false;
    latch_ = false;
    return hide ? WindowAction::Hide : WindowAction::None;
  }
  if (visible_ || latch_) return WindowAction::None;
  visible_ = true;
  latch_ = true;
  return WindowAction::Show;
}

StatusView StatusMonitor::Tick(std::uint32_t tick, bool driverOpen, const QueryFn& query, std::uint32_t* counterBase) {
  StatusView v;
  std::uint32_t counter = previousCounter_;
  ReceptionState state = ReceptionState::BoardReleased;
  if (driverOpen) {
    DriverRecord r;
    r.word[0] = 0;
    query(2, &r);
    counter = r.word[3];
    if (*counterBase > previousCounter_) *counterBase = counter;
    previousCounter_ = counter;
    state = DeriveState(r, query);
  }
  v.errorText = ErrorTextOfTenSeconds();

  const std::uint32_t received = counter - *counterBase;
  char text[48];
  std::snprintf(text, sizeof text, "%u.%u", received / 1024, (received % 1024) * 10 / 1024);
  v.amount = text;
  v.rate = RateOfFiveSeconds(tick, counter);
  v.elapsedSeconds = (tick - createdTick_ + 500) / 1000;

  v.state = state;
  v.statusText = StatusText(state);
  v.stateChanged = !stateKnown_ || state != state_;
  stateKnown_ = true;
  state_ = state;
  v.reconnectEnabled = state == ReceptionState::Scrambled || state == ReceptionState::TuningFailed ||
                       state == ReceptionState::NoData;
  v.action = FollowState(state);
  return v;
}
