#include "common/detail_file.h"

#include <gtest/gtest.h>

namespace {

const char* kDetail =
    "head<schedule><ip_address>239.1.2.3</ip_address><port> 5001x</port><sid>12</sid>"
    "<holder>\x95\x5C" "dir</holder><autorun>go.exe</autorun></schedule>"
    "<schedule><ip_address>239.9.9.9</ip_address></schedule>";

TEST(ProgramDetail, ReadsTheFieldsOfTheFirstSchedule) {
  ProgramDetail d;
  ASSERT_TRUE(ParseProgramDetail(kDetail, "name", &d));
  EXPECT_EQ(d.address, "239.1.2.3");
  EXPECT_EQ(d.port, 5001);
  EXPECT_EQ(d.sid, 12);
  EXPECT_EQ(d.holder, "\x95\x5C" "dir");
  EXPECT_EQ(d.autorun, "go.exe");
}

TEST(ProgramDetail, FieldsOutsideTheScheduleAreNotSeen) {
  ProgramDetail d;
  ASSERT_TRUE(ParseProgramDetail("<port>1</port><schedule><sid>3</sid></schedule>", "n", &d));
  EXPECT_EQ(d.port, 0);
  EXPECT_EQ(d.address, "");
}

TEST(ProgramDetail, HtmlOrNoScheduleIsNotADetailFile) {
  ProgramDetail d;
  EXPECT_FALSE(ParseProgramDetail("<html><schedule><sid>1</sid></schedule></html>", "n", &d));
  EXPECT_FALSE(ParseProgramDetail("<ip_address>1.2.3.4</ip_address>", "n", &d));
  EXPECT_FALSE(ParseProgramDetail("<schedule><ip_address>1.2.3.4</ip_address>", "n", &d));
  EXPECT_FALSE(ParseProgramDetail("", "n", &d));
}

TEST(ProgramDetail, SidTextThatConvertsToZeroMakesAStreamProgram) {
  struct Case { const char* sid; const char* address; std::uint16_t value; };
  const Case cases[] = {{"<sid>0</sid>", "Dummy", 0}, {"<sid>abc</sid>", "Dummy", 0},
                        {"<sid>65536</sid>", "Dummy", 0}, {"<sid></sid>", "239.1.1.1", 0},
                        {"", "239.1.1.1", 0}, {"<sid>7</sid>", "239.1.1.1", 7}};
  for (const Case& c : cases) {
    ProgramDetail d;
    std::string text = std::string("<schedule><ip_address>239.1.1.1</ip_address>") + c.sid + "</schedule>";
    ASSERT_TRUE(ParseProgramDetail(text, "n", &d));
    EXPECT_EQ(d.address, c.address) << c.sid;
    EXPECT_EQ(d.sid, c.value) << c.sid;
  }
}

TEST(ProgramDetail, EmptyHolderBecomesTheNameUpToALineBreakOrTab) {
  struct Case { const char* name; const char* holder; };
  const Case cases[] = {{"News\r\nSecond", "News"}, {"A\tB", "A"}, {"One\nTwo", "One"},
                        {"\x83\x5C" "\x95\x5C", "\x83\x5C" "\x95\x5C"}, {"", ""}};
  for (const Case& c : cases) {
    ProgramDetail d;
    ASSERT_TRUE(ParseProgramDetail("<schedule><holder></holder></schedule>", c.name, &d));
    EXPECT_EQ(d.holder, c.holder) << c.name;
  }
}

TEST(ProgramDetail, FileNameIsProgramAndSubNumber) {
  EXPECT_EQ(DetailFileName(1234, 2), "1234-2.spn");
  EXPECT_EQ(DetailFileName(-1, 0), "-1-0.spn");
}

}  // namespace
