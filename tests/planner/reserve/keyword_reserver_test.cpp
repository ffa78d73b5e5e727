// Keyword reservations through the manual reservation's steps: the detail
// file from the history folder's cache, the record file under the keyword
// name form, the list entry.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "common/files.h"
#include "common/reservation_file.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/keyword_conditions.h"
#include "planner/reserve/keyword_reserver.h"
#include "planner/reserve/program_detail.h"
#include "planner/reserve/reservation_list.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Cp(const char* utf8) { return Utf8ToCp932(utf8); }

class KeywordReserverTest : public ::testing::Test {
 protected:
  KeywordReserverTest() : store_(CreateMemorySettings()), settings_(*store_) {
    PlatformFiles().MakeFolder(folder_ / "sched");
    PlatformFiles().MakeFolder(folder_ / "hist");
  }

  GuideProgram& Add(int number, const char* name) {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = number;
    p->subNumber = 2;
    p->name = Cp(name);
    p->totalKbyte = 300;
    p->startTime = MakeLocalTime(2030, 5, 6, 7, 8);
    p->endTime = p->startTime + 1800;
    GuideProgram* raw = p.get();
    guide_.Add(std::move(p));
    return *raw;
  }

  void Detail(int number, const char* holder) {
    const std::string text = "<schedule><ip_address>239.1.2.3</ip_address><port>2100</port><sid>7</sid><holder>" +
                             Cp(holder) + "</holder><autorun></autorun></schedule>";
    ASSERT_TRUE(PlatformFiles().WriteAll(folder_ / ("hist\\" + std::to_string(number) + "-2.spn"), text));
  }

  bool Run(DetailFetcher* fetcher = nullptr, const std::string& location = "",
           std::function<void(int, int)> fetching = nullptr) {
    KeywordCondition c;
    c.keyword = Cp(u8"ニュース");
    c.use = 1;
    c.name = 1;
    WriteKeywordCondition(settings_, 0, c);
    ListKeywordReserver::Folders folders{folder_ / "sched", folder_ / "hist", location};
    ListKeywordReserver reserver(PlatformFiles(), folders, fetcher, list_, [] { return 4242u; });
    reserver.OnFetch(std::move(fetching));
    KeywordSearchInput input;
    input.now = MakeLocalTime(2030, 5, 6, 0, 0);
    input.dataFolder = "C:\\DATA";
    return ApplyKeywordSearch(settings_, guide_, input, reserver);
  }

  TempFolder folder_;
  std::unique_ptr<Settings> store_;
  PlannerSettings settings_;
  GuideList guide_;
  ReservationList list_;
};

TEST_F(KeywordReserverTest, WritesTheKeywordFileAndListsTheEntry) {
  GuideProgram& p = Add(0x2a, u8"夜のニュース");
  Detail(0x2a, "night");
  ASSERT_TRUE(Run());
  const std::string name = KeywordReservationFileName(p.startTime, 0x2a);
  std::string data;
  ASSERT_TRUE(PlatformFiles().ReadAll(folder_ / ("sched\\" + name), &data)) << name;
  ReservationRecord r;
  ASSERT_EQ(DecodeReservation(data, &r), DecodeStatus::Ok);
  EXPECT_EQ(r.programNumber, 0x2a);
  EXPECT_EQ(r.subNumber, 2);
  EXPECT_EQ(r.clearFolder, 0);
  EXPECT_EQ(r.storageFolder, "C:\\DATA\\night");
  EXPECT_EQ(r.address, "239.1.2.3");
  EXPECT_EQ(r.reservationId, 4242u);
  ASSERT_EQ(list_.Size(), 1u);
  EXPECT_EQ(list_.ReservedKbyte(), 300);
  EXPECT_EQ(p.state, kStateReserved);
}

// The server as the detail fetch sees it: counts the fetches, answers a
// detail file naming the holder "served".
class CountingFetcher : public DetailFetcher {
 public:
  bool Fetch(const std::string& url, std::string* body) override {
    urls.push_back(url);
    *body = "<schedule><ip_address>239.9.9.9</ip_address><port>2200</port><sid>7</sid><holder>served</holder>"
            "<autorun></autorun></schedule>";
    return true;
  }
  std::vector<std::string> urls;
};

// Each fetch may wait up to its time limit on the window thread: the pass
// takes a detail the history folder already holds and asks the server only
// for the others (and keeps what it fetched for the next pass).
TEST_F(KeywordReserverTest, TheCachedDetailIsTakenWithoutAskingTheServer) {
  Add(0x2d, u8"朝のニュース");
  Detail(0x2d, "cached");
  Add(0x2e, u8"昼のニュース");
  CountingFetcher server;
  ASSERT_TRUE(Run(&server, "http://guide.example/epg"));
  EXPECT_EQ(server.urls, std::vector<std::string>{"http://guide.example/epg/46-2.spn"});
  ASSERT_EQ(list_.Size(), 2u);
  for (const ReservationEntry& e : list_.Entries()) {
    EXPECT_EQ(e.record.storageFolder, e.record.programNumber == 0x2d ? "C:\\DATA\\cached" : "C:\\DATA\\served")
        << e.record.programNumber;
  }
  std::string kept;
  EXPECT_TRUE(PlatformFiles().ReadAll(folder_ / "hist\\46-2.spn", &kept));
  EXPECT_NE(kept.find("served"), std::string::npos);
}

// The fetches are what keeps the user waiting: each is announced before it
// starts, with its place among the picked programs whose detail was missing;
// a cached detail or a program that has its address announces nothing.
TEST_F(KeywordReserverTest, EachFetchIsAnnouncedBeforeItStarts) {
  Add(0x30, u8"朝のニュース");
  Detail(0x30, "cached");
  Add(0x31, u8"昼のニュース").address = "239.1.1.1";
  Add(0x32, u8"夕方のニュース");
  Add(0x33, u8"夜のニュース");
  Add(0x34, u8"天気予報");
  CountingFetcher server;
  std::vector<std::vector<int>> shown;  // index, total, fetches made before
  ASSERT_TRUE(Run(&server, "http://guide.example/epg", [&](int index, int total) {
    shown.push_back({index, total, static_cast<int>(server.urls.size())});
  }));
  EXPECT_EQ(shown, (std::vector<std::vector<int>>{{2, 3, 0}, {3, 3, 1}}));
  EXPECT_EQ(server.urls.size(), 2u);
  EXPECT_EQ(list_.Size(), 4u);
}

TEST_F(KeywordReserverTest, ProgramWithoutADetailFileIsSkipped) {
  GuideProgram& p = Add(0x2b, u8"ニュース");
  EXPECT_FALSE(Run());
  EXPECT_TRUE(list_.Empty());
  EXPECT_EQ(p.state, kStateNormal);
  EXPECT_TRUE(PlatformFiles().Find(folder_ / "sched\\*").empty());
}

TEST_F(KeywordReserverTest, UnwritableScheduleFolderSkipsTheProgram) {
  GuideProgram& p = Add(0x2c, u8"ニュース");
  Detail(0x2c, "x");
  PlatformFiles().RemoveFolder(folder_ / "sched");
  EXPECT_FALSE(Run());
  EXPECT_TRUE(list_.Empty());
  EXPECT_EQ(p.state, kStateNormal);
}

}  // namespace
