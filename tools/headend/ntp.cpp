// headend ntp: sends NTP time datagrams to 224.0.1.1:123 whose transmit time is
// the local clock plus a chosen offset.
#include <sys/time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <thread>
#include "tools/headend/command.h"
#include "tools/headend/multicast_sender.h"
#include "tools/options/options.h"

namespace {

const OptionTable kOptions = {
    {"offset", 'o', "SECONDS", "offset from the local clock, fractions allowed (default 0)"},
    {"count", 'n', "N", "datagrams to send, 0 = until interrupted (default 1)"},
    {"interval", 't', "MS", "pause between datagrams (default 1000)"},
    {"group", 'g', "ADDR", "group (default 224.0.1.1)"},
    {"port", 'p', "N", "port (default 123)"},
    {"interface", 'i', "ADDR", "outgoing interface (default 127.0.0.1)"},
    {"on-second", 's', nullptr, "send each datagram just after a whole second of the local clock (one a second), "
                                "so that a receiver comparing with whole seconds sees exactly OFFSET"},
    {"quiet", 'q', nullptr, "no line per datagram"},
};

std::string HelpText() {
  return "usage: headend ntp [options]\n"
         "Sends NTP datagrams (mode 5, 48 bytes) whose transmit timestamp is the local\n"
         "clock plus OFFSET seconds.\n\n" +
         OptionHelp(kOptions);
}

struct NtpOptions {
  double offset = 0;
  long count = 1;
  long interval = 1000;
  int port = 123;
  std::string group = "224.0.1.1";
  std::string iface = "127.0.0.1";
  bool quiet = false;
  bool onSecond = false;
};

// The options; -1 when they are good, else the exit code.
int ParseNtp(const std::vector<std::string>& args, NtpOptions* o) {
  Options opts;
  const int read = ReadCommandOptions("headend ntp", args, kOptions, HelpText(), false, &opts);
  if (read >= 0) return read;
  std::string e;
  std::int64_t count = 0, interval = 0;
  if (!opts.Number("offset", -4e9, 4e9, 0, &o->offset, &e) || !opts.Integer("count", 0, 1L << 30, 1, &count, &e) ||
      !opts.Integer("interval", 0, 86400000, 1000, &interval, &e) || !opts.Int("port", 1, 65535, 123, &o->port, &e))
    return UsageError("headend ntp", e);
  o->count = static_cast<long>(count);
  o->interval = static_cast<long>(interval);
  o->group = opts.Text("group", o->group);
  o->iface = opts.Text("interface", o->iface);
  o->quiet = opts.Has("quiet");
  o->onSecond = opts.Has("on-second");
  return -1;
}

int SendTime(const NtpOptions& o) {
  MulticastSender sender("headend ntp");
  bool usage = false;
  if (!sender.Open({o.group, o.port, o.iface, 1, 0}, &usage)) return usage ? 2 : 1;
  for (long i = 0; o.count == 0 || i < o.count; ++i) {
    timeval tv;
    if (o.onSecond) {
      gettimeofday(&tv, nullptr);
      std::this_thread::sleep_for(std::chrono::microseconds(1000000 - tv.tv_usec + 1000));
    } else if (i > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(o.interval));
    }
    gettimeofday(&tv, nullptr);
    double t = static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6 + o.offset + 2208988800.0;
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
    if (!sender.Send(d, sizeof d)) return 1;
    if (!o.quiet) std::fprintf(stderr, "headend ntp: sent %ld to %s:%d, offset %+.3f s\n", i + 1, o.group.c_str(), o.port, o.offset);
  }
  return 0;
}

int RunNtp(int argc, char** argv) {
  NtpOptions o;
  const int parsed = ParseCommand("headend ntp", argc, argv, ParseNtp, &o);
  return parsed >= 0 ? parsed : SendTime(o);
}

RegisterHeadendCommand registerNtp({"ntp", "sends network time to 224.0.1.1:123 with a chosen offset", RunNtp});

}  // namespace
