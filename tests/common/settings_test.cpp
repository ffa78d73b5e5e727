#include "common/settings.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace {

const std::string kKey = "Software\\Lumivent\\TavoraPlanner\\Environment";

TEST(MemorySettings, ValuesRoundTripByType) {
  auto s = CreateMemorySettings();
  std::uint32_t dword = 0;
  std::string text;
  EXPECT_TRUE(s->WriteDword(Hive::CurrentUser, kKey, "Timeout", 0xFFFFFFFF));
  EXPECT_TRUE(s->WriteText(Hive::CurrentUser, kKey, J(u8"受信状況表示"), J(u8"表示")));
  ASSERT_TRUE(s->ReadDword(Hive::CurrentUser, kKey, "Timeout", &dword));
  EXPECT_EQ(dword, 0xFFFFFFFFu);
  ASSERT_TRUE(s->ReadText(Hive::CurrentUser, kKey, J(u8"受信状況表示"), &text));
  EXPECT_EQ(text, J(u8"表示"));
  EXPECT_FALSE(s->ReadText(Hive::CurrentUser, kKey, "Timeout", &text));   // wrong type
  EXPECT_FALSE(s->ReadDword(Hive::LocalMachine, kKey, "Timeout", &dword));  // other hive
}

TEST(MemorySettings, NamesCompareWithoutCase) {
  auto s = CreateMemorySettings();
  s->WriteDword(Hive::CurrentUser, kKey, "Prepare Time", 5);
  std::uint32_t v = 0;
  EXPECT_TRUE(s->ReadDword(Hive::CurrentUser, "SOFTWARE\\lumivent\\TavoraPlanner\\environment", "PREPARE time", &v));
  EXPECT_EQ(v, 5u);
  s->WriteDword(Hive::CurrentUser, kKey, "prepare time", 6);
  EXPECT_EQ(s->ValueNames(Hive::CurrentUser, kKey).size(), 1u);
}

TEST(MemorySettings, EmptyTextDeletesTheValue) {
  auto s = CreateMemorySettings();
  s->WriteText(Hive::CurrentUser, kKey, "AutoRun", "x");
  EXPECT_TRUE(s->WriteText(Hive::CurrentUser, kKey, "AutoRun", ""));
  std::string text;
  EXPECT_FALSE(s->ReadText(Hive::CurrentUser, kKey, "AutoRun", &text));
  EXPECT_TRUE(s->ValueNames(Hive::CurrentUser, kKey).empty());
}

TEST(MemorySettings, TextsAreReadUpTo255BytesOnACharacterBoundary) {
  auto s = CreateMemorySettings();
  s->WriteText(Hive::CurrentUser, kKey, "Long", std::string(254, 'a') + "\x95\x5C" "tail");
  std::string text;
  ASSERT_TRUE(s->ReadText(Hive::CurrentUser, kKey, "Long", &text));
  EXPECT_EQ(text, std::string(254, 'a'));
  ASSERT_TRUE(s->ReadWholeText(Hive::CurrentUser, kKey, "Long", &text));
  EXPECT_EQ(text, std::string(254, 'a') + "\x95\x5C" "tail");
}

TEST(PlannerSettingsValues, PageNumbersAreClampedToTheirRange) {
  auto s = CreateMemorySettings();
  PlannerSettings planner(*s);
  EXPECT_EQ(planner.IntInRange("Environment", "Display days", 6, 3, 7), 6);
  for (std::int32_t stored : {-5, 0, 3, 5, 7, 8, 1000}) {
    planner.SetInt("Environment", "Display days", stored);
    EXPECT_EQ(planner.IntInRange("Environment", "Display days", 6, 3, 7), stored < 3 ? 3 : stored > 7 ? 7 : stored)
        << stored;
  }
}

TEST(MemorySettings, ValueNamesInTheOrderWritten) {
  auto s = CreateMemorySettings();
  s->WriteDword(Hive::CurrentUser, kKey, "b", 1);
  s->WriteText(Hive::CurrentUser, kKey, "a", "x");
  s->WriteDword(Hive::CurrentUser, kKey, "c", 1);
  s->DeleteValue(Hive::CurrentUser, kKey, "a");
  EXPECT_EQ(s->ValueNames(Hive::CurrentUser, kKey), (std::vector<std::string>{"b", "c"}));
  EXPECT_FALSE(s->DeleteValue(Hive::CurrentUser, kKey, "a"));
  EXPECT_TRUE(s->ValueNames(Hive::CurrentUser, "Software\\Other").empty());
}

TEST(PlannerSettingsValues, MissingOrUnreadableValuesGiveTheDefault) {
  auto s = CreateMemorySettings();
  PlannerSettings planner(*s);
  EXPECT_EQ(planner.Int("Environment", "Prepare Time", 10), 10);
  s->WriteText(Hive::CurrentUser, kKey, "Prepare Time", "60");  // a text where a DWORD belongs
  EXPECT_EQ(planner.Int("Environment", "Prepare Time", 10), 10);
  EXPECT_EQ(planner.Text("Environment", "AutoRun", "none"), "none");
}

TEST(PlannerSettingsValues, WritesGoUnderThePlannerKey) {
  auto s = CreateMemorySettings();
  PlannerSettings planner(*s);
  EXPECT_TRUE(planner.SetInt("Environment", "TimeError", -3));
  EXPECT_EQ(planner.Int("Environment", "TimeError", 0), -3);
  std::uint32_t raw = 0;
  ASSERT_TRUE(s->ReadDword(Hive::CurrentUser, kKey, "TimeError", &raw));
  EXPECT_EQ(raw, 0xFFFFFFFDu);
  planner.SetText("Schedule", "DataPath", "C:\\Sched");
  planner.SetText("temp", "DataPath", "C:\\Hist");
  planner.SetText("path", "DataPath", "C:\\Data");
  EXPECT_EQ(planner.ScheduleFolder(), "C:\\Sched");
  EXPECT_EQ(planner.HistoryFolder(), "C:\\Hist");
  EXPECT_EQ(planner.DataFolder(), "C:\\Data");
  planner.SetText("Schedule", "DataPath", "");
  EXPECT_EQ(planner.ScheduleFolder(), "");
}

TEST(PlatformSettingsStore, OneStorePerProcess) {
  auto a = CreatePlatformSettings();
  auto b = CreatePlatformSettings();
  const std::string key = "Software\\Lumivent\\Test\\OneStore";
  a->WriteDword(Hive::CurrentUser, key, "v", 41);
  std::uint32_t v = 0;
  ASSERT_TRUE(b->ReadDword(Hive::CurrentUser, key, "v", &v));
  EXPECT_EQ(v, 41u);
  a->DeleteValue(Hive::CurrentUser, key, "v");
}

}  // namespace
