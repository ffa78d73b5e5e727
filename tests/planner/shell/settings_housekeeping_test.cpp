// Old content deletion: which received entries the rules pick, and that
// nothing outside the data folder is ever handed to the deletion.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/reception_result.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/time_text.h"
#include "planner/shell/settings_housekeeping.h"

namespace {

constexpr Time32 kDay = 86400;
const Time32 kNow = MakeLocalTime(2026, 12, 7, 15, 0, 0);

ReceptionResult Item(std::int32_t status, std::int32_t number, Time32 until, const char* folder) {
  ReceptionResult i;
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

const std::vector<ReceptionResult> kItems = {
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

bool Agree(const std::string&) { return true; }

class FakeHistory : public ContentHistory {
 public:
  std::vector<ReceptionResult> Items() const override { return items; }
  int DeleteContent(const std::vector<std::size_t>& indices) override {
    for (std::size_t i : indices) deleted.push_back(items.at(i).storageFolder);
    return static_cast<int>(indices.size());
  }
  std::vector<ReceptionResult> items;
  std::vector<std::string> deleted;
};

TEST(OldContent, RunHandsOnlyFoldersInsideTheDataFolderToTheDeletion) {
  FakeHistory history;
  history.items = kItems;
  OldContentRun run = RunOldContentDeletion(history, Rules(true, true, true, 1), "c:\\data\\", kNow, Agree);
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
  settings.SetInt("Environment\\DelExec", "AskSeconds", 0);
  OldContentSettings s = LoadOldContentSettings(settings);
  EXPECT_EQ(s.askSeconds, kAskSecondsMin);
  settings.SetInt("Environment\\DelExec", "AskSeconds", 100000);
  EXPECT_EQ(LoadOldContentSettings(settings).askSeconds, kAskSecondsMax);
  EXPECT_EQ(s.pastDay, kPastDayMin);
  EXPECT_EQ(s.execKind, static_cast<std::uint32_t>(kOldContentOff));
  EXPECT_EQ(s.execHour, 6u);
  EXPECT_EQ(s.oldProg, 1u);
  OldContentSettings w = Rules(true, false, true, 30);
  w.execHour = 4;
  w.askSeconds = 12;
  SaveOldContentSettings(settings, w);
  EXPECT_EQ(LoadOldContentSettings(settings), w);
}

TEST(OldContent, NothingIsDeletedUnlessTheUserAgrees) {
  FakeHistory history;
  history.items = kItems;
  std::vector<std::string> questions;
  OldContentRun run = RunOldContentDeletion(history, Rules(false, true, false), "C:\\DATA", kNow,
                                            [&](const std::string& q) {
                                              questions.push_back(q);
                                              return false;
                                            });
  EXPECT_TRUE(history.deleted.empty());
  EXPECT_TRUE(run.declined);
  EXPECT_EQ(run.asked, 2);
  EXPECT_EQ(run.deleted, 0);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find(J(u8"受信済み番組 2 件")), std::string::npos);
  // No way to ask is no agreement.
  run = RunOldContentDeletion(history, Rules(false, true, false), "C:\\DATA", kNow, nullptr);
  EXPECT_TRUE(run.declined);
  EXPECT_TRUE(history.deleted.empty());
}

TEST(OldContent, NobodyIsAskedWhenNothingWouldBeDeleted) {
  FakeHistory history;
  history.items = {kItems[1], kItems[6]};  // recent, and old but outside
  bool asked = false;
  OldContentRun run = RunOldContentDeletion(history, Rules(true, false, false), "C:\\DATA", kNow,
                                            [&](const std::string&) { return asked = true; });
  EXPECT_FALSE(asked);
  EXPECT_EQ(run.asked, 0);
  EXPECT_EQ(run.outsideDataFolder, 1);
}

// A collection may run while the question is open: entries come and go and
// the indices move. Only what the question named is deleted.
TEST(OldContent, OnlyTheEntriesTheQuestionNamedAreDeletedAfterTheListChanged) {
  FakeHistory history;
  history.items = {kItems[1], kItems[2], kItems[3]};  // recent success, failed, not received
  OldContentRun run = RunOldContentDeletion(history, Rules(false, true, false), "C:\\DATA", kNow,
                                            [&](const std::string&) {
                                              // A new failed reception in front, the failed one gone.
                                              history.items = {Item(0, 9, kNow, "C:\\DATA\\new\\"), kItems[1],
                                                               kItems[3]};
                                              return true;
                                            });
  EXPECT_EQ(history.deleted, std::vector<std::string>{"C:\\DATA\\none\\"});
  EXPECT_EQ(run.asked, 2);
  EXPECT_EQ(run.deleted, 1);
}

TEST(OldContent, QuestionNamesTheCountAndTheRulesThatPicked) {
  OldContentSettings s = Rules(true, false, true, 10);
  const std::string q = OldContentQuestion(4, s, kNow);
  EXPECT_NE(q.find(J(u8"受信済み番組 4 件")), std::string::npos) << Cp932ToUtf8(q);
  EXPECT_NE(q.find(J(u8"・2026/11/27 15:00 より前に受信した番組")), std::string::npos) << Cp932ToUtf8(q);
  EXPECT_NE(q.find(J(u8"・同じ番組を新しく受信して古くなったコンテンツ")), std::string::npos);
  EXPECT_EQ(q.find(J(u8"受信に失敗")), std::string::npos);
  const std::string failed = OldContentQuestion(1, Rules(false, true, false), kNow);
  EXPECT_NE(failed.find(J(u8"・受信に失敗した番組")), std::string::npos);
  EXPECT_EQ(failed.find(J(u8"より前に受信")), std::string::npos);
}

}  // namespace
