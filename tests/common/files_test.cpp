#include "common/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "tests/support/failing_files.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> Names(const std::vector<FoundFile>& found) {
  std::vector<std::string> names;
  for (const FoundFile& f : found) names.push_back(f.name);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FolderHelpers, WithBackslashKnowsTrailBytes) {
  EXPECT_EQ(WithBackslash("C:\\a"), "C:\\a\\");
  EXPECT_EQ(WithBackslash("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(WithBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C\\");  // ends in 表, not in "\"
  EXPECT_EQ(WithBackslash(""), "\\");
}

class FileSeam : public ::testing::Test {
 protected:
  FileSystem& fs = PlatformFiles();
  TempFolder temp;
  std::string P(const std::string& name) const { return temp / name; }
};

TEST_F(FileSeam, WholeFilesRoundTripWithJapaneseNames) {
  const std::string path = P(J(u8"表示ソ.txt"));
  ASSERT_TRUE(fs.WriteAll(path, std::string("a\0b", 3)));
  std::string data;
  ASSERT_TRUE(fs.ReadAll(path, &data));
  EXPECT_EQ(data, std::string("a\0b", 3));
  EXPECT_EQ(Names(fs.Find(P("*.txt"))), std::vector<std::string>{J(u8"表示ソ.txt")});
  EXPECT_FALSE(fs.ReadAll(P("missing"), &data));
}

TEST_F(FileSeam, FindMatchesThePatternOfTheLastComponent) {
  for (const char* n : {"RSV0101.SDL", "RSV0202.SDL", "PC000001.SDD", "RSV.txt"}) fs.WriteAll(P(n), "x");
  fs.MakeFolder(P("sub"));
  EXPECT_EQ(Names(fs.Find(P("RSV*.SDL"))), (std::vector<std::string>{"RSV0101.SDL", "RSV0202.SDL"}));
  EXPECT_EQ(Names(fs.Find(P("*.SDD"))), std::vector<std::string>{"PC000001.SDD"});
  EXPECT_EQ(Names(fs.Find(P("RSV010?.SDL"))), std::vector<std::string>{"RSV0101.SDL"});
  auto all = fs.Find(P("*"));
  EXPECT_EQ(all.size(), 5u);  // never "." or ".."
  auto sub = fs.Find(P("sub"));
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_TRUE(sub[0].isFolder);
  EXPECT_TRUE(fs.Find(P("none\\*")).empty());
}

TEST_F(FileSeam, OpenModesReadWriteAndAppend) {
  const std::string path = P("log.txt");
  EXPECT_FALSE(fs.Open(path, OpenMode::Read));
  EXPECT_FALSE(fs.Open(path, OpenMode::WriteExisting));
  {
    auto f = fs.Open(path, OpenMode::CreateReadWrite);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->Write("hello", 5));
  }
  {
    auto f = fs.Open(path, OpenMode::WriteExisting);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->Write("!", 1));
  }
  auto f = fs.Open(path, OpenMode::ReadWrite);
  ASSERT_TRUE(f);
  ASSERT_TRUE(f->Seek(1));
  char buffer[16] = {};
  EXPECT_EQ(f->Read(buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "ello!");
  EXPECT_EQ(f->Read(buffer, sizeof buffer), 0u);
}

TEST_F(FileSeam, CopyRenameAndRemove) {
  fs.WriteAll(P("a"), "1");
  fs.WriteAll(P("b"), "2");
  EXPECT_FALSE(fs.CopyTo(P("a"), P("b"), false));
  EXPECT_TRUE(fs.CopyTo(P("a"), P("b"), true));
  EXPECT_FALSE(fs.Rename(P("a"), P("b")));  // an existing target stays
  EXPECT_TRUE(fs.Rename(P("a"), P("c")));
  std::string data;
  ASSERT_TRUE(fs.ReadAll(P("c"), &data));
  EXPECT_EQ(data, "1");
  EXPECT_TRUE(fs.Remove(P("c")));
  EXPECT_FALSE(fs.Exists(P("c")));
  EXPECT_FALSE(fs.Remove(P("c")));
}

TEST_F(FileSeam, ReplaceTakesThePlaceOfAnExistingFile) {
  fs.WriteAll(P("new"), "new");
  fs.WriteAll(P("old"), "old and longer");
  EXPECT_FALSE(fs.Rename(P("new"), P("old")));  // rename never replaces
  ASSERT_TRUE(fs.Replace(P("new"), P("old")));
  EXPECT_EQ(temp.Read("old"), "new");
  EXPECT_FALSE(fs.Exists(P("new")));
  ASSERT_TRUE(fs.WriteAll(P("other"), "x"));
  EXPECT_TRUE(fs.Replace(P("other"), P("absent")));  // no target is fine too
  EXPECT_EQ(temp.Read("absent"), "x");
  EXPECT_FALSE(fs.Replace(P("gone"), P("absent")));
}

TEST_F(FileSeam, WriteAllReplacingLeavesNoTemporaryFile) {
  ASSERT_TRUE(fs.WriteAllReplacing(P("day.dpn"), "first"));
  ASSERT_TRUE(fs.WriteAllReplacing(P("day.dpn"), "second"));
  EXPECT_EQ(temp.Read("day.dpn"), "second");
  EXPECT_EQ(Names(fs.Find(P("*"))), std::vector<std::string>{"day.dpn"});
}

