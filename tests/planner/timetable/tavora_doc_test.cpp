// The planner document without windows: initialisation, period, marks, zoom.
#include <gtest/gtest.h>
#include <algorithm>
#include "common/clock.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_store.h"
#include "planner/timetable/colour_schemes.h"
#include "planner/timetable/tavora_doc.h"
#include "tests/planner/guide/guide_markup.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr Time32 kHour = 3600;
constexpr Time32 kDay = 86400;

class RecordingHooks : public PlannerDocHooks {
 public:
  int charHeight = 16;
  int redraws = 0;
  std::vector<int> posted;
  std::vector<TitleWidth>* widths = nullptr;
  std::vector<TitleWidth> rowsToBuild;
  int builds = 0;
  int MeasureCharHeight(int) override { return charHeight; }
  void RedrawAllViews() override { ++redraws; }
  void PostToMainFrame(int command) override { posted.push_back(command); }
  // The order of the steps that free, rebuild or may run a message loop.
  std::vector<std::string> steps;
  void FreeTitleRows() override { steps.push_back("free"); }
  bool ShowServerFailure() override {
    steps.push_back("failure");
    return false;
  }
  void BuildTitleRows() override {
    steps.push_back("build");
    ++builds;
    if (widths) *widths = rowsToBuild;
  }
};

// A guide day file with one program per day, numbered by the day.
std::string OneProgramDay(Time32 dayStart, int number) {
  MarkupProgram p;
  p.programNumber = std::to_string(number);
  LocalTime s = BreakLocalTime(dayStart + 2 * kHour);
  LocalTime e = BreakLocalTime(dayStart + 3 * kHour);
  char a[32], b[32];
  std::snprintf(a, sizeof a, "%04d/%02d/%02d %02d:%02d", s.year, s.month, s.day, s.hour, s.minute);
  std::snprintf(b, sizeof b, "%04d/%02d/%02d %02d:%02d", e.year, e.month, e.day, e.hour, e.minute);
  p.schedules[0].start = a;
  p.schedules[0].end = b;
  return DayMarkup({p});
}

class DocTest : public ::testing::Test {
 protected:
  DocTest() {
    settings.SetText("temp", "DataPath", cache.Path());
    settings.SetText("Schedule", "DataPath", cache.Path());
    hooks.widths = &doc.titleWidths;
  }
  // Day files for 15 days, numbered 1.. from 5 days before `around`.
  void WriteDays(Time32 around) {
    for (int i = 0; i < 15; ++i) {
      Time32 day = MakeLocalTime(BreakLocalTime(around).year, BreakLocalTime(around).month,
                                 BreakLocalTime(around).day - 5 + i, 4, 0);
      cache.Write(GuideDayFileName(day), OneProgramDay(day, i + 1));
    }
  }
  void SetEnv(const char* name, int value) { settings.SetInt("Environment", name, value); }

  TempFolder cache;
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  ManualClock clock{MakeLocalTime(2001, 3, 5, 12, 0)};
  RecordingHooks hooks;
  CTavoraDoc doc{settings, PlatformFiles(), clock, hooks};
};

TEST_F(DocTest, StartedBeforeTheDayStartShowsThePreviousDateFromTheDayStart) {
  clock.Set(MakeLocalTime(2001, 3, 5, 2, 0));
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.firstDayStart, MakeLocalTime(2001, 3, 4, 4, 0));
  EXPECT_EQ(doc.periodStartCopy, doc.firstDayStart);
  EXPECT_EQ(doc.topTime, doc.firstDayStart);
  clock.Set(MakeLocalTime(2001, 3, 5, 4, 0));
  EXPECT_EQ(doc.FirstDayFor(clock.Now()), MakeLocalTime(2001, 3, 5, 4, 0));
}

TEST_F(DocTest, CalibratedTimeDecidesTheFirstDay) {
  clock.Set(MakeLocalTime(2001, 3, 5, 3, 59, 30));
  SetEnv("TimeError", 60);  // calibrated 04:00:30
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.firstDayStart, MakeLocalTime(2001, 3, 5, 4, 0));
}

