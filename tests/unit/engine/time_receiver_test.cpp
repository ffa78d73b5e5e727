// Network time: evaluation of the transmit timestamp and the receiver's rules.
#include <gtest/gtest.h>

#include <cmath>
#include "common/clock.h"
#include "common/settings.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/time_receiver.h"

using namespace enginetest;

namespace {

// An NTP datagram whose transmit time is `ahead` seconds after `now`.
std::string NtpDatagram(Time32 now, double ahead, std::size_t size = 48) {
  std::string d(48, '\0');
  d[0] = 0x25;
  double t = static_cast<double>(now) + 2208988800.0 + ahead;
  std::uint64_t whole = static_cast<std::uint64_t>(std::floor(t));
  std::uint32_t fraction = static_cast<std::uint32_t>((t - std::floor(t)) * 4294967296.0);
  std::uint32_t seconds = static_cast<std::uint32_t>(whole);
  for (int i = 0; i < 4; ++i) {
    d[40 + i] = static_cast<char>(seconds >> (24 - 8 * i));
    d[44 + i] = static_cast<char>(fraction >> (24 - 8 * i));
  }
  d.resize(size);
  return d;
}

std::int32_t Offset(Time32 now, double ahead) {
  std::string d = NtpDatagram(now, ahead);
  std::int32_t offset = 0;
  EXPECT_TRUE(EvaluateTransmitTime(reinterpret_cast<const std::uint8_t*>(d.data()), d.size(), now, &offset));
  return offset;
}

class TimeReceiverTest : public ::testing::Test {
 protected:
  void Make(std::int32_t lastError) {
    auto n = net;
    receiver.reset(new TimeReceiver(planner, clock, lastError, [n] { return std::unique_ptr<DatagramSocket>(new FakeSocket(n)); }));
    receiver->Create();
  }
  bool Stored(std::int32_t* value) {
    std::uint32_t v = 0;
    bool ok = store->ReadDword(Hive::CurrentUser, std::string(PlannerSettings::kKey) + "\\Environment", "TimeError", &v);
    *value = static_cast<std::int32_t>(v);
    return ok;
  }
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings planner{*store};
  ManualClock clock{1765000000, 0};
  std::shared_ptr<FakeNet> net = std::make_shared<FakeNet>();
  std::unique_ptr<TimeReceiver> receiver;
};

}  // namespace

TEST(NtpEvaluation, TransmitTimeRoundsOnTheFractionsTopBit) {
  const Time32 now = 1765000000;
  EXPECT_EQ(Offset(now, 3600.6), 3601);
  EXPECT_EQ(Offset(now, 3600.4), 3600);
  EXPECT_EQ(Offset(now, 0.0), 0);
  EXPECT_EQ(Offset(now, -5.7), -6);
  EXPECT_EQ(Offset(now, -5.2), -5);
  EXPECT_EQ(Offset(now, -86400.0), -86400);
}

TEST(NtpEvaluation, DatagramTooShortForTheTimestampIsNotEvaluated) {
  std::string d = NtpDatagram(100, 1.0, 44);
  std::int32_t offset = 99;
  EXPECT_FALSE(EvaluateTransmitTime(reinterpret_cast<const std::uint8_t*>(d.data()), d.size(), 100, &offset));
  EXPECT_EQ(offset, 99);
}

TEST_F(TimeReceiverTest, JoinsTheNtpGroupOnPort123) {
  Make(0);
  EXPECT_EQ(net->boundPort, 123);
  EXPECT_EQ(net->group, "224.0.1.1");
  EXPECT_FALSE(receiver->Failed());
  EXPECT_FALSE(receiver->Done());
}

TEST_F(TimeReceiverTest, FailedBindOrJoinIsDoneAtOnce) {
  net->bindOk = false;
  Make(0);
  EXPECT_TRUE(receiver->Failed());
  EXPECT_TRUE(receiver->Done());
  net = std::make_shared<FakeNet>();
  net->joinOk = false;
  Make(0);
  EXPECT_TRUE(receiver->Failed());
  EXPECT_TRUE(net->closed);
}

TEST_F(TimeReceiverTest, NewOffsetIsStoredAndReported) {
  Make(0);
  net->inbox.push_back(NtpDatagram(clock.Now(), 3600.6));
  receiver->OnDatagrams();
  EXPECT_TRUE(receiver->Done());
  EXPECT_TRUE(receiver->Changed());
  EXPECT_EQ(receiver->LastError(), 3601);
  EXPECT_EQ(receiver->Countdown(), 60);
  std::int32_t stored = 0;
  ASSERT_TRUE(Stored(&stored));
  EXPECT_EQ(stored, 3601);
}

TEST_F(TimeReceiverTest, OffsetWithinOneSecondChangesNothing) {
  Make(3600);
  net->inbox.push_back(NtpDatagram(clock.Now(), 3601.2));
  receiver->OnDatagrams();
  EXPECT_TRUE(receiver->Done());
  EXPECT_FALSE(receiver->Changed());
  EXPECT_EQ(receiver->LastError(), 3600);
  std::int32_t stored = 0;
  EXPECT_FALSE(Stored(&stored));
}

TEST_F(TimeReceiverTest, OnlyTheLastDatagramOfABurstCounts) {
  Make(0);
  net->inbox.push_back(NtpDatagram(clock.Now(), 100));
  net->inbox.push_back(NtpDatagram(clock.Now(), 200));
  net->inbox.push_back(NtpDatagram(clock.Now(), -300));
  receiver->OnDatagrams();
  EXPECT_EQ(receiver->LastError(), -300);
}

TEST_F(TimeReceiverTest, SixtyDatagramsAreSkippedBetweenEvaluations) {
  Make(0);
  net->inbox.push_back(NtpDatagram(clock.Now(), 10));
  receiver->OnDatagrams();
  ASSERT_EQ(receiver->LastError(), 10);
  for (int i = 0; i < 59; ++i) {
    net->inbox.push_back(NtpDatagram(clock.Now(), 500 + i));
    receiver->OnDatagrams();
  }
  EXPECT_EQ(receiver->LastError(), 10);
  EXPECT_EQ(receiver->Countdown(), 1);
  net->inbox.push_back(NtpDatagram(clock.Now(), 999));
  receiver->OnDatagrams();
  EXPECT_EQ(receiver->LastError(), 999);
  EXPECT_EQ(receiver->Countdown(), 60);
}

TEST_F(TimeReceiverTest, ShortDatagramIsIgnored) {
  Make(0);
  net->inbox.push_back(std::string(20, '\x7f'));
  receiver->OnDatagrams();
  EXPECT_FALSE(receiver->Done());
  EXPECT_EQ(receiver->LastError(), 0);
}

TEST_F(TimeReceiverTest, DiscardLeavesTheGroupAndClosesTheSocket) {
  Make(0);
  receiver->Discard();
  EXPECT_TRUE(net->left);
  EXPECT_TRUE(net->closed);
  EXPECT_EQ(receiver->Socket(), nullptr);
}

TEST_F(TimeReceiverTest, EmptyDatagramBeforeTheTimeIsReadPast) {
  Make(0);
  net->inbox.push_back(std::string());
  net->inbox.push_back(std::string(300, 'x'));  // longer than a time datagram: dropped
  net->inbox.push_back(NtpDatagram(clock.Now(), 42));
  receiver->OnDatagrams();
  EXPECT_TRUE(net->inbox.empty());
  EXPECT_TRUE(receiver->Done());
  EXPECT_EQ(receiver->LastError(), 42);
}
