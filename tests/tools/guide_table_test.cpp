// guidecheck's TSV output.
#include <gtest/gtest.h>
#include "common/text.h"
#include "planner/guide/guide_parser.h"
#include "tests/planner/guide/guide_markup.h"
#include "tools/guidecheck/guide_table.h"

namespace {

TEST(GuideTable, FieldsAreUtf8WithControlCharactersEscaped) {
  const struct {
    std::string cp932;
    std::string expected;
  } cases[] = {
      {"plain", "plain"},
      {"a\\b", "a\\\\b"},
      {"tab\there", "tab\\there"},
      {"two\r\nlines", "two\\r\\nlines"},
      {J(u8"ソフト"), u8"ソフト"},  // 0x5C trail byte is not a backslash
      {J(u8"番組表\t"), u8"番組表\\t"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeField(c.cp932), c.expected) << c.expected;
}

TEST(GuideTable, OneLineOfFourteenColumnsPerRecordInListOrder) {
  MarkupProgram late;
  late.programNumber = "2";
  late.schedules[0].start = "2001/03/05 23:00";
  late.schedules[0].end = "2001/03/06 00:30";
  MarkupProgram early;
  early.programNumber = "1";
  early.name = J(u8"ニュース");
  early.digest = "line one\r\nline two";
  early.schedules[0].receiverVersion = "";
  GuideList list;
  ChannelNameList channels;
  GuideRules rules;
  std::string values[7];
  values[kRuleHighlightProgram] = J(u8"ニュース");
  rules = BuildGuideRules(values);
  ASSERT_TRUE(ParseGuideText(DayMarkup({late, early}), rules, list, channels));
  EXPECT_EQ(GuideTable(list),
            "1\t1\t2001-03-05 21:30\t2001-03-05 22:00\t100\t128\t1024\t10\tch1\tseries\tnews\tnews\t"
            u8"ニュース\tline one\\r\\nline two\n"
            "2\t1\t2001-03-05 23:00\t2001-03-06 00:30\t2\t128\t1024\t0\tch1\tseries\tnews\tnews\ttitle\tdigest\n");
  EXPECT_EQ(ChannelTable(channels), "ch1\n");
}

}  // namespace
