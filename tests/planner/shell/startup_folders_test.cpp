// The working folders at start-up: the defaults made on a first start, the
// data folder asked for, what blocks or ends the start.
#include <gtest/gtest.h>

#include <memory>
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
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

}  // namespace
