// The listener's socket and thread on Windows: Winsock and CreateThread (the
// MinGW runtime here has no std::thread).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "common/win/scoped_win.h"
#include "selector/announce_listener.h"

namespace {

class Win32AnnounceSocket : public AnnounceSocket {
 public:
  ~Win32AnnounceSocket() override { Close(); }
  bool Open(std::uint32_t interfaceAddress, const std::string& group, std::uint16_t port, int receiveBuffer,
            std::string* error) override {
    socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket_ == INVALID_SOCKET) return Fail("socket", error);
    BOOL on = TRUE;
    if (setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on) != 0)
      return Fail("SO_REUSEADDR", error);
    if (setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                   sizeof receiveBuffer) != 0)
      return Fail("SO_RCVBUF", error);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = interfaceAddress;
    if (bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return Fail("bind", error);
    ip_mreq request{};
    request.imr_multiaddr.s_addr = inet_addr(group.c_str());
    if (request.imr_multiaddr.s_addr == INADDR_NONE) {
      *error = "bad group address '" + group + "'";
      return false;
    }
    request.imr_interface.s_addr = interfaceAddress;
    if (setsockopt(socket_, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&request),
                   sizeof request) != 0)
      return Fail("IP_ADD_MEMBERSHIP", error);
    return true;
  }
  int Wait(std::uint32_t ms) override {
    fd_set read;
    FD_ZERO(&read);
    FD_SET(socket_, &read);
    timeval limit{0, static_cast<long>(ms * 1000)};
    const int n = select(0, &read, nullptr, nullptr, &limit);
    if (n == SOCKET_ERROR) return -1;
    return n > 0 ? 1 : 0;
  }
  int Receive(void* buffer, int size, bool* wouldBlock) override {
    const int n = recv(socket_, static_cast<char*>(buffer), size, 0);
    const int e = n == SOCKET_ERROR ? WSAGetLastError() : 0;
    // A datagram larger than the buffer arrives truncated: it still counts.
    if (e == WSAEMSGSIZE) return size;
    *wouldBlock = e == WSAEWOULDBLOCK || e == WSAETIMEDOUT;
    return n;
  }
  void Close() override {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }

 private:
  bool Fail(const char* what, std::string* error) {
    *error = std::string(what) + " failed, error " + std::to_string(WSAGetLastError());
    Close();
    return false;
  }
  SOCKET socket_ = INVALID_SOCKET;
};

class Win32WorkerThread : public WorkerThread {
 public:
  ~Win32WorkerThread() override { Join(); }
  bool Start(std::function<void()> body) override {
    body_ = std::move(body);
    thread_.Reset(CreateThread(nullptr, 0, &Win32WorkerThread::Entry, this, 0, nullptr));
    return static_cast<bool>(thread_);
  }
  void Join() override {
    if (!thread_) return;
    WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
  }

 private:
  static DWORD WINAPI Entry(void* self) {
    static_cast<Win32WorkerThread*>(self)->body_();
    return 0;
  }
  std::function<void()> body_;
  ScopedHandle thread_;
};

}  // namespace

std::unique_ptr<AnnounceSocket> CreateAnnounceSocket() { return std::make_unique<Win32AnnounceSocket>(); }
std::unique_ptr<WorkerThread> CreateWorkerThread() { return std::make_unique<Win32WorkerThread>(); }
void SleepMs(std::uint32_t ms) { Sleep(ms); }
