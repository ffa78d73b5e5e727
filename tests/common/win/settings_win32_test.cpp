// The registry seam against the real (Wine) registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "tests/support/temp_folder.h"

namespace {

// Runs reg.exe, the system's own registry tool, and waits for it.
DWORD RunReg(const std::wstring& arguments) {
  std::wstring line = L"reg.exe " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

const std::wstring kTestKeyPath = L"HKCU\\Software\\Lumivent\\RegistryTest\\Environment";

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
  ASSERT_TRUE(settings->ReadWholeText(Hive::CurrentUser, key, "Long", &text));
  EXPECT_EQ(text, std::string(254, 'a') + J(u8"表") + "tail");
}

TEST_F(Registry, ValuesWrittenByRegExeAreRead) {
  const std::wstring name = Cp932ToWide(J(u8"受信状況表示"));
  ASSERT_EQ(RunReg(L"add " + kTestKeyPath + L" /v " + name + L" /t REG_DWORD /d 7 /f"), 0u);
  ASSERT_EQ(RunReg(L"add " + kTestKeyPath + L" /v Note /t REG_SZ /d " + Cp932ToWide(J(u8"表示ソ")) + L" /f"), 0u);
  std::uint32_t v = 0;
  ASSERT_TRUE(settings->ReadDword(Hive::CurrentUser, key, J(u8"受信状況表示"), &v));
  EXPECT_EQ(v, 7u);
  std::string text;
  ASSERT_TRUE(settings->ReadText(Hive::CurrentUser, key, "Note", &text));
  EXPECT_EQ(text, J(u8"表示ソ"));
}

TEST_F(Registry, ValuesWrittenHereAreExportedByRegExe) {
  ASSERT_TRUE(settings->WriteText(Hive::CurrentUser, key, J(u8"受信状況表示"), J(u8"表示する")));
  TempFolder temp;
  const std::string file = temp / "export.reg";
  ASSERT_EQ(RunReg(L"export " + kTestKeyPath + L" \"" + Cp932ToWide(file) + L"\" /y"), 0u);
  std::string bytes;
  ASSERT_TRUE(PlatformFiles().ReadAll(file, &bytes));
  std::wstring exported(bytes.size() / 2, L'\0');
  std::memcpy(&exported[0], bytes.data(), exported.size() * 2);  // UTF-16LE
  const std::wstring line = L"\"" + Cp932ToWide(J(u8"受信状況表示")) + L"\"=\"" + Cp932ToWide(J(u8"表示する")) + L"\"";
  EXPECT_NE(exported.find(line), std::wstring::npos);
}

}  // namespace
