// Multi-day loads from the guide cache, the settings file import and the log.
#include <gtest/gtest.h>
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_settings_file.h"
#include "planner/guide/guide_store.h"
#include "planner/guide/planner_log.h"
#include "tests/planner/guide/guide_markup.h"
#include "tests/support/temp_folder.h"

namespace {

const Time32 kFirstDay = MakeLocalTime(2001, 3, 5, 4, 0);
constexpr Time32 kDay = 86400;

MarkupProgram Program(int number, const std::string& name, int sub = 1) {
  MarkupProgram p;
  p.programNumber = std::to_string(number);
  p.name = name;
  p.schedules[0].subNumber = sub;
  return p;
}

TEST(GuideDayFile, NameIsTheDateOfTheDay) {
  EXPECT_EQ(GuideDayFileName(MakeLocalTime(2001, 3, 5, 4, 0)), "gd010305.dpn");
  EXPECT_EQ(GuideDayFileName(MakeLocalTime(2010, 12, 31, 23, 59)), "gd101231.dpn");
}

TEST(GuideStoreLoad, ReadsEachDayFromTheCacheAndAdvancesByADay) {
  TempFolder cache;
  cache.Write(GuideDayFileName(kFirstDay), DayMarkup({Program(1, "day one")}));
  cache.Write(GuideDayFileName(kFirstDay + 2 * kDay), DayMarkup({Program(3, "day three")}));
  cache.Write(GuideDayFileName(kFirstDay + 3 * kDay), DayMarkup({Program(4, "beyond")}));
  GuideStore store(PlatformFiles());
  std::vector<int> progress;
  store.progress = [&](int day, int) { progress.push_back(day); };
  EXPECT_TRUE(store.LoadGuideDays("", kFirstDay, 3, cache.Path()));
  EXPECT_EQ(store.Guide().Size(), 2u);
  EXPECT_FALSE(store.Guide().Contains(4, 1));
  EXPECT_FALSE(store.LastLoadFetchFailed());
  EXPECT_EQ(progress, (std::vector<int>{0, 1, 2}));
}

TEST(GuideStoreLoad, BroadcastInTwoDaysKeepsTheEarlierDaysValues) {
  TempFolder cache;
  cache.Write(GuideDayFileName(kFirstDay), DayMarkup({Program(7, "from the first day")}));
  cache.Write(GuideDayFileName(kFirstDay + kDay), DayMarkup({Program(7, "from the second day"), Program(8, "x")}));
  GuideStore store(PlatformFiles());
  ASSERT_TRUE(store.LoadGuideDays("", kFirstDay, 2, cache.Path()));
  ASSERT_EQ(store.Guide().Size(), 2u);
  for (const GuideProgram* p : store.Guide().Ordered()) {
    if (p->programNumber == 7) {
      EXPECT_EQ(p->name, "from the first day");
    }
  }
}

TEST(GuideStoreLoad, LoadWhereEveryDayFailsKeepsThePreviousList) {
  TempFolder cache;
  cache.Write(GuideDayFileName(kFirstDay), DayMarkup({Program(1, "kept")}));
  GuideStore store(PlatformFiles());
  ASSERT_TRUE(store.LoadGuideDays("", kFirstDay, 1, cache.Path()));
  // Later days: one without a file, one without programs.
  cache.Write(GuideDayFileName(kFirstDay + kDay), "<guide></guide>");
  EXPECT_FALSE(store.LoadGuideDays("", kFirstDay + kDay, 2, cache.Path()));
  ASSERT_EQ(store.Guide().Size(), 1u);
  EXPECT_EQ(store.Guide().Head()->name, "kept");
  // A later successful load replaces it whole.
  EXPECT_TRUE(store.LoadGuideDays("", kFirstDay, 1, cache.Path()));
  EXPECT_EQ(store.Guide().Size(), 1u);
}

TEST(GuideStoreLoad, DuplicateOnlyDayStillCountsAsProducing) {
  TempFolder cache;
  cache.Write(GuideDayFileName(kFirstDay), DayMarkup({Program(7, "a")}));
  cache.Write(GuideDayFileName(kFirstDay + kDay), DayMarkup({Program(7, "b")}));
  GuideStore store(PlatformFiles());
  ASSERT_TRUE(store.LoadGuideDays("", kFirstDay, 1, cache.Path()));
  EXPECT_TRUE(store.LoadGuideFile(GuideDayFileName(kFirstDay + kDay), "", cache.Path()));
}

TEST(GuideStoreLoad, ChannelNamesOutliveLoads) {
  TempFolder cache;
  MarkupProgram a = Program(1, "a");
  a.channel = "first";
  MarkupProgram b = Program(2, "b");
  b.channel = "second";
  cache.Write(GuideDayFileName(kFirstDay), DayMarkup({a}));
  cache.Write(GuideDayFileName(kFirstDay + kDay), DayMarkup({b}));
  GuideStore store(PlatformFiles());
  store.LoadGuideDays("", kFirstDay, 1, cache.Path());
  store.LoadGuideDays("", kFirstDay + kDay, 1, cache.Path());
  EXPECT_EQ(std::vector<std::string>(store.Channels().Names().begin(), store.Channels().Names().end()),
            (std::vector<std::string>{"second", "first"}));
}

TEST(ServerFailureMessageFlag, ShownOnlyWithALocationAFailureAndTheFlagOn) {
  ServerFailureMessage m;
  EXPECT_FALSE(m.ShouldShow("", true));
  EXPECT_FALSE(m.ShouldShow("http://guide/", false));
  EXPECT_TRUE(m.ShouldShow("http://guide/", true));
  m.Answered(false);
  EXPECT_TRUE(m.ShouldShow("http://guide/", true));
  m.Answered(true);
  EXPECT_FALSE(m.ShouldShow("http://guide/", true));
}

class SettingsFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  std::string Env(const char* name) { return settings.Text("Environment", name); }
};

