// The guide client against the head-end's guide server on loopback port 80.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include "common/files.h"
#include "planner/guide/guide_store.h"
#include "planner/guide/http_get_socket.h"
#include "tests/planner/guide/guide_markup.h"
#include "tests/support/temp_folder.h"

namespace {

const char kDay[] = "gd010305.dpn";

bool CanConnect() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(80);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(fd);
  return ok;
}

// Runs `headend guide` over a served folder for one test.
class GuideServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProcessHostTable().Clear();
    served.Write(kDay, dayText);
    logPath = cache.Path() + "/server.log";  // opened by the C library, not the file seam
    server = ::fork();
    if (server == 0) {
      std::freopen(logPath.c_str(), "w", stdout);
      ::execl(HEADEND_PATH, "headend", "guide", "--folder", served.Path().c_str(), "--port", "80",
              "--stall-seconds", "20", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 200 && !CanConnect(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(CanConnect()) << "headend guide does not listen on 127.0.0.1:80";
    Requests();  // the probe connections leave incomplete-request lines
    probeLines = requestLines.size();
  }
  void TearDown() override {
    if (server > 0) {
      ::kill(server, SIGTERM);
      ::waitpid(server, nullptr, 0);
    }
  }
  // The server's request lines so far (probes excluded).
  std::vector<std::string> Requests() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream in(logPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      if (line.rfind("request GET", 0) == 0) lines.push_back(line);
    requestLines = lines;
    return lines;
  }
  GuideDayText Fetch(const std::string& location, HttpLimits limits = HttpLimits()) {
    GuideFetchOptions options;
    options.limits = limits;
    return FetchGuideDay(PlatformFiles(), kDay, location, cache.Path(), options);
  }

  const std::string dayText = GeneratedDay(40);
  const std::string cachedText = GeneratedDay(3, 500);
  TempFolder served, cache;
  std::string logPath;
  pid_t server = -1;
  std::vector<std::string> requestLines;
  std::size_t probeLines = 0;
};

TEST_F(GuideServerTest, FetchStoresTheDayInTheCache) {
  GuideDayText day = Fetch("http://127.0.0.1/");
  EXPECT_TRUE(day.haveText);
  EXPECT_FALSE(day.fetchFailed);
  EXPECT_FALSE(day.fromCache);
  EXPECT_EQ(day.text, dayText);
  EXPECT_EQ(cache.Read(kDay), dayText);
}

TEST_F(GuideServerTest, RequestCarriesTheFullUrlAndNoHeaderLines) {
  Fetch("http://127.0.0.1");
  Fetch("http://127.0.0.1/");
  std::vector<std::string> lines = Requests();
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& line : lines)
    EXPECT_EQ(line, "request GET http://127.0.0.1/gd010305.dpn HTTP/1.0\\r\\n\\r\\n -> 200 gd010305.dpn");
}

// A real server writes the status line, the headers and the body apart.
TEST_F(GuideServerTest, HeadWrittenInPiecesIsReadWhole) {
  GuideDayText day = Fetch("http://127.0.0.1/splithead/");
  EXPECT_FALSE(day.fetchFailed);
  EXPECT_EQ(day.text, dayText);
  EXPECT_EQ(cache.Read(kDay), dayText);
}

TEST_F(GuideServerTest, BodyWithoutContentLengthIsReadToClose) {
  GuideDayText day = Fetch("http://127.0.0.1/nolength/");
  EXPECT_FALSE(day.fetchFailed);
  EXPECT_EQ(day.text, dayText);
  EXPECT_EQ(cache.Read(kDay), dayText);
}

TEST_F(GuideServerTest, NothingBeforeTheCloseWithoutContentLengthFallsBack) {
  served.Write("gd010306.dpn", "");
  cache.Write("gd010306.dpn", cachedText);
  GuideDayText day = FetchGuideDay(PlatformFiles(), "gd010306.dpn", "http://127.0.0.1/nolength/", cache.Path());
  EXPECT_TRUE(day.fetchFailed);
  EXPECT_TRUE(day.fromCache);
  EXPECT_EQ(cache.Read("gd010306.dpn"), cachedText);
}

TEST_F(GuideServerTest, SlowBodyArrivesWhole) {
  GuideDayText day = Fetch("http://127.0.0.1/slow/");
  EXPECT_FALSE(day.fetchFailed);
  EXPECT_EQ(day.text, dayText);
}

TEST_F(GuideServerTest, ContentLengthZeroIsAnEmptyDayThatLeavesTheCacheAlone) {
  cache.Write(kDay, cachedText);
  GuideDayText day = Fetch("http://127.0.0.1/empty/");
  EXPECT_TRUE(day.haveText);
  EXPECT_TRUE(day.text.empty());
  EXPECT_FALSE(day.fetchFailed);
  EXPECT_FALSE(day.fromCache);
  EXPECT_EQ(cache.Read(kDay), cachedText);
  GuideStore store(PlatformFiles());
  EXPECT_FALSE(store.LoadGuideFile(kDay, "http://127.0.0.1/empty/", cache.Path()));
}

