#include "tests/support/fake_sockets.h"

#include <algorithm>
#include <cstring>

bool FakeSocket::Bind(std::uint16_t port, int receiveBuffer) {
  net_->boundPort = port;
  net_->receiveBuffer = receiveBuffer;
  return net_->bindOk;
}

bool FakeSocket::Join(const std::string& group) {
  net_->group = group;
  return net_->joinOk;
}

bool FakeSocket::Leave() {
  net_->left = true;
  return true;
}

int FakeSocket::Receive(void* buffer, int size, std::uint16_t* sourcePort) {
  ++net_->receives;
  if (net_->inbox.empty()) return kNoDatagram;
  std::string d = std::move(net_->inbox.front());
  net_->inbox.pop_front();
  const int n = static_cast<int>(d.size());
  if (n > size) return kOversized;
  if (n > 0) std::memcpy(buffer, d.data(), n);
  if (sourcePort) *sourcePort = 5000;
  return n;
}

bool FakeStreamSocket::Open() {
  open_ = true;
  ++server_->sockets;
  return true;
}

bool FakeStreamSocket::Connect(const std::string& hostOrAddress, std::uint16_t port, int, const WaitPump& pump) {
  server_->connectedTo = hostOrAddress + ":" + std::to_string(port);
  if (pump) {
    pump();
    ++server_->pumpsWhileConnecting;
  }
  return open_ && server_->connectOk;
}

int FakeStreamSocket::Send(const void* data, int size) {
  if (!open_) return -1;
  server_->request.append(static_cast<const char*>(data), static_cast<std::size_t>(size));
  return size;
}

int FakeStreamSocket::Pending() {
  if (!open_) return -1;
  return Drained() ? 0 : static_cast<int>(server_->writes[piece_].size() - offset_);
}

int FakeStreamSocket::WaitReadable(int timeoutMs) {
  if (!open_) return -1;
  if (!Drained() || server_->closes) return 1;
  if (server_->idleWait) server_->idleWait(timeoutMs);
  return 0;
}

int FakeStreamSocket::Receive(void* buffer, int size) {
  if (!open_) return -1;
  if (Drained()) return server_->closes ? 0 : -1;
  const std::string& piece = server_->writes[piece_];
  const std::size_t n = std::min(static_cast<std::size_t>(size), piece.size() - offset_);
  std::memcpy(buffer, piece.data() + offset_, n);
  offset_ += n;
  if (offset_ == piece.size()) {
    ++piece_;
    offset_ = 0;
  }
  return static_cast<int>(n);
}
