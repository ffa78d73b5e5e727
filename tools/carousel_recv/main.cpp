// carousel-recv: receives one broadcast (group, port) into a folder with the
// reception engine, shows how many files are left and how much arrived, and
// exits 0 only when every file was completed. It writes no result record.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <string>
#include "common/clock.h"
#include "common/files.h"
#include "common/path.h"
#include "common/sockets.h"
#include "common/text.h"
#include "common/time_text.h"
#include "tools/carousel_recv/wait_socket.h"
#include "tools/options/options.h"
#include "unit/reception.h"
#include "unit/result_writer.h"

namespace {

const OptionTable kOptions = {
    {"timeout", 0, "SECONDS", "give up when nothing arrives within this time (default 300)"},
    {"end", 0, "WHEN", "scheduled end: +SECONDS from now or YYYYMMDDHHMM local time; the reception ends 60 s "
                       "after it (default: none)"},
    {"total-kbyte", 0, "N", "expected size, for the progress figures; it also bounds the disk taken, as a "
                            "reservation's total does (default: the free space)"},
    {"clear", 0, nullptr, "empty FOLDER first"},
    {"idle", 0, "SECONDS", "end when nothing new arrived for this long after the first datagram (a feed that "
                           "went quiet; default: wait as the unit does)"},
    {"rcvbuf", 0, "BYTES", "socket receive buffer (default 131072, as the unit uses)"},
    {"discard", 0, nullptr, "only count the datagrams and throw them away (no engine, nothing written); ends "
                            "after --idle seconds of quiet (default 2)"},
    {"quiet", 'q', nullptr, "only the final line"},
};

std::string HelpText() {
  return "usage: carousel-recv [options] GROUP PORT FOLDER\n"
         "Receives the file carousel sent to GROUP:PORT into FOLDER, exactly as a reserved\n"
         "reception would, and places the files at their names. Exit code 0 when every\n"
         "file of the broadcast was completed, 1 otherwise, 2 for a usage error.\n\n" +
         OptionHelp(kOptions);
}

// The bare receive-and-discard loop the engine is measured against: the same
// socket seam and buffer size, no queue, no files.
int Discard(const ReceptionParams& params, int idleSeconds, bool quiet) {
  std::unique_ptr<DatagramSocket> socket = CreateDatagramSocket();
  if (!socket->Bind(params.port, params.receiveBuffer) || !socket->Join(params.address)) {
    std::fprintf(stderr, "carousel-recv: cannot receive %s:%u (error %d)\n", params.address.c_str(),
                 static_cast<unsigned>(params.port), socket->LastError());
    return 1;
  }
  Clock& clock = SystemClock();
  std::vector<char> buffer(65536);
  unsigned long long count = 0, bytes = 0;
  std::uint32_t start = clock.TickMs(), last = start;
  const std::uint32_t firstWait = static_cast<std::uint32_t>(params.timeout) * 1000u;
  const std::uint32_t idleWait = static_cast<std::uint32_t>(idleSeconds) * 1000u;
  for (;;) {
    if (WaitReadable(socket->Handle(), 50)) {
      for (;;) {
        const int n = socket->Receive(buffer.data(), static_cast<int>(buffer.size()), nullptr);
        if (EndsDrain(n)) break;
        if (n < 0) continue;  // too long for the buffer: read and dropped
        ++count;
        bytes += static_cast<unsigned>(n);
      }
      last = clock.TickMs();
    }
    std::uint32_t now = clock.TickMs();
    if (count == 0 ? now - start > firstWait : now - last > idleWait) break;
  }
  if (!quiet) std::fprintf(stderr, "carousel-recv: discard loop ended\n");
  std::fprintf(stderr, "carousel-recv: discarded %llu datagrams, %llu bytes, cpu %.3f s\n", count, bytes,
               ProcessCpuSeconds());
  std::printf("%llu %llu\n", count, bytes);
  socket->Leave();
  socket->Close();
  return count ? 0 : 1;
}

class ConsoleView : public ReceptionView {
 public:
  void PostStopCommand() override { stopPosted = true; }
  void ShowBindError(int code) override { std::fprintf(stderr, "carousel-recv: Bind error %d\n", code); }
  bool stopPosted = false;
};

struct RecvOptions {
  ReceptionParams params;
  bool quiet = false;
  bool discard = false;
  int idle = 0;  // seconds; 0 = wait as the unit does
};

// "+SECONDS" from now or a "YYYYMMDDHHMM" local time.
bool ParseEnd(const std::string& text, Time32 now, Time32* end) {
  std::int64_t seconds = 0;
  if (!text.empty() && text[0] == '+' && ParseInteger(text.substr(1), &seconds) && seconds >= 0 &&
      seconds <= 86400 * 365) {
    *end = now + static_cast<Time32>(seconds);
    return true;
  }
  if (text.size() == 12 && text.find_first_not_of("0123456789") == std::string::npos) {
    *end = ParseStartText(text.c_str());
    return *end != kNoTime;
  }
  return false;
}

// The options and the three arguments; -1 when they are good, else the exit code.
int ParseCommandLine(const std::vector<std::string>& args, const Clock& clock, RecvOptions* o) {
  Options opts;
  std::string e;
  if (!opts.Parse(args, kOptions, &e))
    return UsageError("carousel-recv", e);
  if (opts.Help()) {
    PrintText(stdout, HelpText());
    return 0;
  }
  ReceptionParams& p = o->params;
  std::int64_t kbyte = 0;
  int port = 0;
  if (!opts.Int("timeout", 1, 86400 * 365, 300, &p.timeout, &e) || !opts.Int("rcvbuf", 0, 1 << 30, p.receiveBuffer,
                                                                             &p.receiveBuffer, &e) ||
      !opts.Int("idle", 1, 86400, 0, &o->idle, &e) || !opts.Integer("total-kbyte", 0, 0x7FFFFFFF, 0, &kbyte, &e))
    return UsageError("carousel-recv", e);
  if (opts.Positional().size() != 3) return UsageError("carousel-recv", "GROUP, PORT and FOLDER are needed");
  std::int64_t portValue = 0;
  if (!ParseInteger(opts.Positional()[1], &portValue) || portValue < 1 || portValue > 65535)
    return UsageError("carousel-recv", "PORT: '" + opts.Positional()[1] + "' is not a number from 1 to 65535");
  port = static_cast<int>(portValue);
  p.totalBytes = kbyte * 1024;
  p.clearFolder = opts.Has("clear");
  o->quiet = opts.Has("quiet");
  o->discard = opts.Has("discard");
  p.address = opts.Positional()[0];
  p.port = static_cast<std::uint16_t>(port);
  p.storageFolder = opts.Positional()[2];
  // The operator names the folder: --clear may empty it (never a root), and
  // without --total-kbyte only the free space bounds what is written.
  p.dataFolder = ParentFolder(p.storageFolder);
  p.boundByDeclaredSize = opts.Has("total-kbyte");
  p.scheduledEnd = clock.Now() + 10 * 365 * 86400;
  if (opts.Has("end") && !ParseEnd(opts.Text("end"), clock.Now(), &p.scheduledEnd))
    return UsageError("carousel-recv", "--end: '" + opts.Text("end") + "' is not +SECONDS or YYYYMMDDHHMM");
  return -1;
}

// One turn of the receive loop: queued work, the socket, the 10 ms timer.
void Turn(Reception& rx, std::uint32_t* nextTick, const Clock& clock) {
  std::uint32_t now = clock.TickMs();
  int wait = static_cast<int>(*nextTick - now);
  if (wait > 10 || wait < 0) wait = 0;
  // Queued work goes on between ticks; the wait happens only when idle
  // (under Wine every select() is a round trip to the server).
  DatagramSocket* socket = rx.Socket();
  if (socket && rx.QueueLength() > 0) {
    rx.OnSocketReady();
  } else if (socket) {
    if (WaitReadable(socket->Handle(), wait)) rx.OnSocketReady();
  } else if (wait > 0) {
    SleepMs(wait);
  }
  rx.ProcessQueued();
  now = clock.TickMs();
  if (static_cast<std::int32_t>(now - *nextTick) >= 0) {
    rx.OnTimer();
    *nextTick += 10;
    if (static_cast<std::int32_t>(now - *nextTick) > 100) *nextTick = now + 10;  // far behind: no catch-up burst
  }
}

void Report(const Reception& rx) {
  if (rx.FileCount() > 0)
    std::fprintf(stderr, "carousel-recv: %d of %d files left, %lld KByte received\n", rx.RemainingFiles(),
                 rx.FileCount(), static_cast<long long>(rx.ReceivedBytes() / 1024));
  else
    std::fprintf(stderr, "carousel-recv: %s, %lld KByte received\n", rx.Files().empty() ? "waiting" : "receiving",
                 static_cast<long long>(rx.ReceivedBytes() / 1024));
}

int Receive(const RecvOptions& o, Clock& clock) {
  const ReceptionParams& params = o.params;
  FileSystem& files = PlatformFiles();
  if (!files.IsFolder(params.storageFolder) && !CreateFolderPath(files, params.storageFolder)) {
    std::fprintf(stderr, "carousel-recv: cannot create folder '%s'\n", Cp932ToUtf8(params.storageFolder).c_str());
    return 1;
  }
  ConsoleView view;
  Reception rx(params, files, clock, view);
  rx.Start();
  if (rx.Unreceivable()) {
    std::fprintf(stderr, "carousel-recv: cannot receive %s:%u (bind or join failed)\n", params.address.c_str(),
                 static_cast<unsigned>(params.port));
    return 1;
  }
  if (!o.quiet)
    std::fprintf(stderr, "carousel-recv: waiting for %s:%u\n", params.address.c_str(), static_cast<unsigned>(params.port));

  const std::uint32_t start = clock.TickMs();
  std::uint32_t nextTick = start + 10, nextReport = start + 1000, lastNews = start;
  std::int64_t lastBytes = 0;
  while (!rx.Finished()) {
    Turn(rx, &nextTick, clock);
    const std::uint32_t now = clock.TickMs();
    if (rx.ReceivedBytes() != lastBytes) {
      lastBytes = rx.ReceivedBytes();
      lastNews = now;
    } else if (o.idle > 0 && !rx.Files().empty() && now - lastNews > static_cast<std::uint32_t>(o.idle) * 1000u) {
      if (!o.quiet) std::fprintf(stderr, "carousel-recv: nothing new for %d s\n", o.idle);
      rx.OnStopCommand();
    }
    if (view.stopPosted) {
      view.stopPosted = false;
      rx.OnStopCommand();
    }
    if (!o.quiet && static_cast<std::int32_t>(now - nextReport) >= 0) {
      nextReport = now + 1000;
      Report(rx);
    }
  }
  const double seconds = (clock.TickMs() - start) / 1000.0;
  const int fileCount = rx.FileCount(), remaining = rx.RemainingFiles();
  const long long kbytes = static_cast<long long>(rx.ReceivedBytes() / 1024);
  const bool complete = rx.Result() == 1;
  rx.Shutdown();
  const int unplaced = rx.PlaceFiles();
  std::fprintf(stderr, "carousel-recv: %s: %d files, %d left, %lld KByte in %.2f s, cpu %.3f s%s\n",
               complete ? "complete" : "incomplete", fileCount, complete ? 0 : remaining, kbytes, seconds,
               ProcessCpuSeconds(), unplaced ? (", " + std::to_string(unplaced) + " not placed").c_str() : "");
  return complete && unplaced == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args;
  if (!StartTool("carousel-recv", argc, argv, &args)) return 2;
  Clock& clock = SystemClock();
  RecvOptions o;
  o.params.sid = 1;
  o.params.name = "carousel-recv";
  const int parsed = ParseCommandLine(args, clock, &o);
  if (parsed >= 0) return parsed;
  if (!InitSockets()) {
    std::fprintf(stderr, "carousel-recv: the socket layer does not start\n");
    return 1;
  }
  if (o.discard) return Discard(o.params, o.idle ? o.idle : 2, o.quiet);
  return Receive(o, clock);
}
