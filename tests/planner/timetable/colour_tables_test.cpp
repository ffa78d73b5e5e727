// Colour tables, category groups and colour schemes.
#include <gtest/gtest.h>
#include <set>
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/colour_schemes.h"
#include "planner/timetable/colour_tables.h"
#include "tests/support/failing_files.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(ColourDerivation, BrighteningFollowsTheShiftRule) {
  struct Case {
    Colour in, hover, highlight, both;
  } cases[] = {
      {0xC0C0C0, 0xF0F0F0, 0xFFFFFF, 0xFFFFFF},
      {0x000000, 0x222222, 0x444444, 0x666666},
      // m = 128: shift 3 gives 16, shift 2 gives 32 > 30, so +32.
      {0x808080, 0xA0A0A0, 0xC8C8C8, 0xFAFAFA},
      // A component at 255 stays there.
      {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Brighten(c.in), c.hover) << std::hex << c.in;
    EXPECT_EQ(Brighten(c.hover), c.highlight) << std::hex << c.in;
    EXPECT_EQ(Brighten(c.highlight), c.both) << std::hex << c.in;
  }
}

TEST(ColourDerivation, ComponentsBrightenEachByItsOwnShare) {
  // m = 0x90 = 144: shift 2 gives 36 > 30. Red 0x90 + 0x24, green 0x40 + 0x10, blue 0x08 + 0x02.
  EXPECT_EQ(Brighten(0x084090), 0x0A50B4u);
}

TEST(ColourDerivation, RowsFiveToNineteenFromTheStateRows) {
  ColourTables t;
  t.programBack[0][3] = 0xC0C0C0;
  t.programBack[4][3] = 0x000000;
  t.programText[0][3] = 0x808080;
  t.programText[4][3] = 0xC0C0C0;
  t.DeriveRows();
  EXPECT_EQ(t.Back(5, 3), 0xF0F0F0u);
  EXPECT_EQ(t.Back(10, 3), 0xFFFFFFu);
  EXPECT_EQ(t.Back(15, 3), 0xFFFFFFu);
  EXPECT_EQ(t.Back(9, 3), 0x222222u);
  EXPECT_EQ(t.Back(14, 3), 0x444444u);
  EXPECT_EQ(t.Back(19, 3), 0x666666u);
  EXPECT_EQ(t.Text(5, 3), 0x808080u);   // hover keeps the text
  EXPECT_EQ(t.Text(10, 3), 0u);         // highlight: 0x80 is not above 0xBF
  EXPECT_EQ(t.Text(15, 3), 0u);
  EXPECT_EQ(t.Text(14, 3), 0xFFFFFFu);  // 0xC0 is
  EXPECT_EQ(HighlightText(0x40C0BF), 0x00FF00u);
}

TEST(ColourDerivation, OutOfRangeRowsAndGroupsGiveTheStandardColour) {
  ColourTables t;
  EXPECT_EQ(t.Back(20, 0), t.Back(0, 0));
  EXPECT_EQ(t.Back(0, 16), t.Back(0, 0));
  EXPECT_EQ(t.Text(-1, 0), t.Text(0, 0));
}

TEST(ColourTablesStore, DefaultsRegistryValuesAndTheTopByte) {
  auto store = CreateMemorySettings();
  PlannerSettings s(*store);
  ColourTables d = ReadColourTables(s);
  EXPECT_EQ(d.Back(1, 0), 0xD0D0D0u);
  EXPECT_EQ(d.Back(2, 7), 0xB2B2B2u);
  EXPECT_EQ(d.Back(4, 15), 0x808080u);
  EXPECT_EQ(d.timeBack[23], 0xC0C0C0u);
  s.SetInt(J(u8"Environment\\番組背景RES"), "Color2", 0x123456);
  s.SetInt(J(u8"Environment\\番組背景RES"), "Font2", 0x7F000000 | 0xFFFFFF);
  s.SetInt(J(u8"Environment\\タイムバー"), "Color5", 0x0000FF);
  ColourTables t = ReadColourTables(s);
  EXPECT_EQ(t.Back(1, 2), 0x123456u);
  EXPECT_EQ(t.Back(6, 2), Brighten(0x123456));
  EXPECT_EQ(t.Text(1, 2), 0xFFFFFFu);
  EXPECT_EQ(t.timeBack[5], 0x0000FFu);

  auto other = CreateMemorySettings();
  PlannerSettings s2(*other);
  WriteColourTables(s2, t);
  ColourTables back = ReadColourTables(s2);
  EXPECT_EQ(back.Back(1, 2), 0x123456u);
  EXPECT_EQ(back.timeBack[5], 0x0000FFu);
}

