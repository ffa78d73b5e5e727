// Stream sockets over Winsock.
#include "common/stream_socket.h"
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "common/win/scoped_win.h"

namespace {

constexpr int kPumpSliceMs = 100;

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

  bool Connect(const std::string& hostOrAddress, std::uint16_t port, int timeoutMs, const WaitPump& pump) override {
    if (s_ == INVALID_SOCKET) return false;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    unsigned long a = ::inet_addr(hostOrAddress.c_str());
    if (a == INADDR_NONE) {
      std::string dotted;
      if (!LookupHostAddress(hostOrAddress, &dotted, pump)) return false;
      a = ::inet_addr(dotted.c_str());
    }
    remote.sin_addr.s_addr = a;
    // Without blocking: the wait runs in slices with the pump between them, so
    // the window stays alive while a server is slow to accept.
    u_long nonBlocking = 1;
    ::ioctlsocket(s_, FIONBIO, &nonBlocking);
    bool ok = ::connect(s_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0;
    if (!ok && ::WSAGetLastError() == WSAEWOULDBLOCK) {
      for (int waited = 0; !ok && waited < timeoutMs; waited += kPumpSliceMs) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s_, &writable);
        FD_SET(s_, &failed);
        const int slice = std::min(kPumpSliceMs, timeoutMs - waited);
        timeval tv{slice / 1000, (slice % 1000) * 1000};
        int r = ::select(0, nullptr, &writable, &failed, &tv);
        if (r == SOCKET_ERROR) break;
        if (r > 0) {
          ok = FD_ISSET(s_, &writable) != 0;
          break;
        }
        if (pump) pump();
        if (s_ == INVALID_SOCKET) return false;
      }
    }
    if (s_ != INVALID_SOCKET) {
      u_long blocking = 0;
      ::ioctlsocket(s_, FIONBIO, &blocking);
    }
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

namespace {

bool BlockingLookup(const std::string& host, std::string* dotted) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  const auto* a = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const auto* b = reinterpret_cast<const unsigned char*>(&a->sin_addr);
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
  ::freeaddrinfo(found);
  *dotted = text;
  return true;
}

struct LookupJob {
  std::string host;
  std::string dotted;
  bool found = false;
};

DWORD WINAPI LookupThread(void* parameter) {
  auto* job = static_cast<LookupJob*>(parameter);
  job->found = BlockingLookup(job->host, &job->dotted);
  return 0;
}

}  // namespace

bool LookupHostAddress(const std::string& host, std::string* dotted, const WaitPump& pump) {
  if (!pump) return BlockingLookup(host, dotted);
  // The job lives until the thread has ended: the wait below never gives up.
  LookupJob job;
  job.host = host;
  const ScopedHandle thread(::CreateThread(nullptr, 0, LookupThread, &job, 0, nullptr));
  if (!thread) return BlockingLookup(host, dotted);
  while (::WaitForSingleObject(thread.Get(), kPumpSliceMs) == WAIT_TIMEOUT) pump();
  if (job.found) *dotted = job.dotted;
  return job.found;
}

void PauseMs(int ms) {
  if (ms > 0) ::Sleep(static_cast<DWORD>(ms));
}
