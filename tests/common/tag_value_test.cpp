#include "common/tag_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(GetTagValue, ValueOfTheFirstOpeningAndClosingTag) {
  struct Case { const char* text; const char* value; };
  const Case cases[] = {
      {"<a>1</a>", "1"},
      {"x<a>one</a><a>two</a>", "one"},        // repeated: the first counts
      {"<a></a>", ""},
      {"<a>1", ""},                           // closing tag missing
      {"1</a>", ""},                          // opening tag missing
      {"</a>x<a>1</a>", ""},                  // closing tag comes first
      {"<ab>no</ab><a> spaced </a>", " spaced "},  // no trimming
      {"<a><b>in</b></a>", "<b>in</b>"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetTagValue(c.text, "a"), c.value) << c.text;
}

// A field name holding "</": its closing tag can begin inside its own opening
// tag. That closing tag is not behind the opening tag: no value.
TEST(GetTagValue, ClosingTagOverlappingTheOpeningTagGivesNoValue) {
  EXPECT_EQ(GetTagValue("><a></a></a>", "a></a"), "");
  EXPECT_EQ(GetTagValue("<a></a>x</a></a>", "a></a"), "x");
}

TEST(GetTagValue, TagAcrossADoubleByteBoundaryDoesNotMatch) {
  // The lead byte 0x95 takes '<' as its trail byte, so "<a>" is not there.
  EXPECT_EQ(GetTagValue("\x95<a>x</a>", "a"), "");
  // A real double-byte character before the tag leaves the tag alone.
  EXPECT_EQ(GetTagValue("\x95\x5C<a>\x83\x5C</a>", "a"), "\x83\x5C");
}

TEST(GetTagValue, PositionMovesBehindTheClosingTag) {
  const std::string text = "<a>1</a><a>2</a>";
  std::size_t pos = 0;
  EXPECT_EQ(GetTagValue(text, "a", pos), "1");
  EXPECT_EQ(pos, 8u);
  EXPECT_EQ(GetTagValue(text, "a", pos), "2");
  EXPECT_EQ(pos, text.size());
  EXPECT_EQ(GetTagValue(text, "a", pos), "");
  EXPECT_EQ(pos, text.size());  // left alone when a tag is missing
}

TEST(LeadingInt, ReadsTheLeadingDecimalNumber) {
  struct Case { const char* text; std::int32_t value; };
  const Case cases[] = {
      {"123", 123},       {"  42abc", 42},    {"\t\r\n\v\f7", 7},  {"-15", -15},
      {"+8", 8},          {"", 0},            {"abc", 0},           {"-", 0},
      {"12 34", 12},      {"0x1F", 0},        {"- 5", 0},           {"007", 7},
      {"2147483647", INT32_MAX},              {"99999999999999999999", INT32_MAX},
      {"-2147483648", INT32_MIN},             {"-99999999999", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(LeadingInt(c.text), c.value) << c.text;
}

}  // namespace
