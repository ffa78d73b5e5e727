// The main frame without windows: the splitter's columns and drags, the
// recent guide settings files, the timetable's two display switches, the wait
// for a unit just started.
#include <gtest/gtest.h>

#include <memory>
#include "common/settings.h"
#include "common/text.h"
#include "planner/shell/frame_settings.h"
#include "planner/shell/frame_unit_wait.h"
#include "planner/shell/recent_files.h"
#include "planner/shell/splitter_layout.h"

namespace {

// --- splitter ------------------------------------------------------------------

TEST(Splitter, ColumnsAndBarsTileTheWidth) {
  const SplitterColumns c = LayOutColumns(640, 20, 50);
  EXPECT_EQ(c.timeScaleWidth, 20);
  EXPECT_EQ(c.gridLeft, 20 + kSplitterBar);
  EXPECT_EQ(c.reserveLeft, 590);
  EXPECT_EQ(c.reserveWidth, 50);
  EXPECT_EQ(c.reserveBarLeft, 590 - kSplitterBar);
  EXPECT_EQ(c.gridLeft + c.gridWidth, c.reserveBarLeft);
}

TEST(Splitter, AHiddenColumnHasNoBarAndTheGridTakesItsPlace) {
  const SplitterColumns c = LayOutColumns(640, 20, 0);
  EXPECT_EQ(c.reserveWidth, 0);
  EXPECT_EQ(c.reserveBarLeft, -1);
  EXPECT_EQ(c.gridLeft + c.gridWidth, 640);
  EXPECT_EQ(BarAt(c, 639), SplitterBar::None);
}

TEST(Splitter, ANarrowWindowShrinksTheColumnBeforeTheGrid) {
  const SplitterColumns c = LayOutColumns(200, 20, 300);
  EXPECT_EQ(c.gridWidth, kMinGridWidth);
  EXPECT_EQ(c.reserveLeft + c.reserveWidth, 200);
  const SplitterColumns tiny = LayOutColumns(10, 20, 50);  // nothing negative anywhere
  EXPECT_GE(tiny.gridWidth, 0);
  EXPECT_GE(tiny.reserveWidth, 0);
  EXPECT_LE(tiny.gridLeft, 10);
}

TEST(Splitter, BarsAreFoundOnlyOnTheirPixels) {
  const SplitterColumns c = LayOutColumns(640, 20, 50);
  struct Case {
    int x;
    SplitterBar want;
  } cases[] = {
      {19, SplitterBar::None},      {20, SplitterBar::TimeScale}, {23, SplitterBar::TimeScale},
      {24, SplitterBar::None},      {585, SplitterBar::None},     {586, SplitterBar::Reserve},
      {589, SplitterBar::Reserve},  {590, SplitterBar::None},
  };
  for (const Case& k : cases) EXPECT_EQ(BarAt(c, k.x), k.want) << k.x;
}

TEST(Splitter, DragsStayWithinTheirLimits) {
  const SplitterColumns c = LayOutColumns(640, 20, 50);
  struct Case {
    const char* name;
    SplitterBar bar;
    int left, want;
  } cases[] = {
      {"time scale wider", SplitterBar::TimeScale, 60, 60},
      {"time scale too narrow", SplitterBar::TimeScale, 2, kMinTimeScaleWidth},
      {"time scale beyond its maximum", SplitterBar::TimeScale, 400, kMaxTimeScaleWidth},
      {"column wider", SplitterBar::Reserve, 400, 400},
      {"column over the grid's minimum", SplitterBar::Reserve, 30, 24 + kMinGridWidth},
      {"column past the edge", SplitterBar::Reserve, 700, 640 - kSplitterBar},
  };
  for (const Case& k : cases) EXPECT_EQ(ClampBarLeft(k.bar, k.left, 640, c), k.want) << k.name;
  // With a wide column the time scale cannot push the grid below its minimum.
  const SplitterColumns wide = LayOutColumns(300, 20, 150);
  EXPECT_EQ(ClampBarLeft(SplitterBar::TimeScale, 200, 300, wide), 300 - 154 - kSplitterBar - kMinGridWidth);
}

TEST(Splitter, DroppingTheColumnNarrowHidesIt) {
  EXPECT_EQ(ReserveWidthAt(400, 640), 640 - 400 - kSplitterBar);
  EXPECT_EQ(ReserveWidthAt(640 - kSplitterBar - kMinReserveWidth, 640), kMinReserveWidth);
  EXPECT_EQ(ReserveWidthAt(640 - kSplitterBar - kMinReserveWidth + 1, 640), 0);
  EXPECT_EQ(ReserveWidthAt(636, 640), 0);
}

// At 144 dpi the frame passes its widths in the screen's pixels: the bars are
// 6 pixels wide, and the limits of a drag and of a hidden column are half as
// much again as at 96.
TEST(Splitter, BarsAndLimitsScaleWithTheScreensDensity) {
  const SplitterColumns c = LayOutColumns(960, 30, 75, 144);
  EXPECT_EQ(c.gridLeft, 36);
  EXPECT_EQ(c.reserveBarLeft, 960 - 75 - 6);
  EXPECT_EQ(BarAt(c, 35), SplitterBar::TimeScale);
  EXPECT_EQ(BarAt(c, 36), SplitterBar::None);
  EXPECT_EQ(ClampBarLeft(SplitterBar::TimeScale, 2, 960, c, 144), 18);
  EXPECT_EQ(ClampBarLeft(SplitterBar::Reserve, 0, 960, c, 144), 36 + 60);
  EXPECT_EQ(TimeScaleWidthAt(1000, 144), 300);
  EXPECT_EQ(ReserveWidthAt(960 - 6 - 30, 960, 144), 30);
  EXPECT_EQ(ReserveWidthAt(960 - 6 - 29, 960, 144), 0);
  const SplitterColumns narrow = LayOutColumns(300, 30, 300, 144);
  EXPECT_EQ(narrow.gridWidth, 60);
}

TEST(Splitter, StoredWidthsComeBackSane) {
  EXPECT_EQ(StoredReserveWidth(120), 120);
  EXPECT_EQ(StoredReserveWidth(0), kDefaultReserveWidth);   // missing
  EXPECT_EQ(StoredReserveWidth(-5), kDefaultReserveWidth);  // damaged
  EXPECT_EQ(StoredReserveWidth(kMinReserveWidth - 1), kDefaultReserveWidth);
  EXPECT_EQ(StoredTimeScaleWidth(0, 20), 20);
  EXPECT_EQ(StoredTimeScaleWidth(5, 20), kMinTimeScaleWidth);
  EXPECT_EQ(StoredTimeScaleWidth(100000, 20), kMaxTimeScaleWidth);
}

// --- recent files ----------------------------------------------------------------

class RecentFilesTest : public ::testing::Test {
 protected:
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  std::string Stored(int n) {
    return settings.WholeText(recent_values::kSubKey, "File" + std::to_string(n));
  }
};

TEST_F(RecentFilesTest, OpeningPutsTheFileFirstAndKeepsFour) {
  RecentFiles files;
  for (const char* p : {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt", "C:\\d.txt", "C:\\e.txt"}) files.Add(p);
  EXPECT_EQ(files.Paths(), (std::vector<std::string>{"C:\\e.txt", "C:\\d.txt", "C:\\c.txt", "C:\\b.txt"}));
  files.Add("c:\\C.TXT");  // the same file, written differently: moves, with the new spelling
  EXPECT_EQ(files.Paths(), (std::vector<std::string>{"c:\\C.TXT", "C:\\e.txt", "C:\\d.txt", "C:\\b.txt"}));
  files.Add("C:\\e.txt");
  EXPECT_EQ(files.Paths().front(), "C:\\e.txt");
  EXPECT_EQ(files.Paths().size(), 4u);
}

TEST_F(RecentFilesTest, DoubleByteNamesAreNotFoldedByTheirTrailBytes) {
  // "ア" is 0x83 0x41 and "ャ" 0x83 0x61: equal only if a trail byte were upper-cased.
  const std::string a = "C:\\\x83\x41.txt", b = "C:\\\x83\x61.txt";
  RecentFiles files;
  files.Add(a);
  files.Add(b);
  EXPECT_EQ(files.Paths().size(), 2u);
}

TEST_F(RecentFilesTest, SavedAndLoadedInOrder) {
  RecentFiles files;
  files.Add("C:\\one.txt");
  files.Add("\\\\host\\share\\two.txt");
  ASSERT_TRUE(files.Save(settings));
  EXPECT_EQ(Stored(1), "\\\\host\\share\\two.txt");
  EXPECT_EQ(Stored(2), "C:\\one.txt");
  EXPECT_EQ(RecentFiles::Load(settings).Paths(), files.Paths());
}

TEST_F(RecentFilesTest, RemovingDeletesTheLastValue) {
  RecentFiles files;
  files.Add("C:\\one.txt");
  files.Add("C:\\two.txt");
  files.Save(settings);
  EXPECT_TRUE(files.Remove("c:\\ONE.txt"));
  EXPECT_FALSE(files.Remove("C:\\three.txt"));
  files.Save(settings);
  EXPECT_EQ(Stored(1), "C:\\two.txt");
  EXPECT_EQ(Stored(2), "");
  EXPECT_EQ(store->ValueNames(Hive::CurrentUser, std::string(PlannerSettings::kKey) + "\\" + recent_values::kSubKey),
            (std::vector<std::string>{"File1"}));
}

TEST_F(RecentFilesTest, LoadSkipsGapsDuplicatesAndOverlongValues) {
  settings.SetText(recent_values::kSubKey, "File1", "C:\\one.txt");
  settings.SetText(recent_values::kSubKey, "File2", "C:\\ONE.TXT");
  settings.SetText(recent_values::kSubKey, "File3", std::string(300, 'x'));
  settings.SetText(recent_values::kSubKey, "File4", "C:\\four.txt");
  settings.SetText(recent_values::kSubKey, "File5", "C:\\five.txt");  // never one of the four
  EXPECT_EQ(RecentFiles::Load(settings).Paths(), (std::vector<std::string>{"C:\\one.txt", "C:\\four.txt"}));
}

TEST(RecentFileMenu, NumberedAndAmpersandsShownAsWritten) {
  struct Case {
    std::size_t index;
    std::string path, want;
  } cases[] = {
      {0, "C:\\guide.txt", "&1 C:\\guide.txt"},
      {3, "C:\\R&D\\a.txt", "&4 C:\\R&&D\\a.txt"},
      // 0x83 0x26 is one character whose trail byte looks like "&".
      {1, "C:\\\x83\x26.txt", "&2 C:\\\x83\x26.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(RecentFiles::MenuText(c.index, c.path), c.want) << c.path;
}

// --- display switches --------------------------------------------------------------

TEST(DisplaySwitches, OnByDefaultAndStoredAsWritten) {
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings(*store);
  DisplaySwitches s = ReadDisplaySwitches(settings);
  EXPECT_TRUE(s.reserveButtons);
  EXPECT_TRUE(s.hoverFeedback);
  s.reserveButtons = false;
  ASSERT_TRUE(WriteDisplaySwitches(settings, s));
  EXPECT_EQ(settings.Int(peer::kEnvironmentSubKey, frame_values::kReserveButtons, -1), 0);
  EXPECT_EQ(settings.Int(peer::kEnvironmentSubKey, frame_values::kHoverFeedback, -1), 1);
  const DisplaySwitches back = ReadDisplaySwitches(settings);
  EXPECT_FALSE(back.reserveButtons);
  EXPECT_TRUE(back.hoverFeedback);
  // Any value but 0 counts as on, as another version might have written it.
  settings.SetInt(peer::kEnvironmentSubKey, frame_values::kHoverFeedback, 7);
  EXPECT_TRUE(ReadDisplaySwitches(settings).hoverFeedback);
}

// --- the time calibration after starting the unit ------------------------------

TEST(UnitWindowWait, TheCommandGoesAtTheTickTheWindowAppears) {
  UnitWindowWait wait;
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Idle) << "nothing was started";
  wait.Begin();
  for (int tick = 0; tick < 20; ++tick) ASSERT_EQ(wait.Tick(false), UnitWindowWait::Step::Waiting) << tick;
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Send);
  EXPECT_FALSE(wait.Waiting());
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Idle) << "sent once";
}

TEST(UnitWindowWait, GivenUpAfterFiveSecondsOfTicks) {
  UnitWindowWait wait;
  wait.Begin();
  for (int tick = 1; tick < UnitWindowWait::kTicks; ++tick) ASSERT_EQ(wait.Tick(false), UnitWindowWait::Step::Waiting);
  EXPECT_EQ(wait.Tick(false), UnitWindowWait::Step::GiveUp);
  EXPECT_EQ(wait.Tick(true), UnitWindowWait::Step::Idle) << "a window that comes later gets nothing";
  EXPECT_EQ(UnitWindowWait::kTicks * 100, 5000);
  // A second start while waiting waits the full time again.
  wait.Begin();
  for (int tick = 1; tick < 30; ++tick) wait.Tick(false);
  wait.Begin();
  for (int tick = 1; tick < UnitWindowWait::kTicks; ++tick) ASSERT_EQ(wait.Tick(false), UnitWindowWait::Step::Waiting);
}

}  // namespace
