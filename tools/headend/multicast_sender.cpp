#include "tools/headend/multicast_sender.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

MulticastSender::~MulticastSender() {
  if (fd_ >= 0) close(fd_);
}

bool MulticastSender::Open(const MulticastTarget& t, bool* usage) {
  *usage = true;
  in_addr iface{};
  if (inet_pton(AF_INET, t.iface.c_str(), &iface) != 1) {
    std::fprintf(stderr, "%s: bad interface address '%s'\n", command_, t.iface.c_str());
    return false;
  }
  to_ = sockaddr_in{};
  to_.sin_family = AF_INET;
  to_.sin_port = htons(static_cast<std::uint16_t>(t.port));
  if (inet_pton(AF_INET, t.group.c_str(), &to_.sin_addr) != 1 || !IN_MULTICAST(ntohl(to_.sin_addr.s_addr))) {
    std::fprintf(stderr, "%s: '%s' is not a multicast group\n", command_, t.group.c_str());
    return false;
  }
  *usage = false;
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) {
    std::fprintf(stderr, "%s: socket: %s\n", command_, std::strerror(errno));
    return false;
  }
  if (t.sendBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &t.sendBuffer, sizeof t.sendBuffer);
  const unsigned char ttl = static_cast<unsigned char>(t.ttl), loop = 1;
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
  if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &iface, sizeof iface) != 0) {
    std::fprintf(stderr, "%s: interface %s: %s\n", command_, t.iface.c_str(), std::strerror(errno));
    close(fd);
    return false;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
  return true;
}

bool MulticastSender::Send(const void* data, std::size_t size) {
  for (;;) {
    if (sendto(fd_, data, size, 0, reinterpret_cast<const sockaddr*>(&to_), sizeof to_) >= 0) return true;
    if (errno != ENOBUFS && errno != EAGAIN && errno != EINTR) break;
    std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  std::fprintf(stderr, "%s: sendto: %s\n", command_, std::strerror(errno));
  return false;
}
