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
#include "common/sockets.h"
#include "common/text.h"
#include "common/time_text.h"
#include "tools/carousel_recv/wait_socket.h"
#include "unit/reception.h"
#include "unit/result_writer.h"

namespace {

void Help(FILE* out) {
  std::fprintf(out,
               "usage: carousel-recv [options] GROUP PORT FOLDER\n"
               "Receives the file carousel sent to GROUP:PORT into FOLDER, exactly as a reserved\n"
               "reception would, and places the files at their names. Exit code 0 when every\n"
               "file of the broadcast was completed, 1 otherwise, 2 for a usage error.\n\n"
               "  --timeout SECONDS     give up when nothing arrives within this time (default 300)\n"
               "  --end WHEN            scheduled end: +SECONDS from now or YYYYMMDDHHMM local time;\n"
               "                        the reception ends 60 s after it (default: none)\n"
               "  --total-kbyte N       expected size, for the progress figures\n"
               "  --clear               empty FOLDER first\n"
               "  --idle SECONDS        end when nothing new arrived for this long after the first\n"
               "                        datagram (a feed that went quiet; default: wait as the unit does)\n"
               "  --rcvbuf BYTES        socket receive buffer (default 131072, as the unit uses)\n"
               "  --discard             only count the datagrams and throw them away (no engine,\n"
               "                        nothing written); ends after --idle seconds of quiet (default 2)\n"
               "  --quiet               only the final line\n"
               "  --help                this text\n");
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
      while (socket->Pending() > 0) {
        int n = socket->Receive(buffer.data(), static_cast<int>(buffer.size()), nullptr);
        if (n < 0) break;
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

bool ParseLong(const char* text, long lo, long hi, long* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (end == text || *end || v < lo || v > hi) return false;
  *out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ReceptionParams params;
  params.sid = 1;
  params.name = "carousel-recv";
  params.timeout = 300;
  bool quiet = false, discard = false;
  long idle = 0;
  std::string endText;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    long v = 0;
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "carousel-recv: %s needs a value\n", what);
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      Help(stdout);
      return 0;
    } else if (a == "--timeout") {
      const char* t = value("--timeout");
      if (!ParseLong(t, 1, 86400 * 365, &v)) {
        std::fprintf(stderr, "carousel-recv: bad timeout '%s'\n", t);
        return 2;
      }
      params.timeout = static_cast<std::int32_t>(v);
    } else if (a == "--end") {
      endText = value("--end");
    } else if (a == "--total-kbyte") {
      const char* t = value("--total-kbyte");
      if (!ParseLong(t, 0, 0x7FFFFFFF, &v)) {
        std::fprintf(stderr, "carousel-recv: bad size '%s'\n", t);
        return 2;
      }
      params.totalBytes = static_cast<std::int64_t>(v) * 1024;
    } else if (a == "--clear") {
      params.clearFolder = true;
    } else if (a == "--rcvbuf") {
      const char* t = value("--rcvbuf");
      if (!ParseLong(t, 0, 1 << 30, &v)) {
        std::fprintf(stderr, "carousel-recv: bad buffer size '%s'\n", t);
        return 2;
      }
      params.receiveBuffer = static_cast<int>(v);
    } else if (a == "--idle") {
      const char* t = value("--idle");
      if (!ParseLong(t, 1, 86400, &idle)) {
        std::fprintf(stderr, "carousel-recv: bad idle time '%s'\n", t);
        return 2;
      }
    } else if (a == "--discard") {
      discard = true;
    } else if (a == "--quiet" || a == "-q") {
      quiet = true;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "carousel-recv: unknown option '%s'\n", a.c_str());
      Help(stderr);
      return 2;
    } else {
      positional.push_back(a);
    }
  }
  long port = 0;
  if (positional.size() != 3 || !ParseLong(positional[1].c_str(), 1, 65535, &port)) {
    Help(stderr);
    return 2;
  }
  params.address = positional[0];
  params.port = static_cast<std::uint16_t>(port);
  // Paths inside the programs are cp932; the argument comes in the console's encoding.
#ifdef _WIN32
  params.storageFolder = positional[2];
#else
  params.storageFolder = Utf8ToCp932(positional[2]);