TEST_F(DocTest, YesterdayWithSixDaysLoadsSevenFilesFromTheDayBefore) {
  WriteDays(clock.Now());
  SetEnv("Yesterday", 1);
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.firstDayStart, MakeLocalTime(2001, 3, 4, 4, 0));
  std::vector<int> numbers;
  for (const GuideProgram* p : doc.Programs().Ordered()) numbers.push_back(p->programNumber);
  // Files numbered from 02/28: 03/04 is the 5th; seven days end with 03/10.
  EXPECT_EQ(numbers, (std::vector<int>{5, 6, 7, 8, 9, 10, 11}));
}

TEST_F(DocTest, DayCountIsDisplayDaysPlusYesterday) {
  WriteDays(MakeLocalTime(2001, 3, 8, 12, 0));  // files 03/03 .. 03/12
  SetEnv("Display days", 3);
  SetEnv("Yesterday", 1);
  ASSERT_TRUE(doc.OnNewDocument());
  std::vector<int> numbers;
  for (const GuideProgram* p : doc.Programs().Ordered()) numbers.push_back(p->programNumber);
  EXPECT_EQ(numbers, (std::vector<int>{2, 3, 4, 5}));  // 03/04 .. 03/07
}

TEST_F(DocTest, PeriodEndsAtTheDayStartAfterTheLastProgram) {
  MarkupProgram p;
  p.schedules[0].start = "2001/03/07 21:00";
  p.schedules[0].end = "2001/03/07 22:00";
  cache.Write("gd010307.dpn", DayMarkup({p}));
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.periodEnd, MakeLocalTime(2001, 3, 8, 4, 0));
  EXPECT_EQ(doc.Hours(), (doc.periodEnd - doc.firstDayStart) / 3600);
}

TEST_F(DocTest, PeriodRuleTable) {
  doc.dayStartHour = 4;
  const struct {
    Time32 last;
    Time32 expected;
  } cases[] = {
      {MakeLocalTime(2001, 3, 7, 22, 0), MakeLocalTime(2001, 3, 8, 4, 0)},
      {MakeLocalTime(2001, 3, 7, 4, 0), MakeLocalTime(2001, 3, 7, 4, 0)},
      {MakeLocalTime(2001, 3, 7, 4, 0, 1), MakeLocalTime(2001, 3, 8, 4, 0)},
      {MakeLocalTime(2001, 3, 7, 3, 0), MakeLocalTime(2001, 3, 7, 4, 0)},
  };
  for (const auto& c : cases) EXPECT_EQ(doc.PeriodEndFor(c.last), c.expected) << FormatLocalTime(c.last, "%c");
}

TEST_F(DocTest, EmptyGuideEndsThePeriodAfterNow) {
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.periodEnd, MakeLocalTime(2001, 3, 6, 4, 0));
  EXPECT_TRUE(doc.Programs().Empty());
}

TEST_F(DocTest, SevenDaysOverTheHeightLimitStartInTwentyFourHourMode) {
  WriteDays(MakeLocalTime(2001, 3, 9, 12, 0));  // 03/04 .. 03/13
  SetEnv("Display days", 7);
  hooks.charHeight = 30;
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_GE(doc.Hours(), 7 * 24);
  EXPECT_EQ(doc.dayMode24, 1);
  EXPECT_EQ(doc.firstHourOffset, 0);
  EXPECT_GT(doc.MultiDayHeight(), kMaxPixelHeight);
  EXPECT_EQ(doc.vZoomMulti, 0);
}

// A font chosen on the colour design page is measured and checked against the
// height limit as the font size commands are.
TEST_F(DocTest, AFontFromTheColourPageIsCheckedAgainstTheHeightLimit) {
  WriteDays(MakeLocalTime(2001, 3, 9, 12, 0));
  SetEnv("Display days", 7);
  hooks.charHeight = 12;
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.dayMode24, 0);
  hooks.charHeight = 30;  // a taller face
  const int redraws = hooks.redraws;
  doc.FontChanged();
  EXPECT_EQ(doc.charHeight, 30);
  EXPECT_GT(doc.MultiDayHeight(), kMaxPixelHeight);
  EXPECT_EQ(doc.dayMode24, 1);
  EXPECT_GT(hooks.redraws, redraws);
  hooks.charHeight = 12;  // and back
  doc.FontChanged();
  EXPECT_EQ(doc.charHeight, 12);
  EXPECT_EQ(doc.dayMode24, 0);
}

