// cp932 paths: the trail byte 0x5C of 表, ソ, 予, 能, 十 (and 0x7C of others) is
// never a separator, and a folder from outside never lands outside the data folder.
#include "common/path.h"

#include <gtest/gtest.h>

#include "common/storage_folder.h"
#include "common/text.h"

namespace {

// Every character whose trail byte is "\" or "|", at the end of a component and
// before a separator: the places where a byte search goes wrong.
const char* const kTrailCharacters[] = {u8"表", u8"ソ", u8"予", u8"能", u8"十", u8"ポ", u8"―", u8"圭", u8"貼"};

std::string P(const char* utf8) { return Utf8ToCp932(utf8); }

TEST(PathTrailBytes, CharactersEndingInBackslashOrBarAreNoSeparators) {
  for (const char* ch : kTrailCharacters) {
    const std::string c = P(ch);
    SCOPED_TRACE(ch);
    ASSERT_EQ(c.size(), 2u);
    const std::string folder = P(u8"C:\\番組") + c;
    EXPECT_FALSE(EndsWithSeparator(folder));
    EXPECT_EQ(WithoutTrailingSeparator(folder), folder);
    EXPECT_EQ(WithoutTrailingSeparator(folder + "\\"), folder);
    EXPECT_EQ(WithTrailingSeparator(folder), folder + "\\");
    EXPECT_EQ(WithTrailingSeparator(folder + "\\"), folder + "\\");
    EXPECT_EQ(JoinPath(folder, "x"), folder + "\\x");
    EXPECT_EQ(LeafName(folder), P(u8"番組") + c);
    EXPECT_EQ(ParentFolder(folder), "C:\\");
    EXPECT_EQ(ParentFolder(folder + "\\" + c + "a"), folder);
    EXPECT_EQ(LastSeparator(folder), 2u);
    EXPECT_EQ(PathComponents(c + "\\" + c), (std::vector<std::string>{c, c}));
    EXPECT_EQ(PathCharacters(folder), 6u);
    EXPECT_TRUE(IsPathInside(folder, folder + "\\" + c));
    EXPECT_FALSE(IsPathInside(folder, folder));
    // The folder "番組" is no parent of "番組表": 表's trail byte is no separator.
    EXPECT_FALSE(IsPathInside(P(u8"C:\\番組"), folder));
  }
}

struct RootCase {
  const char* path;
  std::size_t rootLength;
  const char* volume;
  bool absolute;
};

TEST(PathRoots, DrivesSharesAndRelativePaths) {
  const RootCase cases[] = {
      {"C:\\a\\b", 3, "C:\\", true},
      {"C:\\", 3, "C:\\", true},
      {"C:", 2, "", false},
      {"C:a", 2, "", false},
      {"\\\\host\\share\\a", 13, "\\\\host\\share\\", true},
      {"\\\\host\\share", 12, "\\\\host\\share\\", true},
      {"\\\\host", 6, "", false},
      {"\\a", 1, "", false},
      {"/tmp/a", 1, "", false},
      {"a\\b", 0, "", false},
      {"", 0, "", false},
  };
  for (const RootCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathRootLength(c.path), c.rootLength);
    EXPECT_EQ(VolumeRoot(c.path), c.volume);
    EXPECT_EQ(IsAbsolutePath(c.path), c.absolute);
  }
  // A share whose name ends in ソ keeps its whole name.
  const std::string share = P(u8"\\\\pc\\ソ\\x");
  EXPECT_EQ(VolumeRoot(share), P(u8"\\\\pc\\ソ\\"));
}

TEST(PathTrim, KeepsRootsWhole) {
  EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
  EXPECT_EQ(WithoutTrailingSeparator("C:\\a\\\\"), "C:\\a");
  EXPECT_EQ(WithoutTrailingSeparator("\\\\h\\s\\"), "\\\\h\\s\\");
  EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
  EXPECT_EQ(ParentFolder("C:\\"), "C:\\");
  EXPECT_EQ(ParentFolder("C:\\a"), "C:\\");
  EXPECT_EQ(ParentFolder("C:\\a\\b\\"), "C:\\a");
  EXPECT_EQ(ParentFolder("/tmp"), "/");
  EXPECT_EQ(ParentFolder("name"), "");
  EXPECT_EQ(LeafName("C:\\"), "");
  EXPECT_EQ(LeafName("a/b"), "b");
  EXPECT_EQ(JoinPath("C:\\", "a"), "C:\\a");
  EXPECT_EQ(JoinPath("C:\\d\\", "\\a"), "C:\\d\\a");
  EXPECT_EQ(JoinPath("", "a"), "a");
}

