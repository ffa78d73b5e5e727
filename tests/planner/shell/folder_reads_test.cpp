// The folder pane's reads: sub-folder names, and only the latest question's
// answer shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
#include "common/files.h"
#include "common/text.h"
#include "planner/shell/folder_reads.h"
#include "tests/support/temp_folder.h"

namespace {

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