// Whatever fails on the way, the old file stays whole and no temporary is left.
TEST_F(FileSeam, WriteAllReplacingKeepsTheOldFileWhenAnyStepFails) {
  const struct {
    const char* why;
    int writeFailures;
    std::int64_t spaceLeft;
    bool failReplace;
  } cases[] = {
      {"the write fails", 1, -1, false},
      {"the disk fills up half way", 0, 3, false},
      {"the disk is full", 0, 0, false},
      {"the replace fails", 0, -1, true},
  };
  for (const auto& c : cases) {
    temp.Write("day.dpn", "the good cache");
    FailingFiles failing(fs);
    failing.writeFailures = c.writeFailures;
    failing.spaceLeft = c.spaceLeft;
    failing.failReplace = c.failReplace;
    EXPECT_FALSE(failing.WriteAllReplacing(P("day.dpn"), "a new day that does not fit")) << c.why;
    EXPECT_EQ(temp.Read("day.dpn"), "the good cache") << c.why;
    EXPECT_EQ(Names(fs.Find(P("*"))), std::vector<std::string>{"day.dpn"}) << c.why;
  }
}

TEST_F(FileSeam, FailingFilesFillsTheDiskLikeARealOne) {
  FailingFiles failing(fs);
  failing.spaceLeft = 5;
  EXPECT_FALSE(failing.WriteAll(P("f"), "0123456789"));
  EXPECT_EQ(temp.Read("f"), "01234");
  EXPECT_EQ(failing.failedWrites, 1);
  EXPECT_FALSE(failing.WriteAll(P("g"), "x"));
}

TEST_F(FileSeam, LastWriteTimeCanBeSetAndRead) {
  fs.WriteAll(P("t"), "x");
  ASSERT_TRUE(fs.SetLastWriteTime(P("t"), 983795400));
  Time32 t = 0;
  ASSERT_TRUE(fs.LastWriteTime(P("t"), &t));
  EXPECT_EQ(t, 983795400);
  EXPECT_EQ(fs.Find(P("t"))[0].lastWrite, 983795400);
  EXPECT_FALSE(fs.LastWriteTime(P("missing"), &t));
}

TEST_F(FileSeam, CreateFolderPathMakesEveryLevel) {
  const std::string deep = P(J(u8"表\\ソ\\c"));
  ASSERT_TRUE(CreateFolderPath(fs, deep));
  EXPECT_TRUE(fs.IsFolder(deep));
  EXPECT_TRUE(CreateFolderPath(fs, deep + "\\"));  // existing folders are fine
  ASSERT_TRUE(CreateParentFolders(fs, P("x\\y\\file.txt")));
  EXPECT_TRUE(fs.IsFolder(P("x\\y")));
  EXPECT_FALSE(fs.Exists(P("x\\y\\file.txt")));
}

// Folder names whose last trail byte is 0x5C, written as the user types them:
// with "\" or "/" between the levels and with or without a trailing separator.
TEST_F(FileSeam, CreateFolderPathTakesNoTrailByteForASeparator) {
  int n = 0;
  for (const char* utf8 : {u8"番組表", u8"ソ", u8"予", u8"機能", u8"十"}) {
    const std::string name = J(utf8);
    const std::string top = P("t" + std::to_string(++n));
    SCOPED_TRACE(top + "\\" + name);
    ASSERT_TRUE(CreateFolderPath(fs, top + "\\" + name + "\\"));
    EXPECT_TRUE(fs.IsFolder(top + "\\" + name));
    ASSERT_TRUE(CreateFolderPath(fs, top + "/" + name + "/" + name + "\\in/"));
    EXPECT_TRUE(fs.IsFolder(top + "\\" + name + "\\" + name + "\\in"));
    ASSERT_TRUE(CreateParentFolders(fs, top + "\\x/" + name + "\\" + name + ".txt"));
    EXPECT_TRUE(fs.IsFolder(top + "\\x\\" + name));
    EXPECT_FALSE(fs.Exists(top + "\\x\\" + name + "\\" + name + ".txt"));
    // Nothing was made from half a character.
    EXPECT_EQ(fs.Find(top + "\\*").size(), 2u);
    fs.WriteAll(top + "\\" + name + "\\f" + name, "x");
    EXPECT_FALSE(CreateFolderPath(fs, top + "\\" + name + "\\f" + name + "\\sub"));
  }
}

TEST_F(FileSeam, CreateFolderPathFailsOnAFileInTheWay) {
  fs.WriteAll(P("file"), "x");
  EXPECT_FALSE(CreateFolderPath(fs, P("file\\sub")));
}

TEST_F(FileSeam, ClearFolderEmptiesButKeepsTheFolder) {
  CreateFolderPath(fs, P("box\\inner\\deeper"));
  fs.WriteAll(P("box\\a.txt"), "x");
  fs.WriteAll(P("box\\inner\\b.txt"), "x");
  fs.WriteAll(P("box\\inner\\deeper\\c.txt"), "x");
  EXPECT_TRUE(ClearFolder(fs, P("box")));
  EXPECT_TRUE(fs.IsFolder(P("box")));
  EXPECT_TRUE(fs.Find(P("box\\*")).empty());
}

TEST_F(FileSeam, FreeSpaceOfTheTempFolder) {
  std::uint64_t bytes = 0;
  EXPECT_TRUE(fs.FreeSpace(temp.Path(), &bytes));
  EXPECT_GT(bytes, 0u);
}

}  // namespace