struct InsideCase {
  const char* folder;
  const char* path;
  bool inside;
};

TEST(PathInside, ComparesComponentsNotBytes) {
  const InsideCase cases[] = {
      {"C:\\data", "C:\\data\\x", true},
      {"C:\\data\\", "c:/DATA/x/y", true},
      {"C:\\data", "C:\\data", false},
      {"C:\\data", "C:\\data\\", false},
      {"C:\\data", "C:\\database", false},
      {"C:\\data", "D:\\data\\x", false},
      {"C:\\data", "C:\\data\\..\\x", false},
      {"C:\\data", "C:\\data\\a\\..\\..\\x", false},
      {"C:\\data", "C:\\data\\. .\\x", false},
      {"C:\\data", "C:\\", false},
      {"\\\\h\\s\\d", "\\\\H\\S\\d\\x", true},
      {"\\\\h\\s", "\\\\h\\t\\x", false},
      {"/tmp/d", "/tmp/d/x", true},
  };
  for (const InsideCase& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " / " + c.path);
    EXPECT_EQ(IsPathInside(c.folder, c.path), c.inside);
  }
  EXPECT_TRUE(SamePath("C:\\Data\\", "c:/data"));
  EXPECT_FALSE(SamePath("C:\\data", "C:\\data\\x"));
}

struct HolderCase {
  const char* holder;
  HolderProblem problem;
  const char* folder;
};

TEST(StorageFolderForHolder, RefusesHoldersThatLeaveTheDataFolder) {
  const HolderCase cases[] = {
      {"news", HolderProblem::None, "D:\\data\\news"},
      {"news\\", HolderProblem::None, "D:\\data\\news"},
      {"a\\b", HolderProblem::None, "D:\\data\\a\\b"},
      {"", HolderProblem::Empty, ""},
      {"..\\..\\escape", HolderProblem::Unsafe, ""},
      {"..", HolderProblem::Unsafe, ""},
      {"...", HolderProblem::Unsafe, ""},
      {"a\\..\\..\\b", HolderProblem::Unsafe, ""},
      {"C:\\Windows", HolderProblem::Unsafe, ""},
      {"C:x", HolderProblem::Unsafe, ""},
      {"\\Users\\x", HolderProblem::Unsafe, ""},
      {"\\\\host\\share", HolderProblem::Unsafe, ""},
      {"CON", HolderProblem::Unsafe, ""},
      {"lpt1.txt", HolderProblem::Unsafe, ""},
      {"a*b", HolderProblem::Unsafe, ""},
      {"a\tb", HolderProblem::Unsafe, ""},
  };
  for (const HolderCase& c : cases) {
    SCOPED_TRACE(c.holder);
    std::string folder;
    EXPECT_EQ(StorageFolderForHolder("D:\\data", c.holder, &folder), c.problem);
    EXPECT_EQ(folder, c.folder);
  }
}

TEST(StorageFolderForHolder, KeepsTrailBytesAndRefusesFoldersTooLongForTheRecord) {
  std::string folder;
  const std::string data = P(u8"C:\\番組表");
  EXPECT_EQ(StorageFolderForHolder(data, P(u8"ソフト予"), &folder), HolderProblem::None);
  EXPECT_EQ(folder, data + "\\" + P(u8"ソフト予"));

  const std::string longHolder(kMaxStorageFolderBytes, 'a');
  folder.clear();
  EXPECT_EQ(StorageFolderForHolder("D:\\data", longHolder, &folder), HolderProblem::TooLong);
  EXPECT_EQ(folder, "");
  const std::string fits(kMaxStorageFolderBytes - 8, 'a');  // "D:\data\" is 8 bytes
  EXPECT_EQ(StorageFolderForHolder("D:\\data", fits, &folder), HolderProblem::None);
}

TEST(InsideDataFolder, NeverTheDataFolderARootOrARelativeFolder) {
  EXPECT_TRUE(IsInsideDataFolder("D:\\data", "D:\\data\\x"));
  EXPECT_FALSE(IsInsideDataFolder("D:\\data", "D:\\data"));
  EXPECT_FALSE(IsInsideDataFolder("D:\\data", "D:\\"));
  EXPECT_FALSE(IsInsideDataFolder("D:\\", "D:\\"));
  EXPECT_FALSE(IsInsideDataFolder("", "x"));
  EXPECT_FALSE(IsInsideDataFolder("data", "data\\x"));
  EXPECT_FALSE(IsInsideDataFolder("D:", "D:x"));
  EXPECT_FALSE(IsInsideDataFolder("D:\\data", "D:\\data\\..\\Users"));
}

}  // namespace
