// Title rows, display rules, lanes and the dialogs' list handling.
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include "common/settings.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/title_rows.h"

namespace {

constexpr Time32 kBase = 1000000000;

struct Guide {
  std::vector<std::unique_ptr<GuideProgram>> owned;
  std::vector<GuideProgram*> list;
  GuideProgram* Add(int startMin, int endMin, const std::string& channel = "ch", const std::string& series = "s",
                    const std::string& category = "c") {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = static_cast<int>(owned.size()) + 1;
    p->startTime = kBase + startMin * 60;
    p->endTime = kBase + endMin * 60;
    p->channelName = channel;
    p->seriesName = series;
    p->categoryForSort = category;
    p->categoryForSearch = category;
    list.push_back(p.get());
    owned.push_back(std::move(p));
    return list.back();
  }
};

std::vector<std::string> Names(const std::vector<TitleRow>& rows) {
  std::vector<std::string> n;
  for (const TitleRow& r : rows) n.push_back(r.name);
  return n;
}

using V = std::vector<std::string>;

TEST(TitleRows, EachKindFilesProgramsUnderItsTitle) {
  Guide g;
  g.Add(0, 10, "ch1", "news", "sport");
  g.Add(5, 15, "ch2", "news", "music");
  g.Add(10, 20, "ch1", "film", "sport");
  struct Case {
    std::int32_t kind;
    V titles;
    std::vector<std::size_t> sizes;
  } cases[] = {
      {kTitleSeries, {"news", "film"}, {2, 1}},
      {kTitleChannel, {"ch1", "ch2"}, {2, 1}},
      {kTitleCategory, {"sport", "music"}, {2, 1}},
  };
  for (const Case& c : cases) {
    TitleRowInput in;
    in.kind = c.kind;
    auto rows = BuildTitleRows(g.list, in);
    EXPECT_EQ(Names(rows), c.titles) << "kind " << c.kind;
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].programs.size(), c.sizes[i]);
  }
}

TEST(TitleRows, RowChainsProgramsInGuideOrder) {
  Guide g;
  auto* a = g.Add(0, 10, "ch1");
  g.Add(0, 10, "ch2");
  auto* c = g.Add(20, 30, "ch1");
  TitleRowInput in;
  in.kind = kTitleChannel;
  auto rows = BuildTitleRows(g.list, in);
  EXPECT_EQ(a->nextInRow, c);
  EXPECT_EQ(c->nextInRow, nullptr);
}

TEST(TitleRows, SortedTitlesComeFirstThenNewOnesInOrderOfFirstProgram) {
  Guide g;
  g.Add(0, 10, "ch", "A");
  g.Add(1, 10, "ch", "C");
  g.Add(2, 10, "ch", "B");
  g.Add(3, 10, "ch", "D");
  TitleRowInput in;
  in.sortTitle = "\tB\tA\t";
  EXPECT_EQ(Names(BuildTitleRows(g.list, in)), (V{"B", "A", "C", "D"}));
}

TEST(TitleRows, HiddenWinsOverSortedAndHiddenProgramsBelongToNoRow) {
  Guide g;
  auto* a = g.Add(0, 10, "ch", "A");
  g.Add(1, 10, "ch", "B");
  g.Add(2, 10, "ch", "C");
  TitleRowInput in;
  in.sortTitle = "\tA\tB\t";
  in.hideTitle = "\tA\t\tC\t";
  auto rows = BuildTitleRows(g.list, in);
  EXPECT_EQ(Names(rows), (V{"B"}));
  EXPECT_EQ(a->nextInRow, nullptr);
}

TEST(TitleRows, ATitleThatIsAPartOfAnotherIsNotFoundInsideIt) {
  Guide g;
  g.Add(0, 10, "ch", "AB");
  g.Add(1, 10, "ch", "B");
  TitleRowInput in;
  in.hideTitle = "\tAB\t";
  EXPECT_EQ(Names(BuildTitleRows(g.list, in)), (V{"B"}));
}

TEST(TitleRows, EmptyTitlesFormOneRow) {
  Guide g;
  g.Add(0, 10, "ch", "");
  g.Add(20, 30, "ch", "");
  g.Add(5, 30, "ch", "x");
  TitleRowInput in;
  auto rows = BuildTitleRows(g.list, in);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "");
  EXPECT_EQ(rows[0].programs.size(), 2u);
}

TEST(TitleRows, StoredWidthsAreTakenAndMarkTheRowWidened) {
  Guide g;
  g.Add(0, 10, "ch", "A");
  g.Add(0, 10, "ch", "B");
  g.Add(0, 10, "ch", "C");
  g.Add(0, 10, "ch", "D");
  std::map<std::string, std::int32_t> stored = {{"A", 250}, {"C", 0}, {"D", 1000000}};
  TitleRowInput in;
  in.storedWidth = [&](const std::string& t) { return stored.count(t) ? stored[t] : 100; };
  auto rows = BuildTitleRows(g.list, in);
  EXPECT_EQ(rows[0].widthPercent, 250);
  EXPECT_EQ(rows[0].widened, 1);
  EXPECT_EQ(rows[1].widthPercent, 100);
  EXPECT_EQ(rows[1].widened, 0);
  // Damaged stored widths are brought into the range a column can have.
  EXPECT_EQ(rows[2].widthPercent, kMinWidthPercent);
  EXPECT_EQ(rows[3].widthPercent, kMaxWidthPercent);
}

