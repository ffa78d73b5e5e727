// The settings sheet's portable core: folder syntax, change detection, the
// range rules, the save order, the refresh guard and the keyword page model.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/shell/settings_folder_rules.h"
#include "planner/shell/settings_keyword_page.h"
#include "planner/shell/settings_refresh_guard.h"
#include "planner/shell/settings_sheet_core.h"
#include "planner/shell/settings_values.h"
#include "tests/planner/shell/memory_files.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Cp(const char* utf8) { return Utf8ToCp932(utf8); }

TEST(FolderSyntax, DriveOrNetworkPathOfThreeCharactersOrMore) {
  struct Case {
    const char* folder;
    bool valid;
  } cases[] = {
      {"C:\\", true},        {"C:\\DATA", true}, {"d:x", true},       {"\\\\host\\share", true},
      {"\\\\h", true},       {"C:", false},      {"C", false},        {"", false},
      {"DATA\\x", false},    {"\\DATA", false},  {"CC:\\x", false},   {"\\\\", false},
      {"/tmp/data", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsAbsoluteFolderText(c.folder), c.valid) << c.folder;
}

TEST(FolderSyntax, TrailingBackslashIsRemovedButNotATrailByte) {
  EXPECT_EQ(WithoutTrailingBackslash("C:\\DATA\\"), "C:\\DATA");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\DATA"), "C:\\DATA");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(WithoutTrailingBackslash(Cp(u8"C:\\表")), Cp(u8"C:\\表"));
  EXPECT_EQ(WithoutTrailingBackslash(Cp(u8"C:\\表\\")), Cp(u8"C:\\表"));
}

TEST(FolderSyntax, InsideTheDataFolder) {
  struct Case {
    const char* root;
    const char* folder;
    bool inside;
  } cases[] = {
      {"C:\\DATA", "C:\\DATA\\News", true},
      {"C:\\DATA", "c:\\data\\news\\", true},
      {"C:\\DATA\\", "C:\\DATA\\a\\b", true},
      {"C:\\DATA", "C:\\DATA", false},
      {"C:\\DATA", "C:\\DATA\\", false},
      {"C:\\DATA", "C:\\DATA2\\x", false},
      {"C:\\DATA", "C:\\DATA\\..\\WINDOWS", false},
      {"C:\\DATA", "C:\\DATA\\a\\ .. \\..\\x", false},
      {"C:\\DATA", "C:\\DATA\\.\\x", false},
      {"C:\\DATA", "C:\\DATA\\\\x", false},
      {"C:\\DATA", "D:\\DATA\\x", false},
      {"C:\\", "C:\\x", true},
      {"\\\\host\\share", "\\\\HOST\\SHARE\\x", true},
      {"\\\\host\\share", "\\\\other\\share\\x", false},
      {"", "C:\\x", false},
      {"C:\\DATA", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsInsideFolder(c.root, c.folder), c.inside) << c.root << " | " << c.folder;
}

// The folder chooser's new folder names: characters, not bytes, decide.
TEST(FolderSyntax, NewFolderNames) {
  struct Case {
    std::string name;
    bool allowed;
  } cases[] = {
      {Cp(u8"予約"), true},      {Cp(u8"番組表"), true},   {Cp(u8"ソフト"), true},  {Cp(u8"新しいﾌｫﾙﾀﾞ"), true},
      {"News 2", true},           {"a\\b", false},          {"a/b", false},          {"a|b", false},
      {"a:b", false},             {"a*b", false},            {"a?b", false},          {"a\"b", false},
      {"<a>", false},             {"", false},               {".", false},            {"..", false},
      {" .. ", false},            {"name.", false},          {"name ", false},        {"a\tb", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsFolderNameAllowed(c.name), c.allowed) << Cp932ToUtf8(c.name);
}

class SettingsPagesTest : public ::testing::Test {
 protected:
  SettingsPagesTest() : store_(CreateMemorySettings()), settings_(*store_) {}
  std::unique_ptr<Settings> store_;
  PlannerSettings settings_;
};

TEST_F(SettingsPagesTest, FolderPageShowsFoldersUpperCasedAndDetectsChanges) {
  settings_.SetText("path", "DataPath", "c:\\data");
  settings_.SetText("temp", "DataPath", "c:\\hist");
  settings_.SetInt("Environment", "Disk space limit", 0);
  FolderPageValues opened = LoadFolderPage(settings_);
  EXPECT_EQ(opened.dataFolder, "C:\\DATA");
  EXPECT_EQ(opened.historyFolder, "C:\\HIST");
  EXPECT_FALSE(opened.diskLimitOn);
  EXPECT_FALSE(opened.totalLimitOn);

  FolderPageValues v = opened;
  v.dataFolder = "c:\\Data";
  EXPECT_FALSE(FolderPageChanged(opened, v)) << "case alone is no change";
  v.dataFolder = "C:\\DATA\\";
  v.historyFolder = "c:\\hist\\";
  EXPECT_FALSE(FolderPageChanged(opened, v)) << "a trailing separator names the same folder";
  v = opened;
  v.diskLimit = 99;
  EXPECT_FALSE(FolderPageChanged(opened, v)) << "an unchecked limit's edit is no change";
  v.diskLimitOn = true;
  EXPECT_TRUE(FolderPageChanged(opened, v));
  v = opened;
  v.historyFolder = "C:\\HIST2";
  EXPECT_TRUE(FolderPageChanged(opened, v));
}

TEST_F(SettingsPagesTest, FolderPageRefusesBadSyntaxBeforeCreatingAnything) {
  MemoryFiles fs;
  FolderPageValues opened = LoadFolderPage(settings_);
  struct Case {
    const char* data;
    const char* history;
    FolderField focus;
  } cases[] = {
      {"DATA", "C:\\HIST", FolderField::Data},
      {"C:", "C:\\HIST", FolderField::Data},
      {"C:\\DATA", "\\x", FolderField::History},
      {"C:\\DATA", "HI", FolderField::History},
  };
  for (const Case& c : cases) {
    FolderPageValues v = opened;
    v.dataFolder = c.data;
    v.historyFolder = c.history;
    FolderSaveResult r = SaveFolderPage(opened, v, settings_, fs, nullptr);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(r.messageId, 5029) << c.data << " " << c.history;
    EXPECT_EQ(r.focus, c.focus) << c.data << " " << c.history;
  }
  EXPECT_TRUE(fs.made.empty()) << "nothing is created while a folder text is wrong";
  EXPECT_EQ(settings_.DataFolder(), "");
}

TEST_F(SettingsPagesTest, FolderPageCreatesOnlyWhatWasTypedLevelByLevel) {
  MemoryFiles fs;
  FolderPageValues opened = LoadFolderPage(settings_);
  FolderPageValues v = opened;
  v.dataFolder = "c:\\Lumi\\Data\\";
  v.historyFolder = "C:\\LUMI\\hist";
  FolderSaveResult r = SaveFolderPage(opened, v, settings_, fs, nullptr);
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(fs.made, (std::vector<std::string>{"c:\\Lumi", "c:\\Lumi\\Data", "C:\\LUMI\\hist"}));
  EXPECT_EQ(settings_.DataFolder(), "c:\\Lumi\\Data") << "stored as typed, without the trailing backslash";
  EXPECT_EQ(settings_.HistoryFolder(), "C:\\LUMI\\hist");
  EXPECT_EQ(LoadFolderPage(settings_).dataFolder, "C:\\LUMI\\DATA") << "shown upper-cased next time";
  EXPECT_TRUE(r.dataChanged);
}

TEST_F(SettingsPagesTest, FolderThatCannotBeMadeKeepsTheSheetOpenAndStoresNothing) {
  MemoryFiles fs;
  FolderPageValues opened = LoadFolderPage(settings_);
  FolderPageValues v = opened;
  v.dataFolder = "C:\\DATA";
  v.historyFolder = "Q:\\HIST";  // no such drive
  v.diskLimitOn = false;
  FolderSaveResult r = SaveFolderPage(opened, v, settings_, fs, nullptr);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.messageId, 5001);
  EXPECT_EQ(r.focus, FolderField::History);
  EXPECT_EQ(settings_.DataFolder(), "");
  EXPECT_EQ(settings_.Int("Environment", "Disk space limit", 40), 40);
}

TEST_F(SettingsPagesTest, LimitsStoreZeroWhenUncheckedAndTheEditValueWhenChecked) {
  MemoryFiles fs;
  settings_.SetInt("Environment", "Disk space limit", 40);
  settings_.SetText("path", "DataPath", "C:\\DATA");
  settings_.SetText("temp", "DataPath", "C:\\HIST");
  FolderPageValues opened = LoadFolderPage(settings_);
  ASSERT_TRUE(opened.diskLimitOn);
  FolderPageValues v = opened;
  v.diskLimitOn = false;
  v.totalLimitOn = true;
  v.totalLimit = 5000;
  ASSERT_TRUE(SaveFolderPage(opened, v, settings_, fs, nullptr).saved);
  EXPECT_EQ(settings_.Int("Environment", "Disk space limit", -1), 0);
  EXPECT_EQ(settings_.Int("Environment", "Total limit", -1), 5000);
  v.totalLimit = 10001;
  FolderSaveResult r = SaveFolderPage(opened, v, settings_, fs, nullptr);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.focus, FolderField::TotalLimit);
}

// The folder page moving the history from C:\OLD to C:\NEW, both there.
class HistoryMoveTest : public SettingsPagesTest {
 protected:
  HistoryMoveTest() {
    EXPECT_TRUE(CreateFolderPath(fs, "C:\\OLD"));
    EXPECT_TRUE(CreateFolderPath(fs, "C:\\NEW"));
    settings_.SetText("path", "DataPath", "C:\\DATA");
    settings_.SetText("temp", "DataPath", "C:\\OLD");
    opened = LoadFolderPage(settings_);
    moved = opened;
    moved.historyFolder = "C:\\NEW";
  }
  // Saves the page; the question whether to overwrite is counted and answered.
  FolderSaveResult Save(bool overwrite) {
    return SaveFolderPage(opened, moved, settings_, fs, [this, overwrite] {
      ++asked;
      return overwrite;
    });
  }
  std::string Read(const char* path) {
    std::string data;
    fs.ReadAll(path, &data);
    return data;
  }

  MemoryFiles fs;
  FolderPageValues opened, moved;
  int asked = 0;
};

TEST_F(HistoryMoveTest, MovedHistoryFollowsTheUserAndOverwritesOnlyWhenAsked) {
  fs.WriteAll("C:\\OLD\\INFO00001.RSV", "old1");
  fs.WriteAll("C:\\OLD\\RsvData.log", "oldlog");
  fs.WriteAll("C:\\NEW\\INFO00001.RSV", "new1");
  FolderSaveResult r = Save(false);
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(r.historyFilesCopied, 0);
  EXPECT_EQ(Read("C:\\NEW\\INFO00001.RSV"), "new1");
  EXPECT_EQ(settings_.HistoryFolder(), "C:\\NEW");

  // Back to OLD, then to NEW again answering yes: records and log are copied over.
  settings_.SetText("temp", "DataPath", "C:\\OLD");
  r = Save(true);
  EXPECT_EQ(r.historyFilesCopied, 2);
  EXPECT_EQ(Read("C:\\NEW\\INFO00001.RSV"), "old1");
  EXPECT_TRUE(fs.Exists("C:\\OLD\\INFO00001.RSV")) << "the old folder keeps its copy";

  // An empty new folder takes the history without a question.
  ASSERT_TRUE(CreateFolderPath(fs, "C:\\EMPTY"));
  settings_.SetText("temp", "DataPath", "C:\\OLD");
  moved.historyFolder = "C:\\EMPTY";
  r = Save(false);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(r.historyFilesCopied, 2);
}

// Out of range is said, with the range: OK does not just move the focus.
TEST_F(SettingsPagesTest, ALimitOutOfRangeIsRefusedWithItsRange) {
  MemoryFiles fs;
  settings_.SetText("path", "DataPath", "C:\\DATA");
  settings_.SetText("temp", "DataPath", "C:\\HIST");
  FolderPageValues opened = LoadFolderPage(settings_);
  FolderPageValues v = opened;
  v.diskLimitOn = true;
  v.diskLimit = 0;
  FolderSaveResult r = SaveFolderPage(opened, v, settings_, fs, nullptr);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.focus, FolderField::DiskLimit);
  EXPECT_EQ(r.messageId, kLimitRangeMessageId);
  EXPECT_EQ(r.rangeLow, kDiskLimitMin);
  EXPECT_EQ(r.rangeHigh, kDiskLimitMax);
  v.diskLimit = 40;
  v.totalLimitOn = true;
  v.totalLimit = -1;  // an edit that holds no number
  r = SaveFolderPage(opened, v, settings_, fs, nullptr);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.focus, FolderField::TotalLimit);
  EXPECT_EQ(r.messageId, kLimitRangeMessageId);
  EXPECT_EQ(r.rangeHigh, kTotalLimitMax);
  EXPECT_EQ(settings_.Int("Environment", "Total limit", -7), -7) << "nothing stored";
}

