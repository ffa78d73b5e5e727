#include "boardlib/status_monitor.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace {
// A driver whose selector-2 and selector-3 answers the test sets.
struct FakeStatus {
  DriverRecord status, errors;
  int errorQueries = 0;
  StatusMonitor::QueryFn Fn() {
    return [this](std::uint32_t selector, DriverRecord* r) {
      if (selector == 2) {
        *r = status;
        return true;
      }
      if (selector == 3) {
        ++errorQueries;
        *r = errors;
        return true;
      }
      return false;
    };
  }
};

struct StateCase {
  const char* name;
  std::uint32_t active, flags;
  ReceptionState state;
  const char* text;
};
const StateCase kStates[] = {
    {"flags bit 1", 1, 0x000E0002, ReceptionState::TuningFailed, u8"受信設定失敗"},
    {"flags bit 0", 1, 0x000E0001, ReceptionState::Scrambled, u8"スクランブル"},
    {"not active", 0, 0x000E0004, ReceptionState::Stopped, u8"受信停止中"},
    {"receiving", 1, 0x000E0004, ReceptionState::Receiving, u8"受信中"},
    {"other high half", 1, 0x000D0000, ReceptionState::Tuning, u8"受信設定中"},
    {"no high half", 1, 0x00000008, ReceptionState::TuningFailed, u8"受信設定失敗"},
};

TEST(StatusMonitor, StateTable) {
  for (const auto& c : kStates) {
    StatusMonitor m(0);
    FakeStatus driver;
    driver.status.word[0] = c.active;
    driver.status.word[2] = c.flags;
    std::uint32_t base = 0xFFFFFFFFu;
    StatusView v = m.Tick(1000, true, driver.Fn(), &base);
    EXPECT_EQ(v.state, c.state) << c.name;
    EXPECT_EQ(v.statusText, J(c.text)) << c.name;
    EXPECT_EQ(v.reconnectEnabled, static_cast<int>(c.state) >= 4) << c.name;
  }
  StatusMonitor closed(0);
  FakeStatus driver;
  std::uint32_t base = 0xFFFFFFFFu;
  StatusView v = closed.Tick(1000, false, driver.Fn(), &base);
  EXPECT_EQ(v.state, ReceptionState::BoardReleased);
  EXPECT_EQ(v.statusText, J(u8"ボード開放中"));
}

TEST(StatusMonitor, ElevenSecondsWithoutDataIsNotReceiving) {
  StatusMonitor m(0);
  FakeStatus driver;
  driver.status.word[0] = 1;
  driver.status.word[2] = 0x000E0000;
  std::uint32_t base = 0xFFFFFFFFu;
  for (int s = 1; s <= 10; ++s) EXPECT_EQ(m.Tick(s * 1000, true, driver.Fn(), &base).state, ReceptionState::Receiving) << s;
  EXPECT_EQ(m.Tick(11000, true, driver.Fn(), &base).state, ReceptionState::NoData);
  driver.status.word[2] = 0x000E0004;
  EXPECT_EQ(m.Tick(12000, true, driver.Fn(), &base).state, ReceptionState::Receiving);
  EXPECT_EQ(driver.errorQueries, 1);
}

TEST(StatusMonitor, CounterBaseFollowsTheCounterOneSecondLater) {
  StatusMonitor m(0);
  FakeStatus driver;
  driver.status.word[0] = 1;
  driver.status.word[2] = 0x000E0004;
  std::uint32_t base = 0xFFFFFFFFu;
  driver.status.word[3] = 10240;
  EXPECT_EQ(m.Tick(1000, true, driver.Fn(), &base).amount, "0.0") << "counts from the first reading";
  EXPECT_EQ(base, 10240u);
  driver.status.word[3] = 10240 + 1536;
  EXPECT_EQ(m.Tick(2000, true, driver.Fn(), &base).amount, "1.5");
  driver.status.word[3] = 512;  // the driver's counter restarted
  m.Tick(3000, true, driver.Fn(), &base);
  EXPECT_EQ(base, 10240u) << "not yet";
  driver.status.word[3] = 1024;
  const StatusView v = m.Tick(4000, true, driver.Fn(), &base);
  EXPECT_EQ(base, 1024u);
  EXPECT_EQ(v.amount, "0.0");
}

