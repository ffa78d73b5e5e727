#include "selector/announce_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/clock.h"

namespace {

// The worker reads the tick from its own thread.
class TestClock : public Clock {
 public:
  Time32 Now() const override { return 0; }
  std::uint32_t TickMs() const override { return tick_.load(); }
  void Advance(std::uint32_t ms) { tick_ += ms; }
  void Set(std::uint32_t t) { tick_ = t; }

 private:
  std::atomic<std::uint32_t> tick_{1000};
};

struct StatusCase {
  std::uint32_t now, start;
  bool received;
  std::uint32_t last;
  ListenerStatus status;
};

TEST(ListenerStatusRule, ThirtySecondsDecide) {
  const StatusCase cases[] = {
      {0, 0, false, 0, ListenerStatus::Waiting},
      {29999, 0, false, 0, ListenerStatus::Waiting},
      {30000, 0, false, 0, ListenerStatus::Silent},
      {40000, 0, true, 10001, ListenerStatus::Receiving},
      {40000, 0, true, 10000, ListenerStatus::Silent},
      {5000, 0, true, 4000, ListenerStatus::Receiving},
      // ticks wrap after 49 days
      {100, 0xFFFFF000u, true, 0xFFFFFF00u, ListenerStatus::Receiving},
      {100, 0xFFFFF000u, false, 0, ListenerStatus::Waiting},
  };
  for (const StatusCase& c : cases)
    EXPECT_EQ(ComputeListenerStatus(c.now, c.start, c.received, c.last), c.status) << c.now << " " << c.last;
}

std::uint32_t Loopback() { return htonl(INADDR_LOOPBACK); }

bool HasMulticastRoute() {
  // The test network (scripts/test's namespace) routes 224/4 over loopback.
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  ip_mreq r{};
  inet_pton(AF_INET, "239.255.77.1", &r.imr_multiaddr);
  r.imr_interface.s_addr = Loopback();
  const bool ok = setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &r, sizeof r) == 0;
  close(fd);
  return ok;
}

void SendTo(const char* group, std::uint16_t port) {
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  in_addr iface{};
  iface.s_addr = Loopback();
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &iface, sizeof iface);
  unsigned char loop = 1;
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  inet_pton(AF_INET, group, &to.sin_addr);
  const char data[] = "announce";
  sendto(fd, data, sizeof data, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  close(fd);
}

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 300; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(AnnounceListener, ReceivesOnTheGroupThenFallsSilent) {
  ASSERT_TRUE(HasMulticastRoute()) << "no multicast route on loopback (run inside scripts/test's namespace)";
  TestClock clock;
  AnnounceListener listener(clock);
  ASSERT_TRUE(listener.Start(Loopback(), "239.255.77.1", 46521));
  ASSERT_TRUE(listener.Running()) << listener.Fault();
  EXPECT_EQ(listener.Status(), ListenerStatus::Waiting);
  EXPECT_TRUE(WaitFor([&] {
    SendTo("239.255.77.1", 46521);
    return listener.Status() == ListenerStatus::Receiving;
  }));
  clock.Advance(30001);
  EXPECT_EQ(listener.Status(), ListenerStatus::Silent);
  listener.Stop();
  EXPECT_FALSE(listener.Running());
}

TEST(AnnounceListener, OtherGroupsDoNotCount) {
  ASSERT_TRUE(HasMulticastRoute());
  TestClock clock;
  AnnounceListener listener(clock);
  ASSERT_TRUE(listener.Start(Loopback(), "239.255.77.2", 46522));
  for (int i = 0; i < 10; ++i) {
    SendTo("239.255.77.3", 46522);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(listener.Status(), ListenerStatus::Waiting);
}

TEST(AnnounceListener, SocketFailureEndsTheWorkerAndTurnsSilentAfterThirtySeconds) {
  TestClock clock;
  std::uint32_t unassigned = 0;
  inet_pton(AF_INET, "198.18.250.250", &unassigned);   // no interface has it
  AnnounceListener listener(clock);
  ASSERT_TRUE(listener.Start(unassigned, "239.255.77.4", 46523));
  EXPECT_FALSE(listener.Running());
  EXPECT_FALSE(listener.Fault().empty());
  EXPECT_EQ(listener.Status(), ListenerStatus::Waiting);
  clock.Advance(30000);
  EXPECT_EQ(listener.Status(), ListenerStatus::Silent);
}

// A socket that fails its receive with a real fault.
class BrokenSocket : public AnnounceSocket {
 public:
  explicit BrokenSocket(std::atomic<int>* closes) : closes_(closes) {}
  bool Open(std::uint32_t, const std::string&, std::uint16_t, int, std::string*) override { return true; }
  int Wait(std::uint32_t) override { return 1; }
  int Receive(void*, int, bool* wouldBlock) override {
    *wouldBlock = false;
    return -1;
  }
  void Close() override { ++*closes_; }

 private:
  std::atomic<int>* closes_;
};

TEST(AnnounceListener, ReceiveErrorEndsTheWorkerWhichClosesItsSocket) {
  TestClock clock;
  std::atomic<int> closes{0};
  AnnounceListener listener(clock, [&] { return std::unique_ptr<AnnounceSocket>(new BrokenSocket(&closes)); });
  ASSERT_TRUE(listener.Start(Loopback(), "239.255.77.5", 46524));
  EXPECT_TRUE(WaitFor([&] { return !listener.Running(); }));
  listener.Stop();
  EXPECT_EQ(closes.load(), 1);
}

TEST(AnnounceListener, StopJoinsAndCanStartAgain) {
  ASSERT_TRUE(HasMulticastRoute());
  TestClock clock;
  AnnounceListener listener(clock);
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(listener.Start(Loopback(), "239.255.77.6", 46525));
    EXPECT_TRUE(listener.Running());
    listener.Stop();
    EXPECT_FALSE(listener.Running());
  }
}

}  // namespace