// A history that cannot be copied whole leaves the planner on the old folder
// and names the file.
TEST_F(HistoryMoveTest, AHistoryThatCannotBeCopiedIsNotMoved) {
  fs.WriteAll("C:\\OLD\\INFO00001.RSV", "old1");
  fs.WriteAll("C:\\OLD\\RsvData.log", "oldlog");
  fs.failCopyTo.insert("C:\\NEW\\RSVDATA.LOG");
  moved.dataFolder = "C:\\DATA2";
  FolderSaveResult r = SaveFolderPage(opened, moved, settings_, fs, nullptr);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.focus, FolderField::History);
  EXPECT_EQ(r.messageId, kHistoryCopyMessageId);
  EXPECT_EQ(r.failedFile, "C:\\OLD\\RsvData.log");
  EXPECT_EQ(settings_.HistoryFolder(), "C:\\OLD");
  EXPECT_EQ(settings_.DataFolder(), "C:\\DATA") << "nothing is stored when the history stays";
  std::string failed;
  fs.failCopyTo.clear();
  EXPECT_EQ(CopyHistoryFiles(fs, "C:\\OLD", "C:\\NEW", &failed), 2);
  EXPECT_TRUE(failed.empty());
}

TEST_F(HistoryMoveTest, AMovedHistoryAsksBeforeOverwritingALogWithoutRecords) {
  fs.WriteAll("C:\\OLD\\RsvData.log", "oldlog");
  fs.WriteAll("C:\\NEW\\RsvData.log", "newlog");
  ASSERT_TRUE(Save(false).saved);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(Read("C:\\NEW\\RsvData.log"), "newlog");
}

