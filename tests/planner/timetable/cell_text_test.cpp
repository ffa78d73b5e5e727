// Cell texts and the timetable model's commands.
#include <gtest/gtest.h>
#include <cstdlib>
#include <ctime>
#include <string>
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/cell_text.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "tests/support/temp_folder.h"

namespace {

// Extents of a text whose characters are `pixelsPerByte` wide per byte.
TextExtents PerByte(const std::string& text, std::int32_t pixelsPerByte) {
  std::vector<std::int32_t> ends;
  std::int32_t x = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t step = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    x += pixelsPerByte * static_cast<std::int32_t>(step);
    ends.push_back(x);
    i += step;
  }
  return TextExtents(text, ends);
}
// Every byte 6 pixels wide: a full-width character is 12.
TextExtents Fixed(const std::string& text) { return PerByte(text, 6); }

TEST(WrapName, WrapsOnCharacterBoundariesWhenTheCellIsWideAndHighEnough) {
  const std::string name = J(u8"天気予報と") + "ab" + J(u8"ニュース");  // 10 + 2 + 8 bytes
  WrappedName w = WrapName(48, 100, 12, 12, Fixed(name));  // 8 bytes a line
  ASSERT_TRUE(w.wrapped);
  ASSERT_EQ(w.lines.size(), 3u);
  EXPECT_EQ(w.lines[0], J(u8"天気予報"));
  EXPECT_EQ(w.lines[1], J(u8"と") + "ab" + J(u8"ニュ"));
  EXPECT_EQ(w.lines[2], J(u8"ース"));
}

TEST(WrapName, NarrowOrLowCellsGetOneClippedLine) {
  const std::string name = J(u8"天気予報とニュース");
  WrappedName narrow = WrapName(47, 100, 12, 12, Fixed(name));
  EXPECT_FALSE(narrow.wrapped);
  EXPECT_FALSE(narrow.fits);
  WrappedName low = WrapName(48, 20, 12, 12, Fixed(name));  // three lines of 14 need 42
  EXPECT_FALSE(low.wrapped);
  EXPECT_EQ(low.lines, std::vector<std::string>{name});
  EXPECT_TRUE(WrapName(48, 14, 12, 12, Fixed("ab")).fits);
}

// At 144 dpi the characters are 18 pixels and the space between lines 3: the
// three lines of a name that fit 62 pixels at 96 (3 x 20 when scaled as the
// characters alone) need 63 there.
TEST(WrapName, TheSpaceBetweenLinesGrowsWithTheScreensDensity) {
  const std::string name = J(u8"天気予報とニュース");
  const TextExtents extents = PerByte(name, 9);  // 18 a full-width character
  EXPECT_TRUE(WrapName(72, 63, 18, 18, extents, 144).wrapped);
  EXPECT_FALSE(WrapName(72, 62, 18, 18, extents, 144).wrapped);
  EXPECT_TRUE(WrapName(72, 60, 18, 18, extents).wrapped);
  EXPECT_EQ(CellLineHeight(18, 144), 21);
  EXPECT_EQ(CellLineHeight(12, 96), 14);
}

TEST(WrapName, ALoneDoubleByteCharacterWiderThanTheLineIsNotSplit) {
  WrappedName w = WrapName(48, 100, 12, 12, PerByte(J(u8"亜亜"), 40));
  for (const std::string& l : w.lines) EXPECT_EQ(l.size() % 2, 0u);
}

// In a proportional font the characters of the second and later lines are
// measured as themselves: after two wide capitals a line holds two capitals
// and two narrow letters, and the last line six letters (measured from the
// name's start they would be cut to four as wide as the capitals).
TEST(WrapName, EveryLineIsMeasuredFromItsOwnStart) {
  const std::string name = J(u8"ＷＷＷＷ") + "iiiiiiii";
  std::vector<std::int32_t> ends;
  for (int i = 1; i <= 4; ++i) ends.push_back(20 * i);          // Ｗ: 20 pixels
  for (int i = 1; i <= 8; ++i) ends.push_back(80 + 3 * i);      // i: 3 pixels
  const TextExtents extents(name, ends);
  EXPECT_EQ(extents.Width(0, 4), 40);
  EXPECT_EQ(extents.Width(8, 8), 24) << "the letters' own width, not that of the name's first bytes";
  EXPECT_EQ(extents.Width(6, 4), 26);  // Ｗii
  EXPECT_EQ(extents.Width(1, 2), 20) << "a byte inside a character counts from the character";
  const WrappedName w = WrapName(48, 200, 12, 12, extents);
  ASSERT_TRUE(w.wrapped);
  EXPECT_EQ(w.lines, (std::vector<std::string>{J(u8"ＷＷ"), J(u8"ＷＷ") + "ii", "iiiiii"}));
  // Fewer extents than characters (a text the font could not measure) never reads past them.
  EXPECT_EQ(TextExtents(name, {20}).Width(0, name.size()), 20);
  EXPECT_EQ(TextExtents(name, {}).Width(0, name.size()), 0);
}

