// headend guide: serves a folder of guide day files and detail files over
// HTTP/1.0, the way the broadcaster's web server does, and misbehaves on
// request so that the planner's client can be tried against a bad server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include "common/text.h"
#include "tools/headend/command.h"
#include "tools/options/options.h"

namespace {

// How a request is answered. A path may start with "/<mode>/" to pick one
// for that request; --mode sets the default.
enum class Mode { Normal, NotFound, Slow, Stall, Short, NoLength, Empty, BigHead, Huge, Html, Trickle, SplitHead, Silent };

struct ModeName {
  const char* name;
  Mode mode;
  const char* summary;
};
const ModeName kModes[] = {
    {"normal", Mode::Normal, "the file with its Content-Length"},
    {"404", Mode::NotFound, "404 Not Found"},
    {"slow", Mode::Slow, "the file in 512-byte pieces, 50 ms apart"},
    {"stall", Mode::Stall, "the head and half the body, then nothing while the connection stays open"},
    {"short", Mode::Short, "the full Content-Length declared, half the body sent, then closed"},
    {"nolength", Mode::NoLength, "no Content-Length; the body ends when the connection closes"},
    {"empty", Mode::Empty, "Content-Length: 0 and no body"},
    {"bighead", Mode::BigHead, "a response head longer than 2048 bytes"},
    {"huge", Mode::Huge, "Content-Length: 4000000000 and a little body"},
    {"html", Mode::Html, "200 with an error page instead of the file"},
    {"trickle", Mode::Trickle, "declares the file's length and sends one byte every 100 ms"},
    {"splithead", Mode::SplitHead, "the status line, 300 ms later the headers, 300 ms later the body"},
    {"silent", Mode::Silent, "reads the request, then sends nothing while the connection stays open"},
};

struct ServerOptions {
  std::string folder;
  std::string address = "127.0.0.1";
  int port = 80;
  Mode mode = Mode::Normal;
  int stallSeconds = 600;
};

std::mutex logMutex;

void Log(const std::string& line) {
  std::lock_guard<std::mutex> lock(logMutex);
  std::fprintf(stdout, "%s\n", line.c_str());
  std::fflush(stdout);
}

// Request head with CR, LF and non-printing bytes made visible.
std::string Visible(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 0x20) { char b[8]; std::snprintf(b, sizeof b, "\\x%02x", c); out += b; }
    else out += static_cast<char>(c);
  }
  return out;
}

bool SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The path of the request target: an absolute URL loses its scheme and host.
std::string PathOf(const std::string& target) {
  std::size_t scheme = target.find("://");
  if (scheme == std::string::npos) return target;
  std::size_t slash = target.find('/', scheme + 3);
  return slash == std::string::npos ? "/" : target.substr(slash);
}

bool ReadFile(const std::string& path, std::string* data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *data = s.str();
  return true;
}

std::string Head(const std::string& status, long long length, const std::string& extra = std::string()) {
  std::string head = "HTTP/1.0 " + status + "\r\nServer: headend\r\nContent-Type: text/plain\r\n" + extra;
  if (length >= 0) head += "Content-Length: " + std::to_string(length) + "\r\n";
  return head + "\r\n";
}

// Holds the connection open for `seconds` or until the client closes it.
void WaitForClientClose(int fd, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    char probe;
    if (::recv(fd, &probe, 1, MSG_DONTWAIT) == 0) break;  // the client gave up
    Pause(100);
  }
}

void Answer(int fd, const ServerOptions& options, const std::string& requestHead) {
  std::string line = requestHead.substr(0, requestHead.find("\r\n"));
  std::string target;
  {
    std::size_t a = line.find(' ');
    std::size_t b = a == std::string::npos ? a : line.find(' ', a + 1);
    if (a != std::string::npos) target = line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
  }
  std::string path = PathOf(target);
  Mode mode = options.mode;
  for (const ModeName& m : kModes) {
    std::string prefix = std::string("/") + m.name + "/";
    if (path.compare(0, prefix.size(), prefix) == 0) {
      mode = m.mode;
      path = path.substr(prefix.size() - 1);
      break;
    }
  }
  std::string name = path.substr(path.rfind('/') + 1);
  if (mode == Mode::Silent) {
    Log("request " + Visible(requestHead) + " -> silent " + name);
    WaitForClientClose(fd, options.stallSeconds);
    Log("silent request ended: " + name);
    return;
  }
  std::string body;
  bool found = line.compare(0, 4, "GET ") == 0 && !name.empty() && name.find("..") == std::string::npos &&
               ReadFile(options.folder + "/" + name, &body);
  std::string outcome;
  if (!found || mode == Mode::NotFound) {
    std::string page = "<html><body>404 Not Found</body></html>";
    SendAll(fd, Head("404 Not Found", static_cast<long long>(page.size())) + page);
    outcome = "404";
  } else {
    const std::size_t half = body.size() / 2;
    switch (mode) {
      case Mode::Normal:
        SendAll(fd, Head("200 OK", static_cast<long long>(body.size())) + body);
        break;
      case Mode::Slow:
        SendAll(fd, Head("200 OK", static_cast<long long>(body.size())));
        for (std::size_t at = 0; at < body.size(); at += 512) {
          if (!SendAll(fd, body.substr(at, 512))) break;
          Pause(50);
        }
        break;
      case Mode::Stall:
        SendAll(fd, Head("200 OK", static_cast<long long>(body.size())) + body.substr(0, half));
        WaitForClientClose(fd, options.stallSeconds);
        break;
      case Mode::Short:
        SendAll(fd, Head("200 OK", static_cast<long long>(body.size())) + body.substr(0, half));
        break;
      case Mode::NoLength:
        SendAll(fd, Head("200 OK", -1) + body);
        break;
      case Mode::Empty:
        SendAll(fd, Head("200 OK", 0));
        break;
      case Mode::BigHead:
        SendAll(fd, Head("200 OK", static_cast<long long>(body.size()), "X-Padding: " + std::string(2100, 'x') + "\r\n") + body);
        break;
      case Mode::Huge:
        SendAll(fd, "HTTP/1.0 200 OK\r\nContent-Length: 4000000000\r\n\r\n" + body.substr(0, half));
        break;
      case Mode::Html: {
        std::string page = "<html><body>Service temporarily unavailable</body></html>";
        SendAll(fd, Head("200 OK", static_cast<long long>(page.size())) + page);
        break;
      }
      case Mode::Trickle:
        SendAll(fd, Head("200 OK", static_cast<long long>(body.size()) + 1000000));
        for (int i = 0; i < options.stallSeconds * 10; ++i) {
          if (!SendAll(fd, body.substr(i % (body.empty() ? 1 : body.size()), 1))) break;
          Pause(100);
        }
        break;
      case Mode::SplitHead: {
        const std::string head = Head("200 OK", static_cast<long long>(body.size()));
        const std::size_t statusEnd = head.find("\r\n") + 2;
        SendAll(fd, head.substr(0, statusEnd));
        Pause(300);
        SendAll(fd, head.substr(statusEnd));
        Pause(300);
        SendAll(fd, body);
        break;
      }
      case Mode::NotFound:
      case Mode::Silent:
        break;
    }
    outcome = "200";
  }
  Log("request " + Visible(requestHead) + " -> " + outcome + " " + name);
}