// On a dense screen the four pixels between lines grow with the font: a week
// whose height stays under the limit with them unscaled goes over it, and the
// planner switches to 24-hour mode.
TEST_F(DocTest, TheHeightLimitCountsTheScaledSpaceOnADenseScreen) {
  WriteDays(MakeLocalTime(2001, 3, 9, 12, 0));
  SetEnv("Display days", 7);
  hooks.charHeight = 12;
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.dayMode24, 0);
  const std::int64_t hourRows = static_cast<std::int64_t>(doc.Hours()) * 6;
  // Unscaled, (c + 4) rows fit; scaled to 144 dpi the space is 6 and they do not.
  const int c = static_cast<int>(kMaxPixelHeight / hourRows) - 4;
  ASSERT_LE((c + 4) * hourRows, kMaxPixelHeight);
  ASSERT_GT((c + 6) * hourRows, kMaxPixelHeight);
  doc.dpi = 144;
  hooks.charHeight = c;
  doc.FontChanged();
  EXPECT_EQ(doc.MultiDayHeight(), (c + 6) * hourRows);
  EXPECT_EQ(doc.dayMode24, 1);
}

TEST_F(DocTest, FewDaysStayInMultiDayMode) {
  WriteDays(clock.Now());
  SetEnv("Display days", 3);
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.dayMode24, 0);
  EXPECT_EQ(doc.vZoomMulti, 32);
}

TEST_F(DocTest, FontSizeZeroIsTakenAsSixteenAndSavedAbsolute) {
  SetEnv("FontSize", 0);
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.fontSizeBase, 16);
  EXPECT_EQ(doc.fontSizeAdjust, 0);
  doc.OnCommand(kCmdFontBigger);
  EXPECT_EQ(doc.fontSizeAdjust, 2);
  doc.OnCommand(kCmdVZoomIn);
  doc.DeleteContents();
  EXPECT_EQ(settings.Int("Environment", "FontSize", -1), 18);
  EXPECT_EQ(settings.Int("Environment", "VZoomCnt", -1), 2);
}

TEST_F(DocTest, ClearingBeforeInitialisationSavesNothing) {
  doc.DeleteContents();
  EXPECT_EQ(settings.Int("Environment", "FontSize", -1), -1);
  doc.SaveViewSettings();
  EXPECT_EQ(settings.Int("Environment", "FontSize", -1), -1);
}

// At the end of a session the process is ended without the clearing: the same
// values are written, and nothing is freed under a dialog that may be open.
TEST_F(DocTest, TheSessionsEndSavesWhatTheClearingSavesAndFreesNothing) {
  WriteDays(clock.Now());
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_FALSE(doc.Programs().Empty());
  doc.OnCommand(kCmdFontBigger);
  doc.OnCommand(kCmdVZoomIn);
  doc.OnCommand(kCmdHZoomIn);
  doc.OnCommand(kCmdTitleChannel);
  doc.titleWidths = {{"ch1", 250}};
  const std::size_t programs = doc.Programs().Ordered().size();
  doc.SaveViewSettings();
  EXPECT_EQ(settings.Int("Environment", "FontSize", -1), 18);
  EXPECT_EQ(settings.Int("Environment", "VZoomCnt", -1), 2);
  EXPECT_EQ(settings.Int("Environment", "HZoomCnt", -1), 2);
  EXPECT_EQ(settings.Int("Environment", "TitleKind", -1), 2);
  EXPECT_EQ(settings.Int("Title\\2", "ch1", -1), 250);
  EXPECT_EQ(doc.Programs().Ordered().size(), programs);
  EXPECT_EQ(doc.titleWidths.size(), 1u);
}

