// The keyword reservation pass, the stored conditions and the keyword history.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/reservation_file.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/keyword_conditions.h"
#include "planner/reserve/keyword_search.h"
#include "planner/shell/settings_keyword_page.h"

namespace {

std::string Cp(const char* utf8) { return Utf8ToCp932(utf8); }

class FakeReserver : public KeywordReserver {
 public:
  bool CompleteDetail(GuideProgram& p) override {
    ++detailCalls;
    // What Checking said last, for the program it is now asked about.
    checkedBefore.push_back({p.programNumber, index, total});
    if (noDetail.count(p.programNumber)) return false;
    p.address = "239.1.1.1";
    p.holder = holderFromDetail;
    return true;
  }
  bool Reserve(GuideProgram& p, const std::string& folder, const std::string& fileName) override {
    if (failWrites) return false;
    p.state = kStateReserved;
    folders.push_back(folder);
    files.push_back(fileName);
    numbers.push_back(p.programNumber);
    return true;
  }
  void Checking(int i, int t) override {
    index = i;
    total = t;
  }
  int detailCalls = 0;
  int index = 0, total = 0;
  std::vector<std::vector<int>> checkedBefore;  // program, index, total
  std::set<int> noDetail;
  bool failWrites = false;
  std::string holderFromDetail = "Holder";
  std::vector<std::string> folders, files;
  std::vector<int> numbers;
};

class KeywordSearchTest : public ::testing::Test {
 protected:
  KeywordSearchTest() : store_(CreateMemorySettings()), settings_(*store_) {}

  GuideProgram& Add(int number, const char* name, const char* digest = "", const char* channel = "CH1",
                    Time32 start = 2000, Time32 end = 3000) {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = number;
    p->subNumber = 1;
    p->name = Cp(name);
    p->digest = Cp(digest);
    p->channelName = Cp(channel);
    p->startTime = start;
    p->endTime = end;
    GuideProgram* raw = p.get();
    guide_.Add(std::move(p));
    return *raw;
  }

  void Condition(int n, const char* keyword, std::uint32_t use = 1, std::uint32_t life = 0, std::uint32_t name = 1,
                 std::uint32_t refer = 0, const char* channel = "") {
    KeywordCondition c;
    c.keyword = Cp(keyword);
    c.use = use;
    c.life = life;
    c.name = name;
    c.refer = refer;
    c.channel = Cp(channel);
    WriteKeywordCondition(settings_, n, c);
  }

  bool Run() {
    input_.now = 1000;
    input_.dataFolder = "C:\\DATA";
    return ApplyKeywordSearch(settings_, guide_, input_, reserver_, &report_);
  }

  std::unique_ptr<Settings> store_;
  PlannerSettings settings_;
  GuideList guide_;
  KeywordSearchInput input_;
  FakeReserver reserver_;
  KeywordSearchReport report_;
};

TEST_F(KeywordSearchTest, ActiveConditionReservesMatchingTitlesOnly) {
  Add(1, u8"朝のニュース");
  Add(2, u8"天気予報");
  Add(3, u8"にゅーす解説");
  Condition(0, u8"ﾆｭｰｽ");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1, 3}));
  EXPECT_EQ(report_.reserved, 2);
}

TEST_F(KeywordSearchTest, InactiveConditionsReserveNothing) {
  Add(1, u8"ニュース", u8"ニュース");
  Condition(0, u8"ニュース", /*use*/ 0);
  Condition(1, u8"ニュース", 1, 0, /*name*/ 0, /*refer*/ 0);
  Condition(2, "", 1);
  Condition(3, u8"ニュース", /*use*/ 2);
  EXPECT_FALSE(Run());
  EXPECT_TRUE(reserver_.numbers.empty());
  EXPECT_EQ(reserver_.detailCalls, 0);
}

TEST_F(KeywordSearchTest, DescriptionIsSearchedWhenReferIsSet) {
  Add(1, u8"特集", u8"今日のニュースから");
  Add(2, u8"ニュース", u8"なし");
  Condition(0, u8"ニュース", 1, 0, /*name*/ 0, /*refer*/ 1);
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1}));
}

