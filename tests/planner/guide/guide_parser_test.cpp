// The guide mark-up parser, the list order and the parse-time rules.
#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include "common/text.h"
#include "common/time_text.h"
#include "planner/guide/guide_parser.h"
#include "planner/guide/guide_program.h"
#include "tests/planner/guide/guide_markup.h"
#include "tests/planner/guide/reference_parser.h"

namespace {

struct Parsed {
  GuideList list;
  ChannelNameList channels;
  bool produced = false;
};

Parsed Parse(const std::string& text, const GuideRules& rules = GuideRules()) {
  Parsed p;
  p.produced = ParseGuideText(text, rules, p.list, p.channels);
  return p;
}

GuideRules Rules(std::initializer_list<std::pair<int, std::string>> values) {
  std::string texts[7];
  for (const auto& v : values) texts[v.first] = v.second;
  return BuildGuideRules(texts);
}

TEST(GuideParser, TextWithoutProgramElementYieldsFalse) {
  for (const std::string& text : {std::string(), std::string("<guide>nothing here</guide>"),
                                 std::string("<program_number>5</program_number><schedule></schedule>")}) {
    Parsed p = Parse(text);
    EXPECT_FALSE(p.produced) << text;
    EXPECT_TRUE(p.list.Empty());
  }
}

TEST(GuideParser, TwoSchedulesGiveTwoRecordsWithHeaderCopied) {
  MarkupProgram prog;
  prog.programNumber = "42";
  prog.schedules[0].subNumber = 1;
  MarkupSchedule second;
  second.subNumber = 2;
  second.start = "2001/03/06 10:00";
  second.end = "2001/03/06 10:30";
  prog.schedules.push_back(second);
  Parsed p = Parse(DayMarkup({prog}));
  ASSERT_TRUE(p.produced);
  const auto& list = p.list.Ordered();
  ASSERT_EQ(list.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const GuideProgram& r = *list[i];
    EXPECT_EQ(r.programNumber, 42);
    EXPECT_EQ(r.subNumber, static_cast<int>(i + 1));
    EXPECT_EQ(r.name, "title");
    EXPECT_EQ(r.channelName, "ch1");
    EXPECT_EQ(r.seriesName, "series");
    EXPECT_EQ(r.categoryForSort, "news");
    EXPECT_EQ(r.categoryForSearch, "news");
    EXPECT_EQ(r.totalKbyte, 1024);
    EXPECT_EQ(r.speed, 128);
    EXPECT_EQ(r.laneCount, 1);
    EXPECT_EQ(r.highlight, 0);
    EXPECT_TRUE(r.address.empty());
  }
  EXPECT_EQ(list[0]->startTime, MakeLocalTime(2001, 3, 5, 21, 30));
  EXPECT_EQ(list[1]->endTime, MakeLocalTime(2001, 3, 6, 10, 30));
  EXPECT_EQ(list[0]->next, list[1]);
  EXPECT_EQ(list[1]->next, nullptr);
}

TEST(GuideParser, SubdigestReplacesDigestForItsBroadcastOnly) {
  MarkupProgram prog;
  prog.schedules[0].subdigest = "";
  MarkupSchedule second;
  second.subNumber = 2;
  second.start = "2001/03/05 23:00";
  second.end = "2001/03/05 23:30";
  second.subdigest = "only tonight";
  prog.schedules.push_back(second);
  Parsed p = Parse(DayMarkup({prog}));
  const auto& list = p.list.Ordered();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->digest, "digest");
  EXPECT_EQ(list[1]->digest, "only tonight");
}

TEST(GuideParser, ReceiverVersionZeroOrMissingBecomes100) {
  const struct {
    std::string written;
    int expected;
  } cases[] = {{"", 100}, {"0", 100}, {"abc", 100}, {"3", 3}, {" 7x", 7}};
  for (const auto& c : cases) {
    MarkupProgram prog;
    prog.schedules[0].receiverVersion = c.written;
    Parsed p = Parse(DayMarkup({prog}));
    ASSERT_EQ(p.list.Size(), 1u) << c.written;
    EXPECT_EQ(p.list.Head()->receiverVersion, c.expected) << "receiver_ver '" << c.written << "'";
  }
}

TEST(GuideParser, ProgramNumberZeroSkipsTheWholeProgramAndItsChannel) {
  MarkupProgram bad;
  bad.programNumber = "none";
  bad.channel = "ghost";
  MarkupProgram good;
  good.programNumber = "7";
  Parsed p = Parse(DayMarkup({bad, good}));
  ASSERT_EQ(p.list.Size(), 1u);
  EXPECT_EQ(p.list.Head()->programNumber, 7);
  ASSERT_EQ(p.channels.Names().size(), 1u);
  EXPECT_EQ(p.channels.Names()[0], "ch1");
}

