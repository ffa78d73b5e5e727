// The planner shell without windows: the working folders at start-up, the
// frame timer's work, the bubble's placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/shell/bubble_layout.h"
#include "planner/shell/folder_reads.h"
#include "planner/shell/frame_ticker.h"
#include "planner/shell/startup_folders.h"
#include "tests/support/temp_folder.h"

namespace {

class Questions : public FolderQuestions {
 public:
  bool answer = true;
  std::string answerFolder;
  int asked = 0;
  std::string proposal;
  std::string share;
  bool AskDataFolder(std::string* folder) override {
    ++asked;
    proposal = *folder;
    if (answer) *folder = answerFolder;
    return answer;
  }
  std::string ShareOfDrive(const std::string&) override { return share; }
};

class StartupFoldersTest : public ::testing::Test {
 protected:
  // The defaults land under the temp folder instead of the Windows drive.
  FolderResult Settle() { return SettleFolders(files, settings, root.Path(), questions, &folders); }

  TempFolder root;
  FileSystem& files = PlatformFiles();
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  Questions questions;
  WorkingFolders folders;
};

TEST_F(StartupFoldersTest, FirstStartMakesTheDefaultsAndAsksForTheDataFolder) {
  questions.answerFolder = root.Path() + "\\contents";
  ASSERT_EQ(Settle().failure, FolderFailure::None);
  EXPECT_EQ(folders.schedule, root.Path() + "\\Program Files\\Lumivent\\Schedule");
  EXPECT_EQ(folders.history, root.Path() + "\\Program Files\\Lumivent\\Temporary");
  EXPECT_EQ(folders.data, root.Path() + "\\contents");
  EXPECT_TRUE(files.IsFolder(folders.schedule));
  EXPECT_TRUE(files.IsFolder(folders.history));
  EXPECT_TRUE(files.IsFolder(folders.data));
  EXPECT_EQ(questions.asked, 1);
  EXPECT_EQ(settings.ScheduleFolder(), folders.schedule);
  EXPECT_EQ(settings.HistoryFolder(), folders.history);
  EXPECT_EQ(settings.DataFolder(), folders.data);
  // The second start asks nothing.
  EXPECT_EQ(Settle().failure, FolderFailure::None);
  EXPECT_EQ(questions.asked, 1);
}

TEST_F(StartupFoldersTest, AFileNamedLikeTheScheduleFolderBlocksTheStart) {
  settings.SetText("Schedule", "DataPath", (root / "sched"));
  root.Write("sched", "not a folder");
  const FolderResult r = Settle();
  EXPECT_EQ(r.failure, FolderFailure::BlockedByFile);
  EXPECT_EQ(r.folder, (root / "sched"));
  EXPECT_EQ(questions.asked, 0);
}

TEST_F(StartupFoldersTest, AScheduleFolderThatCannotBeMadeFails) {
  root.Write("file", "x");
  settings.SetText("Schedule", "DataPath", (root / "file") + "\\below");
  const FolderResult r = Settle();
  EXPECT_EQ(r.failure, FolderFailure::CannotCreate);
}

TEST_F(StartupFoldersTest, AHistoryFolderThatCannotBeMadeFallsBackToTheSchedule) {
  root.Write("file", "x");
  settings.SetText("Schedule", "DataPath", (root / "s"));
  settings.SetText("temp", "DataPath", (root / "file") + "\\h");
  settings.SetText("path", "DataPath", (root / "d"));
  questions.answerFolder = (root / "d2");
  ASSERT_EQ(Settle().failure, FolderFailure::None);
  EXPECT_EQ(folders.history, (root / "s"));
  EXPECT_EQ(settings.HistoryFolder(), (root / "s"));
  EXPECT_EQ(questions.asked, 1);
  EXPECT_EQ(questions.proposal, (root / "d"));
  EXPECT_EQ(folders.data, (root / "d2"));
}

TEST_F(StartupFoldersTest, CancellingTheDataQuestionEndsTheStart) {
  questions.answer = false;
  EXPECT_EQ(Settle().failure, FolderFailure::Cancelled);
  EXPECT_EQ(settings.DataFolder(), "");
}

TEST_F(StartupFoldersTest, ADataFolderThatCannotBeMadeFails) {
  root.Write("file", "x");
  questions.answerFolder = (root / "file") + "\\d";
  const FolderResult r = Settle();
  EXPECT_EQ(r.failure, FolderFailure::CannotCreate);
  EXPECT_EQ(r.folder, (root / "file") + "\\d");
}

TEST_F(StartupFoldersTest, StoredFoldersLoseTheirTrailingBackslash) {
  settings.SetText("Schedule", "DataPath", (root / "s") + "\\");
  settings.SetText("temp", "DataPath", (root / "h") + "\\\\");
  settings.SetText("path", "DataPath", (root / "d"));
  ASSERT_EQ(Settle().failure, FolderFailure::None);
  EXPECT_EQ(folders.schedule, (root / "s"));
  EXPECT_EQ(folders.history, (root / "h"));
  EXPECT_EQ(questions.asked, 0);
}

// 表 and ソ end in the byte of "\": only a real separator is stripped, so a
// folder named with them is neither refused nor rewritten.
TEST_F(StartupFoldersTest, FoldersEndingInATrailByteOfBackslashStayWhole) {
  const std::string schedule = root / J(u8"予約ソ");
  const std::string history = root / J(u8"履歴表");
  const std::string data = root / J(u8"番組表");
  ASSERT_TRUE(files.MakeFolder(data));
  settings.SetText("Schedule", "DataPath", schedule);
  settings.SetText("temp", "DataPath", history + "\\");
  questions.answerFolder = data;
  ASSERT_EQ(Settle().failure, FolderFailure::None);
  EXPECT_EQ(folders.schedule, schedule);
  EXPECT_EQ(folders.history, history);
  EXPECT_EQ(folders.data, data);
  EXPECT_TRUE(files.IsFolder(schedule));
  EXPECT_TRUE(files.IsFolder(history));
  EXPECT_EQ(settings.ScheduleFolder(), schedule);
  EXPECT_EQ(settings.HistoryFolder(), history);
  EXPECT_EQ(settings.DataFolder(), data);
  // Every later start finds the same folders.
  questions.answerFolder.clear();
  ASSERT_EQ(Settle().failure, FolderFailure::None);
  EXPECT_EQ(settings.ScheduleFolder(), schedule);
  EXPECT_EQ(folders.data, data);
  EXPECT_EQ(questions.asked, 1);
}

TEST(StartupFolders, WindowsDriveAndShareNames) {
  EXPECT_EQ(WindowsDrive("C:\\WINDOWS"), "C:");
  EXPECT_EQ(WindowsDrive("D:\\WINNT\\x"), "D:");
  EXPECT_EQ(WindowsDrive("E:\\"), "E:");
  Questions q;
  q.share = "\\\\srv\\data";
  EXPECT_EQ(WithShareName("X:\\contents\\a", q), "\\\\srv\\data\\contents\\a");
  EXPECT_EQ(WithShareName("\\\\srv\\data\\a", q), "\\\\srv\\data\\a");
  q.share.clear();
  EXPECT_EQ(WithShareName("X:\\a", q), "X:\\a");
}

// --- the frame timer -----------------------------------------------------------

TEST(FrameTicker, HoverEveryTickAllPanesEverySecondRefreshEveryMinute) {
  FrameTicker ticker;
  int hover = 0, all = 0, minute = 0;
  for (int i = 0; i < 1800; ++i) {
    const TickWork w = ticker.Tick(true);
    hover += w.hoverPanes;
    all += w.allPanes;
    minute += w.minute;
  }
  EXPECT_EQ(hover, 1800);
  EXPECT_EQ(all, 180);
  EXPECT_EQ(minute, 2);  // ticks 600 and 1200
}

TEST(FrameTicker, NothingWithoutADocument) {
  FrameTicker ticker;
  const TickWork w = ticker.Tick(false);
  EXPECT_FALSE(w.hoverPanes || w.allPanes || w.minute);
  EXPECT_EQ(ticker.Count(), 0u);
}

TEST(GuideUpdateDue, CheckIntervalAndDailyReload) {
  const Time32 now = MakeLocalTime(2026, 12, 10, 12, 0, 0);
  Time32 check = now + 100;
  Time32 daily = MakeLocalTime(2026, 12, 11, 4, 10, 0);
  EXPECT_FALSE(GuideUpdateDue(now, 3600, &check, &daily));
  EXPECT_TRUE(GuideUpdateDue(now + 100, 3600, &check, &daily));
  EXPECT_EQ(check, now + 100 + 3600);
  // Asleep over two nights: one update, and the next reload is the coming 04:10.
  const Time32 later = MakeLocalTime(2026, 12, 13, 9, 0, 0);
  EXPECT_TRUE(GuideUpdateDue(later, 3600, &check, &daily));
  EXPECT_EQ(daily, MakeLocalTime(2026, 12, 14, 4, 10, 0));
  EXPECT_EQ(check, later + 3600);
}

// --- the bubble ------------------------------------------------------------------

TEST(BubblePlacement, RightAndBelowWhenItFitsElseFlipped) {
  const BubbleRect screen{0, 0, 1000, 800};
  const BubblePlacement normal = PlaceBubble(100, 40, 200, 200, screen);
  EXPECT_FALSE(normal.left);
  EXPECT_FALSE(normal.above);
  EXPECT_EQ(normal.window.left, 200);
  EXPECT_EQ(normal.box.left, kBubbleGap);
  EXPECT_EQ(normal.window.right - normal.window.left, kBubbleGap + 100 + 2 * kBubbleMargin);

  const BubblePlacement corner = PlaceBubble(100, 40, 990, 790, screen);
  EXPECT_TRUE(corner.left);
  EXPECT_TRUE(corner.above);
  EXPECT_EQ(corner.window.right, 990);
  EXPECT_EQ(corner.window.bottom, 790);
  EXPECT_EQ(corner.box.left, 0);

  const BubblePlacement right = PlaceBubble(100, 40, 990, 100, screen);
  EXPECT_TRUE(right.left);
  EXPECT_FALSE(right.above);
}

// At 144 dpi the gap is 15 and the margin 9: the box of a text measured in
// the screen's pixels keeps the proportions it has at 96, and the flip to the
// left happens when that larger bubble no longer fits.
TEST(BubblePlacement, GapMarginAndSlackScaleWithTheScreensDensity) {
  const BubbleRect screen{0, 0, 1000, 800};
  const BubblePlacement p = PlaceBubble(150, 60, 200, 200, screen, 144);
  EXPECT_EQ(p.box.left, 15);
  EXPECT_EQ(p.box.top, 15);
  EXPECT_EQ(p.window.right - p.window.left, 15 + 150 + 18);
  EXPECT_EQ(p.box.bottom - p.box.top, 60 + 18);
  EXPECT_FALSE(PlaceBubble(150, 60, 1000 - 176, 200, screen).left);
  EXPECT_TRUE(PlaceBubble(150, 60, 1000 - 176, 200, screen, 144).left);
  EXPECT_FALSE(BubbleShouldMove(100, 100, 115, 85, 144));
  EXPECT_TRUE(BubbleShouldMove(100, 100, 116, 100, 144));
}

TEST(BubblePlacement, MovesOnlyPastTenPixels) {
  EXPECT_FALSE(BubbleShouldMove(100, 100, 110, 90));
  EXPECT_TRUE(BubbleShouldMove(100, 100, 111, 100));
  EXPECT_TRUE(BubbleShouldMove(100, 100, 100, 89));
}


TEST(FolderReads, SubFoldersOnlyWithTheirWholeNames) {
  TempFolder temp;
  FileSystem& fs = PlatformFiles();
  for (const char* utf8 : {u8"番組表", u8"ソフト", u8"予"}) ASSERT_TRUE(fs.MakeFolder(temp / J(utf8)));
  ASSERT_TRUE(fs.MakeFolder(temp / J(u8"予\\inner")));
  ASSERT_TRUE(fs.WriteAll(temp / J(u8"十.txt"), "x"));
  std::vector<std::string> names = ReadSubFolders(fs, temp.Path() + "\\");
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = {J(u8"ソフト"), J(u8"予"), J(u8"番組表")};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(ReadSubFolders(fs, temp / J(u8"予")), std::vector<std::string>{"inner"});
  EXPECT_TRUE(ReadSubFolders(fs, temp / "missing").empty());
}

// A step of the window's side: what it asks or which answer arrives, and what
// it must then do.
struct RequestStep {
  const char* ask;        // the window wants this key (nullptr: an answer arrives)
  const char* answered;   // a read of this key answered
  bool start;             // Ask: start a read now
  bool show;              // Answered: the answer is shown
  const char* next;       // Answered: the read to start now ("" for none)
};

void Replay(const std::vector<RequestStep>& steps) {
  LatestRequest r;
  int i = 0;
  for (const RequestStep& s : steps) {
    SCOPED_TRACE(++i);
    if (s.ask) {
      EXPECT_EQ(r.Ask(s.ask), s.start);
    } else if (s.answered) {
      std::string next = "unset";
      EXPECT_EQ(r.Answered(s.answered, &next), s.show);
      EXPECT_EQ(next, s.next);
    } else {
      r.Forget();
    }
  }
}

TEST(LatestRequestWins, FoldersPassedWhileAReadRunsAreNeverRead) {
  Replay({{"C:\\", nullptr, true, false, ""},
          {"\\\\a\\x\\", nullptr, false, false, ""},
          {"\\\\b\\y\\", nullptr, false, false, ""},
          {"\\\\c\\z\\", nullptr, false, false, ""},
          {nullptr, "C:\\", false, false, "\\\\c\\z\\"},
          {nullptr, "\\\\c\\z\\", false, true, ""},
          {"D:\\", nullptr, true, false, ""}});
}

TEST(LatestRequestWins, BackToTheFolderUnderReadShowsItsAnswer) {
  Replay({{"C:\\", nullptr, true, false, ""},
          {"D:\\", nullptr, false, false, ""},
          {"C:\\", nullptr, false, false, ""},
          {nullptr, "C:\\", false, true, ""},
          {"C:\\", nullptr, true, false, ""},
          {nullptr, "C:\\", false, true, ""}});
}

TEST(LatestRequestWins, LateOrForgottenAnswersAreDropped) {
  Replay({{"C:\\", nullptr, true, false, ""},
          {nullptr, nullptr, false, false, ""},       // nothing selected any more
          {nullptr, "C:\\", false, false, ""},
          {nullptr, "C:\\", false, false, ""},       // a second answer of a finished read
          {nullptr, "E:\\", false, false, ""},       // an answer never asked for
          {"D:\\", nullptr, true, false, ""},
          {nullptr, nullptr, false, false, ""},
          {"E:\\", nullptr, false, false, ""},      // the read of D: still runs
          {nullptr, "D:\\", false, false, "E:\\"},
          {nullptr, "E:\\", false, true, ""}});
}

}  // namespace
