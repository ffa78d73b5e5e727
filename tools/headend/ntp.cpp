// headend ntp: sends NTP time datagrams to 224.0.1.1:123 whose transmit time is
// the local clock plus a chosen offset.
#include <arpa/inet.h>
#include <getopt.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include "tools/headend/command.h"

namespace {

void Help(FILE* out) {
  std::fprintf(out,
               "usage: headend ntp [options]\n"
               "Sends NTP datagrams (mode 5, 48 bytes) whose transmit timestamp is the local\n"
               "clock plus OFFSET seconds.\n\n"
               "  -o, --offset SECONDS    offset from the local clock, fractions allowed (default 0)\n"
               "  -n, --count N           datagrams to send, 0 = until interrupted (default 1)\n"
               "  -t, --interval MS       pause between datagrams (default 1000)\n"
               "  -g, --group ADDR        group (default 224.0.1.1)\n"
               "  -p, --port N            port (default 123)\n"
               "  -i, --interface ADDR    outgoing interface (default 127.0.0.1)\n"
               "  -s, --on-second         send each datagram just after a whole second of the local\n"
               "                          clock (one a second), so that a receiver comparing with\n"
               "                          whole seconds sees exactly OFFSET\n"
               "  -q, --quiet             no line per datagram\n"
               "  -h, --help              this text\n");
}

int RunNtp(int argc, char** argv) {
  double offset = 0;
  long count = 1, interval = 1000;
  int port = 123;
  std::string group = "224.0.1.1", iface = "127.0.0.1";
  bool quiet = false, onSecond = false;
  static const option longOptions[] = {{"offset", required_argument, nullptr, 'o'},
                                       {"count", required_argument, nullptr, 'n'},
                                       {"interval", required_argument, nullptr, 't'},
                                       {"group", required_argument, nullptr, 'g'},
                                       {"port", required_argument, nullptr, 'p'},
                                       {"interface", required_argument, nullptr, 'i'},
                                       {"on-second", no_argument, nullptr, 's'},
                                       {"quiet", no_argument, nullptr, 'q'},
                                       {"help", no_argument, nullptr, 'h'},
                                       {nullptr, 0, nullptr, 0}};
  optind = 1;
  int c;
  char* end = nullptr;
  while ((c = getopt_long(argc, argv, "o:n:t:g:p:i:sqh", longOptions, nullptr)) != -1) {
    switch (c) {
      case 'o':
        offset = std::strtod(optarg, &end);
        if (end == optarg || *end) {
          std::fprintf(stderr, "headend ntp: bad offset '%s'\n", optarg);
          return 2;
        }
        break;
      case 'n': count = std::strtol(optarg, nullptr, 10); break;
      case 't': interval = std::strtol(optarg, nullptr, 10); break;
      case 'g': group = optarg; break;
      case 'p': port = std::atoi(optarg); break;
      case 'i': iface = optarg; break;
      case 's': onSecond = true; break;
      case 'q': quiet = true; break;
      case 'h': Help(stdout); return 0;
      default: Help(stderr); return 2;
    }
  }
  if (optind != argc || count < 0 || interval < 0 || port <= 0 || port > 65535) {
    Help(stderr);
    return 2;
  }
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) {
    std::perror("headend ntp: socket");
    return 1;
  }
  unsigned char ttl = 1, loop = 1;
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop);
  in_addr ifaddr{};
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  if (inet_pton(AF_INET, iface.c_str(), &ifaddr) != 1 || inet_pton(AF_INET, group.c_str(), &to.sin_addr) != 1) {
    std::fprintf(stderr, "headend ntp: bad address\n");
    close(fd);
    return 2;
  }
  setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &ifaddr, sizeof ifaddr);
  for (long i = 0; count == 0 || i < count; ++i) {
    timeval tv;
    if (onSecond) {
      gettimeofday(&tv, nullptr);
      std::this_thread::sleep_for(std::chrono::microseconds(1000000 - tv.tv_usec + 1000));
    } else if (i > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(interval));
    }
    gettimeofday(&tv, nullptr);
    double t = static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6 + offset + 2208988800.0;
    double whole = std::floor(t);
    std::uint32_t seconds = static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole));
    std::uint32_t fraction = static_cast<std::uint32_t>((t - whole) * 4294967296.0);
    unsigned char d[48] = {};
    d[0] = 0x25;  // no leap warning, version 4, broadcast
    d[1] = 1;     // stratum
    for (int k = 0; k < 4; ++k) {
      d[40 + k] = static_cast<unsigned char>(seconds >> (24 - 8 * k));
      d[44 + k] = static_cast<unsigned char>(fraction >> (24 - 8 * k));
    }
    if (sendto(fd, d, sizeof d, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) != sizeof d) {
      std::fprintf(stderr, "headend ntp: sendto: %s\n", std::strerror(errno));
      close(fd);
      return 1;
    }
    if (!quiet) std::fprintf(stderr, "headend ntp: sent %ld to %s:%d, offset %+.3f s\n", i + 1, group.c_str(), port, offset);
  }
  close(fd);
  return 0;
}

RegisterHeadendCommand registerNtp({"ntp", "sends network time to 224.0.1.1:123 with a chosen offset", RunNtp});

}  // namespace