TEST_F(SettingsFileTest, DefaultScheduleUrlWinsAndIsStored) {
  GuideSettingsImport r = ImportGuideSettingsText(
      "junk<Tavora Info><ScheduleURL>http://a/</ScheduleURL><DefaultScheduleURL>http://b/</DefaultScheduleURL>"
      "</Tavora Info>",
      settings);
  EXPECT_TRUE(r.blockFound);
  EXPECT_EQ(r.location, "http://b/");
  EXPECT_EQ(Env("EpgURL"), "http://b/");
}

TEST_F(SettingsFileTest, ScheduleUrlIsForThisRunOnly) {
  GuideSettingsImport r =
      ImportGuideSettingsText("<Tavora Info><ScheduleURL>http://a/</ScheduleURL></Tavora Info>", settings);
  EXPECT_EQ(r.location, "http://a/");
  EXPECT_EQ(Env("EpgURL"), "");
}

TEST_F(SettingsFileTest, UrlsNotStartingWithHttpColonAreIgnored) {
  for (const char* url : {"ftp://a/", " http://a/", "HTTP://a/", "https://a/"}) {
    GuideSettingsImport r = ImportGuideSettingsText(
        std::string("<Tavora Info><ScheduleURL>") + url + "</ScheduleURL></Tavora Info>", settings);
    EXPECT_EQ(r.location, "") << url;
  }
}

TEST_F(SettingsFileTest, UrlsWithBlanksOrLineBreaksAreIgnored) {
  for (const char* url : {"http://a/ b/", "http://a/\r\nHost: b/", "http://a/\t/"}) {
    GuideSettingsImport r = ImportGuideSettingsText(
        std::string("<Tavora Info><DefaultScheduleURL>") + url + "</DefaultScheduleURL></Tavora Info>", settings);
    EXPECT_EQ(r.location, "") << url;
    EXPECT_EQ(Env("EpgURL"), "") << url;
  }
}

TEST(GuideStoreRules, ListsLongerThanATextReadAreReadInFull) {
  auto store = CreateMemorySettings();
  PlannerSettings settings(*store);
  std::string list;
  for (int i = 0; list.size() < 600; ++i) list += "series" + std::to_string(i) + ",";
  list += "last";
  settings.SetText("Environment", "ExceptSeries", list);
  GuideStore guide(PlatformFiles());
  guide.ReadRules(settings);
  TempFolder cache;
  MarkupProgram p = Program(1, "x");
  p.series = "last";
  cache.Write(GuideDayFileName(kFirstDay), DayMarkup({p, Program(2, "kept")}));
  ASSERT_TRUE(guide.LoadGuideDays("", kFirstDay, 1, cache.Path()));
  ASSERT_EQ(guide.Guide().Size(), 1u);
  EXPECT_EQ(guide.Guide().Head()->programNumber, 2) << "the series past byte 255 is dropped too";
}

TEST_F(SettingsFileTest, SkipFilterKeepsTheStoredRules) {
  settings.SetText("Environment", "ExceptSeries", "old");
  ImportGuideSettingsText("<Tavora Info><SkipFilter>1</SkipFilter><ExceptSeries>new</ExceptSeries></Tavora Info>",
                          settings);
  EXPECT_EQ(Env("ExceptSeries"), "old");
}

TEST_F(SettingsFileTest, RuleValuesAreStoredAndAnEmptyOneDeletes) {
  settings.SetText("Environment", "ExceptSeries", "old");
  settings.SetText("Environment", "HighlightProgram", "old");
  ImportGuideSettingsText(
      "<Tavora Info><SkipFilter>0</SkipFilter><ExceptSeries></ExceptSeries>"
      "<HighlightChannel>ch1,ch2</HighlightChannel>",  // block runs to the end of the file
      settings);
  EXPECT_EQ(Env("ExceptSeries"), "");
  EXPECT_EQ(Env("HighlightProgram"), "");
  EXPECT_EQ(Env("HighlightChannel"), "ch1,ch2");
  for (const std::string& name : store->ValueNames(Hive::CurrentUser, std::string(PlannerSettings::kKey) + "\\Environment"))
    EXPECT_NE(name, "ExceptSeries");
}

TEST_F(SettingsFileTest, FileWithoutTheBlockChangesNothing) {
  settings.SetText("Environment", "ExceptSeries", "old");
  GuideSettingsImport r = ImportGuideSettingsText("<ExceptSeries></ExceptSeries>", settings);
  EXPECT_FALSE(r.blockFound);
  EXPECT_EQ(Env("ExceptSeries"), "old");
}

TEST(PlannerLog, AppendsOnlyToAnExistingLog) {
  TempFolder folder;
  const Time32 at = MakeLocalTime(2001, 3, 5, 21, 30, 7);
  EXPECT_FALSE(AppendPlannerLog(PlatformFiles(), folder.Path(), "x", at));
  EXPECT_FALSE(folder.Has("Tavora.log"));
  folder.Write("Tavora.log", "before\r\n");
  EXPECT_TRUE(AppendPlannerLog(PlatformFiles(), folder.Path(), J(u8"ＥＰＧの更新"), at));
  EXPECT_EQ(folder.Read("Tavora.log"), "before\r\n2001/03/05 21:30:07\t" + J(u8"ＥＰＧの更新") + "\r\n");
}

}  // namespace
