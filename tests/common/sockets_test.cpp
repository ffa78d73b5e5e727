#include "common/sockets.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
using NativeSocket = SOCKET;
void CloseNative(SOCKET s) { closesocket(s); }
void Pause() { Sleep(20); }
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
using NativeSocket = int;
void CloseNative(int s) { close(s); }
void Pause() { usleep(20000); }
#endif

namespace {

// Sends one datagram to address:port from a plain socket with multicast loop on.
void SendTo(const char* address, std::uint16_t port, const std::string& payload) {
  NativeSocket s = socket(AF_INET, SOCK_DGRAM, 0);
  unsigned char loop = 1;
  setsockopt(s, IPPROTO_IP, IP_MULTICAST_LOOP, reinterpret_cast<const char*>(&loop), sizeof loop);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  inet_pton(AF_INET, address, &to.sin_addr);
  sendto(s, payload.data(), static_cast<int>(payload.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  CloseNative(s);
}

// Receives one datagram, waiting up to two seconds for it: its length, or what
// the last receive answered.
int ReceiveWithin2s(DatagramSocket& socket, char* buffer, int size, std::uint16_t* port = nullptr) {
  int n = kNoDatagram;
  for (int i = 0; i < 100 && (n = socket.Receive(buffer, size, port)) == kNoDatagram; ++i) Pause();
  return n;
}

class DatagramSockets : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitSockets()); }
};

TEST_F(DatagramSockets, ReceivesAUnicastDatagramWithItsSourcePort) {
  auto socket = CreateDatagramSocket();
  ASSERT_TRUE(socket->Bind(47311, 1 << 20));
  SendTo("127.0.0.1", 47311, "hello");
  char buffer[64];
  std::uint16_t sourcePort = 0;
  ASSERT_EQ(ReceiveWithin2s(*socket, buffer, sizeof buffer, &sourcePort), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_NE(sourcePort, 0);
}

TEST_F(DatagramSockets, ReceiveWithNothingWaitingAnswersAtOnce) {
  auto socket = CreateDatagramSocket();
  ASSERT_TRUE(socket->Bind(47312, 0));
  char buffer[16];
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
}

// An empty datagram is a datagram: it is read (length 0) and the one behind it
// comes next. A drain driven by a pending-bytes count stopped at it for good.
TEST_F(DatagramSockets, EmptyAndOversizedDatagramsAreReadAndTheNextOneFollows) {
  auto socket = CreateDatagramSocket();
  ASSERT_TRUE(socket->Bind(47315, 0));
  SendTo("127.0.0.1", 47315, "");
  SendTo("127.0.0.1", 47315, std::string(100, 'x'));
  SendTo("127.0.0.1", 47315, "after");
  char buffer[16];
  EXPECT_EQ(ReceiveWithin2s(*socket, buffer, sizeof buffer), 0);
  EXPECT_EQ(ReceiveWithin2s(*socket, buffer, sizeof buffer), kOversized);
  ASSERT_EQ(ReceiveWithin2s(*socket, buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer, 5), "after");
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
}

// A receiving thread's socket waits for its datagram, and still gives up.
TEST_F(DatagramSockets, AReceiveWaitWaitsForADatagramAndThenAnswersNone) {
  auto socket = CreateDatagramSocket();
  EXPECT_FALSE(socket->SetReceiveWait(100));  // no socket yet
  ASSERT_TRUE(socket->Bind(47316, 0));
  ASSERT_TRUE(socket->SetReceiveWait(100));
  char buffer[16];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  SendTo("127.0.0.1", 47316, "");
  SendTo("127.0.0.1", 47316, std::string(100, 'x'));
  SendTo("127.0.0.1", 47316, "late");
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), 0);
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), kOversized);
  ASSERT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), 4);
  EXPECT_EQ(std::string(buffer, 4), "late");
  ASSERT_TRUE(socket->SetReceiveWait(0));
  EXPECT_EQ(socket->Receive(buffer, sizeof buffer, nullptr), kNoDatagram);
}

TEST_F(DatagramSockets, JoinsAGroupAndLeavesIt) {
  auto socket = CreateDatagramSocket();
  ASSERT_TRUE(socket->Bind(47313, 0));
  EXPECT_FALSE(socket->Leave());
  EXPECT_FALSE(socket->Join("not.an.address"));
  ASSERT_TRUE(socket->Join("239.255.10.20")) << socket->LastError();
  SendTo("239.255.10.20", 47313, "group");
  char buffer[64];
  EXPECT_EQ(ReceiveWithin2s(*socket, buffer, sizeof buffer), 5);
  EXPECT_TRUE(socket->Leave());
}

TEST_F(DatagramSockets, TwoSocketsShareAPortWithReuseAddress) {
  auto a = CreateDatagramSocket();
  auto b = CreateDatagramSocket();
  EXPECT_TRUE(a->Bind(47314, 0));
  EXPECT_TRUE(b->Bind(47314, 0));
}

}  // namespace