TEST(TitleRows, EmptyGuideGivesNoRows) {
  TitleRowInput in;
  EXPECT_TRUE(BuildTitleRows({}, in).empty());
}

// --- display rules ---

struct FilterCase {
  const char* what;
  DisplayRuleTexts texts;
  bool shown;
};

TEST(DisplayFilter, RulesDecideWhichProgramIsShown) {
  GuideProgram p;
  p.channelName = "ch1";
  p.seriesName = "news";
  p.categoryForSearch = "sport,music";
  const FilterCase cases[] = {
      {"no rules", {"", "", "", 1}, true},
      {"channel hidden", {"ch1", "", "", 1}, false},
      {"other channel hidden", {"ch2", "", "", 1}, true},
      {"series hidden", {"", "x,news", "", 1}, false},
      {"category hidden", {"", "", "music", 1}, false},
      {"category part is no match", {"", "", "mus", 1}, true},
      {"category selected", {"", "", "sport", 0}, true},
      {"other category selected", {"", "", "film", 0}, false},
      {"one of the selected", {"", "", "film,music", 0}, true},
      {"channel hiding wins over selection", {"ch1", "", "sport", 0}, false},
      {"series hiding wins over selection", {"", "news", "sport", 0}, false},
  };
  for (const FilterCase& c : cases) EXPECT_EQ(IsShown(ParseDisplayRules(c.texts), p), c.shown) << c.what;
}

TEST(DisplayFilter, FilterOffOrNoRulesShowsEverything) {
  Guide g;
  g.Add(0, 10, "ch1");
  g.Add(0, 10, "ch2");
  DisplayRules rules = ParseDisplayRules({"ch1", "", "", 1});
  TitleRowInput in;
  in.kind = kTitleChannel;
  in.rules = &rules;
  EXPECT_EQ(BuildTitleRows(g.list, in).size(), 2u);
  in.filterOn = true;
  EXPECT_EQ(Names(BuildTitleRows(g.list, in)), (V{"ch2"}));
}

TEST(DisplayFilter, TextsRoundTripWithTheExclusionFlagOfTheLastCategoryRule) {
  DisplayRuleTexts t{"a,b", "s", "c1,c2", 0};
  DisplayRules rules = ParseDisplayRules(t);
  ASSERT_EQ(rules.size(), 5u);
  EXPECT_EQ(rules[0].kind, kFilterChannel);
  EXPECT_EQ(rules[2].kind, kFilterSeries);
  EXPECT_EQ(rules[4].flag, 0);
  DisplayRuleTexts back = FormatDisplayRules(rules);
  EXPECT_EQ(back.channels, "a,b");
  EXPECT_EQ(back.series, "s");
  EXPECT_EQ(back.categories, "c1,c2");
  EXPECT_EQ(back.categoryExcept, 0);
  EXPECT_EQ(FormatDisplayRules({}).categoryExcept, 1);
}

TEST(DisplayFilter, LongRuleListsSurviveAReadAndWriteBack) {
  // Lists grow past the 255 bytes of a plain text read; the exit writes back what was read.
  auto store = CreateMemorySettings();
  PlannerSettings settings{*store};
  std::string channels, series, categories;
  for (int i = 0; i < 40; ++i) channels += (i ? "," : "") + std::string("channel ") + std::to_string(i);
  for (int i = 0; i < 40; ++i) series += (i ? "," : "") + std::string("series ") + std::to_string(i);
  for (int i = 0; i < 40; ++i) categories += (i ? "," : "") + std::string("category ") + std::to_string(i);
  ASSERT_GT(channels.size(), 255u);
  settings.SetText("Environment", "FilterChannel", channels);
  settings.SetText("Environment", "FilterContent", series);
  settings.SetText("Environment", "FilterCategory", categories);
  settings.SetInt("Environment", "FilterCaExcept", 0);
  DisplayRules rules = ReadDisplayRules(settings);
  EXPECT_EQ(rules.size(), 120u);
  WriteDisplayRules(settings, rules);
  EXPECT_EQ(settings.WholeText("Environment", "FilterChannel"), channels);
  EXPECT_EQ(settings.WholeText("Environment", "FilterContent"), series);
  EXPECT_EQ(settings.WholeText("Environment", "FilterCategory"), categories);
}

// --- lanes ---

std::vector<std::pair<int, int>> Lanes(const Guide& g) {
  std::vector<std::pair<int, int>> out;
  for (const GuideProgram* p : g.list) out.emplace_back(p->laneCount, p->laneIndex);
  return out;
}

TEST(Lanes, SeparateProgramsKeepOneLane) {
  Guide g;
  g.Add(0, 10);
  g.Add(10, 20);
  LayOutLanes(g.list);
  EXPECT_EQ(Lanes(g), (std::vector<std::pair<int, int>>{{1, 0}, {1, 0}}));
}