#endif
  Clock& clock = SystemClock();
  params.scheduledEnd = clock.Now() + 10 * 365 * 86400;
  if (!endText.empty()) {
    long v = 0;
    if (endText[0] == '+' && ParseLong(endText.c_str() + 1, 0, 86400 * 365, &v)) {
      params.scheduledEnd = clock.Now() + static_cast<Time32>(v);
    } else if (endText.size() == 12 && endText.find_first_not_of("0123456789") == std::string::npos) {
      params.scheduledEnd = ParseStartText(endText.c_str());
    } else {
      std::fprintf(stderr, "carousel-recv: bad end '%s' (+SECONDS or YYYYMMDDHHMM)\n", endText.c_str());
      return 2;
    }
  }

  if (discard) {
    if (!InitSockets()) return 1;
    return Discard(params, idle ? static_cast<int>(idle) : 2, quiet);
  }
  FileSystem& files = PlatformFiles();
  if (!files.IsFolder(params.storageFolder) && !CreateFolderPath(files, params.storageFolder)) {
    std::fprintf(stderr, "carousel-recv: cannot create folder '%s'\n", positional[2].c_str());
    return 1;
  }
  if (!InitSockets()) {
    std::fprintf(stderr, "carousel-recv: the socket layer does not start\n");
    return 1;
  }
  ConsoleView view;
  Reception rx(params, files, clock, view);
  rx.Start();
  if (rx.Unreceivable()) {
    std::fprintf(stderr, "carousel-recv: cannot receive %s:%ld (bind or join failed)\n", params.address.c_str(), port);
    return 1;
  }
  if (!quiet) std::fprintf(stderr, "carousel-recv: waiting for %s:%ld\n", params.address.c_str(), port);

  std::uint32_t start = clock.TickMs();
  std::uint32_t nextTick = start + 10, nextReport = start + 1000, lastNews = start;
  std::int64_t lastBytes = 0;
  while (!rx.Finished()) {
    std::uint32_t now = clock.TickMs();
    int wait = static_cast<int>(nextTick - now);
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
    if (static_cast<std::int32_t>(now - nextTick) >= 0) {
      rx.OnTimer();
      nextTick += 10;
      if (static_cast<std::int32_t>(now - nextTick) > 100) nextTick = now + 10;  // far behind: no catch-up burst
    }
    if (rx.ReceivedBytes() != lastBytes) {
      lastBytes = rx.ReceivedBytes();
      lastNews = now;
    } else if (idle > 0 && !rx.Files().empty() && now - lastNews > static_cast<std::uint32_t>(idle) * 1000u) {
      if (!quiet) std::fprintf(stderr, "carousel-recv: nothing new for %ld s\n", idle);
      rx.OnStopCommand();
    }
    if (view.stopPosted) {
      view.stopPosted = false;
      rx.OnStopCommand();
    }
    if (!quiet && static_cast<std::int32_t>(now - nextReport) >= 0) {
      nextReport = now + 1000;
      if (rx.FileCount() > 0)
        std::fprintf(stderr, "carousel-recv: %d of %d files left, %lld KByte received\n", rx.RemainingFiles(),
                     rx.FileCount(), static_cast<long long>(rx.ReceivedBytes() / 1024));
      else
        std::fprintf(stderr, "carousel-recv: %s, %lld KByte received\n", rx.Files().empty() ? "waiting" : "receiving",
                     static_cast<long long>(rx.ReceivedBytes() / 1024));
    }
  }
  double seconds = (clock.TickMs() - start) / 1000.0;
  int fileCount = rx.FileCount(), remaining = rx.RemainingFiles();
  long long kbytes = static_cast<long long>(rx.ReceivedBytes() / 1024);
  bool complete = rx.Result() == 1;
  rx.Shutdown();
  int unplaced = rx.PlaceFiles();
  std::fprintf(stderr, "carousel-recv: %s: %d files, %d left, %lld KByte in %.2f s, cpu %.3f s%s\n",
               complete ? "complete" : "incomplete", fileCount, complete ? 0 : remaining, kbytes, seconds,
               ProcessCpuSeconds(), unplaced ? (", " + std::to_string(unplaced) + " not placed").c_str() : "");
  return complete && unplaced == 0 ? 0 : 1;
}
