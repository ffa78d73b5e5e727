// The fetch step and the HTTP client against a scripted server (no network):
// how the answer arrives, what reaches the cache, which locations are refused.
#include <gtest/gtest.h>

#include <memory>

#include "common/clock.h"
#include "common/files.h"
#include "planner/guide/guide_store.h"
#include "planner/guide/http_get_socket.h"
#include "tests/planner/guide/guide_markup.h"
#include "tests/support/failing_files.h"
#include "tests/support/fake_sockets.h"
#include "tests/support/temp_folder.h"

namespace {

const char kDayFile[] = "gd010305.dpn";

class GuideFetchTest : public ::testing::Test {
 protected:
  GuideFetchTest() {
    options.createSocket = [this] { return std::make_unique<FakeStreamSocket>(server); };
    MarkupProgram p;
    p.programNumber = "7";
    dayText = DayMarkup({p});
  }
  GuideDayText Fetch(FileSystem& fs) { return FetchGuideDay(fs, kDayFile, "http://127.0.0.1/", cache.Path(), options); }
  GuideDayText Fetch() { return Fetch(PlatformFiles()); }
  std::string Answer(const std::string& body) const {
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }

  std::shared_ptr<FakeServer> server = std::make_shared<FakeServer>();
  GuideFetchOptions options;
  TempFolder cache;
  std::string dayText;
};

// However the server splits its answer, the head is read to its blank line.
TEST_F(GuideFetchTest, HeadMayArriveInSeveralPieces) {
  const std::string answer = Answer(dayText);
  const std::size_t headEnd = answer.find("\r\n\r\n") + 4;
  const struct {
    const char* why;
    std::vector<std::string> writes;
  } cases[] = {
      {"in one piece", {answer}},
      {"status line, then headers and body", {answer.substr(0, 17), answer.substr(17)}},
      {"status line, headers, body", {answer.substr(0, 17), answer.substr(17, headEnd - 17), answer.substr(headEnd)}},
      {"the blank line cut in two", {answer.substr(0, headEnd - 2), answer.substr(headEnd - 2)}},
      {"a byte at a time", {}},
  };
  for (const auto& c : cases) {
    server = std::make_shared<FakeServer>();
    server->writes = c.writes;
    if (server->writes.empty())
      for (char ch : answer) server->writes.push_back(std::string(1, ch));
    GuideDayText day = Fetch();
    EXPECT_FALSE(day.fetchFailed) << c.why;
    EXPECT_EQ(day.text, dayText) << c.why;
    EXPECT_EQ(cache.Read(kDayFile), dayText) << c.why;
  }
}

TEST_F(GuideFetchTest, HeadOverTwoThousandFortyEightBytesStillFails) {
  cache.Write(kDayFile, "cached");
  const std::string padding = "X-Pad: " + std::string(2100, 'a') + "\r\n";
  server->writes = {"HTTP/1.0 200 OK\r\n", padding, "Content-Length: 2\r\n\r\nab"};
  GuideDayText day = Fetch();
  EXPECT_TRUE(day.fetchFailed);
  EXPECT_EQ(day.text, "cached");
}

TEST_F(GuideFetchTest, HeadThatNeverEndsFailsWithinTheAnswerTime) {
  cache.Write(kDayFile, "cached");
  ManualClock clock;
  server->closes = false;
  server->idleWait = [&clock](int ms) { clock.Advance(static_cast<std::uint32_t>(ms)); };
  server->writes = {"HTTP/1.0 200 OK\r\n"};
  HostTable table;
  CHttpGetSocket http(table, HttpLimits(), clock, options.createSocket);
  EXPECT_FALSE(http.OpenUrl("http://127.0.0.1/gd010305.dpn"));
  EXPECT_GE(clock.TickMs(), 5000u);
  EXPECT_LT(clock.TickMs(), 6000u);
}

TEST_F(GuideFetchTest, FailedCacheWriteKeepsTheGoodCache) {
  cache.Write(kDayFile, dayText + "<!-- the good copy -->");
  server->writes = {Answer(dayText)};
  FailingFiles full(PlatformFiles());
  full.spaceLeft = 10;  // the disk fills up during the write
  GuideDayText day = Fetch(full);
  EXPECT_EQ(day.text, dayText) << "the fetched day is still used";
  EXPECT_EQ(cache.Read(kDayFile), dayText + "<!-- the good copy -->");
  EXPECT_EQ(PlatformFiles().Find(cache / "*").size(), 1u) << "no temporary file stays behind";
}

TEST_F(GuideFetchTest, LocationsWithBlanksOrLineBreaksAreNeverSent) {
  for (const char* location : {"http://127.0.0.1/ x/", "http://127.0.0.1/\r\nHost: evil/", "http://127.0.0.1/\tx/",
                               "http://127.0.0.1/\nx/"}) {
    server = std::make_shared<FakeServer>();
    server->writes = {Answer(dayText)};
    GuideDayText day = FetchGuideDay(PlatformFiles(), kDayFile, location, cache.Path(), options);
    EXPECT_TRUE(day.fetchFailed) << location;
    EXPECT_EQ(server->sockets, 0) << location;
    EXPECT_EQ(server->request, "") << location;
  }
}

TEST_F(GuideFetchTest, ConnectKeepsTheWindowMessagesFlowing) {
  int pumped = 0;
  SetHttpWaitPump([&pumped] { ++pumped; });
  server->writes = {Answer(dayText)};
  GuideDayText day = Fetch();
  SetHttpWaitPump(nullptr);
  EXPECT_EQ(day.text, dayText);
  EXPECT_EQ(server->pumpsWhileConnecting, 1) << "the connect is given the pump";
  EXPECT_EQ(server->request, "GET http://127.0.0.1/gd010305.dpn HTTP/1.0\r\n\r\n");
}

}  // namespace

// The response head alone: what is accepted and what the body length becomes.
TEST(ResponseHead, StatusAndDeclaredLengthTable) {
  struct Case {
    const char* head;
    bool accepted;
    bool hasLength;
    std::int32_t length;
  };
  const Case cases[] = {
      {"HTTP/1.0 200 OK", true, false, kDefaultDeclaredLength},
      {"HTTP/1.1 200 OK\r\nContent-Length: 1234", true, true, 1234},
      {"HTTP/1.1 200 OK\r\nServer: x\r\nContent-Length:0\r\nX: y", true, true, 0},
      {"HTTP/1.1 200 OK\r\nContent-Length: 67108864", true, true, kMaxGuideContentLength},
      {"HTTP/1.1 200 OK\r\nContent-Length: 67108865", false, true, 0},
      {"HTTP/1.1 200 OK\r\nContent-Length: -1", false, true, 0},
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 10", false, false, 0},
      {"", false, false, 0},
  };
  for (const Case& c : cases) {
    ResponseHead head;
    std::string why;
    EXPECT_EQ(ParseResponseHead(c.head, &head, &why), c.accepted) << c.head;
    EXPECT_EQ(head.hasContentLength, c.hasLength) << c.head;
    EXPECT_EQ(head.declaredLength, c.length) << c.head;
    EXPECT_EQ(why.empty(), c.accepted) << c.head;
  }
  ResponseHead head;
  std::string why;
  ParseResponseHead("HTTP/1.1 503 Busy\r\nRetry-After: 5", &head, &why);
  EXPECT_EQ(head.statusLine, "HTTP/1.1 503 Busy");
  EXPECT_NE(why.find("503 Busy"), std::string::npos);
}