TEST_F(SettingsPagesTest, ReceptionPageDefaultsAndRoundTrip) {
  ReceptionPageValues v = LoadReceptionPage(settings_);
  EXPECT_EQ(v, ReceptionPageValues());
  EXPECT_EQ(v.prepareTime, 60);
  EXPECT_EQ(v.timeout, 600);
  EXPECT_EQ(v.showStatus, 1);
  v.prepareTime = 90;
  v.timeout = 250;
  v.autoRun = 1;
  v.showStatus = 0;
  v.messagePosition = 4;
  SaveReceptionPage(settings_, v);
  EXPECT_EQ(LoadReceptionPage(settings_), v);
  EXPECT_EQ(settings_.Int("Environment", "Timeout", 0), 250);
  EXPECT_EQ(settings_.Int("Environment", J(u8"受信メッセージ位置"), -1), 4);
  settings_.SetInt("Environment", J(u8"受信メッセージ位置"), 9);
  EXPECT_EQ(LoadReceptionPage(settings_).messagePosition, 0) << "an unknown corner shows as the top left";
}

TEST(ReceptionRanges, OutOfRangeTextsRestoreTheLastStoredValue) {
  struct Case {
    const char* typed;
    std::int32_t prepare;  // result with last stored 77
    std::int32_t timeout;  // result with last stored 333
  } cases[] = {
      {"40000", 77, 333}, {"36000", 36000, 36000}, {"0", 0, 333},     {"-1", 77, 333},
      {"", 77, 333},      {"9", 9, 333},           {"10", 10, 10},    {"181", 181, 181},
      {"abc", 77, 333},   {" 120 ", 120, 120},     {"99999999999", 77, 333},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckedPrepareTime(c.typed, 77), c.prepare) << c.typed;
    EXPECT_EQ(CheckedTimeout(c.typed, 333), c.timeout) << c.typed;
  }
}

