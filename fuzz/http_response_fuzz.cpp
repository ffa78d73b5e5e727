// The guide client's response reader on any bytes a server may send, in any
// pieces: it never reads past what it was given, never hands out more than
// the body that arrived, and accepts only a head that ends within 2048 bytes
// with a status line holding "200".
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/debug_log.h"
#include "planner/guide/http_get_socket.h"
#include "tests/support/fake_sockets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Every refused answer writes a debug line: not here, at millions of runs.
  static const bool silenced = (SetDebugSink([](const std::string&) {}), true);
  (void)silenced;
  if (size < 1) return 0;
  // The first byte chooses the size of the pieces the server writes.
  const std::size_t piece = data[0] + 1u;
  const std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
  auto server = std::make_shared<FakeServer>();
  for (std::size_t at = 0; at < answer.size(); at += piece) server->writes.push_back(answer.substr(at, piece));

  HostTable table;
  ManualClock clock(1000000000, 0);
  CHttpGetSocket http(table, HttpLimits(), clock, [server] { return std::make_unique<FakeStreamSocket>(server); });
  if (!http.OpenUrl("http://127.0.0.1/gd010305.dpn")) return 0;

  const std::size_t headEnd = answer.find("\r\n\r\n");
  if (headEnd == std::string::npos || headEnd + 4 > 2048) std::abort();
  if (http.StatusLine().find("200") == std::string::npos) std::abort();
  const std::int32_t n = http.DeclaredLength();
  if (n < 0 || n > kMaxGuideContentLength) std::abort();
  // The body in pieces, each compared with what the server sent after the head.
  const std::size_t bodyAt = headEnd + 4;
  std::vector<char> chunk(65536);
  std::size_t got = 0;
  for (std::int32_t r; (r = http.ReadBody(chunk.data(), static_cast<std::int32_t>(chunk.size()))) > 0;) {
    if (bodyAt + got + static_cast<std::size_t>(r) > answer.size()) std::abort();
    if (answer.compare(bodyAt + got, static_cast<std::size_t>(r), chunk.data(), static_cast<std::size_t>(r)) != 0)
      std::abort();
    got += static_cast<std::size_t>(r);
  }
  if (got > static_cast<std::size_t>(n)) std::abort();
  return 0;
}
