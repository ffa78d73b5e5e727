// The recent guide settings files: their order, their registry values and
// their menu texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>
#include "common/settings.h"
#include "planner/shell/recent_files.h"

namespace {

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

}  // namespace
