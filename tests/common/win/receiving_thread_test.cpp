// The socket whose datagrams a thread of its own takes off: what it hands on,
// in which order, what a full queue does, a failing socket, and its end.
#include <winsock2.h>

#include "common/win/receiving_thread.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A socket whose datagrams the test hands in; Receive waits as a real one
// with a receive wait does, and counts its calls.
struct Wire {
  Wire() {
    InitializeSRWLock(&lock);
    arrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  }
  ~Wire() { CloseHandle(arrived); }
  void Send(const std::string& d) {
    AcquireSRWLockExclusive(&lock);
    pending.push_back(d);
    ReleaseSRWLockExclusive(&lock);
    SetEvent(arrived);
  }
  SRWLOCK lock;
  HANDLE arrived;
  std::deque<std::string> pending;
  volatile LONG receives = 0;
  volatile LONG failing = 0;
  int waitMs = 0;
  bool canWait = true;
  bool closed = false;
};

class WireSocket : public DatagramSocket {
 public:
  explicit WireSocket(Wire& w) : w_(w) {}
  bool Bind(std::uint16_t, int) override { return true; }
  bool Join(const std::string&) override { return true; }
  bool Leave() override { return true; }
  bool SetReceiveWait(int ms) override {
    w_.waitMs = ms;
    return w_.canWait;
  }
  int Receive(void* buffer, int size, std::uint16_t* port) override {
    InterlockedIncrement(&w_.receives);
    if (w_.failing) return -1;
    for (int round = 0; round < 2; ++round) {
      AcquireSRWLockExclusive(&w_.lock);
      if (!w_.pending.empty()) {
        std::string d = w_.pending.front();
        w_.pending.pop_front();
        ReleaseSRWLockExclusive(&w_.lock);
        if (static_cast<int>(d.size()) > size) return kOversized;
        d.copy(static_cast<char*>(buffer), d.size());
        if (port) *port = 4321;
        return static_cast<int>(d.size());
      }
      ReleaseSRWLockExclusive(&w_.lock);
      if (round == 0) WaitForSingleObject(w_.arrived, static_cast<DWORD>(w_.waitMs));
    }
    return kNoDatagram;
  }
  int LastError() const override { return 10050; }
  std::uintptr_t Handle() const override { return 7; }
  void Close() override { w_.closed = true; }

 private:
  Wire& w_;
};

// Reads one datagram, giving the thread up to five seconds to queue it.
int ReceiveSoon(DatagramSocket& s, char* buffer, int size, std::uint16_t* port = nullptr) {
  int n = kNoDatagram;
  for (int i = 0; i < 500 && (n = s.Receive(buffer, size, port)) == kNoDatagram; ++i) Sleep(10);
  return n;
}

TEST(ReceivingThreadSocket, HandsOnEveryDatagramInOrderWithEmptyAndOversizedOnes) {
  Wire wire;
  ReceivingThreadSocket socket(std::make_unique<WireSocket>(wire));
  char buffer[ReceivingThreadSocket::kSlotBytes];
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), kNoDatagram);  // not joined: no thread
  EXPECT_FALSE(socket.Running());
  ASSERT_TRUE(socket.Join("239.1.2.3"));
  EXPECT_TRUE(socket.Running());
  EXPECT_EQ(wire.waitMs, ReceivingThreadSocket::kWaitMs);
  wire.Send("first");
  wire.Send("");
  wire.Send(std::string(ReceivingThreadSocket::kSlotBytes + 1, 'x'));
  wire.Send(std::string(100, 'y'));  // longer than the reader's buffer below
  wire.Send("last");
  std::uint16_t port = 0;
  ASSERT_EQ(ReceiveSoon(socket, buffer, sizeof buffer, &port), 5);
  EXPECT_EQ(std::string(buffer, 5), "first");
  EXPECT_EQ(port, 4321);
  EXPECT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 0);
  EXPECT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), kOversized);
  EXPECT_EQ(ReceiveSoon(socket, buffer, 16), kOversized);
  ASSERT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "last");
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
  EXPECT_EQ(socket.Handle(), 7u);
}