TEST_F(KeywordSearchTest, ApplyOnceConditionIsConsumedEvenWithoutAMatch) {
  Add(1, u8"天気予報");
  Condition(0, u8"ニュース", 1, /*life*/ 1);
  Condition(1, u8"天気", 1, /*life*/ 0);
  Condition(2, u8"予報", /*use*/ 0, /*life*/ 1);
  EXPECT_TRUE(Run());
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).use, 0u);
  EXPECT_EQ(ReadKeywordCondition(settings_, 1).use, 1u);
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).keyword, Cp(u8"ニュース"));
}

// At start-up, before the first guide has been fetched, the pass has nothing
// to search: an apply-once condition is kept for the first guide there is.
TEST_F(KeywordSearchTest, AnEmptyGuideDoesNotUseUpAnApplyOnceCondition) {
  Condition(0, u8"天気", 1, /*life*/ 1);
  EXPECT_FALSE(Run());
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).use, 1u);
  Add(1, u8"天気予報");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1}));
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).use, 0u);
}

// The settings sheet's keyword page writes all ten conditions at every save
// ("更新" and OK). Between two saves the search pass may have used an
// apply-once condition up, or not yet have run: the page must neither switch
// it on again (it would be applied twice) nor off before it was applied.
TEST_F(KeywordSearchTest, ASecondSaveOfTheKeywordPageLeavesApplyOnceToThePass) {
  Add(1, u8"天気予報");
  KeywordPageModel page;
  page.Load(settings_);
  page.Show(0);
  page.SetKeyword(Cp(u8"天気"));
  page.SetUse(true);
  page.SetApplyOnce(true);
  page.Save(settings_);  // "更新"; the pass it asks for waits for the sheet to close
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).use, 1u);
  page.Save(settings_);  // OK
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).use, 1u) << "switched off before any pass applied it";
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1}));
  EXPECT_EQ(ReadKeywordCondition(settings_, 0).use, 0u);

  // Opened while the condition was still on; a pass uses it up meanwhile.
  Condition(1, u8"予報", 1, /*life*/ 1);
  KeywordPageModel open;
  open.Load(settings_);
  guide_.Ordered()[0]->state = kStateNormal;
  EXPECT_TRUE(Run());
  EXPECT_EQ(ReadKeywordCondition(settings_, 1).use, 0u);
  open.Show(2);
  open.SetKeyword("sports");  // an edit elsewhere on the page
  open.Save(settings_);
  EXPECT_EQ(ReadKeywordCondition(settings_, 1).use, 0u) << "switched on again: it would be applied twice";
  guide_.Ordered()[0]->state = kStateNormal;
  EXPECT_FALSE(Run());
}

TEST_F(KeywordSearchTest, ApplyOnceConditionStillReservesInItsOnePass) {
  Add(1, u8"天気予報");
  Condition(0, u8"天気", 1, 1);
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1}));
  guide_.Ordered()[0]->state = kStateNormal;
  EXPECT_FALSE(Run());
}

TEST_F(KeywordSearchTest, EndedAndMarkedProgramsAreNeverReserved) {
  Add(1, u8"ニュース1", "", "CH1", 100, 999);   // ended before now (1000)
  Add(2, u8"ニュース2", "", "CH1", 100, 1000);  // ends exactly now
  Add(3, u8"ニュース3", "", "CH1", 100, 1001);  // still running
  Add(4, u8"ニュース4").state = kStateReserved;
  Add(5, u8"ニュース5").state = kStateFailed;
  Condition(0, u8"ニュース");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{3}));
}

TEST_F(KeywordSearchTest, ChannelLimitComparesBytesAndLetsTheNextConditionTry) {
  Add(1, u8"ニュース", "", u8"チャンネルA");
  Add(2, u8"ニュース", "", u8"チャンネルB");
  Add(3, u8"天気", "", u8"チャンネルB");
  Condition(0, u8"ニュース", 1, 0, 1, 0, u8"チャンネルA");
  Condition(1, u8"天気", 1, 0, 1, 0, "");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1, 3}));
}