void Serve(int fd, ServerOptions options) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  std::size_t end = head.find("\r\n\r\n");
  if (end != std::string::npos) Answer(fd, options, head.substr(0, end + 4));
  else Log("request incomplete: " + Visible(head));
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

const OptionTable kOptions = {
    {"folder", 0, "DIR", "the folder served (required)"},
    {"address", 0, "A", "address to listen on (default 127.0.0.1)"},
    {"port", 0, "P", "port to listen on (default 80)"},
    {"mode", 0, "M", "the mode of a request whose path names none (default normal)"},
    {"stall-seconds", 0, "S",
     "how long the modes that hold a connection open (stall, silent, trickle) keep it, in seconds (default 600)"},
};

std::string HelpText() {
  std::string text =
      "usage: headend guide --folder DIR [--address A] [--port P] [--mode M] [--stall-seconds S]\n"
      "Serves DIR over HTTP/1.0 (default 127.0.0.1:80) and prints one line per request.\n\n" +
      OptionHelp(kOptions) + "\nA request path starting with /M/ is answered in mode M; --mode sets the default:\n";
  char line[160];
  for (const ModeName& m : kModes) {
    std::snprintf(line, sizeof line, "  %-9s %s\n", m.name, m.summary);
    text += line;
  }
  return text;
}

// The options; -1 when they are good, else the exit code.
int ParseServer(int argc, char** argv, ServerOptions* o) {
  std::vector<std::string> args;
  std::string e;
  if (!StartTool("headend guide", argc, argv, &args)) return 2;
  Options opts;
  const int read = ReadCommandOptions("headend guide", args, kOptions, HelpText(), false, &opts);
  if (read >= 0) return read;
  if (!opts.Required("folder", &e) || !opts.Int("port", 1, 65535, o->port, &o->port, &e) ||
      !opts.Int("stall-seconds", 0, 86400, o->stallSeconds, &o->stallSeconds, &e))
    return UsageError("headend guide", e);
  o->folder = Cp932ToUtf8(opts.Text("folder"));
  o->address = opts.Text("address", o->address);
  if (opts.Has("mode")) {
    bool known = false;
    for (const ModeName& n : kModes)
      if (opts.Text("mode") == n.name) o->mode = n.mode, known = true;
    if (!known) return UsageError("headend guide", "--mode: unknown mode '" + opts.Text("mode") + "'");
  }
  return -1;
}

int RunGuideServer(int argc, char** argv) {
  ServerOptions options;
  const int parsed = ParseServer(argc, argv, &options);
  if (parsed >= 0) return parsed;

  int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<std::uint16_t>(options.port));
  if (::inet_pton(AF_INET, options.address.c_str(), &local.sin_addr) != 1) {
    std::fprintf(stderr, "headend guide: bad address '%s'\n", options.address.c_str());
    return 2;
  }
  if (::bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(listener, 16) != 0) {
    std::fprintf(stderr, "headend guide: cannot listen on %s:%d: %s\n", options.address.c_str(), options.port,
                 std::strerror(errno));
    return 1;
  }
  Log("listening on " + options.address + ":" + std::to_string(options.port) + ", folder " + options.folder);
  for (;;) {
    int fd = ::accept(listener, nullptr, nullptr);
    if (fd < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "headend guide: accept failed: %s\n", std::strerror(errno));
      return 1;
    }
    std::thread(Serve, fd, options).detach();
  }
}

RegisterHeadendCommand registerGuide({"guide", "serve a guide folder over HTTP/1.0", RunGuideServer});

}  // namespace
