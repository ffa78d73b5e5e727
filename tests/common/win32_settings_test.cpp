// The registry seam against the real (Wine) registry.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/settings.h"
#include "common/text.h"

namespace {

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeyW); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeyW); }
  static constexpr const wchar_t* kTestKeyW = L"Software\\Lumivent\\RegistryTest";
  const std::string key = "Software\\Lumivent\\RegistryTest\\Environment";
  std::unique_ptr<Settings> settings = CreatePlatformSettings();
};

TEST_F(Registry, DwordRoundTripsAsRegDword) {
  ASSERT_TRUE(settings->WriteDword(Hive::CurrentUser, key, "Timeout", 0x80000001u));
  std::uint32_t v = 0;
  ASSERT_TRUE(settings->ReadDword(Hive::CurrentUser, key, "Timeout", &v));
  EXPECT_EQ(v, 0x80000001u);
  DWORD type = 0, data = 0, size = sizeof data;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Lumivent\\RegistryTest\\Environment", L"Timeout",
                         RRF_RT_ANY, &type, &data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(Registry, JapaneseTextUnderAJapaneseValueNameRoundTrips) {
  const std::string name = J(u8"受信状況表示");
  const std::string value = J(u8"表示する：ソフト");
  ASSERT_TRUE(settings->WriteText(Hive::CurrentUser, key, name, value));
  std::string text;
  ASSERT_TRUE(settings->ReadText(Hive::CurrentUser, key, name, &text));
  EXPECT_EQ(text, value);
  // Stored as UTF-16 under the UTF-16 name, not as ANSI bytes.
  wchar_t wide[64] = {};
  DWORD size = sizeof wide;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Lumivent\\RegistryTest\\Environment",
                         Cp932ToWide(name).c_str(), RRF_RT_REG_SZ, nullptr, wide, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(wide), Cp932ToWide(value));
  EXPECT_EQ(settings->ValueNames(Hive::CurrentUser, key), std::vector<std::string>{name});
}

TEST_F(Registry, EmptyTextDeletesAndMissingGivesDefault) {
  PlannerSettings planner(*settings);
  ASSERT_TRUE(settings->WriteText(Hive::CurrentUser, key, "AutoRun", "x"));
  ASSERT_TRUE(settings->WriteText(Hive::CurrentUser, key, "AutoRun", ""));
  std::string text;
  EXPECT_FALSE(settings->ReadText(Hive::CurrentUser, key, "AutoRun", &text));
  std::uint32_t v = 0;
  EXPECT_FALSE(settings->ReadDword(Hive::CurrentUser, key, "Missing", &v));
  EXPECT_FALSE(settings->ReadDword(Hive::CurrentUser, "Software\\Lumivent\\NoSuchKey", "x", &v));
  EXPECT_EQ(planner.Int("Environment", "Prepare Time", 10), 10);
}

TEST_F(Registry, WrongTypeReadsAsMissing) {
  settings->WriteText(Hive::CurrentUser, key, "Prepare Time", "60");
  std::uint32_t v = 0;
  EXPECT_FALSE(settings->ReadDword(Hive::CurrentUser, key, "Prepare Time", &v));
  settings->WriteDword(Hive::CurrentUser, key, "Name", 1);
  std::string text;
  EXPECT_FALSE(settings->ReadText(Hive::CurrentUser, key, "Name", &text));
}

TEST_F(Registry, LongTextsAreReadUpTo255Bytes) {
  settings->WriteText(Hive::CurrentUser, key, "Long", std::string(254, 'a') + J(u8"表") + "tail");
  std::string text;
  ASSERT_TRUE(settings->ReadText(Hive::CurrentUser, key, "Long", &text));
  EXPECT_EQ(text, std::string(254, 'a'));
}

}  // namespace
