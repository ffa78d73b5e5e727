// Stream sockets over Winsock.
#include "common/stream_socket.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <cstdio>

namespace {

class WinStreamSocket : public StreamSocket {
 public:
  ~WinStreamSocket() override { Close(); }

  bool Open() override {
    Close();
    s_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s_ == INVALID_SOCKET) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(s_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      Close();
      return false;
    }
    int len = sizeof local;
    if (::getsockname(s_, reinterpret_cast<sockaddr*>(&local), &len) == 0) localPort_ = ntohs(local.sin_port);
    return true;
  }

  std::uint16_t LocalPort() const override { return localPort_; }

  bool SetReceiveBuffer(int bytes) override {
    return s_ != INVALID_SOCKET &&
           ::setsockopt(s_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes) == 0;
  }

  bool Connect(const std::string& hostOrAddress, std::uint16_t port) override {
    if (s_ == INVALID_SOCKET) return false;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    unsigned long a = ::inet_addr(hostOrAddress.c_str());
    if (a == INADDR_NONE) {
      std::string dotted;
      if (!LookupHostAddress(hostOrAddress, &dotted)) return false;
      a = ::inet_addr(dotted.c_str());
    }
    remote.sin_addr.s_addr = a;
    bool ok = ::connect(s_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0;
    if (ok && localPort_ == 0) {
      sockaddr_in local{};
      int len = sizeof local;
      if (::getsockname(s_, reinterpret_cast<sockaddr*>(&local), &len) == 0) localPort_ = ntohs(local.sin_port);
    }
    return ok;
  }

  int Send(const void* data, int size) override {
    if (s_ == INVALID_SOCKET) return -1;
    int n = ::send(s_, static_cast<const char*>(data), size, 0);
    return n == SOCKET_ERROR ? -1 : n;
  }

  int Pending() override {
    u_long n = 0;
    if (s_ == INVALID_SOCKET || ::ioctlsocket(s_, FIONREAD, &n) != 0) return -1;
    return static_cast<int>(n);
  }

  int WaitReadable(int timeoutMs) override {
    if (s_ == INVALID_SOCKET) return -1;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s_, &readable);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int r = ::select(0, &readable, nullptr, nullptr, &tv);
    if (r == SOCKET_ERROR) return -1;
    return r > 0 ? 1 : 0;
  }

  int Receive(void* buffer, int size) override {
    if (s_ == INVALID_SOCKET) return -1;
    int n = ::recv(s_, static_cast<char*>(buffer), size, 0);
    return n == SOCKET_ERROR ? -1 : n;
  }

  void Close() override {
    if (s_ != INVALID_SOCKET) ::closesocket(s_);
    s_ = INVALID_SOCKET;
  }

  bool IsOpen() const override { return s_ != INVALID_SOCKET; }

 private:
  SOCKET s_ = INVALID_SOCKET;
  std::uint16_t localPort_ = 0;
};

}  // namespace

std::unique_ptr<StreamSocket> CreateStreamSocket() { return std::make_unique<WinStreamSocket>(); }

bool LookupHostAddress(const std::string& host, std::string* dotted) {
  if (host.empty()) return false;
  hostent* h = ::gethostbyname(host.c_str());
  if (!h || h->h_addrtype != AF_INET || !h->h_addr_list || !h->h_addr_list[0]) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(h->h_addr_list[0]);
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
  *dotted = text;
  return true;
}

void PauseMs(int ms) {
  if (ms > 0) ::Sleep(static_cast<DWORD>(ms));
}
