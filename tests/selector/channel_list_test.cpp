#include "selector/channel_list.h"

#include <gtest/gtest.h>

#include "common/files.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(ChannelContainer, RoundTripsEverySeed) {
  const std::string text = "default 100 既定\n239.1.2.0/24:* 21 BS-21\n";
  for (int seed = 0; seed < 256; ++seed) {
    const std::string container = ScrambleChannelList(text, static_cast<std::uint8_t>(seed));
    ASSERT_EQ(container.size(), text.size() + 3);
    std::string back, error;
    ASSERT_TRUE(UnscrambleChannelList(container, &back, &error)) << error;
    EXPECT_EQ(back, text);
  }
}

TEST(ChannelContainer, KeyStreamFollowsTheTwoMultipliers) {
  // seed 5: 5 * 0x9B = 0x07 (mod 256); 0x07 * 0x3D = 0xAB -> 0xBA; 0xBA * 0x3D = 0x52 -> 0x25
  const std::vector<std::uint8_t> key = ChannelKeyStream(5, 3);
  EXPECT_EQ(key[0], 0x07);
  EXPECT_EQ(key[1], 0xBA);
  EXPECT_EQ(key[2], 0x25);
  const std::string c = ScrambleChannelList("AB", 5);
  EXPECT_EQ(static_cast<std::uint8_t>(c[0]), 5);
  EXPECT_EQ(c[1], 0);
  EXPECT_EQ(c[2], 2);
  EXPECT_EQ(static_cast<std::uint8_t>(c[3]), 'A' ^ 0x07);
  EXPECT_EQ(static_cast<std::uint8_t>(c[4]), 'B' ^ 0xBA);
}

TEST(ChannelContainer, RefusesShortAndTruncatedFiles) {
  std::string text, error;
  EXPECT_FALSE(UnscrambleChannelList("", &text, &error));
  EXPECT_FALSE(UnscrambleChannelList(std::string("\x01\x00", 2), &text, &error));
  std::string cut = ScrambleChannelList("239.1.2.0/24:* 21 x\n", 9);
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(UnscrambleChannelList(cut, &text, &error));
  EXPECT_NE(error.find("holds"), std::string::npos) << error;
}

TEST(ChannelContainer, StatedLengthIsCappedAt32768) {
  std::string container(3 + 40000, 'x');
  container[0] = 1;
  container[1] = static_cast<char>(0xFF);
  container[2] = static_cast<char>(0xFF);
  std::string text, error;
  ASSERT_TRUE(UnscrambleChannelList(container, &text, &error)) << error;
  EXPECT_EQ(text.size(), 32768u);
  EXPECT_TRUE(ScrambleChannelList(std::string(32769, 'a'), 1).empty());
}

struct LineCase {
  const char* line;
  LineKind kind;
  const char* network;
  const char* mask;
  int low, high, channel;
  const char* name;
};

class ChannelLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ChannelLineTest, Parses) {
  const LineCase& c = GetParam();
  ChannelEntry e;
  std::int32_t def = -1;
  std::string defName, reason;
  ASSERT_EQ(ParseChannelLine(c.line, &e, &def, &defName, &reason), c.kind) << c.line << " " << reason;
  if (c.kind != LineKind::Entry) return;
  EXPECT_EQ(DottedAddress(e.network), c.network);
  EXPECT_EQ(DottedAddress(e.mask), c.mask);
  EXPECT_EQ(e.lowPort, c.low);
  EXPECT_EQ(e.highPort, c.high);
  EXPECT_EQ(e.channel, c.channel);
  EXPECT_EQ(e.name, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ChannelLineTest,
    ::testing::Values(
        LineCase{"239.1.2.77/24:* 21 BS21", LineKind::Entry, "239.1.2.0", "255.255.255.0", 0, 65535, 21, "BS21"},
        LineCase{"  239.1.2.3:*\t22 single", LineKind::Entry, "239.1.2.3", "255.255.255.255", 0, 65535, 22, "single"},
        LineCase{"239.1.2.3/32:5000-5010 23 range\r\n", LineKind::Entry, "239.1.2.3", "255.255.255.255", 5000, 5010,
                 23, "range"},
        LineCase{"239.1.2.3/32:5000 24 one port", LineKind::Entry, "239.1.2.3", "255.255.255.255", 5000, 5000, 24,
                 "one port"},
        LineCase{"239.1.0.0/16 25 five", LineKind::Entry, "239.1.0.0", "255.255.0.0", 0, 65536, 25, "five"},
        LineCase{"239.1.2.3/0:* 26 zero", LineKind::Entry, "239.1.2.3", "255.255.255.255", 0, 65535, 26, "zero"},
        LineCase{"239.1.2.3/8:* 27", LineKind::Entry, "239.0.0.0", "255.0.0.0", 0, 65535, 27, ""},
        LineCase{"224.0.0.1/32:1-2 28 名前 with  blanks ", LineKind::Entry, "224.0.0.1", "255.255.255.255", 1, 2, 28,
                 "名前 with  blanks "},
        LineCase{"# 239.1.2.3:* 5 comment", LineKind::Ignored, "", "", 0, 0, 0, ""},
        LineCase{"", LineKind::Ignored, "", "", 0, 0, 0, ""},
        LineCase{"   \t", LineKind::Ignored, "", "", 0, 0, 0, ""},
        LineCase{"DEFAULT 7 name", LineKind::Default, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.3 21 no prefix", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.3/24:*", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.3/24:* name", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.300/24:* 1", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.3/33:* 1", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.3/24:9-8 1", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"239.1.2.3/24:* 70000", LineKind::Malformed, "", "", 0, 0, 0, ""},
        LineCase{"garbage", LineKind::Malformed, "", "", 0, 0, 0, ""}));

TEST(ChannelLine, NameIsCutAt255BytesOnACharacterBoundary) {
  std::string line = "239.1.2.3:* 5 a";
  for (int i = 0; i < 200; ++i) line += u8"あ";   // three UTF-8 bytes each
  ChannelEntry e;
  std::int32_t def = -1;
  std::string defName, reason;
  ASSERT_EQ(ParseChannelLine(line, &e, &def, &defName, &reason), LineKind::Entry);
  EXPECT_EQ(e.name.size(), 255u);
}

TEST(ChannelTable, DefaultLineSetsTheDefaultAndIsNoEntry) {
  ChannelTable t;
  LoadChannelText("# list\n\n  default   100   既定の局  \n239.1.2.0/24:* 21 BS21\n", &t);
  EXPECT_EQ(t.defaultChannel, 100);
  EXPECT_EQ(t.defaultName, "既定の局");
  ASSERT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.entries[0].channel, 21);
}