TEST(GuideParser, ProgramWithoutClosingTagExtendsToEndOfText) {
  MarkupProgram prog;
  std::string text = ProgramMarkup(prog);
  text.erase(text.find("</program>"));
  Parsed p = Parse(text);
  ASSERT_EQ(p.list.Size(), 1u);
  EXPECT_EQ(p.list.Head()->name, "title");
}

TEST(GuideParser, EmptyScheduleEndsTheWalkOfItsProgram) {
  std::string text = "<program>" + Tagged("program_number", "9") + "<schedule></schedule>" +
                     ScheduleMarkup(MarkupSchedule()) + "</program>";
  Parsed p = Parse(text);
  EXPECT_FALSE(p.produced);
  EXPECT_TRUE(p.list.Empty());
}

TEST(GuideParser, FieldsOutsideTheirPartAreNotRead) {
  // A schedule field in the header and a header field in a schedule belong to
  // the wrong part and are not seen.
  std::string text = "<program>" + Tagged("program_number", "9") + Tagged("speed", "999") + "<schedule>" +
                     Tagged("program_sub_number", "1") + Tagged("name", "late name") +
                     Tagged("starttime", "2001/03/05 01:00") + "</schedule></program>";
  Parsed p = Parse(text);
  ASSERT_EQ(p.list.Size(), 1u);
  EXPECT_EQ(p.list.Head()->speed, 0);
  EXPECT_EQ(p.list.Head()->name, "");
}

TEST(GuideParser, TagBehindALeadByteNeverMatches) {
  // 0x88 takes the '<' as its second byte, so "<program_number>" is not seen
  // there; with a plain byte search the program would be read.
  MarkupProgram prog;
  std::string text = ProgramMarkup(prog);
  std::string split = text;
  split.insert(split.find("<program_number>"), "\x88");
  EXPECT_EQ(Parse(text).list.Size(), 1u);
  EXPECT_TRUE(Parse(split).list.Empty());
  for (const char* tag : {"<program>", "<schedule>"}) {
    split = text;
    split.insert(split.find(tag), "\xE0");
    EXPECT_TRUE(Parse(split).list.Empty()) << tag << " behind a lead byte";
  }
  // Two lead-valued bytes pair up: the tag behind them is on a character start.
  split = text;
  split.insert(split.find("<schedule>"), "\x88\x9F");
  EXPECT_EQ(Parse(split).list.Size(), 1u);

  // A value whose double-byte characters end in 0x5C and 0x3C-like bytes is
  // kept byte for byte.
  prog.name = J(u8"ソフト表示");
  Parsed p = Parse(ProgramMarkup(prog));
  ASSERT_EQ(p.list.Size(), 1u);
  EXPECT_EQ(p.list.Head()->name, J(u8"ソフト表示"));
}

TEST(GuideParseTime, ReadsLocalTimeAndDropsSeconds) {
  const struct {
    const char* text;
    Time32 expected;
  } cases[] = {
      {"2001/03/05 21:30", MakeLocalTime(2001, 3, 5, 21, 30)},
      {"2001/03/05 21:30:45", MakeLocalTime(2001, 3, 5, 21, 30)},
      {"2001/12/31 23:59", MakeLocalTime(2001, 12, 31, 23, 59)},
      {"2001/3/5 9:05", MakeLocalTime(2001, 3, 5, 9, 5)},
      {"2001/03/05 24:00", MakeLocalTime(2001, 3, 6, 0, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseGuideTime(c.text), c.expected) << c.text;
}

TEST(GuideParseTime, MissingOrImpossibleTimesAreNoTimeOnEveryPlatform) {
  for (const char* text : {"", "tomorrow", "0000/00/00 00:00", "2100/01/01 00:00", "1969/12/31 23:00",
                           "2037/12/31 99:00", "99999999999/1/1 0:0"})
    EXPECT_EQ(ParseGuideTime(text), kNoTime) << text;
}

TEST(GuideList, EqualStartAndEndAreOrderedByProgramNumberThenArrival) {
  std::vector<MarkupProgram> programs;
  for (const char* number : {"30", "10", "20"}) {
    MarkupProgram p;
    p.programNumber = number;
    programs.push_back(p);
  }
  // Same start, same end, same program number: arrival order.
  programs[1].schedules.push_back(MarkupSchedule());
  programs[1].schedules[1].subNumber = 5;
  programs[1].schedules[0].subNumber = 9;
  MarkupProgram earlier;
  earlier.programNumber = "99";
  earlier.schedules[0].start = "2001/03/05 21:00";
  programs.push_back(earlier);
  Parsed p = Parse(DayMarkup(programs));
  std::vector<std::pair<int, int>> order;
  for (const GuideProgram* r : p.list.Ordered()) order.emplace_back(r->programNumber, r->subNumber);
  EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{99, 1}, {10, 9}, {10, 5}, {20, 1}, {30, 1}}));
}