TEST(DetailText, HoldsTheFieldsInOrder) {
  GuideProgram p;
  p.name = "Name";
  p.startTime = MakeLocalTime(2001, 3, 5, 9, 5);
  p.endTime = MakeLocalTime(2001, 3, 5, 10, 30);
  p.sid = 3;
  p.totalKbyte = 1234;
  p.digest = "a\nb\r\nc\rd";
  p.categoryForSearch = "x,y,";
  p.state = kStateReceivedLaunchable;
  const std::string expected = "Name  2001/03/05   09:05" + J(u8"～") + "10:30\r\n\r\n" + J(u8"予定ファイル容量") +
                               "  1234 KByte\r\n\r\n" + J(u8"内容") + "\r\n a\r\nb\r\nc\r\nd\r\n\r\n" +
                               J(u8"番組カテゴリー") + "\r\n  x,y\r\n\r\n" + J(u8"データ格納場所") + "\r\n  C:\\d\\run.exe";
  EXPECT_EQ(DetailText(p, true, "C:\\d", "run.exe"), expected);
  p.state = 5;
  p.sid = 0;
  std::string hovered = DetailText(p, true, "C:\\d", "run.exe");
  EXPECT_EQ(hovered.find(J(u8"データ格納場所")), std::string::npos);
  EXPECT_EQ(hovered.find("KByte"), std::string::npos);
}