TEST(ChannelTable, KeepsTheDefaultWhenTheNewListHasNone) {
  ChannelTable t;
  LoadChannelText("default 100 old\n239.1.2.0/24:* 21 a\n", &t);
  LoadChannelText("239.1.3.0/24:* 22 b\n", &t);
  EXPECT_EQ(t.defaultChannel, 100);
  EXPECT_EQ(t.defaultName, "old");
  ASSERT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.entries[0].channel, 22);
}

TEST(ChannelTable, Holds256EntriesInFileOrder) {
  std::string text;
  for (int i = 0; i < 257; ++i) text += "239.2." + std::to_string(i / 256) + "." + std::to_string(i % 256) + ":* " +
                                        std::to_string(i + 1) + " ch\n";
  ChannelTable t;
  std::vector<SkippedLine> skipped;
  LoadChannelText(text, &t, &skipped);
  ASSERT_EQ(t.entries.size(), 256u);
  EXPECT_EQ(t.entries[0].channel, 1);
  EXPECT_EQ(t.entries[255].channel, 256);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].number, 257);
}

TEST(ChannelTable, ReportsMalformedLinesByNumberAndGoesOn) {
  ChannelTable t;
  std::vector<SkippedLine> skipped;
  LoadChannelText("239.1.2.0/24:* 21 a\nnonsense\n239.1.3.0/24:* 22 b", &t, &skipped);
  EXPECT_EQ(t.entries.size(), 2u);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].number, 2);
}

TEST(ChannelTable, SkipsAnOverlongLineWhole) {
  // Read in 4095-byte pieces, the tail would have become a line of its own.
  std::string longLine = "239.1.2.0/24:* 21 " + std::string(4100, 'n');
  longLine.replace(4095, 20, "239.9.9.9:* 99 tail ");
  ChannelTable t;
  std::vector<SkippedLine> skipped;
  LoadChannelText(longLine + "\n239.1.3.0/24:* 22 b\n", &t, &skipped);
  ASSERT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.entries[0].channel, 22);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].number, 1);
}

TEST(ChannelReload, ReadsTheScrambledFileInMemoryAndLeavesNoPlainCopy) {
  TempFolder dir;
  const std::string path = (dir / "channels.lst");
  ASSERT_TRUE(PlatformFiles().WriteAll(path, ScrambleChannelList("default 9 d\n239.1.2.0/24:* 21 a\n", 77)));
  ChannelTable t;
  std::string error;
  ASSERT_TRUE(ReloadChannelList(PlatformFiles(), path, &t, &error)) << error;
  EXPECT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.defaultChannel, 9);
  EXPECT_FALSE(PlatformFiles().Exists(path + ".dec"));
  std::vector<std::string> files;
  for (const FoundFile& f : PlatformFiles().Find((dir / "*")))
    if (!f.isFolder) files.push_back(f.name);
  EXPECT_EQ(files, std::vector<std::string>{"channels.lst"});
}

TEST(ChannelReload, AFailedReloadKeepsTheOldTable) {
  TempFolder dir;
  const std::string path = (dir / "channels.lst");
  ChannelTable t;
  LoadChannelText("default 9 d\n239.1.2.0/24:* 21 a\n", &t);
  std::string error;
  EXPECT_FALSE(ReloadChannelList(PlatformFiles(), path, &t, &error));
  EXPECT_NE(error.find("channels.lst"), std::string::npos) << error;
  std::string cut = ScrambleChannelList("239.1.3.0/24:* 22 b\n", 3);
  cut.resize(10);
  ASSERT_TRUE(PlatformFiles().WriteAll(path, cut));
  EXPECT_FALSE(ReloadChannelList(PlatformFiles(), path, &t, &error));
  ASSERT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.entries[0].channel, 21);
  EXPECT_EQ(t.defaultChannel, 9);
}

}  // namespace