TEST(GuideRanges, LiveValidationResetsToTheCurrentValue) {
  struct Case {
    GuideField field;
    const char* typed;
    std::int32_t expected;  // current is 5 for every field
  } cases[] = {
      {GuideField::DisplayDays, "8", 5}, {GuideField::DisplayDays, "2", 5}, {GuideField::DisplayDays, "7", 7},
      {GuideField::DisplayDays, "3", 3}, {GuideField::EpgUpdate, "2", 5},   {GuideField::EpgUpdate, "120", 120},
      {GuideField::EpgUpdate, "121", 5}, {GuideField::DayStart, "", 5},     {GuideField::DayStart, "0", 0},
      {GuideField::DayStart, "23", 23},  {GuideField::DayStart, "24", 5},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckedGuideField(c.field, c.typed, 5), c.expected) << c.typed;
}

TEST_F(SettingsPagesTest, GuidePageRoundTrip) {
  GuidePageValues v = LoadGuidePage(settings_);
  EXPECT_EQ(v, GuidePageValues());
  v.epgUpdate = 15;
  v.displayDays = 7;
  v.yesterday = 1;
  v.dayStart = 5;
  SaveGuidePage(settings_, v);
  EXPECT_EQ(LoadGuidePage(settings_), v);
}

TEST_F(SettingsPagesTest, GuidePageShowsStoredValuesOutsideItsRangesAtTheNearestBound) {
  GuidePageValues stored;
  stored.epgUpdate = 1000;
  stored.displayDays = 1;
  stored.dayStart = 24;
  SaveGuidePage(settings_, stored);
  GuidePageValues v = LoadGuidePage(settings_);
  EXPECT_EQ(v.epgUpdate, 120);
  EXPECT_EQ(v.displayDays, 3);
  EXPECT_EQ(v.dayStart, 23);
}

