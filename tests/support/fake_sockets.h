// Sockets fed by the test: a datagram socket whose inbox the test fills and
// whose calls it records.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include "common/sockets.h"

struct FakeNet {
  std::deque<std::string> inbox;
  bool bindOk = true;
  bool joinOk = true;
  int boundPort = -1;
  int receiveBuffer = -1;
  std::string group;
  bool left = false;
  bool closed = false;
};

class FakeSocket : public DatagramSocket {
 public:
  explicit FakeSocket(std::shared_ptr<FakeNet> net) : net_(std::move(net)) {}
  bool Bind(std::uint16_t port, int receiveBuffer) override;
  bool Join(const std::string& group) override;
  bool Leave() override;
  int Pending() override;
  int Receive(void* buffer, int size, std::uint16_t* sourcePort) override;
  int LastError() const override { return 10049; }
  std::uintptr_t Handle() const override { return 0; }
  void Close() override { net_->closed = true; }

 private:
  std::shared_ptr<FakeNet> net_;
};