// The colour page shows a stored base size outside 4..150 as 16 and gives the
// document the size it shows when applied. The document takes the same base
// at load, so applying the page with its font left alone keeps the grid's
// size (a base of 400 made it -368).
TEST_F(DocTest, ApplyingTheColourPageUntouchedKeepsTheFontSizeWhateverBaseIsStored) {
  for (const int stored : {0, 2, 151, 400, -16, 150}) {
    settings.SetInt("Environment", J(u8"予定表FONT Size"), stored);
    SetEnv("FontSize", 20);
    CTavoraDoc fresh(settings, PlatformFiles(), clock, hooks);
    fresh.Guide().FetchOptions().skipServer = true;
    ASSERT_TRUE(fresh.OnNewDocument());
    EXPECT_EQ(fresh.FontSize(), 20) << stored;
    fresh.fontSizeBase = ReadFontChoice(settings).size;  // the page's apply
    EXPECT_EQ(fresh.FontSize(), 20) << stored;
  }
}

TEST_F(DocTest, SettingsAndDefaultsAreRead) {
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.receptionTimeout, 600);
  EXPECT_EQ(doc.displayDays, 6);
  EXPECT_EQ(doc.titleKind, 1);
  EXPECT_EQ(doc.guideCheckInterval, 3600);
  EXPECT_EQ(doc.nextGuideCheck, clock.Now() + 3600);
  EXPECT_EQ(doc.nextDailyReload, MakeLocalTime(2001, 3, 6, 4, 10));
  EXPECT_EQ(doc.notInitialised, 0);

  settings.SetText("Environment", "EpgURL", "http://guide/");
  SetEnv("EPG Update", 5);
  SetEnv("Timeout", 120);
  clock.Set(MakeLocalTime(2001, 3, 5, 1, 0));
  CTavoraDoc other(settings, PlatformFiles(), clock, hooks);
  other.Guide().FetchOptions().skipServer = true;
  ASSERT_TRUE(other.OnNewDocument());
  EXPECT_EQ(other.guideUrl, "http://guide/");
  EXPECT_EQ(other.guideCheckInterval, 300);
  EXPECT_EQ(other.receptionTimeout, 120);
  EXPECT_EQ(other.nextDailyReload, MakeLocalTime(2001, 3, 5, 4, 10));
}

// Keyword reservations made at load (or reservations already waiting) reach a
// unit that is running at once, not at its next rescan minutes later.
TEST_F(DocTest, TheLoadWakesTheUnitWhenThereIsSomethingToReceive) {
  struct Loading : RecordingHooks {
    bool toWake = false;
    int wakes = 0;
    bool LoadReservationsAndResults() override { return toWake; }
    void NotifyUnit() override { ++wakes; }
  };
  Loading nothing;
  CTavoraDoc quiet{settings, PlatformFiles(), clock, nothing};
  ASSERT_TRUE(quiet.OnNewDocument());
  EXPECT_EQ(nothing.wakes, 0);
  Loading reserved;
  reserved.toWake = true;
  CTavoraDoc busy{settings, PlatformFiles(), clock, reserved};
  ASSERT_TRUE(busy.OnNewDocument());
  EXPECT_EQ(reserved.wakes, 1);
}

TEST_F(DocTest, BaseSetUpFailureFailsInitialisation) {
  struct Failing : RecordingHooks {
    bool BaseSetUp() override { return false; }
  } failing;
  CTavoraDoc other(settings, PlatformFiles(), clock, failing);
  EXPECT_FALSE(other.OnNewDocument());
  EXPECT_EQ(other.notInitialised, 1);
}

class MarksTest : public DocTest {
 protected:
  void SetUp() override {
    std::vector<MarkupProgram> programs(3);
    for (int i = 0; i < 3; ++i) {
      programs[i].programNumber = std::to_string(10 + i);
      programs[i].schedules[0].start = GuideClock(20 * 60 + i * 60);  // 03/05 20:00, 21:00, 22:00
      programs[i].schedules[0].end = GuideClock(20 * 60 + i * 60 + 30);
    }
    cache.Write("gd010305.dpn", DayMarkup(programs));
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(doc.Programs().Size(), 3u);
  }
  const GuideProgram& At(int i) { return *doc.Programs().Ordered()[static_cast<std::size_t>(i)]; }
  ResultMark Result(int program, int status, const std::string& launch) {
    const GuideProgram& p = At(program);
    return ResultMark{status, p.programNumber, p.subNumber, p.startTime, p.endTime, launch, /*storageFolder=*/""};
  }
  ReservationMark Reservation(int program) {
    const GuideProgram& p = At(program);
    return ReservationMark{p.startTime, p.endTime, p.programNumber, p.subNumber};
  }
};