class FakePage : public SettingsPageCore {
 public:
  FakePage(std::vector<int>* log, int id, bool opened, bool accepts) : log_(log), id_(id), opened_(opened), accepts_(accepts) {}
  bool Opened() const override { return opened_; }
  bool Changed() const override { return changed; }
  bool Save() override {
    log_->push_back(id_);
    return accepts_;
  }
  bool changed = false;

 private:
  std::vector<int>* log_;
  int id_;
  bool opened_, accepts_;
};

TEST(SettingsSheet, SavesOpenedPagesInTabOrderAndStopsAtTheFirstRefusal) {
  std::vector<int> log;
  FakePage folder(&log, kTabFolder, true, true), colour(&log, kTabColour, false, true),
      reception(&log, kTabReception, true, true), guide(&log, kTabGuide, true, false),
      keyword(&log, kTabKeyword, true, true);
  int notified = 0;
  SheetSaveResult r = SaveSettingsPages({&folder, &colour, &reception, &guide, &keyword}, [&] { ++notified; });
  EXPECT_FALSE(r.complete);
  EXPECT_EQ(r.refusedTab, kTabGuide);
  EXPECT_EQ(log, (std::vector<int>{kTabFolder, kTabReception, kTabGuide}));
  EXPECT_EQ(notified, 0) << "the unit is told only after a complete save";

  log.clear();
  FakePage guideOk(&log, kTabGuide, true, true);
  r = SaveSettingsPages({&folder, &colour, &reception, &guideOk, &keyword}, [&] { ++notified; });
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(log, (std::vector<int>{kTabFolder, kTabReception, kTabGuide, kTabKeyword}));
  EXPECT_EQ(notified, 1);
}