// The order of inserting each record behind all records that do not compare
// later, walking from the head.
std::vector<const GuideProgram*> InsertionOrder(const std::vector<GuideProgram*>& arrivals) {
  std::vector<const GuideProgram*> list;
  for (const GuideProgram* r : arrivals) {
    auto it = list.begin();
    for (; it != list.end(); ++it) {
      const GuideProgram* o = *it;
      if (o->startTime > r->startTime) break;
      if (o->startTime == r->startTime && o->endTime > r->endTime) break;
      if (o->startTime == r->startTime && o->endTime == r->endTime && o->programNumber > r->programNumber) break;
    }
    list.insert(it, r);
  }
  return list;
}

TEST(GuideList, OrderMatchesInsertionFromTheHeadAcrossBatches) {
  std::mt19937 random(5);
  GuideList list;
  std::vector<GuideProgram*> arrivals;
  for (int batch = 0; batch < 3; ++batch) {
    for (int i = 0; i < 300; ++i) {
      auto p = std::make_unique<GuideProgram>();
      p->programNumber = static_cast<int>(random() % 20) + 1;
      p->subNumber = batch * 1000 + i;
      p->startTime = static_cast<Time32>(random() % 10) * 60;
      p->endTime = p->startTime + static_cast<Time32>(random() % 3) * 60;
      arrivals.push_back(p.get());
      ASSERT_TRUE(list.Add(std::move(p)));
    }
    list.Ordered();  // ordered between batches, as a reader in the middle of a load would
  }
  std::vector<const GuideProgram*> expected = InsertionOrder(arrivals);
  std::vector<const GuideProgram*> actual(list.Ordered().begin(), list.Ordered().end());
  EXPECT_EQ(actual, expected);
  std::size_t linked = 0;
  for (const GuideProgram* r = list.Head(); r; r = r->next) ++linked;
  EXPECT_EQ(linked, arrivals.size());
}

TEST(GuideList, SecondRecordOfAPairIsDiscarded) {
  GuideList list;
  auto first = std::make_unique<GuideProgram>();
  first->programNumber = 1;
  first->subNumber = 2;
  first->name = "first";
  auto second = std::make_unique<GuideProgram>(*first);
  second->name = "second";
  EXPECT_TRUE(list.Add(std::move(first)));
  EXPECT_FALSE(list.Add(std::move(second)));
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.Head()->name, "first");
  EXPECT_TRUE(list.Contains(1, 2));
  EXPECT_FALSE(list.Contains(2, 1));
}

TEST(ChannelNames, NewNamesGoToTheFrontOnce) {
  ChannelNameList names;
  EXPECT_TRUE(names.Add("a"));
  EXPECT_TRUE(names.Add("b"));
  EXPECT_FALSE(names.Add("a"));
  EXPECT_TRUE(names.Add("c"));
  EXPECT_EQ(std::vector<std::string>(names.Names().begin(), names.Names().end()),
            (std::vector<std::string>{"c", "b", "a"}));
}

TEST(GuideRules, EveryNonEmptyItemBecomesOneRule) {
  GuideRules rules = Rules({{0, "a,,b"}, {2, ","}, {6, "x"}});
  ASSERT_EQ(rules.rules.size(), 3u);
  EXPECT_EQ(rules.rules[0].kind, 0);
  EXPECT_EQ(rules.rules[0].value, "a");
  EXPECT_EQ(rules.rules[1].value, "b");
  EXPECT_EQ(rules.rules[2].kind, 6);
  EXPECT_EQ(rules.rules[2].enabled, 1);
  EXPECT_TRUE(rules.exclusiveMode);
  EXPECT_FALSE(Rules({{1, "s"}}).exclusiveMode);
}