TEST_F(MarksTest, ResultStatesByOutcomeAndLaunchFile) {
  const struct {
    int status;
    const char* launch;
    int expected;
  } cases[] = {{0, "", kStateFailed}, {0, "a.exe", kStateFailed}, {1, "a.exe", kStateReceivedLaunchable},
               {1, "", kStateReceived}, {2, "", kStateFailed}, {2, "a.exe", kStateFailed}};
  for (const auto& c : cases) {
    doc.results = {Result(1, c.status, c.launch)};
    doc.UpdateProgramMarks();
    EXPECT_EQ(At(1).state, c.expected) << "status " << c.status << " launch '" << c.launch << "'";
    EXPECT_EQ(At(0).state, kStateNormal);
    EXPECT_EQ(At(2).state, kStateNormal);
  }
}

TEST_F(MarksTest, ReservedAndReceivedShowsReserved) {
  doc.results = {Result(2, 1, "a.exe")};
  doc.reservations = {Reservation(2)};
  doc.UpdateProgramMarks();
  EXPECT_EQ(At(2).state, kStateReserved);
  doc.reservations.clear();
  doc.UpdateProgramMarks();
  EXPECT_EQ(At(2).state, kStateReceivedLaunchable);
}

TEST_F(MarksTest, ReservationNeedsTheExactBroadcast) {
  ReservationMark shifted = Reservation(0);
  shifted.end += 60;
  ReservationMark otherSub = Reservation(1);
  otherSub.subNumber = 2;
  doc.reservations = {shifted, otherSub};
  doc.UpdateProgramMarks();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(At(i).state, kStateNormal) << i;
}

TEST_F(MarksTest, ResultOutsideItsWindowMarksNothing) {
  ResultMark late = Result(0, 1, "");
  late.first = At(2).endTime + 1;  // every program ends before it
  late.second = late.first + kHour;
  doc.results = {late};
  doc.UpdateProgramMarks();
  EXPECT_EQ(At(0).state, kStateNormal);
}

TEST_F(MarksTest, EndedFollowsTheCalibratedClockAndRedraws) {
  EXPECT_EQ(At(0).ended, 0);
  int before = hooks.redraws;
  clock.Set(At(0).endTime + 1);
  doc.UpdateProgramMarks();
  EXPECT_EQ(At(0).ended, 1);
  EXPECT_EQ(At(1).ended, 0);
  EXPECT_GT(hooks.redraws, before);
  before = hooks.redraws;
  doc.UpdateProgramMarks();
  EXPECT_EQ(hooks.redraws, before) << "nothing changed, nothing redrawn";
}

TEST_F(DocTest, ZoomAndFontLimits) {
  ASSERT_TRUE(doc.OnNewDocument());
  const struct {
    int command;
    std::int32_t CTavoraDoc::*member;
    int value;
    bool enabled;
  } cases[] = {
      {kCmdHZoomIn, &CTavoraDoc::hZoom, 62, true},   {kCmdHZoomIn, &CTavoraDoc::hZoom, 64, false},
      {kCmdHZoomOut, &CTavoraDoc::hZoom, -7, true},  {kCmdHZoomOut, &CTavoraDoc::hZoom, -8, false},
      {kCmdVZoomIn, &CTavoraDoc::vZoom, 63, true},   {kCmdVZoomIn, &CTavoraDoc::vZoom, 64, false},
      {kCmdVZoomOut, &CTavoraDoc::vZoom, -6, true},  {kCmdVZoomOut, &CTavoraDoc::vZoom, -8, false},
      {kCmdFontBigger, &CTavoraDoc::fontSizeAdjust, 18, true},
      {kCmdFontBigger, &CTavoraDoc::fontSizeAdjust, 20, false},
      {kCmdFontSmaller, &CTavoraDoc::fontSizeAdjust, -4, true},
      {kCmdFontSmaller, &CTavoraDoc::fontSizeAdjust, -6, false},
  };
  for (const auto& c : cases) {
    doc.hZoom = doc.vZoom = doc.fontSizeAdjust = 0;
    doc.*c.member = c.value;
    EXPECT_EQ(doc.IsEnabled(c.command), c.enabled) << c.command << " at " << c.value;
    doc.OnCommand(c.command);
    if (!c.enabled) {
      EXPECT_EQ(doc.*c.member, c.value) << "a disabled command does nothing";
    } else {
      EXPECT_NE(doc.*c.member, c.value);
    }
  }
}