TEST(SettingsSheet, ApplyIsEnabledWhileAnOpenedPageChanged) {
  std::vector<int> log;
  FakePage a(&log, 0, true, true), b(&log, 1, false, true);
  EXPECT_FALSE(AnySettingsPageChanged({&a, &b}));
  b.changed = true;
  EXPECT_FALSE(AnySettingsPageChanged({&a, &b})) << "a page never opened cannot differ";
  a.changed = true;
  EXPECT_TRUE(AnySettingsPageChanged({&a, &b}));
}

TEST(RefreshGuard, EveryThreeHundredthTickRefreshesUnlessAnSdsFileExists) {
  TempFolder schedule;
  RefreshGuard guard;
  int refreshes = 0;
  for (int i = 0; i < 900; ++i) refreshes += guard.Tick(PlatformFiles(), schedule.Path());
  EXPECT_EQ(refreshes, 3);

  schedule.Write("LOCK.SDS", "x");
  refreshes = 0;
  for (int i = 0; i < 900; ++i) refreshes += guard.Tick(PlatformFiles(), schedule.Path());
  EXPECT_EQ(refreshes, 0);

  PlatformFiles().Remove(schedule / "LOCK.SDS");
  for (int i = 0; i < 299; ++i) EXPECT_FALSE(guard.Tick(PlatformFiles(), schedule.Path()));
  EXPECT_TRUE(guard.Tick(PlatformFiles(), schedule.Path()));
}

TEST_F(SettingsPagesTest, KeywordPageKeepsEditsAcrossSwitchesAndDetectsChanges) {
  KeywordCondition stored;
  stored.keyword = Cp(u8"ニュース");
  stored.use = 1;
  stored.name = 0;
  stored.refer = 0;  // equal flags are shown as a title search
  WriteKeywordCondition(settings_, 2, stored);
  KeywordPageModel page;
  page.Load(settings_);
  EXPECT_EQ(page.Shown(), 0);
  page.Show(2);
  EXPECT_EQ(page.Working().name, 1u);
  EXPECT_EQ(page.Working().refer, 0u);
  EXPECT_FALSE(page.Changed()) << "showing equal flags as title search is no change";

  page.SetKeyword(Cp(u8"天気"));
  EXPECT_TRUE(page.Changed());
  page.Show(5);
  page.Show(2);
  EXPECT_EQ(page.Working().keyword, Cp(u8"天気"));
  page.SetKeyword(Cp(u8"ニュース"));
  EXPECT_FALSE(page.Changed());

  page.SetChannelLimit(true, "", {"ch9", "ch1"});
  EXPECT_EQ(page.Working().channel, "ch9");
  EXPECT_TRUE(page.Changed());
  page.SetChannelLimit(false, "ch1", {"ch9", "ch1"});
  EXPECT_EQ(page.Working().channel, "");
  EXPECT_FALSE(page.Changed());
  page.Show(10);
  EXPECT_EQ(page.Shown(), 2);
}

TEST_F(SettingsPagesTest, KeywordPageSaveWritesAllTenAndTheHistory) {
  WriteKeywordHistory(settings_, {"old", Cp(u8"天気")});
  KeywordPageModel page;
  page.Load(settings_);
  page.Show(0);
  page.SetKeyword(Cp(u8"天気"));
  page.SetUse(true);
  page.Show(3);
  page.SetKeyword("sports");
  page.SetUse(true);
  page.SetApplyOnce(true);
  page.SetSearchTitle(false);
  ASSERT_TRUE(page.Changed());
  page.Save(settings_);
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).keyword, Cp(u8"天気"));
  KeywordCondition three = ReadKeywordCondition(settings_, 3);
  EXPECT_EQ(three.use, 1u);
  EXPECT_EQ(three.life, 1u);
  EXPECT_EQ(three.name, 0u);
  EXPECT_EQ(three.refer, 1u);
  EXPECT_EQ(ReadKeywordHistory(settings_), (std::vector<std::string>{"sports", Cp(u8"天気"), "old"}));
  EXPECT_EQ(page.WorkingAll()[3].use, 0u) << "an apply-once condition is shown disabled after the save";
  EXPECT_FALSE(page.Changed());
  EXPECT_EQ(settings_.Int("Search", "CheckName1", -1), 1) << "all ten are written";
}

}  // namespace