TEST_F(KeywordSearchTest, SuccessfullyReceivedProgramIsNotReservedAgain) {
  Add(1, u8"ニュース");
  Add(2, u8"ニュース");
  Condition(0, u8"ニュース");
  input_.receivedSuccessfully = [](std::int32_t number, std::int32_t sub) { return number == 1 && sub == 1; };
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{2}));
}

TEST_F(KeywordSearchTest, KeywordFileNameAndStorageFolder) {
  GuideProgram& p = Add(0x1234, u8"ニュース");
  Condition(0, u8"ニュース");
  EXPECT_TRUE(Run());
  ASSERT_EQ(reserver_.files.size(), 1u);
  EXPECT_EQ(reserver_.files[0], KeywordReservationFileName(p.startTime, 0x1234));
  EXPECT_EQ(reserver_.files[0].substr(reserver_.files[0].size() - 12), "00001234.SDL");
  EXPECT_EQ(reserver_.folders[0], "C:\\DATA\\Holder");
}

TEST_F(KeywordSearchTest, EmptyHolderBecomesTheNameUpToItsFirstBreak) {
  GuideProgram& p = Add(1, "News\tfirst");
  reserver_.holderFromDetail = "";
  p.address = "";
  Condition(0, "news");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.folders[0], "C:\\DATA\\News");
}

TEST_F(KeywordSearchTest, HolderThatLeavesTheDataFolderIsRefused) {
  const char* hostile[] = {"..\\..\\WINDOWS", "C:\\WINDOWS", "\\\\host\\share", "a\\..\\..\\b", "a\\ .. \\b", "/etc", "CON", "a\\\\b"};
  for (const char* h : hostile) {
    guide_.Clear();
    Add(1, "News");
    reserver_.holderFromDetail = h;
    reserver_.folders.clear();
    Condition(0, "news");
    EXPECT_FALSE(Run()) << h;
    EXPECT_TRUE(reserver_.folders.empty()) << h;
  }
  EXPECT_EQ(report_.skippedUnsafeHolder, 1);
}

TEST_F(KeywordSearchTest, HolderEndingInTrailByte5CIsKept) {
  Add(1, "News");
  reserver_.holderFromDetail = Cp(u8"ソ");  // 0x83 0x5C
  input_.dataFolder = Cp(u8"C:\\表");       // 0x95 0x5C: no separator to strip
  Condition(0, "news");
  input_.now = 1000;
  EXPECT_TRUE(ApplyKeywordSearch(settings_, guide_, input_, reserver_, &report_));
  EXPECT_EQ(reserver_.folders[0], Cp(u8"C:\\表\\ソ"));
}

TEST_F(KeywordSearchTest, MissingDetailOrUnwritableFolderSkipsTheProgramSilently) {
  Add(1, u8"ニュースA");
  Add(2, u8"ニュースB");
  reserver_.noDetail = {1};
  Condition(0, u8"ニュース");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{2}));
  EXPECT_EQ(report_.skippedNoDetail, 1);

  guide_.Ordered()[1]->state = kStateNormal;
  reserver_.noDetail.clear();
  reserver_.failWrites = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(report_.skippedWriteFailed, 2);
}

TEST_F(KeywordSearchTest, ProgramWithAnAddressNeedsNoDetail) {
  Add(1, u8"ニュース").address = "239.0.0.1";
  Condition(0, u8"ニュース");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.detailCalls, 0);
}