TEST_F(GuideServerTest, FailedFetchesFallBackToTheUnchangedCache) {
  const struct {
    const char* location;
    const char* why;
  } cases[] = {
      {"http://127.0.0.1/404/", "404"},
      {"http://127.0.0.1/html/", "a body without <program_number>"},
      {"http://127.0.0.1/bighead/", "a head over 2048 bytes"},
      {"http://127.0.0.1/huge/", "Content-Length 4000000000"},
      {"http://127.0.0.1/short/", "a body shorter than its Content-Length"},
      {"http://127.0.0.1:80/", "a host with a port"},
      {"http://127.0.0.2/", "nothing listening"},
      {"127.0.0.1/", "no scheme"},
  };
  for (const auto& c : cases) {
    cache.Write(kDay, cachedText);
    GuideDayText day = Fetch(c.location);
    EXPECT_TRUE(day.fetchFailed) << c.why;
    EXPECT_TRUE(day.fromCache) << c.why;
    EXPECT_EQ(day.text, cachedText) << c.why;
    EXPECT_EQ(cache.Read(kDay), cachedText) << c.why;
  }
}

TEST_F(GuideServerTest, HostWithPortFailsItsLookupAndNeverReachesTheServer) {
  GuideDayText day = Fetch("http://127.0.0.1:80/");
  EXPECT_TRUE(day.unreachable);
  EXPECT_EQ(ProcessHostTable().entries[HostTable::kEntries - 1].host, "127.0.0.1:80");
  EXPECT_EQ(ProcessHostTable().entries[HostTable::kEntries - 1].address, "");
  EXPECT_TRUE(Requests().empty());
}

TEST_F(GuideServerTest, FailedDayWithoutCacheGivesNoText) {
  GuideDayText day = Fetch("http://127.0.0.1/404/");
  EXPECT_TRUE(day.fetchFailed);
  EXPECT_FALSE(day.haveText);
}

TEST_F(GuideServerTest, StalledBodyIsCutByTheIdleLimit) {
  cache.Write(kDay, cachedText);
  HttpLimits limits;
  limits.idleMs = 300;
  int pumped = 0;
  SetHttpWaitPump([&] { ++pumped; });
  auto started = std::chrono::steady_clock::now();
  GuideDayText day = Fetch("http://127.0.0.1/stall/", limits);
  auto took = std::chrono::steady_clock::now() - started;
  SetHttpWaitPump(nullptr);
  EXPECT_GE(pumped, 2) << "the window messages flow while the body is awaited";
  EXPECT_TRUE(day.fetchFailed);
  EXPECT_EQ(cache.Read(kDay), cachedText);
  EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(GuideServerTest, ServerThatNeverAnswersIsCutByTheAnswerLimit) {
  cache.Write(kDay, cachedText);
  HttpLimits limits;
  limits.answerMs = 300;
  auto started = std::chrono::steady_clock::now();
  GuideDayText day = Fetch("http://127.0.0.1/silent/", limits);
  auto took = std::chrono::steady_clock::now() - started;
  EXPECT_TRUE(day.fetchFailed);
  EXPECT_EQ(cache.Read(kDay), cachedText);
  EXPECT_LT(took, std::chrono::seconds(5));
  std::vector<std::string> lines = Requests();
  ASSERT_GT(lines.size(), probeLines);
  EXPECT_NE(lines.back().find("-> silent"), std::string::npos) << lines.back();
}

TEST_F(GuideServerTest, EndlessBodyIsCutByTheBodyLimit) {
  HttpLimits limits;
  limits.idleMs = 1000;
  limits.bodyMs = 600;
  CHttpGetSocket http(ProcessHostTable(), limits);
  ASSERT_TRUE(http.OpenUrl(std::string("http://127.0.0.1/trickle/") + kDay));
  std::string body(static_cast<std::size_t>(http.DeclaredLength()), '\0');
  auto started = std::chrono::steady_clock::now();
  std::int32_t got = http.ReadBody(&body[0], http.DeclaredLength());
  auto took = std::chrono::steady_clock::now() - started;
  EXPECT_TRUE(http.TimedOut());
  EXPECT_GT(got, 0);
  EXPECT_LT(got, http.DeclaredLength());
  EXPECT_LT(took, std::chrono::seconds(3));
}

TEST_F(GuideServerTest, ReadBodyHandsOutThePiecesInOrder) {
  CHttpGetSocket http;
  ASSERT_TRUE(http.OpenUrl(std::string("http://127.0.0.1/slow/") + kDay));
  EXPECT_EQ(http.StatusLine(), "HTTP/1.0 200 OK");
  EXPECT_EQ(http.DeclaredLength(), static_cast<std::int32_t>(dayText.size()));
  std::string body;
  char piece[700];
  for (std::int32_t n; (n = http.ReadBody(piece, sizeof piece)) > 0;) body.append(piece, static_cast<std::size_t>(n));
  EXPECT_EQ(body, dayText);
  EXPECT_TRUE(http.Done());
  EXPECT_EQ(http.ReadBody(piece, sizeof piece), 0);
}

TEST_F(GuideServerTest, SixthLiveConnectionToAHostIsNoticedAndStillMade) {
  std::vector<std::string> notices;
  ProcessHostTable().notice = [&](const std::string& text) { notices.push_back(text); };
  std::vector<std::unique_ptr<CHttpGetSocket>> live;
  for (int i = 0; i < 6; ++i) {
    live.push_back(std::make_unique<CHttpGetSocket>());
    EXPECT_TRUE(live.back()->OpenUrl(std::string("http://127.0.0.1/stall/") + kDay)) << i;
  }
  EXPECT_EQ(notices, (std::vector<std::string>{"Port Over"}));
  const HostEntry& entry = ProcessHostTable().entries[live[0]->HostIndex()];
  for (const HostPort& p : entry.ports) EXPECT_EQ(p.inUse, 1);
  live.erase(live.begin());  // releases its record
  int free = 0;
  for (const HostPort& p : entry.ports) free += p.port == 0 ? 1 : 0;
  EXPECT_EQ(free, 1);
  live.clear();
  ProcessHostTable().notice = nullptr;
}

TEST_F(GuideServerTest, FailureMessageIsOfferedOncePerLoadUntilTicked) {
  for (int i = 0; i < 3; ++i)
    cache.Write(GuideDayFileName(MakeLocalTime(2001, 3, 5 + i, 4, 0)), GeneratedDay(2, 10 * i + 1));
  GuideStore store(PlatformFiles());
  int shown = 0;
  bool tick = false;
  store.showFailure = [&] {
    ++shown;
    return tick;
  };
  const Time32 first = MakeLocalTime(2001, 3, 5, 4, 0);
  EXPECT_TRUE(store.LoadGuideDays("http://127.0.0.1/404", first, 3, cache.Path()));
  EXPECT_EQ(store.Guide().Size(), 6u);
  EXPECT_EQ(shown, 0) << "the load itself shows nothing: its caller offers the message";
  store.OfferFailureMessage("http://127.0.0.1/404");
  store.OfferFailureMessage("http://127.0.0.1/404");
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Requests().size(), 3u) << "a 404 does not stop the other days from asking";
  tick = true;
  store.LoadGuideDays("http://127.0.0.1/404", first, 3, cache.Path());
  store.OfferFailureMessage("http://127.0.0.1/404");
  EXPECT_EQ(shown, 2);
  store.LoadGuideDays("http://127.0.0.1/404", first, 3, cache.Path());
  store.OfferFailureMessage("http://127.0.0.1/404");
  EXPECT_EQ(shown, 2) << "ticked: not shown again";
  store.LoadGuideDays("", first, 3, cache.Path());
  store.OfferFailureMessage("");
  EXPECT_EQ(shown, 2);
}

