// Datagram sockets on Windows (Winsock).
#include "common/sockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>

bool InitSockets() {
  static int result = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  return result == 0;
}

namespace {

class WinsockDatagramSocket : public DatagramSocket {
 public:
  ~WinsockDatagramSocket() override { Close(); }
  bool Bind(std::uint16_t port, int receiveBuffer) override {
    Close();
    socket_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket_ == INVALID_SOCKET) return Fail();
    // Non-blocking from the start: a receive with nothing waiting answers at once
    // (WSAAsyncSelect would also set this, but only once it is called).
    u_long nonBlocking = 1;
    if (ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0) return Fail();
    BOOL on = TRUE;
    setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
    if (receiveBuffer > 0)
      setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return Fail();
    return true;
  }
  bool Join(const std::string& group) override {
    ip_mreq req{};
    if (inet_pton(AF_INET, group.c_str(), &req.imr_multiaddr) != 1) {
      error_ = WSAEINVAL;
      return false;
    }
    req.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(socket_, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&req), sizeof req) != 0)
      return Fail();
    joined_ = req;
    isJoined_ = true;
    return true;
  }
  bool Leave() override {
    if (!isJoined_) return false;
    isJoined_ = false;
    if (setsockopt(socket_, IPPROTO_IP, IP_DROP_MEMBERSHIP, reinterpret_cast<const char*>(&joined_), sizeof joined_) != 0)
      return Fail();
    return true;
  }
  int Receive(void* buffer, int size, std::uint16_t* sourcePort) override {
    sockaddr_in from{};
    int len = sizeof from;
    int n = recvfrom(socket_, static_cast<char*>(buffer), size, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n == SOCKET_ERROR) {
      Fail();
      if (error_ == WSAEWOULDBLOCK || error_ == WSAETIMEDOUT) return kNoDatagram;
      return error_ == WSAEMSGSIZE ? kOversized : -1;
    }
    if (sourcePort) *sourcePort = ntohs(from.sin_port);
    return n;
  }
  bool SetReceiveWait(int milliseconds) override {
    if (socket_ == INVALID_SOCKET) return false;
    u_long nonBlocking = milliseconds == 0 ? 1 : 0;
    if (ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0) return Fail();
    DWORD timeout = static_cast<DWORD>(milliseconds);
    if (setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout) != 0)
      return Fail();
    return true;
  }
  int LastError() const override { return error_; }
  std::uintptr_t Handle() const override { return static_cast<std::uintptr_t>(socket_); }
  void Close() override {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
    isJoined_ = false;
  }

 private:
  bool Fail() {
    error_ = WSAGetLastError();
    return false;
  }
  SOCKET socket_ = INVALID_SOCKET;
  int error_ = 0;
  bool isJoined_ = false;
  ip_mreq joined_{};
};

}  // namespace

std::unique_ptr<DatagramSocket> CreateDatagramSocket() { return std::make_unique<WinsockDatagramSocket>(); }