// A reader that stops reading (a reception waiting for its disk) costs no more
// than the bound: the rest is turned away, and what follows once it reads
// again comes next.
TEST(ReceivingThreadSocket, AFullQueueTurnsAwayWhatArrivesAndTakesAgainOnceRead) {
  Wire wire;
  ReceivingThreadSocket socket(std::make_unique<WireSocket>(wire), 3);
  ASSERT_TRUE(socket.Join("239.1.2.3"));
  for (int i = 0; i < 10; ++i) wire.Send("d" + std::to_string(i));
  for (int i = 0; i < 500 && socket.Dropped() < 7; ++i) Sleep(10);
  EXPECT_EQ(socket.Dropped(), 7u);
  char buffer[64];
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), 2) << i;
    EXPECT_EQ(std::string(buffer, 2), "d" + std::to_string(i));
  }
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
  wire.Send("after");
  ASSERT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "after");
}

TEST(ReceivingThreadSocket, AFailingSocketIsSaidOnceAndDoesNotSpinTheThread) {
  Wire wire;
  ReceivingThreadSocket socket(std::make_unique<WireSocket>(wire));
  ASSERT_TRUE(socket.Join("239.1.2.3"));
  wire.failing = 1;
  Sleep(300);
  // About one try per wait; a spinning thread would make thousands.
  EXPECT_LE(wire.receives, 300 / ReceivingThreadSocket::kWaitMs + 3);
  char buffer[16];
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), -1);
  EXPECT_EQ(socket.LastError(), 10050);
  wire.failing = 0;
  Sleep(2 * ReceivingThreadSocket::kWaitMs);
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
  wire.Send("back");
  EXPECT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 4);
}

TEST(ReceivingThreadSocket, CloseEndsTheThreadBeforeTheSocketAndForgetsTheQueue) {
  Wire wire;
  ReceivingThreadSocket socket(std::make_unique<WireSocket>(wire));
  ASSERT_TRUE(socket.Join("239.1.2.3"));
  wire.Send("queued");
  for (int i = 0; i < 500 && !wire.pending.empty(); ++i) Sleep(10);
  socket.Close();
  EXPECT_FALSE(socket.Running());
  EXPECT_TRUE(wire.closed);
  const LONG receives = wire.receives;
  Sleep(3 * ReceivingThreadSocket::kWaitMs);
  EXPECT_EQ(wire.receives, receives) << "the thread still reads after Close";
  char buffer[16];
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
}

// A socket that cannot wait would leave nothing ever read: the join fails, as
// a reception shows a failed join.
TEST(ReceivingThreadSocket, ASocketThatCannotWaitFailsTheJoin) {
  Wire wire;
  wire.canWait = false;
  ReceivingThreadSocket socket(std::make_unique<WireSocket>(wire));
  EXPECT_FALSE(socket.Join("239.1.2.3"));
  EXPECT_FALSE(socket.Running());
  EXPECT_EQ(socket.LastError(), 10050);
}

// The real socket under the thread, over multicast on this machine.
TEST(ReceivingThreadSocket, CarriesARealGroupsDatagrams) {
  ASSERT_TRUE(InitSockets());
  ReceivingThreadSocket socket(CreateDatagramSocket());
  ASSERT_TRUE(socket.Bind(47331, 1 << 17));
  ASSERT_TRUE(socket.Join("239.255.10.31")) << socket.LastError();
  SOCKET out = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(47331);
  to.sin_addr.s_addr = htonl(0xEFFF0A1F);  // 239.255.10.31
  for (const char* d : {"one", "", "three"})
    sendto(out, d, static_cast<int>(std::strlen(d)), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  closesocket(out);
  char buffer[ReceivingThreadSocket::kSlotBytes];
  ASSERT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 3);
  EXPECT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 0);
  ASSERT_EQ(ReceiveSoon(socket, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "three");
  const DWORD before = GetTickCount();
  socket.Close();
  EXPECT_LT(GetTickCount() - before, 5000u) << "Close waited for ever";
}

}  // namespace