// The zone of the process for the scope (POSIX; on Windows the system's zone stays).
class ScopedZone {
 public:
  explicit ScopedZone(const char* zone) {
#if !defined(_WIN32)
    const char* old = std::getenv("TZ");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
#else
    (void)zone;
#endif
  }
  ~ScopedZone() {
#if !defined(_WIN32)
    if (hadOld_) setenv("TZ", old_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
#endif
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

// The corner minute asks the zone rules once an hour; it must still agree with
// them minute by minute, in zones a quarter or half hour off and across the
// daylight-saving changes of spring and autumn, with the hours visited out of order.
TEST(LocalMinutes, AgreeWithTheZoneRulesAcrossOffsetsAndDaylightSaving) {
  struct Case {
    const char* zone;
    Time32 from;  // UTC; a day around a change of offset
  };
  const Case cases[] = {
      {"Asia/Tokyo", 1774713600},        // 2026-03-28 16:00
      {"Asia/Kathmandu", 1774713600},    // +5:45
      {"Europe/Berlin", 1774738800},     // 2026-03-29 01:00 UTC: clocks go forward
      {"Europe/Berlin", 1792882800},     // 2026-10-25 01:00 UTC: clocks go back
      {"America/St_Johns", 1772942400},  // -3:30, 2026-03-08: forward
      {"Australia/Lord_Howe", 1775314800},  // +11 to +10:30 on the hour
      {"Australia/Lord_Howe", 1791041400},  // +10:30 to +11 at half past
  };
  for (const Case& c : cases) {
    ScopedZone zone(c.zone);
    LocalMinutes minutes;
    for (int pass = 0; pass < 2; ++pass) {
      // Second pass backwards, so cached hours are met again in another order.
      for (Time32 d = 0; d <= 2 * 43200; d += 67) {
        const Time32 t = pass == 0 ? c.from - 43200 + d : c.from + 43200 - d;
        const std::string expected = FormatLocalTime(t, "%M");
        ASSERT_EQ(minutes.Of(t), std::atoi(expected.c_str())) << c.zone << " at " << t;
      }
    }
  }
}

TEST(CellTexts, DateHeaderHourLabelsAndLaunchPaths) {
  EXPECT_EQ(DayInfoText(MakeLocalTime(2001, 3, 5, 8, 50)), "2001" + J(u8"年") + "  03/05 (Mon)  09" + J(u8"時～"));
  const Time32 start = MakeLocalTime(2001, 3, 5, 4, 0);
  EXPECT_EQ(HourLabel(start, 0, 0), 4);
  EXPECT_EQ(HourLabel(start, 0, 21), 1);
  EXPECT_EQ(HourLabel(start, 30, 0), 10);
  EXPECT_EQ(LaunchPath("C:\\d", "a.exe"), "C:\\d\\a.exe");
  EXPECT_EQ(LaunchPath("C:\\d\\", "D:\\a.exe"), "D:\\a.exe");
  EXPECT_EQ(LaunchPath("C:\\d", ""), "");
}

class NoHooks : public PlannerDocHooks {};

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() {
    for (int i = 0; i < 3; ++i) {
      auto p = std::make_unique<GuideProgram>();
      p->programNumber = i + 1;
      p->startTime = 1000000000 + i * 600;
      p->endTime = p->startTime + 600;
      p->channelName = i == 2 ? "ch2" : "ch1";
      p->seriesName = "s" + std::to_string(i);
      p->categoryForSort = p->categoryForSearch = "c";
      doc.Guide().Guide().Add(std::move(p));
    }
    doc.titleKind = kTitleChannel;
  }
  TempFolder folder;
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  ManualClock clock{1000000000};
  NoHooks hooks;
  CTavoraDoc doc{settings, PlatformFiles(), clock, hooks};
  TimetableModel model{doc, settings, PlatformFiles(), folder.Path()};
};

// The timetable's windows build their fonts from the model as they are made,
// which is before the document's initialisation loads the colour values.
TEST(TimetableModelFont, TheStoredFontIsKnownBeforeTheColoursAreLoaded) {
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  FontChoice stored;
  stored.face = J(u8"ＭＳ 明朝");
  stored.size = 20;
  stored.bold = 1;
  WriteFontChoice(settings, stored);
  ManualClock clock{1000000000};
  NoHooks hooks;
  CTavoraDoc doc{settings, PlatformFiles(), clock, hooks};
  TempFolder folder;
  TimetableModel model{doc, settings, PlatformFiles(), folder.Path()};
  EXPECT_EQ(model.Font().face, stored.face);
  EXPECT_EQ(model.Font().size, 20);
  EXPECT_EQ(model.Font().bold, 1);
  EXPECT_EQ(model.Font().italic, 0);
}

TEST_F(ModelTest, FilterMenuFollowsTheRuleList) {
  model.BuildTitleRows();
  EXPECT_FALSE(model.IsEnabled(kCmdFilterToggle));
  model.ApplyFilter(ParseDisplayRules({"ch1", "", "", 1}));
  EXPECT_EQ(doc.filterOn, 1);  // the first rules switch the filter on
  ASSERT_EQ(model.Rows().size(), 1u);
  EXPECT_EQ(model.Rows()[0].name, "ch2");
  model.ToggleFilter();
  EXPECT_EQ(doc.filterOn, 0);
  EXPECT_EQ(model.Rows().size(), 2u);
  model.ApplyFilter(ParseDisplayRules({"ch2", "", "", 1}));
  EXPECT_EQ(doc.filterOn, 0);  // rules that replace rules leave the switch alone
  model.ApplyFilter({});
  EXPECT_EQ(doc.filterOn, 0);
  EXPECT_FALSE(model.IsEnabled(kCmdFilterToggle));
  model.ApplyFilter(ParseDisplayRules({"ch2", "", "", 1}));
  model.SaveDisplayRules();
  EXPECT_EQ(settings.Text("Environment", "FilterChannel"), "ch2");
}

TEST_F(ModelTest, TitleOrderIsStoredAndWidthsReachTheDocument) {
  model.BuildTitleRows();
  model.SetWidthPercent(0, 250);
  EXPECT_EQ(doc.titleWidths[0].widthPercent, 250);
  model.ApplyTitleOrder({"ch2", "ch1"});
  EXPECT_EQ(settings.Text("Title\\2", "SortTitle"), "\tch2\tch1\t");
  EXPECT_EQ(settings.Int("Title\\2", "ch1", 0), 250);
  ASSERT_EQ(model.Rows().size(), 2u);
  EXPECT_EQ(model.Rows()[0].name, "ch2");
  EXPECT_EQ(model.Rows()[1].widthPercent, 250);
}

TEST_F(ModelTest, CategoryGroupsComeFromTheFileAndAreSavedBack) {
  folder.Write("CategoryList.dat", "x\r\nc\r\n");
  model.ReadCategoryGroups();
  model.AssignColourGroups();
  EXPECT_EQ(doc.Programs().Head()->colourGroup, 2);
  CategoryGroups g;
  g[4] = ",c,";
  ASSERT_TRUE(model.SaveCategoryGroups(g));
  EXPECT_EQ(doc.Programs().Head()->colourGroup, 5);
  EXPECT_EQ(folder.Read("CategoryList.dat"), "\r\n\r\n\r\n\r\nc\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

}  // namespace
