// Datagram sockets natively (BSD sockets), for the native tests and benchmarks.
#include "common/sockets.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

bool InitSockets() { return true; }

namespace {

class PosixDatagramSocket : public DatagramSocket {
 public:
  ~PosixDatagramSocket() override { Close(); }
  bool Bind(std::uint16_t port, int receiveBuffer) override {
    Close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return Fail();
    int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (receiveBuffer > 0) setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return Fail();
    return true;
  }
  bool Join(const std::string& group) override {
    ip_mreq req{};
    if (inet_pton(AF_INET, group.c_str(), &req.imr_multiaddr) != 1) {
      error_ = EINVAL;
      return false;
    }
    req.imr_interface.s_addr = htonl(INADDR_ANY);
    if (setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &req, sizeof req) != 0) return Fail();
    joined_ = req;
    isJoined_ = true;
    return true;
  }
  bool Leave() override {
    if (!isJoined_) return false;
    isJoined_ = false;
    if (setsockopt(fd_, IPPROTO_IP, IP_DROP_MEMBERSHIP, &joined_, sizeof joined_) != 0) return Fail();
    return true;
  }
  int Receive(void* buffer, int size, std::uint16_t* sourcePort) override {
    sockaddr_in from{};
    socklen_t len = sizeof from;
    // MSG_TRUNC answers the datagram's real length, so a longer one is told
    // from one that fits exactly, as Winsock's WSAEMSGSIZE does.
    ssize_t n = recvfrom(fd_, buffer, static_cast<std::size_t>(size), (waits_ ? 0 : MSG_DONTWAIT) | MSG_TRUNC,
                         reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) {
      Fail();
      return error_ == EAGAIN || error_ == EWOULDBLOCK ? kNoDatagram : -1;
    }
    if (n > size) return kOversized;
    if (sourcePort) *sourcePort = ntohs(from.sin_port);
    return static_cast<int>(n);
  }
  bool SetReceiveWait(int milliseconds) override {
    if (fd_ < 0) return false;
    timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
    if (setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0) return Fail();
    waits_ = milliseconds > 0;
    return true;
  }
  int LastError() const override { return error_; }
  std::uintptr_t Handle() const override { return static_cast<std::uintptr_t>(fd_); }
  void Close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    isJoined_ = false;
    waits_ = false;
  }

 private:
  bool Fail() {
    error_ = errno;
    return false;
  }
  int fd_ = -1;
  int error_ = 0;
  bool isJoined_ = false;
  bool waits_ = false;
  ip_mreq joined_{};
};

}  // namespace

std::unique_ptr<DatagramSocket> CreateDatagramSocket() { return std::make_unique<PosixDatagramSocket>(); }
