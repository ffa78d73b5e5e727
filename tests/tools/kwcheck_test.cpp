// kwcheck's commands: folded codes, match exit codes, programs a condition picks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "common/time_text.h"
#include "planner/guide/guide_store.h"
#include "tests/planner/guide/guide_markup.h"
#include "tests/support/temp_folder.h"
#include "tools/kwcheck/kwcheck_commands.h"

namespace {

std::string Cp(const char* utf8) { return Utf8ToCp932(utf8); }

KwcheckResult Kw(std::vector<std::string> args) {
  for (std::string& a : args) a = Cp(a.c_str());
  return RunKwcheck(args);
}

TEST(Kwcheck, NormPrintsFoldedCodesAsHexWords) {
  KwcheckResult r = Kw({"norm", u8"にゅーすＡb"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "00c6 00ad 002d 00bd 0041 0042\n");
}

TEST(Kwcheck, MatchPrintsAndExitsWithTheOutcome) {
  KwcheckResult yes = Kw({"match", u8"ﾆｭｰｽ & 天気", u8"ニュースと天気"});
  EXPECT_EQ(yes.out, "1\n");
  EXPECT_EQ(yes.exitCode, 0);
  KwcheckResult no = Kw({"match", u8"ﾆｭｰｽ & ", u8"ニュース"});
  EXPECT_EQ(no.out, "0\n");
  EXPECT_EQ(no.exitCode, 1);
}

TEST(Kwcheck, UsageErrorsNameTheProblem) {
  struct Case {
    std::vector<std::string> args;
    const char* mention;
  } cases[] = {
      {{}, "a command is needed"},
      {{"fold", "x"}, "unknown command 'fold'"},
      {{"norm"}, "norm takes one TEXT"},
      {{"match", "x"}, "match takes EXPR and TEXT"},
      {{"guide", "--first", "2001-03-05", "x"}, "missing option --cache"},
      {{"guide", "--cache", "/tmp", "--first", "2001-3", "x"}, "--first '2001-3'"},
      {{"guide", "--cache", "/tmp", "--first", "2001-03-05", "--days", "0", "x"}, "--days: '0'"},
      {{"guide", "--cache", "/tmp", "--first", "2001-03-05", "--colour", "x"}, "unknown option --colour"},
      {{"guide", "--cache", "/nonexistent/kw", "--first", "2001-03-05", "x"}, "/nonexistent/kw' does not exist"},
  };
  for (const Case& c : cases) {
    KwcheckResult r = Kw(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.mention;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

class KwcheckGuide : public ::testing::Test {
 protected:
  void SetUp() override {
    MarkupProgram news;
    news.programNumber = "7";
    news.channel = Cp(u8"ＣＨ１");
    news.name = Cp(u8"朝のニュース");
    news.digest = Cp(u8"天気");
    news.schedules[0].start = "2001/03/05 08:00";
    news.schedules[0].end = "2001/03/05 08:30";
    MarkupProgram weather = news;
    weather.programNumber = "8";
    weather.channel = "ch2";
    weather.name = Cp(u8"天気予報");
    weather.digest = Cp(u8"にゅーすの後で");
    weather.schedules[0].start = "2001/03/05 09:00";
    weather.schedules[0].end = "2001/03/05 09:30";
    const std::string day = DayMarkup({news, weather});
    ASSERT_TRUE(PlatformFiles().WriteAll(folder_ / GuideDayFileName(MakeLocalTime(2001, 3, 5, 4, 0)), day));
  }
  KwcheckResult Guide(std::vector<std::string> extra) {
    std::vector<std::string> args = {"guide", "--cache", folder_.Path(), "--first", "2001-03-05", "--days", "1"};
    args.insert(args.end(), extra.begin(), extra.end());
    for (std::size_t i = 3; i < args.size(); ++i) args[i] = Cp(args[i].c_str());
    return RunKwcheck(args);
  }
  TempFolder folder_;
};

TEST_F(KwcheckGuide, ListsTheProgramsTheTitleSearchPicks) {
  KwcheckResult r = Guide({u8"ニュース"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, std::string("7\t1\t2001-03-05 08:00\t") + u8"朝のニュース" + "\n");
}

TEST_F(KwcheckGuide, ReferSearchesDescriptionsAndChannelLimits) {
  EXPECT_EQ(Guide({"--refer", u8"ニュース"}).out, std::string("8\t1\t2001-03-05 09:00\t") + u8"天気予報" + "\n");
  EXPECT_EQ(Guide({"--refer", "--channel", u8"ＣＨ１", u8"ニュース"}).out, "");
  EXPECT_EQ(Guide({"--channel", u8"ＣＨ１", u8"ニュース"}).out.substr(0, 2), "7\t");
}

}  // namespace