TEST(Palette, EachColourOnceInTableOrder) {
  ColourTables t;
  std::vector<Colour> p = PaletteColours(t);
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(p[0], 0xC0C0C0u);
  std::set<Colour> unique(p.begin(), p.end());
  EXPECT_EQ(unique.size(), p.size());
  EXPECT_LE(p.size(), kMaxPaletteColours);
}

// --- category groups ---

TEST(CategoryGroups, LinesBecomeGroupsWithCommasAtBothEnds) {
  CategoryGroups g = ParseCategoryList("a,b\r\nc\rd\n\r\n,e,,f,");
  EXPECT_EQ(g[0], ",a,b,");
  EXPECT_EQ(g[1], ",c,");
  EXPECT_EQ(g[2], ",d,");
  EXPECT_EQ(g[3], "");
  EXPECT_EQ(g[4], ",e,f,");
  EXPECT_EQ(g[14], "");
}

TEST(CategoryGroups, TheFirstGroupListingACategoryWins) {
  std::string text;
  for (int i = 1; i <= 15; ++i) text += (i == 3 || i == 7 ? "news,sport" : "x" + std::to_string(i)) + "\r\n";
  CategoryGroups g = ParseCategoryList(text);
  EXPECT_EQ(ColourGroupOf(g, "sport"), 3);
  EXPECT_EQ(ColourGroupOf(g, "x15"), 15);
  EXPECT_EQ(ColourGroupOf(g, "spo"), 0);
  EXPECT_EQ(ColourGroupOf(g, ""), 0);  // empty groups match no uncategorised program
}

TEST(CategoryGroups, HostileTextIsReadSafely) {
  CategoryGroups g = ParseCategoryList(std::string("a\0b\r\nc", 6) + std::string(20, '\n') + "late");
  EXPECT_EQ(g[0], "");
  EXPECT_EQ(g[1], ",c,");
  EXPECT_EQ(ColourGroupOf(ParseCategoryList(""), "a"), 0);
}

TEST(CategoryGroups, FormatRoundTripsAndAssignsPrograms) {
  CategoryGroups g;
  g[0] = ",a,";
  g[14] = ",z,y,";
  EXPECT_EQ(ParseCategoryList(FormatCategoryList(g)), g);
  GuideProgram p, q;
  p.categoryForSort = "y";
  q.categoryForSort = "none";
  AssignColourGroups(g, {&p, &q});
  EXPECT_EQ(p.colourGroup, 15);
  EXPECT_EQ(q.colourGroup, 0);
}

// --- colour schemes ---

ColourScheme Scheme(const std::string& name, Colour back) {
  ColourScheme s;
  s.name = name;
  s.font.face = J(u8"ＭＳ Ｐゴシック");
  s.font.size = 18;
  s.font.bold = 1;
  s.colours.programBack[0][0] = back;
  s.colours.programBack[4][15] = 0x010203;
  s.colours.programText[2][9] = 0x0A0B0C;
  s.colours.timeBack[23] = 0x112233;
  s.colours.timeText[0] = 0x445566;
  s.colours.outside = 0x778899;
  s.colours.DeriveRows();
  return s;
}

TEST(ColourSchemeRecord, FieldsAtTheirOffsets) {
  std::string r = EncodeColourScheme(Scheme("blue", 0xFF0000));
  ASSERT_EQ(r.size(), kColourSchemeRecordSize);
  auto u32 = [&r](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(r[at]) | static_cast<std::uint8_t>(r[at + 1]) << 8 |
                                      static_cast<std::uint8_t>(r[at + 2]) << 16 |
                                      static_cast<std::uint32_t>(static_cast<std::uint8_t>(r[at + 3])) << 24);
  };
  EXPECT_EQ(r.substr(0, 4), "CLST");
  EXPECT_EQ(r.substr(4, 5), std::string("blue\0", 5));
  EXPECT_EQ(u32(178), 18u);
  EXPECT_EQ(u32(182), 1u);
  EXPECT_EQ(u32(190), 0x778899u);
  EXPECT_EQ(u32(202 + 4 * 23), 0x112233u);
  EXPECT_EQ(u32(298), 0x445566u);
  EXPECT_EQ(u32(394), 0xFF0000u);
  EXPECT_EQ(u32(394 + 4 * (4 * 16 + 15)), 0x010203u);
  EXPECT_EQ(u32(714 + 4 * (2 * 16 + 9)), 0x0A0B0Cu);
}

TEST(ColourSchemeRecord, DecodesWhatItEncodesAndRejectsOthers) {
  ColourScheme s;
  ASSERT_TRUE(DecodeColourScheme(EncodeColourScheme(Scheme("x", 0x123456)), &s));
  EXPECT_EQ(s.name, "x");
  EXPECT_EQ(s.font.size, 18);
  EXPECT_EQ(s.colours.Back(0, 0), 0x123456u);
  EXPECT_EQ(s.colours.Back(5, 0), Brighten(0x123456));
  std::string r = EncodeColourScheme(Scheme("x", 0));
  EXPECT_FALSE(DecodeColourScheme(r.substr(0, 1033), &s));
  r[0] = 'X';
  EXPECT_FALSE(DecodeColourScheme(r, &s));
}