TEST_F(DocTest, TwentyFourHourModeKeepsEachModesZoom) {
  WriteDays(clock.Now());
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.dayMode24, 0);
  doc.vZoom = 4;
  doc.OnCommand(kCmdDayMode24);
  EXPECT_EQ(doc.dayMode24, 1);
  EXPECT_EQ(doc.vZoomMulti, 4);
  EXPECT_GT(doc.MultiDayHeight(), kMaxPixelHeight);
  EXPECT_LE(doc.MultiDayHeight() - static_cast<std::int64_t>(2) * doc.Hours() * 6, kMaxPixelHeight)
      << "raised only until the height is exceeded";
  const std::int32_t zoom24 = doc.vZoom;
  doc.OnCommand(kCmdDayMode24);
  EXPECT_EQ(doc.dayMode24, 0);
  EXPECT_EQ(doc.vZoom, 4);
  EXPECT_EQ(doc.vZoom24, zoom24);
  EXPECT_TRUE(doc.IsChecked(kCmdDayMode24) == false);
}

TEST_F(DocTest, TwentyFourHourModeOnAShortPeriodDoesNotSpin) {
  doc.firstDayStart = doc.periodEnd = clock.Now();  // zero hours: the height never grows
  doc.ToggleDayMode24();
  EXPECT_EQ(doc.dayMode24, 1);
  EXPECT_EQ(doc.vZoom, 64);
}

TEST_F(DocTest, VerticalZoomOverTheLimitPlacesTheTopTwelveHoursIn) {
  WriteDays(clock.Now());
  hooks.charHeight = 30;
  SetEnv("Display days", 5);
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.dayMode24, 0);
  doc.topTime = doc.firstDayStart + 60 * kHour;
  while (doc.dayMode24 == 0 && doc.IsEnabled(kCmdVZoomIn)) doc.OnCommand(kCmdVZoomIn);
  ASSERT_EQ(doc.dayMode24, 1);
  EXPECT_EQ(doc.firstHourOffset, std::max(0, std::min(60, doc.Hours() - 12) - 12));
  doc.OnCommand(kCmdVZoomOut);
  EXPECT_EQ(doc.dayMode24, doc.MultiDayHeight() > kMaxPixelHeight ? 1 : 0);
}

TEST_F(DocTest, TitleKindSwitchStoresWidthsAndReadsTheNewKindsOrder) {
  settings.SetText("Title\\2", "SortTitle", "b,a");
  settings.SetText("Title\\2", "HideTitle", "c");
  ASSERT_TRUE(doc.OnNewDocument());
  doc.titleWidths = {{"news", 40}, {"music", 60}};
  hooks.rowsToBuild = {{"ch1", 100}};
  doc.OnCommand(kCmdTitleChannel);
  EXPECT_EQ(doc.titleKind, 2);
  EXPECT_EQ(doc.sortTitle, "b,a");
  EXPECT_EQ(doc.hideTitle, "c");
  EXPECT_EQ(settings.Int("Title\\1", "news", -1), 40);
  EXPECT_EQ(settings.Int("Title\\1", "music", -1), 60);
  EXPECT_TRUE(doc.IsChecked(kCmdTitleChannel));
  doc.OnCommand(kCmdTitleSeries);
  EXPECT_EQ(settings.Int("Title\\2", "ch1", -1), 100);
  EXPECT_EQ(doc.sortTitle, "");
  int redraws = hooks.redraws;
  doc.OnCommand(kCmdTitleSeries);
  EXPECT_EQ(hooks.redraws, redraws) << "the same kind changes nothing";
}

