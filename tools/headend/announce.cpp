// headend announce: sends session announcement datagrams to the service's
// announcement group, which the channel selector watches for liveness only.
#include <arpa/inet.h>
#include <getopt.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include "tools/headend/command.h"

namespace {

void Help(FILE* out) {
  std::fprintf(out,
               "usage: headend announce [options]\n"
               "Sends announcement datagrams (a small text naming the sequence number) at a\n"
               "steady rate until the count is reached or the program is interrupted.\n\n"
               "  -g, --group ADDR        group (default 224.0.1.124)\n"
               "  -p, --port N            port (default 652)\n"
               "  -r, --rate N            datagrams a second, 1 to 1000 (default 1)\n"
               "  -n, --count N           datagrams to send, 0 = until interrupted (default 0)\n"
               "  -s, --size N            bytes per datagram, 16 to 8192 (default 64)\n"
               "  -i, --interface ADDR    outgoing interface (default 127.0.0.1)\n"
               "  -q, --quiet             no line per datagram\n"
               "  -h, --help              this text\n");
}

bool Number(const char* option, const char* text, long low, long high, long* value) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end || errno || v < low || v > high) {
    std::fprintf(stderr, "headend announce: bad %s '%s' (%ld to %ld)\n", option, text, low, high);
    return false;
  }
  *value = v;
  return true;
}

int RunAnnounce(int argc, char** argv) {
  long rate = 1, count = 0, size = 64, port = 652;
  std::string group = "224.0.1.124", iface = "127.0.0.1";
  bool quiet = false;
  static const option longOptions[] = {{"group", required_argument, nullptr, 'g'},
                                       {"port", required_argument, nullptr, 'p'},
                                       {"rate", required_argument, nullptr, 'r'},
                                       {"count", required_argument, nullptr, 'n'},
                                       {"size", required_argument, nullptr, 's'},
                                       {"interface", required_argument, nullptr, 'i'},
                                       {"quiet", no_argument, nullptr, 'q'},
                                       {"help", no_argument, nullptr, 'h'},
                                       {nullptr, 0, nullptr, 0}};
  optind = 1;
  int c;
  while ((c = getopt_long(argc, argv, "g:p:r:n:s:i:qh", longOptions, nullptr)) != -1) {
    switch (c) {
      case 'g': group = optarg; break;
      case 'p': if (!Number("--port", optarg, 1, 65535, &port)) return 2; break;
      case 'r': if (!Number("--rate", optarg, 1, 1000, &rate)) return 2; break;
      case 'n': if (!Number("--count", optarg, 0, 1000000000, &count)) return 2; break;
      case 's': if (!Number("--size", optarg, 16, 8192, &size)) return 2; break;
      case 'i': iface = optarg; break;
      case 'q': quiet = true; break;
      case 'h': Help(stdout); return 0;
      default: Help(stderr); return 2;
    }
  }
  if (optind != argc) {
    Help(stderr);
    return 2;
  }
  in_addr ifaddr{};
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  if (inet_pton(AF_INET, iface.c_str(), &ifaddr) != 1) {
    std::fprintf(stderr, "headend announce: bad --interface '%s'\n", iface.c_str());
    return 2;
  }
  if (inet_pton(AF_INET, group.c_str(), &to.sin_addr) != 1) {
    std::fprintf(stderr, "headend announce: bad --group '%s'\n", group.c_str());
    return 2;
  }
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) {
    std::perror("headend announce: socket");
    return 1;
  }
  unsigned char ttl = 1, loop = 1;
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
  if (setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &ifaddr, sizeof ifaddr) != 0) {
    std::fprintf(stderr, "headend announce: interface %s: %s\n", iface.c_str(), std::strerror(errno));
    close(fd);
    return 1;
  }
  std::string data(static_cast<std::size_t>(size), ' ');
  const auto interval = std::chrono::microseconds(1000000 / rate);
  auto next = std::chrono::steady_clock::now();
  for (long i = 0; count == 0 || i < count; ++i) {
    std::this_thread::sleep_until(next);
    next += interval;
    const std::string head = "announce " + std::to_string(i + 1) + "\n";
    data.replace(0, head.size() < data.size() ? head.size() : data.size(), head.substr(0, data.size()));
    if (sendto(fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
      std::fprintf(stderr, "headend announce: sendto: %s\n", std::strerror(errno));
      close(fd);
      return 1;
    }
    if (!quiet) std::fprintf(stderr, "headend announce: sent %ld to %s:%ld\n", i + 1, group.c_str(), port);
  }
  close(fd);
  return 0;
}

RegisterHeadendCommand registerAnnounce({"announce", "sends announcement datagrams (selector liveness)", RunAnnounce});

}  // namespace
