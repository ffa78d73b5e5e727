// The listener's socket and thread on POSIX (the native build and its tests).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "selector/announce_listener.h"

namespace {

class PosixAnnounceSocket : public AnnounceSocket {
 public:
  ~PosixAnnounceSocket() override { Close(); }
  bool Open(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port, int receiveBuffer,
            std::string* error) override {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd_ < 0) return Fail("socket", error);
    int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return Fail("SO_REUSEADDR", error);
    if (setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer) != 0)
      return Fail("SO_RCVBUF", error);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    // Linux delivers no multicast to a socket bound to a unicast address (Windows
    // does): bind to any address, and let the membership name the interface.
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return Fail("bind", error);
    ip_mreq request{};
    if (inet_pton(AF_INET, group.c_str(), &request.imr_multiaddr) != 1) {
      *error = "bad group address '" + group + "'";
      return false;
    }
    request.imr_interface.s_addr = interfaceAddress;
    if (setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) != 0)
      return Fail("IP_ADD_MEMBERSHIP", error);
    // Only this socket's own group, not every group some socket joined.
    int all = 0;
    setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_ALL, &all, sizeof all);
    return true;
  }
  int Wait(std::uint32_t ms) override {
    pollfd p{fd_, POLLIN, 0};
    const int n = poll(&p, 1, static_cast<int>(ms));
    if (n < 0) return errno == EINTR ? 0 : -1;
    return n > 0 ? 1 : 0;
  }
  int Receive(void* buffer, int size, bool* wouldBlock) override {
    const ssize_t n = recv(fd_, buffer, static_cast<std::size_t>(size), MSG_DONTWAIT);
    *wouldBlock = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    return static_cast<int>(n);
  }
  void Close() override {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  bool Fail(const char* what, std::string* error) {
    *error = std::string(what) + ": " + std::strerror(errno);
    Close();
    return false;
  }
  int fd_ = -1;
};

class PosixWorkerThread : public WorkerThread {
 public:
  ~PosixWorkerThread() override { Join(); }
  bool Start(std::function<void()> body) override {
    thread_ = std::thread(std::move(body));
    return true;
  }
  void Join() override {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

}  // namespace

std::unique_ptr<AnnounceSocket> CreateAnnounceSocket() { return std::make_unique<PosixAnnounceSocket>(); }
std::unique_ptr<WorkerThread> CreateWorkerThread() { return std::make_unique<PosixWorkerThread>(); }
void SleepMs(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
