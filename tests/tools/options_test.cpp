// The tools' shared command line: what it accepts, and errors that name the
// option and the value.
#include "tools/options/options.h"

#include <gtest/gtest.h>

namespace {

const OptionTable kTable = {
    {"port", 'p', "N", "port"},
    {"name", 0, "TEXT", "name"},
    {"offset", 0, "SECONDS", "offset"},
    {"quiet", 'q', nullptr, "quiet"},
};

TEST(ToolOptions, ParseRefusesWhatNoToolTakesAndNamesIt) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{"--colour", "red"}, "unknown option --colour"},
      {{"-x"}, "unknown option -x"},
      {{"--port"}, "option --port needs a value"},
      {{"-p"}, "option --port needs a value"},
      {{"--port", "1", "-p", "2"}, "option --port is given twice"},
      {{"--quiet", "-q"}, "option --quiet is given twice"},
  };
  for (const auto& c : cases) {
    Options o;
    std::string error;
    EXPECT_FALSE(o.Parse(c.args, kTable, &error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(ToolOptions, ValuesFlagsAliasesPositionalsAndHelp) {
  Options o;
  std::string error;
  ASSERT_TRUE(o.Parse({"239.1.2.3", "-p", "5000", "--offset", "-1.5", "-q", "-7", "--help", "dir"}, kTable, &error))
      << error;
  EXPECT_EQ(o.Text("port"), "5000");
  EXPECT_EQ(o.Text("offset"), "-1.5");
  EXPECT_TRUE(o.Has("quiet"));
  EXPECT_FALSE(o.Has("name"));
  EXPECT_TRUE(o.Help());
  EXPECT_EQ(o.Positional(), (std::vector<std::string>{"239.1.2.3", "-7", "dir"})) << "a negative number is an argument";
}

TEST(ToolOptions, NumberReadersCheckTheRangeAndNameTheOption) {
  Options o;
  std::string error;
  ASSERT_TRUE(o.Parse({"--port", "70000", "--name", "0x1F", "--offset", "2.5x"}, kTable, &error));
  int port = 0;
  EXPECT_FALSE(o.Int("port", 1, 65535, 80, &port, &error));
  EXPECT_EQ(error, "--port: '70000' is not a number from 1 to 65535");
  std::int64_t v = 0;
  EXPECT_TRUE(o.Integer("name", 0, 100, 0, &v, &error));
  EXPECT_EQ(v, 31);
  double d = 0;
  EXPECT_FALSE(o.Number("offset", -10, 10, 0, &d, &error));
  EXPECT_EQ(error, "--offset: '2.5x' is not a number from -10 to 10");
  EXPECT_TRUE(o.Int("missing", 1, 5, 3, &port, &error));
  EXPECT_EQ(port, 3) << "an absent option gives the default";
}

TEST(ToolOptions, HelpRowsAlignTheirTextsAndWrapLongOnes) {
  const OptionTable table = {
      {"group", 'g', "ADDR", "multicast group (default 239.192.0.1)"},
      {"first-block", 0, "N", "the first cycle starts at block N of the first file, then every later cycle "
                              "starts at block 0 as usual"},
      {"quiet", 'q', nullptr, "no progress lines\nbreak"},
  };
  EXPECT_EQ(OptionHelp(table),
            "  -g, --group ADDR     multicast group (default 239.192.0.1)\n"
            "      --first-block N  the first cycle starts at block N of the first file,\n"
            "                       then every later cycle starts at block 0 as usual\n"
            "  -q, --quiet          no progress lines\n"
            "                       break\n"
            "  -h, --help           this text\n");
}

TEST(ToolOptions, IntegerTextsThatAreNotNumbers) {
  std::int64_t v = 0;
  for (const char* bad : {"", "-", "0x", "12a", "1.5", "99999999999999999999", " 1"})
    EXPECT_FALSE(ParseInteger(bad, &v)) << bad;
  for (const auto& good : std::vector<std::pair<const char*, std::int64_t>>{{"0", 0}, {"-5", -5}, {"+7", 7}, {"0xff", 255}}) {
    ASSERT_TRUE(ParseInteger(good.first, &v)) << good.first;
    EXPECT_EQ(v, good.second);
  }
}

}  // namespace