TEST(StatusMonitor, RateOverFiveSecondsAndElapsed) {
  StatusMonitor m(500);
  FakeStatus driver;
  driver.status.word[0] = 1;
  driver.status.word[2] = 0x000E0004;
  std::uint32_t base = 0xFFFFFFFFu;
  StatusView v;
  for (int s = 1; s <= 6; ++s) {
    driver.status.word[3] = static_cast<std::uint32_t>(s) * 2048;
    v = m.Tick(500 + s * 1000, true, driver.Fn(), &base);
  }
  EXPECT_EQ(v.rate, "2.0");
  EXPECT_EQ(v.elapsedSeconds, 6u);
  EXPECT_EQ(v.amount, "10.0");
}

TEST(StatusMonitor, ErrorTextShowsTheDifferencesOverTenSeconds) {
  StatusMonitor m(0);
  FakeStatus driver;
  driver.status.word[0] = 1;
  driver.status.word[2] = 0x000E0004;
  std::uint32_t base = 0xFFFFFFFFu;
  EXPECT_EQ(m.Tick(1000, true, driver.Fn(), &base).errorText, "");
  driver.errors.word[2] = 3;
  driver.errors.word[3] = 1;
  EXPECT_EQ(m.Tick(2000, true, driver.Fn(), &base).errorText, "Error information\r\n CRC:3 TS:1");
  StatusView v;
  for (int s = 3; s <= 11; ++s) v = m.Tick(s * 1000, true, driver.Fn(), &base);
  EXPECT_EQ(v.errorText, "Error information\r\n CRC:3 TS:1");
  v = m.Tick(12000, true, driver.Fn(), &base);
  EXPECT_EQ(v.errorText, "") << "no new errors in the last ten seconds";
}

TEST(StatusMonitor, ProblemsPopTheWindowUpOnlyAfterAGoodState) {
  StatusMonitor m(0);
  FakeStatus driver;
  std::uint32_t base = 0xFFFFFFFFu;
  driver.status.word[0] = 1;
  driver.status.word[2] = 0x000E0001;  // scrambled from the start: latch holds it hidden
  EXPECT_EQ(m.Tick(1000, true, driver.Fn(), &base).action, WindowAction::None);
  driver.status.word[2] = 0x000E0004;
  EXPECT_EQ(m.Tick(2000, true, driver.Fn(), &base).action, WindowAction::None);
  driver.status.word[2] = 0x000E0001;
  EXPECT_EQ(m.Tick(3000, true, driver.Fn(), &base).action, WindowAction::Show);
  EXPECT_EQ(m.Tick(4000, true, driver.Fn(), &base).action, WindowAction::None);
  driver.status.word[2] = 0x000E0004;
  EXPECT_EQ(m.Tick(5000, true, driver.Fn(), &base).action, WindowAction::Hide);
  // Closed by the user while a problem shows: it stays hidden until a good state.
  driver.status.word[2] = 0x000E0001;
  EXPECT_EQ(m.Tick(6000, true, driver.Fn(), &base).action, WindowAction::Show);
  m.UserClosed();
  EXPECT_EQ(m.Tick(7000, true, driver.Fn(), &base).action, WindowAction::None);
  // Opened by the user: a good state does not hide it.
  m.UserShown();
  driver.status.word[2] = 0x000E0004;
  EXPECT_EQ(m.Tick(8000, true, driver.Fn(), &base).action, WindowAction::None);
  EXPECT_TRUE(m.Visible());
}
}  // namespace
