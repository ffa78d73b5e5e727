// Sockets fed by the test: a datagram socket whose inbox the test fills and
// whose calls it records, and a stream socket that plays a scripted server.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "common/sockets.h"
#include "common/stream_socket.h"

struct FakeNet {
  std::deque<std::string> inbox;
  bool bindOk = true;
  bool joinOk = true;
  int boundPort = -1;
  int receiveBuffer = -1;
  std::string group;
  bool left = false;
  bool closed = false;
  int receives = 0;                    // Receive calls, answered or not
};

class FakeSocket : public DatagramSocket {
 public:
  explicit FakeSocket(std::shared_ptr<FakeNet> net) : net_(std::move(net)) {}
  bool Bind(std::uint16_t port, int receiveBuffer) override;
  bool Join(const std::string& group) override;
  bool Leave() override;
  // As the real socket: an empty datagram reads as 0, none waiting as
  // kNoDatagram, one longer than the buffer is dropped as kOversized.
  int Receive(void* buffer, int size, std::uint16_t* sourcePort) override;
  int LastError() const override { return 10049; }
  std::uintptr_t Handle() const override { return 0; }
  void Close() override { net_->closed = true; }

 private:
  std::shared_ptr<FakeNet> net_;
};

// A server as the client's stream socket sees it: each of `writes` arrives as
// its own piece (one read never joins two), then the server closes or, when
// `closes` is false, stays silent.
struct FakeServer {
  std::vector<std::string> writes;
  bool closes = true;
  bool connectOk = true;
  std::string request;                  // what the client sent
  std::string connectedTo;
  int sockets = 0;                      // sockets opened
  int pumpsWhileConnecting = 0;
  std::function<void(int)> idleWait;    // a wait with nothing to read (ms); unset: none
};

class FakeStreamSocket : public StreamSocket {
 public:
  explicit FakeStreamSocket(std::shared_ptr<FakeServer> server) : server_(std::move(server)) {}
  bool Open() override;
  std::uint16_t LocalPort() const override { return 40000; }
  bool SetReceiveBuffer(int) override { return true; }
  bool Connect(const std::string& hostOrAddress, std::uint16_t port, int timeoutMs, const WaitPump& pump) override;
  int Send(const void* data, int size) override;
  int Pending() override;
  int WaitReadable(int timeoutMs) override;
  int Receive(void* buffer, int size) override;
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }

 private:
  bool Drained() const { return piece_ >= server_->writes.size(); }
  std::shared_ptr<FakeServer> server_;
  std::size_t piece_ = 0;
  std::size_t offset_ = 0;
  bool open_ = false;
};