// The count of details to complete is known before the first: the picked
// programs without an address, in guide order, skipped ones counted too.
TEST_F(KeywordSearchTest, EachDetailIsCountedAmongThePickedProgramsThatLackOne) {
  Add(1, u8"朝のニュース", "", "CH1", 2000, 3000);
  Add(2, u8"昼のニュース", "", "CH1", 3000, 4000).address = "239.0.0.2";
  Add(3, u8"天気予報", "", "CH1", 3500, 4000);
  Add(4, u8"夕方のニュース", "", "CH1", 4000, 5000);
  Add(5, u8"夜のニュース", "", "CH1", 5000, 6000);
  reserver_.noDetail = {4};
  Condition(0, u8"ニュース");
  EXPECT_TRUE(Run());
  EXPECT_EQ(reserver_.checkedBefore, (std::vector<std::vector<int>>{{1, 1, 3}, {4, 2, 3}, {5, 3, 3}}));
  EXPECT_EQ(reserver_.numbers, (std::vector<int>{1, 2, 5}));
  EXPECT_EQ(report_.skippedNoDetail, 1);
}

class KeywordSettingsTest : public ::testing::Test {
 protected:
  KeywordSettingsTest() : store_(CreateMemorySettings()), settings_(*store_) {}
  std::unique_ptr<Settings> store_;
  PlannerSettings settings_;
};

TEST_F(KeywordSettingsTest, ConditionRoundTripsAndMissingValuesReadEmpty) {
  KeywordCondition c;
  c.keyword = Cp(u8"ニュース & 天気");
  c.use = 1;
  c.life = 1;
  c.name = 0;
  c.refer = 1;
  c.channel = Cp(u8"チャンネル");
  WriteKeywordCondition(settings_, 7, c);
  EXPECT_EQ(ReadKeywordCondition(settings_, 7), c);
  EXPECT_EQ(settings_.Int("Search", "CheckRefer7", -1), 1);
  EXPECT_EQ(ReadKeywordCondition(settings_, 3), KeywordCondition());
  c.keyword.clear();
  WriteKeywordCondition(settings_, 7, c);
  std::string value;
  EXPECT_FALSE(store_->ReadText(Hive::CurrentUser, std::string(PlannerSettings::kKey) + "\\Search", "SearchKey7", &value));
}

TEST_F(KeywordSettingsTest, PageShowsEqualSearchFlagsAsTitleSearch) {
  KeywordCondition c;
  EXPECT_EQ(AsShownOnPage(c).name, 1u);
  EXPECT_EQ(AsShownOnPage(c).refer, 0u);
  c.name = c.refer = 1;
  EXPECT_EQ(AsShownOnPage(c).refer, 0u);
  c.name = 0;
  EXPECT_EQ(AsShownOnPage(c).refer, 1u);
  EXPECT_EQ(AsShownOnPage(c).name, 0u);
}

TEST_F(KeywordSettingsTest, HistoryMovesKnownKeywordsToTheFrontAndKeepsThirty) {
  std::vector<std::string> history;
  for (int i = 0; i < 30; ++i) history.push_back("k" + std::to_string(i));
  KeywordConditions conditions;
  conditions[0].keyword = "k5";
  conditions[1].keyword = "new";
  conditions[4].keyword = "k5";
  std::vector<std::string> updated = UpdateKeywordHistory(history, conditions);
  ASSERT_EQ(updated.size(), 30u);
  EXPECT_EQ(updated[0], "k5");
  EXPECT_EQ(updated[1], "new");
  EXPECT_EQ(updated[2], "k0");
  EXPECT_EQ(updated.back(), "k28");  // k29 dropped
}

TEST_F(KeywordSettingsTest, HistoryIsReadToTheFirstGapAndWrittenWithoutStaleEntries) {
  WriteKeywordHistory(settings_, {"a", "b", "c"});
  EXPECT_EQ(ReadKeywordHistory(settings_), (std::vector<std::string>{"a", "b", "c"}));
  WriteKeywordHistory(settings_, {"x"});
  EXPECT_EQ(ReadKeywordHistory(settings_), (std::vector<std::string>{"x"}));
  settings_.SetText("Search\\List", "Key02", "orphan");
  EXPECT_EQ(ReadKeywordHistory(settings_), (std::vector<std::string>{"x"}));
}

}  // namespace
