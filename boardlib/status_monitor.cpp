#include "boardlib/status_monitor.h"

#include <cstdio>

#include "common/text.h"

const std::string& StatusText(int state) {
  switch (state) {
    case 1: return J(u8"受信中");
    case 2: return J(u8"受信停止中");
    case 3: return J(u8"受信設定中");
    case 4: return J(u8"スクランブル");
    case 5: return J(u8"受信設定失敗");
    case 6: return J(u8"未受信状態");
    default: return J(u8"ボード開放中");
  }
}

int StatusMonitor::DeriveState(const DriverRecord& r, const QueryFn& query) {
  const std::uint32_t flags = r.word[2];
  if (flags & 2) return 5;
  if (flags & 1) return 4;
  if (r.word[0] == 0) return 2;
  if ((flags >> 16) == 14) {
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
    return noDataSeconds_ < 11 ? 1 : 6;
  }
  return flags < 0x10000 ? 5 : 3;
}

StatusView StatusMonitor::Tick(std::uint32_t tick, bool driverOpen, const QueryFn& query, std::uint32_t* counterBase) {
  StatusView v;
  std::uint32_t counter = previousCounter_;
  int state = 0;
  if (driverOpen) {
    DriverRecord r;
    r.word[0] = 0;
    query(2, &r);
    counter = r.word[3];
    if (*counterBase > previousCounter_) *counterBase = counter;
    previousCounter_ = counter;
    state = DeriveState(r, query);
  }

  // Errors over the last ten seconds.
  const std::uint32_t* old = errorRing_[errorPos_];
  const bool unchanged = old[0] == crc_ && old[1] == ts_;
  char text[96];
  if (unchanged) {
    v.errorText.clear();
  } else {
    std::snprintf(text, sizeof text, "Error information\r\n CRC:%d TS:%d", static_cast<int>(crc_ - old[0]),
                  static_cast<int>(ts_ - old[1]));
    v.errorText = text;
  }
  errorRing_[errorPos_][0] = crc_;
  errorRing_[errorPos_][1] = ts_;
  errorPos_ = (errorPos_ + 1) % 10;

  const std::uint32_t received = counter - *counterBase;
  std::snprintf(text, sizeof text, "%u.%u", received / 1024, (received % 1024) * 10 / 1024);
  v.amount = text;

  // Rate against the pair of five seconds ago.
  const std::uint32_t oldCounter = rateRing_[ratePos_][0], oldTick = rateRing_[ratePos_][1];
  rateRing_[ratePos_][0] = counter;
  rateRing_[ratePos_][1] = tick;
  ratePos_ = (ratePos_ + 1) % 5;
  std::uint64_t tenthsPerSecond = 0;
  if (tick != oldTick && oldTick != 0) {
    tenthsPerSecond = static_cast<std::uint64_t>(counter - oldCounter) * 10000 / 1024 / (tick - oldTick);
  }
  std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(tenthsPerSecond / 10), static_cast<int>(tenthsPerSecond % 10));
  v.rate = text;
  v.elapsedSeconds = (tick - createdTick_ + 500) / 1000;

  v.state = state;
  v.statusText = StatusText(state);
  v.stateChanged = state != state_;
  state_ = state;
  v.reconnectEnabled = state >= 4 && state <= 6;

  if (state <= 2) {
    if (latch_ && visible_) {
      visible_ = false;
      v.action = WindowAction::Hide;
    }
    latch_ = false;
  } else if (!visible_ && !latch_) {
    visible_ = true;
    latch_ = true;
    v.action = WindowAction::Show;
  }
  return v;
}