TEST_F(GuideServerTest, UnreachableServerIsNotAskedAgainInTheSameLoad) {
  GuideStore store(PlatformFiles());
  cache.Write(kDay, cachedText);
  EXPECT_TRUE(store.LoadGuideDays("http://127.0.0.2/", MakeLocalTime(2001, 3, 5, 4, 0), 3, cache.Path()));
  EXPECT_TRUE(store.LastLoadFetchFailed());
  EXPECT_EQ(store.Guide().Size(), 3u);
}

TEST(HostTableTest, RecyclesTheLeastRecentlyUsedEntry) {
  HostTable table;
  for (int i = 0; i < HostTable::kEntries; ++i) {
    int index = table.Select("10.0.0." + std::to_string(i + 1));
    table.entries[index].lastUse = 1000 + static_cast<std::uint32_t>(i);
  }
  table.entries[4].lastUse = 5;
  const std::string evicted = table.entries[4].host;
  EXPECT_EQ(table.Select("10.0.0.99"), 4);
  EXPECT_EQ(table.entries[4].address, "10.0.0.99");
  EXPECT_EQ(table.entries[4].lastUse, 0u);
  for (const HostEntry& e : table.entries) EXPECT_NE(e.host, evicted);
  int again = table.Select("10.0.0.99");
  EXPECT_EQ(again, 4) << "a cached host is found, not looked up again";
}

TEST(HttpRequest, IsTheFullUrlFollowedByTheEmptyLine) {
  EXPECT_EQ(CHttpGetSocket::RequestFor("http://h/a/gd010305.dpn"), "GET http://h/a/gd010305.dpn HTTP/1.0\r\n\r\n");
  std::string host;
  EXPECT_TRUE(CHttpGetSocket::HostOf("http://h:8080/x", &host));
  EXPECT_EQ(host, "h:8080");
  EXPECT_TRUE(CHttpGetSocket::HostOf("http://only-host", &host));
  EXPECT_EQ(host, "only-host");
  EXPECT_FALSE(CHttpGetSocket::HostOf("h/x", &host));
}

}  // namespace
