// Stream sockets over BSD sockets (the native build).
#include "common/stream_socket.h"
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <time.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kPumpSliceMs = 100;

class PosixStreamSocket : public StreamSocket {
 public:
  ~PosixStreamSocket() override { Close(); }

  bool Open() override {
    Close();
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      Close();
      return false;
    }
    socklen_t len = sizeof local;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &len) == 0) localPort_ = ntohs(local.sin_port);
    return true;
  }

  std::uint16_t LocalPort() const override { return localPort_; }

  bool SetReceiveBuffer(int bytes) override {
    return fd_ >= 0 && ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
  }

  bool Connect(const std::string& hostOrAddress, std::uint16_t port, int timeoutMs, const WaitPump& pump) override {
    if (fd_ < 0) return false;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    if (::inet_pton(AF_INET, hostOrAddress.c_str(), &remote.sin_addr) != 1) {
      std::string dotted;
      if (!LookupHostAddress(hostOrAddress, &dotted, pump) ||
          ::inet_pton(AF_INET, dotted.c_str(), &remote.sin_addr) != 1)
        return false;
    }
    // Without blocking: the wait runs in slices with the pump between them.
    const int flags = ::fcntl(fd_, F_GETFL, 0);
    ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    bool ok = ::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0;
    if (!ok && errno == EINPROGRESS) {
      for (int waited = 0; !ok && waited < timeoutMs; waited += kPumpSliceMs) {
        pollfd p{fd_, POLLOUT, 0};
        int r = ::poll(&p, 1, std::min(kPumpSliceMs, timeoutMs - waited));
        if (r < 0 && errno != EINTR) break;
        if (r > 0) {
          int error = 0;
          socklen_t len = sizeof error;
          ok = ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
          break;
        }
        if (pump) pump();
        if (fd_ < 0) return false;
      }
    }
    if (fd_ >= 0) ::fcntl(fd_, F_SETFL, flags);
    return ok;
  }

  int Send(const void* data, int size) override {
    if (fd_ < 0) return -1;
    return static_cast<int>(::send(fd_, data, static_cast<std::size_t>(size), MSG_NOSIGNAL));
  }

  int Pending() override {
    int n = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0) return -1;
    return n;
  }

  int WaitReadable(int timeoutMs) override {
    if (fd_ < 0) return -1;
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) return -1;
    return r > 0 ? 1 : 0;
  }

  int Receive(void* buffer, int size) override {
    if (fd_ < 0) return -1;
    return static_cast<int>(::recv(fd_, buffer, static_cast<std::size_t>(size), 0));
  }

  void Close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  bool IsOpen() const override { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::uint16_t localPort_ = 0;
};

}  // namespace

std::unique_ptr<StreamSocket> CreateStreamSocket() { return std::make_unique<PosixStreamSocket>(); }

// Natively no program has windows to keep alive: the lookup blocks.
bool LookupHostAddress(const std::string& host, std::string* dotted, const WaitPump&) {
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

void PauseMs(int ms) {
  if (ms <= 0) return;
  timespec t{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&t, &t) != 0) {
  }
}