TEST_F(DocTest, LongTitleOrderAndHiddenListsAreReadWhole) {
  // Lists past the 255 bytes of a plain text read: a cut one is written back cut.
  std::string sorted, hidden;
  for (int i = 0; i < 60; ++i) sorted += "\tseries number " + std::to_string(i) + "\t";
  for (int i = 0; i < 40; ++i) hidden += "\tchannel name " + std::to_string(i) + "\t";
  settings.SetText("Title\\1", "SortTitle", sorted);
  settings.SetText("Title\\1", "HideTitle", hidden);
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.sortTitle, sorted);
  EXPECT_EQ(doc.hideTitle, hidden);
}

// The main window's clock is made before the document is initialised and
// takes the document's offset: the stored one from the start, not 0 until the
// first guide update.
TEST_F(DocTest, TheStoredClockOffsetAppliesFromTheStart) {
  SetEnv("TimeError", -7200);
  CTavoraDoc fresh{settings, PlatformFiles(), clock, hooks};
  EXPECT_EQ(fresh.Now().TimeError(), -7200);
  EXPECT_EQ(fresh.Now().Now(), clock.Now() - 7200);
  ASSERT_TRUE(fresh.OnNewDocument());
  EXPECT_TRUE(hooks.posted.empty()) << "the clock already shows it";
  // Initialised again (a guide settings file opened) after the unit measured anew.
  SetEnv("TimeError", 30);
  fresh.DeleteContents();
  ASSERT_TRUE(fresh.OnNewDocument());
  EXPECT_EQ(fresh.Now().TimeError(), 30);
  EXPECT_EQ(hooks.posted, (std::vector<int>{kCmdSetTimeError}));
}

TEST_F(DocTest, RedisplayTakesANewClockOffsetAndReloadsAfterTwelveHours) {
  ASSERT_TRUE(doc.OnNewDocument());
  SetEnv("TimeError", 1);
  doc.Redisplay();
  EXPECT_TRUE(hooks.posted.empty()) << "a second is no change";
  SetEnv("TimeError", 100);
  doc.Redisplay();
  EXPECT_EQ(hooks.posted, (std::vector<int>{kCmdSetTimeError}));
  EXPECT_EQ(doc.Now().TimeError(), 100);
  hooks.posted.clear();
  SetEnv("TimeError", 100 + 43201);
  doc.Redisplay();
  EXPECT_EQ(hooks.posted, (std::vector<int>{kCmdSetTimeError, kCmdGuideUpdate}));
}

TEST_F(DocTest, GuideUpdateReplacesTheListAndLogs) {
  cache.Write("Tavora.log", "");
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_TRUE(doc.Programs().Empty());
  WriteDays(clock.Now());
  doc.reservations = {ReservationMark{}};
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(doc.Programs().Size(), 6u);
  EXPECT_NE(cache.Read("Tavora.log").find("\t" + J(u8"ＥＰＧの更新") + "\r\n"), std::string::npos);
}

// The failure box is a modal loop that repaints the timetable: by then the
// title rows must point into the new guide, not into the freed one.
TEST_F(DocTest, ServerFailureIsShownOnlyOnceTheTitleRowsListTheNewGuide) {
  WriteDays(clock.Now());
  doc.guideUrl = "http://127.0.0.1:1/guide";  // fails at once: the cached days are used
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(hooks.steps.back(), "failure");
  EXPECT_EQ(std::count(hooks.steps.begin(), hooks.steps.end(), "failure"), 1);
  hooks.steps.clear();
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(doc.Programs().Size(), 6u);
  EXPECT_EQ(hooks.steps, (std::vector<std::string>{"free", "build", "failure"}));
}

TEST_F(DocTest, FailedGuideUpdateKeepsTheListAndDoesNotLog) {
  WriteDays(clock.Now());
  cache.Write("Tavora.log", "");
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.Programs().Size(), 6u);
  clock.Set(clock.Now() + 30 * kDay);  // no files for those days
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(doc.Programs().Size(), 6u);
  EXPECT_EQ(cache.Read("Tavora.log"), "");
}

TEST_F(DocTest, OpeningASettingsFileSetsTheLocationAndRules) {
  cache.Write("guide.tvr", "<Tavora Info><ScheduleURL>http:nowhere</ScheduleURL>"
                           "<ExceptSeries>series</ExceptSeries></Tavora Info>");
  WriteDays(clock.Now());
  doc.Guide().FetchOptions().skipServer = true;
  ASSERT_TRUE(doc.OnOpenDocument(cache / "guide.tvr"));
  EXPECT_EQ(doc.guideUrl, "http:nowhere");
  EXPECT_EQ(settings.Text("Environment", "ExceptSeries"), "series");
  EXPECT_TRUE(doc.Programs().Empty()) << "every generated program is of the dropped series";
}

