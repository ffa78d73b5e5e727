// headend announce: sends session announcement datagrams to the service's
// announcement group, which the channel selector watches for liveness only.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>
#include "tools/headend/command.h"
#include "tools/headend/multicast_sender.h"
#include "tools/options/options.h"

namespace {

const OptionTable kOptions = {
    {"group", 'g', "ADDR", "group (default 224.0.1.124)"},
    {"port", 'p', "N", "port (default 652)"},
    {"rate", 'r', "N", "datagrams a second, 1 to 1000 (default 1)"},
    {"count", 'n', "N", "datagrams to send, 0 = until interrupted (default 0)"},
    {"size", 's', "N", "bytes per datagram, 16 to 8192 (default 64)"},
    {"interface", 'i', "ADDR", "outgoing interface (default 127.0.0.1)"},
    {"quiet", 'q', nullptr, "no line per datagram"},
};

std::string HelpText() {
  return "usage: headend announce [options]\n"
         "Sends announcement datagrams (a small text naming the sequence number) at a\n"
         "steady rate until the count is reached or the program is interrupted.\n\n" +
         OptionHelp(kOptions);
}

struct AnnounceOptions {
  int rate = 1;
  long count = 0;
  int size = 64;
  int port = 652;
  std::string group = "224.0.1.124";
  std::string iface = "127.0.0.1";
  bool quiet = false;
};

// The options; -1 when they are good, else the exit code.
int ParseAnnounce(const std::vector<std::string>& args, AnnounceOptions* o) {
  Options opts;
  const int read = ReadCommandOptions("headend announce", args, kOptions, HelpText(), false, &opts);
  if (read >= 0) return read;
  std::string e;
  std::int64_t count = 0;
  if (!opts.Int("port", 1, 65535, o->port, &o->port, &e) || !opts.Int("rate", 1, 1000, o->rate, &o->rate, &e) ||
      !opts.Integer("count", 0, 1000000000, 0, &count, &e) || !opts.Int("size", 16, 8192, o->size, &o->size, &e))
    return UsageError("headend announce", e);
  o->count = static_cast<long>(count);
  o->group = opts.Text("group", o->group);
  o->iface = opts.Text("interface", o->iface);
  o->quiet = opts.Has("quiet");
  return -1;
}

int Announce(const AnnounceOptions& o) {
  MulticastSender sender("headend announce");
  bool usage = false;
  if (!sender.Open({o.group, o.port, o.iface, 1, 0}, &usage)) return usage ? 2 : 1;
  std::string data(static_cast<std::size_t>(o.size), ' ');
  const auto interval = std::chrono::microseconds(1000000 / o.rate);
  auto next = std::chrono::steady_clock::now();
  for (long i = 0; o.count == 0 || i < o.count; ++i) {
    std::this_thread::sleep_until(next);
    next += interval;
    const std::string head = "announce " + std::to_string(i + 1) + "\n";
    data.replace(0, head.size() < data.size() ? head.size() : data.size(), head.substr(0, data.size()));
    if (!sender.Send(data.data(), data.size())) return 1;
    if (!o.quiet) std::fprintf(stderr, "headend announce: sent %ld to %s:%d\n", i + 1, o.group.c_str(), o.port);
  }
  return 0;
}

int RunAnnounce(int argc, char** argv) {
  AnnounceOptions o;
  const int parsed = ParseCommand("headend announce", argc, argv, ParseAnnounce, &o);
  return parsed >= 0 ? parsed : Announce(o);
}

RegisterHeadendCommand registerAnnounce({"announce", "sends announcement datagrams (selector liveness)", RunAnnounce});

}  // namespace