TEST(Lanes, ThreeOverlappingProgramsTakeThreeLanes) {
  Guide g;
  g.Add(0, 30);
  g.Add(5, 30);
  g.Add(10, 30);
  g.Add(40, 50);
  LayOutLanes(g.list);
  EXPECT_EQ(Lanes(g), (std::vector<std::pair<int, int>>{{3, 0}, {3, 1}, {3, 2}, {1, 0}}));
}

TEST(Lanes, AFreedLaneIsReusedFirst) {
  Guide g;
  g.Add(0, 30);
  g.Add(5, 10);
  g.Add(12, 20);  // lane 1 is free again at 12
  LayOutLanes(g.list);
  EXPECT_EQ(Lanes(g), (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}, {2, 1}}));
}

TEST(Lanes, TwentyOneMutuallyOverlappingProgramsStartASecondClusterAtTheLast) {
  Guide g;
  for (int i = 0; i < 21; ++i) g.Add(i, 100);
  LayOutLanes(g.list);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(g.list[i]->laneCount, 20) << i;
    EXPECT_EQ(g.list[i]->laneIndex, i) << i;
  }
  EXPECT_EQ(g.list[20]->laneCount, 1);
  EXPECT_EQ(g.list[20]->laneIndex, 0);
}

TEST(Lanes, HeadingDoubleClickWidensToTheLanesAndBack) {
  Guide g;
  g.Add(0, 30);
  g.Add(5, 30);
  g.Add(10, 30);
  TitleRowInput in;
  auto rows = BuildTitleRows(g.list, in);
  ASSERT_EQ(rows.size(), 1u);
  ToggleWidened(rows[0]);
  EXPECT_EQ(rows[0].widthPercent, 300);
  EXPECT_EQ(rows[0].widened, 1);
  ToggleWidened(rows[0]);
  EXPECT_EQ(rows[0].widthPercent, 100);
  EXPECT_EQ(rows[0].widened, 0);
}

TEST(Lanes, DraggedWidthIsAtLeastTenPercent) {
  EXPECT_EQ(DraggedWidthPercent(250, 100, 100), 150);
  EXPECT_EQ(DraggedWidthPercent(101, 100, 100), kMinWidthPercent);
  EXPECT_EQ(DraggedWidthPercent(50, 100, 100), kMinWidthPercent);
  EXPECT_EQ(DraggedWidthPercent(50, 0, 0), kMinWidthPercent);
}

// --- dialogs ---

TEST(TitleOrderDialog, ListsNamedTitlesAndStoresThemTabbed) {
  std::vector<TitleRow> rows(3);
  rows[0].name = "B";
  rows[1].name = "";
  rows[2].name = "A";
  V names = ListedTitles(rows);
  EXPECT_EQ(names, (V{"B", "A"}));
  EXPECT_EQ(MoveListItem(names, 1, -1), 0u);
  EXPECT_EQ(names, (V{"A", "B"}));
  EXPECT_EQ(MoveListItem(names, 1, +1), 1u);
  EXPECT_EQ(SortTitleFrom(names), "\tA\tB\t");
  EXPECT_EQ(SortTitleFrom({}), "\t");
}

TEST(FilterDialog, OpensWithRulesLeftAndTheRestOfTheGuideRightOnceEach) {
  Guide g;
  g.Add(0, 10, "ch1", "news", "sport,music");
  g.Add(0, 10, "ch2", "film", "music");
  g.Add(0, 10, "ch1", "", "drama");
  DisplayRules rules = ParseDisplayRules({"ch2", "", "music", 0});
  FilterLists l = OpenFilterLists(rules, g.list);
  EXPECT_EQ(l.hiddenChannels, (V{"ch2"}));
  EXPECT_EQ(l.shownChannels, (V{"ch1"}));
  EXPECT_EQ(l.shownSeries, (V{"news", "film"}));
  EXPECT_EQ(l.selectedCats, (V{"music"}));
  EXPECT_EQ(l.unselectedCats, (V{"sport", "drama"}));
  EXPECT_EQ(l.categoryFlag, 0);
}

TEST(FilterDialog, MovingSelectsTheSamePositionOrTheLastAndOkBuildsRulesInListOrder) {
  FilterLists l;
  l.shownChannels = {"a", "b", "c"};
  EXPECT_EQ(MoveBetween(l.shownChannels, l.hiddenChannels, 1), 1u);
  EXPECT_EQ(MoveBetween(l.shownChannels, l.hiddenChannels, 1), 0u);
  EXPECT_EQ(MoveBetween(l.shownChannels, l.hiddenChannels, 0), std::string::npos);
  EXPECT_EQ(l.hiddenChannels, (V{"b", "c", "a"}));
  l.selectedCats = {"x"};
  l.hiddenSeries = {"s"};
  l.categoryFlag = 0;
  DisplayRules r = RulesFromFilterLists(l);
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[3].kind, kFilterSeries);
  EXPECT_EQ(r[4].kind, kFilterCategory);
  EXPECT_EQ(r[4].flag, 0);
}

}  // namespace
