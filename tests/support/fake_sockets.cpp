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

int FakeSocket::Pending() {
  if (net_->inbox.empty()) return 0;
  return std::max<int>(1, static_cast<int>(net_->inbox.front().size()));
}

int FakeSocket::Receive(void* buffer, int size, std::uint16_t* sourcePort) {
  if (net_->inbox.empty()) return -1;
  std::string d = std::move(net_->inbox.front());
  net_->inbox.pop_front();
  int n = std::min<int>(size, static_cast<int>(d.size()));
  std::memcpy(buffer, d.data(), n);
  if (sourcePort) *sourcePort = 5000;
  return n;
}
