#include "tools/headend/multicast_sender.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int OpenMulticastSender(const char* command, const MulticastTarget& t, sockaddr_in* to, bool* usage) {
  *usage = true;
  in_addr iface{};
  if (inet_pton(AF_INET, t.iface.c_str(), &iface) != 1) {
    std::fprintf(stderr, "%s: bad interface address '%s'\n", command, t.iface.c_str());
    return -1;
  }
  *to = sockaddr_in{};
  to->sin_family = AF_INET;
  to->sin_port = htons(static_cast<std::uint16_t>(t.port));
  if (inet_pton(AF_INET, t.group.c_str(), &to->sin_addr) != 1 || !IN_MULTICAST(ntohl(to->sin_addr.s_addr))) {
    std::fprintf(stderr, "%s: '%s' is not a multicast group\n", command, t.group.c_str());
    return -1;
  }
  *usage = false;
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) {
    std::fprintf(stderr, "%s: socket: %s\n", command, std::strerror(errno));
    return -1;
  }
  if (t.sendBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &t.sendBuffer, sizeof t.sendBuffer);
  const unsigned char ttl = static_cast<unsigned char>(t.ttl), loop = 1;
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
  if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &iface, sizeof iface) != 0) {
    std::fprintf(stderr, "%s: interface %s: %s\n", command, t.iface.c_str(), std::strerror(errno));
    close(fd);
    return -1;
  }
  return fd;
}