TEST(GuideRules, ExclusiveChannelsKeepTheirProgramsAndStillCollectOtherChannelNames) {
  std::vector<MarkupProgram> programs(4);
  programs[0].programNumber = "1", programs[0].channel = "one";
  programs[1].programNumber = "2", programs[1].channel = "two";
  programs[2].programNumber = "3", programs[2].channel = "three";
  programs[3].programNumber = "4", programs[3].channel = "two", programs[3].series = "dropped";
  Parsed p = Parse(DayMarkup(programs), Rules({{0, "one,two"}, {1, "dropped"}}));
  std::vector<int> numbers;
  for (const GuideProgram* r : p.list.Ordered()) numbers.push_back(r->programNumber);
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<int>{1, 2}));
  EXPECT_EQ(std::vector<std::string>(p.channels.Names().begin(), p.channels.Names().end()),
            (std::vector<std::string>{"three", "two", "one"}));
}

TEST(GuideRules, ExceptCategoryMatchesWholeItemsOnly) {
  std::vector<MarkupProgram> programs(3);
  programs[0].programNumber = "1", programs[0].categoryForSearch = "music,sport,news";
  programs[1].programNumber = "2", programs[1].categoryForSearch = "sports";
  programs[2].programNumber = "3", programs[2].categoryForSearch = "sport";
  Parsed p = Parse(DayMarkup(programs), Rules({{2, "sport"}}));
  ASSERT_EQ(p.list.Size(), 1u);
  EXPECT_EQ(p.list.Head()->programNumber, 2);
}

TEST(GuideRules, HighlightRulesMarkWithTen) {
  const struct {
    int kind;
    std::string item;
    int expected;
  } cases[] = {
      {3, "ch1", 10},  {3, "CH1", 0},     {4, "series", 10}, {4, "serie", 0},
      {5, "news", 10}, {5, "new", 0},     {6, "title", 10},  {6, "title ", 0},
  };
  for (const auto& c : cases) {
    Parsed p = Parse(DayMarkup({MarkupProgram()}), Rules({{c.kind, c.item}}));
    ASSERT_EQ(p.list.Size(), 1u);
    EXPECT_EQ(p.list.Head()->highlight, c.expected) << "kind " << c.kind << " item '" << c.item << "'";
    EXPECT_EQ(p.list.Head()->state, 0);
  }
}

// Random damage to a valid guide: dropped and repeated bytes, stray tags and
// lead bytes; the one-walk field scan must read exactly what a search per
// field reads.
TEST(GuideParser, AgreesWithTheFieldByFieldParserOnDamagedMarkup) {
  MarkupProgram a, b;
  a.name = J(u8"ソフト表示");
  b.programNumber = "200";
  b.schedules.push_back(MarkupSchedule());
  b.schedules[1].subNumber = 2;
  b.schedules[1].subdigest = "sub";
  const std::string clean = DayMarkup({a, b, a});
  const std::string inserts[] = {"<", "</", ">", "\x88", "\x82\xA0", "<name>", "</name>", "<schedule>",
                                 "</schedule>", "<program>", "</program>", "<digest>x</digest>", "0", "/", " "};
  std::mt19937 random(11);
  const GuideRules rules = Rules({{5, "news"}, {1, "series"}});
  for (int round = 0; round < 3000; ++round) {
    std::string text = clean;
    int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text.erase(at, 1 + random() % 12); break;
        case 1: text.insert(at, inserts[random() % (sizeof inserts / sizeof inserts[0])]); break;
        default: text.insert(at, text.substr(random() % text.size(), random() % 40)); break;
      }
      if (text.empty()) text = clean;
    }
    std::string difference = CompareWithReference(text, round % 2 ? rules : GuideRules());
    ASSERT_EQ(difference, "") << "round " << round;
  }
}

TEST(TagRangeIn, StaysInsideItsRange) {
  const std::string text = "abc<x>def<x>";
  EXPECT_EQ(FindText(text, "<x>", 0, text.size()), 3u);
  EXPECT_EQ(FindText(text, "<x>", 4, text.size()), 9u);
  EXPECT_EQ(FindText(text, "<x>", 4, 11), std::string::npos);
  EXPECT_EQ(FindText(text, "<x>", 0, 5), std::string::npos);
  std::size_t pos = 0;
  TextRange r = TagRangeIn("<a>1</a><a>2</a>", "a", &pos, 16);
  EXPECT_EQ(r.begin, 3u);
  EXPECT_EQ(r.end, 4u);
  EXPECT_EQ(pos, 8u);
  pos = 0;
  EXPECT_TRUE(TagRangeIn("</a>x<a>", "a", &pos, 8).Empty());
  EXPECT_EQ(pos, 0u);
}

}  // namespace