TEST_F(DocTest, ReinitialisingInTwentyFourHourModeKeepsItOn) {
  WriteDays(MakeLocalTime(2001, 3, 9, 12, 0));
  SetEnv("Display days", 7);
  hooks.charHeight = 30;
  cache.Write("guide.tvr", "<Tavora Info></Tavora Info>");
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.dayMode24, 1);
  ASSERT_TRUE(doc.OnOpenDocument(cache / "guide.tvr"));
  EXPECT_EQ(doc.dayMode24, 1) << "the height check switches 24-hour mode on, never off";
  EXPECT_GT(doc.MultiDayHeight(), kMaxPixelHeight);
  EXPECT_EQ(doc.firstHourOffset, 0);
}

TEST_F(DocTest, FailedGuideUpdateKeepsTheWholePeriod) {
  WriteDays(clock.Now());
  ASSERT_TRUE(doc.OnNewDocument());
  const Time32 first = doc.firstDayStart, end = doc.periodEnd;
  clock.Set(clock.Now() + 30 * kDay);  // no files for those days
  SetEnv("DayStart", 6);
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(doc.firstDayStart, first);
  EXPECT_EQ(doc.periodEnd, end);
  EXPECT_EQ(doc.dayStartHour, 4);
  EXPECT_GT(doc.Hours(), 0);
}

TEST_F(DocTest, GuideUpdateRechecksTheHeight) {
  WriteDays(clock.Now());
  SetEnv("Display days", 3);
  hooks.charHeight = 30;
  ASSERT_TRUE(doc.OnNewDocument());
  ASSERT_EQ(doc.dayMode24, 0);
  SetEnv("Display days", 7);
  doc.displayDays = 7;
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_GT(doc.MultiDayHeight(), kMaxPixelHeight);
  EXPECT_EQ(doc.dayMode24, 1);
}

TEST_F(DocTest, GuideUpdateSavesTheTitleWidthsBeforeFreeingTheRows) {
  WriteDays(clock.Now());
  ASSERT_TRUE(doc.OnNewDocument());
  doc.titleWidths = {{"news", 35}, {"music", 65}};
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(settings.Int("Title\\1", "news", -1), 35);
  EXPECT_EQ(settings.Int("Title\\1", "music", -1), 65);
}

TEST_F(DocTest, ASecondGuideUpdateWhileOneRunsIsIgnored) {
  WriteDays(clock.Now());
  ASSERT_TRUE(doc.OnNewDocument());
  int loads = 0;
  doc.Guide().progress = [&](int day, int) {
    if (day != 0) return;
    ++loads;
    // The fetch keeps window messages flowing: the menu command comes again.
    doc.OnCommand(kCmdGuideUpdate);
  };
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(doc.UpdatingGuide());
  doc.OnCommand(kCmdGuideUpdate);
  EXPECT_EQ(loads, 2) << "the next update after the first has ended runs";
}

TEST_F(DocTest, PageNumbersOutsideTheirRangesAreClamped) {
  const struct {
    const char* name;
    int stored;
    int expected;
  } cases[] = {
      {"Display days", 0, 3}, {"Display days", 99, 7}, {"EPG Update", 1, 5},
      {"EPG Update", 100000, 120}, {"DayStart", -3, 0}, {"DayStart", 30, 23},
  };
  for (const auto& c : cases) {
    auto fresh = CreateMemorySettings();
    PlannerSettings s(*fresh);
    s.SetInt("Environment", c.name, c.stored);
    RecordingHooks h;
    CTavoraDoc d(s, PlatformFiles(), clock, h);
    ASSERT_TRUE(d.OnNewDocument());
    const int got = std::string(c.name) == "Display days" ? d.displayDays
                    : std::string(c.name) == "EPG Update" ? d.guideCheckInterval / 60
                                                          : d.dayStartHour;
    EXPECT_EQ(got, c.expected) << c.name << " " << c.stored;
  }
}

}  // namespace
