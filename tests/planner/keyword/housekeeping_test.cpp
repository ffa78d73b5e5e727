// Old content deletion: which received entries the rules pick, and that
// nothing outside the data folder is ever handed to the deletion.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/settings.h"
#include "common/time_text.h"
#include "planner/shell/settings_housekeeping.h"

namespace {

constexpr Time32 kDay = 86400;
const Time32 kNow = MakeLocalTime(2026, 12, 7, 15, 0, 0);

ContentItem Item(std::int32_t status, std::int32_t number, Time32 until, const char* folder) {
  ContentItem i;
  i.status = status;
  i.programNumber = number;
  i.subNumber = 1;
  i.receivedUntil = until;
  i.storageFolder = folder;
  return i;
}

OldContentSettings Rules(bool old, bool error, bool overWrite, std::uint32_t pastDay = 10) {
  OldContentSettings s;
  s.oldProg = old;
  s.errorProg = error;
  s.overWrite = overWrite;
  s.pastDay = pastDay;
  s.execKind = kOldContentDaily;
  return s;
}

const std::vector<ContentItem> kItems = {
    Item(1, 1, kNow - 11 * kDay, "C:\\DATA\\old\\"),          // 0 old success
    Item(1, 2, kNow - 9 * kDay, "C:\\DATA\\recent\\"),        // 1 recent success
    Item(0, 3, kNow - 1 * kDay, "C:\\DATA\\failed\\"),        // 2 failed
    Item(2, 4, kNow - 1 * kDay, "C:\\DATA\\none\\"),          // 3 not received
    Item(1, 5, kNow - 3 * kDay, "C:\\DATA\\ed1\\"),           // 4 superseded by 5
    Item(1, 5, kNow - 2 * kDay, "C:\\DATA\\ed2\\"),           // 5 newest edition
    Item(1, 6, kNow - 30 * kDay, "C:\\OTHER\\x\\"),           // 6 old, outside
    Item(0, 7, kNow - 30 * kDay, "C:\\DATA\\..\\WINDOWS\\"),  // 7 failed, climbs out
    Item(1, 8, kNow - 30 * kDay, "C:\\DATA\\"),               // 8 the data folder itself
};

TEST(OldContent, EachRulePicksItsEntriesOnly) {
  struct Case {
    OldContentSettings rules;
    std::vector<std::size_t> picked;
    int outside;
  } cases[] = {
      {Rules(true, false, false), {0}, 2},
      {Rules(true, false, false, 1), {0, 1, 4, 5}, 2},
      {Rules(false, true, false), {2, 3}, 1},
      {Rules(false, false, true), {4}, 0},
      {Rules(true, true, true), {0, 2, 3, 4}, 3},
      {Rules(false, false, false), {}, 0},
  };
  for (const Case& c : cases) {
    OldContentChoice choice = ChooseOldContent(kItems, c.rules, "C:\\DATA", kNow);
    EXPECT_EQ(choice.indices, c.picked);
    EXPECT_EQ(choice.outsideDataFolder, c.outside);
  }
}

TEST(OldContent, OffUnlessTurnedOnAndNeverWithoutADataFolder) {
  OldContentSettings s = Rules(true, true, true);
  s.execKind = kOldContentOff;
  EXPECT_TRUE(ChooseOldContent(kItems, s, "C:\\DATA", kNow).indices.empty());
  EXPECT_TRUE(ChooseOldContent(kItems, Rules(true, true, true), "", kNow).indices.empty());
  EXPECT_EQ(NextOldContentRun(s, kNow), 0);
}

class FakeHistory : public ContentHistory {
 public:
  std::vector<ContentItem> Items() const override { return items; }
  int DeleteContent(const std::vector<std::size_t>& indices) override {
    for (std::size_t i : indices) deleted.push_back(items.at(i).storageFolder);
    return static_cast<int>(indices.size());
  }
  std::vector<ContentItem> items;
  std::vector<std::string> deleted;
};

TEST(OldContent, RunHandsOnlyFoldersInsideTheDataFolderToTheDeletion) {
  FakeHistory history;
  history.items = kItems;
  OldContentRun run = RunOldContentDeletion(history, Rules(true, true, true, 1), "c:\\data\\", kNow);
  for (const std::string& folder : history.deleted) {
    EXPECT_EQ(folder.compare(0, 8, "C:\\DATA\\"), 0) << folder;
    EXPECT_EQ(folder.find(".."), std::string::npos) << folder;
    EXPECT_NE(folder, "C:\\DATA\\");
  }
  EXPECT_EQ(run.deleted, 6);
  EXPECT_EQ(run.outsideDataFolder, 3);
}

TEST(OldContent, DailyRunIsTheNextExecHour) {
  OldContentSettings s = Rules(true, false, false);
  s.execHour = 16;
  EXPECT_EQ(NextOldContentRun(s, kNow), MakeLocalTime(2026, 12, 7, 16, 0, 0));
  s.execHour = 15;
  EXPECT_EQ(NextOldContentRun(s, kNow), MakeLocalTime(2026, 12, 8, 15, 0, 0));
  s.execHour = 3;
  EXPECT_EQ(NextOldContentRun(s, kNow), MakeLocalTime(2026, 12, 8, 3, 0, 0));
  s.execKind = kOldContentAtStart;
  EXPECT_EQ(NextOldContentRun(s, kNow), 0);
}

TEST(OldContent, StoredValuesAreBoundedWhenRead) {
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings(*store);
  EXPECT_EQ(LoadOldContentSettings(settings), OldContentSettings());
  settings.SetInt("Environment\\DelExec", "PastDay", 0);
  settings.SetInt("Environment\\DelExec", "ExecKind", 7);
  settings.SetInt("Environment\\DelExec", "ExecHour", 30);
  settings.SetInt("Environment\\DelExec", "OldProg", 5);
  OldContentSettings s = LoadOldContentSettings(settings);
  EXPECT_EQ(s.pastDay, kPastDayMin);
  EXPECT_EQ(s.execKind, static_cast<std::uint32_t>(kOldContentOff));
  EXPECT_EQ(s.execHour, 6u);
  EXPECT_EQ(s.oldProg, 1u);
  OldContentSettings w = Rules(true, false, true, 30);
  w.execHour = 4;
  SaveOldContentSettings(settings, w);
  EXPECT_EQ(LoadOldContentSettings(settings), w);
}

}  // namespace