TEST(ColourSchemeRecord, FontSizeOutsideTheRangeBecomesSixteenAndLongTextsAreCut) {
  for (int size : {3, 151, -5, 0}) {
    ColourScheme in = Scheme("s", 0);
    in.font.size = size;
    ColourScheme out;
    ASSERT_TRUE(DecodeColourScheme(EncodeColourScheme(in), &out));
    EXPECT_EQ(out.font.size, 16) << size;
  }
  ColourScheme in = Scheme(std::string(126, 'a') + J(u8"亜"), 0);
  ColourScheme out;
  ASSERT_TRUE(DecodeColourScheme(EncodeColourScheme(in), &out));
  EXPECT_EQ(out.name, std::string(126, 'a'));  // never half a character
}

class SchemeFileTest : public ::testing::Test {
 protected:
  std::vector<std::string> Names() {
    std::vector<std::string> n;
    for (const ColourScheme& s : file.Load()) n.push_back(s.name);
    return n;
  }
  TempFolder folder;
  ColourSchemeFile file{PlatformFiles(), folder / "ColorSave.Dat"};
};

TEST_F(SchemeFileTest, MissingFileIsAnEmptyListAndRegisteringCreatesIt) {
  EXPECT_TRUE(file.Load().empty());
  ASSERT_TRUE(file.Register(Scheme("a", 1)));
  EXPECT_EQ(folder.Read("ColorSave.Dat").size(), kColourSchemeRecordSize);
  EXPECT_FALSE(folder.Has("ColorSave.Dat.tmp"));
}

TEST_F(SchemeFileTest, RegisteringUnderAnExistingNameReplacesItInPlace) {
  ASSERT_TRUE(file.Register(Scheme("a", 1)));
  ASSERT_TRUE(file.Register(Scheme("b", 2)));
  ASSERT_TRUE(file.Register(Scheme("c", 3)));
  ASSERT_TRUE(file.Register(Scheme("b", 0x222222)));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(file.Load()[1].colours.Back(0, 0), 0x222222u);
}

TEST_F(SchemeFileTest, DeletingRewritesWithoutTheRecord) {
  ASSERT_TRUE(file.Register(Scheme("a", 1)));
  ASSERT_TRUE(file.Register(Scheme("b", 2)));
  EXPECT_TRUE(file.Remove("a"));
  EXPECT_FALSE(file.Remove("zz"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"b"}));
}

TEST_F(SchemeFileTest, DamagedRecordsAreSkippedAndKeptWhenOthersChange) {
  std::string foreign = EncodeColourScheme(Scheme("f", 9));
  foreign.replace(0, 4, "JUNK");
  std::string tail(100, 'x');
  folder.Write("ColorSave.Dat", EncodeColourScheme(Scheme("a", 1)) + foreign + EncodeColourScheme(Scheme("b", 2)) + tail);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
  ASSERT_TRUE(file.Register(Scheme("c", 3)));
  const std::string data = folder.Read("ColorSave.Dat");
  ASSERT_EQ(data.size(), 4 * kColourSchemeRecordSize);  // the cut-off tail is gone, the foreign record stays
  EXPECT_EQ(data.substr(kColourSchemeRecordSize, 4), "JUNK");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SchemeFileTest, AFileTooLargeToBeOursIsNeitherReadNorReplaced) {
  const std::string big((kMaxSchemeRecords + 1) * kColourSchemeRecordSize, 'C');
  folder.Write("ColorSave.Dat", big);
  EXPECT_TRUE(file.Load().empty());
  EXPECT_FALSE(file.Register(Scheme("a", 1)));
  EXPECT_EQ(folder.Read("ColorSave.Dat").size(), big.size());
}

TEST_F(SchemeFileTest, AFailedWriteOrReplaceKeepsTheOldSchemes) {
  ASSERT_TRUE(file.Register(Scheme("a", 1)));
  const std::string before = folder.Read("ColorSave.Dat");
  FailingFiles failing(PlatformFiles());
  ColourSchemeFile onFailing(failing, folder / "ColorSave.Dat");
  failing.spaceLeft = 100;  // the disk fills up in the middle of the new file
  EXPECT_FALSE(onFailing.Register(Scheme("b", 2)));
  failing.spaceLeft = -1;
  failing.failReplace = true;
  EXPECT_FALSE(onFailing.Register(Scheme("b", 2)));
  EXPECT_FALSE(onFailing.Remove("a"));
  EXPECT_EQ(folder.Read("ColorSave.Dat"), before);
  EXPECT_FALSE(folder.Has("ColorSave.Dat.tmp"));
}

}  // namespace
