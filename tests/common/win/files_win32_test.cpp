// What only the Win32 file seam does: drive types, attributes, read-only files.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/files.h"
#include "common/text.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(Win32Files, DriveTypeOfTheSystemDrive) {
  EXPECT_EQ(PlatformFiles().DriveTypeOf("C:\\"), DriveType::Fixed);
}

TEST(Win32Files, CreateFolderPathFailsOnADriveThatIsNotThere) {
  FileSystem& fs = PlatformFiles();
  ASSERT_EQ(fs.DriveTypeOf("Q:\\"), DriveType::NoRootDir);
  EXPECT_FALSE(CreateFolderPath(fs, "Q:\\a\\b"));
}

TEST(Win32Files, ReadOnlyFilesAreRemovedAndHiddenOnesMarked) {
  TempFolder temp;
  FileSystem& fs = PlatformFiles();
  const std::string path = temp / J(u8"読取専用.txt");
  ASSERT_TRUE(fs.WriteAll(path, "x"));
  SetFileAttributesW(Cp932ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  auto found = fs.Find(temp / "*.txt");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(found[0].hidden);
  EXPECT_EQ(found[0].name, J(u8"読取専用.txt"));
  EXPECT_TRUE(fs.Remove(path));
  EXPECT_FALSE(fs.Exists(path));
}

TEST(Win32Files, LastWriteTimeIsSecondsSince1970) {
  TempFolder temp;
  FileSystem& fs = PlatformFiles();
  const std::string path = temp / "t.bin";
  ASSERT_TRUE(fs.WriteAll(path, "x"));
  Time32 t = 0;
  ASSERT_TRUE(fs.LastWriteTime(path, &t));
  EXPECT_LE(std::abs(t - static_cast<Time32>(time(nullptr))), 5);
}

TEST(Win32Files, FoldersAreCreatedLevelByLevelUnderAJapaneseName) {
  TempFolder temp;
  FileSystem& fs = PlatformFiles();
  const std::string deep = temp / J(u8"受信\\表示\\ソフト");
  ASSERT_TRUE(CreateFolderPath(fs, deep));
  DWORD a = GetFileAttributesW(Cp932ToWide(deep).c_str());
  ASSERT_NE(a, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
