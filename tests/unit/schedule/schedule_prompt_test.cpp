// Commands and the end of the session that arrive while a prompt of a pass is
// up: the selector prompt and the "Bind error" box dispatch messages.
#include "tests/unit/schedule/schedule_fixture.h"

TEST_F(ScheduleTest, TimeCalibrationDuringTheSelectorPromptOpensNoSecondPrompt) {
  struct Case { const char* when; Time32 startIn; };
  for (const Case& c : {Case{"reception starts", 0}, Case{"pass 34 checks", 3600}}) {
    SCOPED_TRACE(c.when);
    host = FakeHost();
    driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
    Put("RSV1.SDL", Record(60, 1, c.startIn, 3600));
    ASSERT_TRUE(driver->Start());
    int depth = 0, deepest = 0;
    host.onSelectorCheck = [&] {
      deepest = std::max(deepest, ++depth);
      driver->StartTimeReceiver();  // 1012 from the planner
      --depth;
    };
    Passes(ScheduleDriver::kSelectorCheckPass + 1);
    EXPECT_EQ(host.selectorChecks, 1);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(host.timeReceivers.size(), 1u);
    EXPECT_TRUE(driver->HasTimeReceiver() || host.timeReceivers[0]->destroyed);
    PlatformFiles().Remove(schedule + "RSV1.SDL");
  }
}

TEST_F(ScheduleTest, SettingsReloadDuringAPassWaitsForItsEnd) {
  Put("RSV1.SDL", Record(61, 1, 0, 3600));
  ASSERT_TRUE(driver->Start());
  host.onSelectorCheck = [&] {
    settings->SetInt("Environment", "Timeout", 99);
    driver->ReloadSettings();
    EXPECT_EQ(driver->Settings().timeout, 300);
  };
  Pass();
  EXPECT_EQ(driver->Settings().timeout, 99);
}

TEST_F(ScheduleTest, SessionEndInsideAPassWritesFinishedResultsAndLeavesTheListsToThePass) {
  Put("RSV1.SDL", Record(62, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(63, 2, 0, 3660, 3));
  ASSERT_TRUE(driver->Start());
  Pass();
  ASSERT_EQ(host.opened.size(), 2u);
  host.opened[0].state->finished = true;
  host.opened[0].state->result = 1;
  Pass();  // the first goes to finished while the second runs
  ASSERT_EQ(driver->FinishedList().size(), 1u);

  // Two more reservations on another sid: the first one's window comes up with
  // a prompt, inside which Windows ends the session.
  Put("RSV3.SDL", Record(64, 3, 0, 3720, 5));
  Put("RSV4.SDL", Record(65, 4, 0, 3780, 5));
  driver->Rescan();
  bool ended = false;
  host.onOpen = [&] {
    if (ended) return;
    ended = true;
    driver->EndSession();
    ASSERT_EQ(Results().size(), 1u);  // written before the message returns
    EXPECT_EQ(Results()[0].programNumber, 62);
  };
  Pass();
  EXPECT_TRUE(ended);
  EXPECT_EQ(host.opened.size(), 3u);  // no reception starts once the session ends
  EXPECT_EQ(Results().size(), 1u);
  EXPECT_TRUE(driver->Pending().empty());
  EXPECT_TRUE(driver->FinishedList().empty());
  EXPECT_FALSE(Exists("RSV1.SDL"));
  for (const char* stays : {"RSV2.SDL", "RSV3.SDL", "RSV4.SDL"}) EXPECT_TRUE(Exists(stays)) << stays;
  EXPECT_EQ(settings->Int("Environment", "Info count", -1), 1);
  Pass();
  EXPECT_EQ(host.opened.size(), 3u);
}

TEST_F(ScheduleTest, ResultThatFailsAtTheSessionEndIsWrittenOnceWhenThePassEnds) {
  Put("RSV1.SDL", Record(66, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(67, 2, 0, 3660, 3));
  ASSERT_TRUE(driver->Start());
  Pass();
  host.opened[0].state->finished = true;
  Pass();
  ASSERT_EQ(driver->FinishedList().size(), 1u);
  Put("RSV3.SDL", Record(68, 3, 0, 3720, 5));
  driver->Rescan();
  host.onOpen = [&] {
    host.onOpen = nullptr;
    BreakHistory();
    driver->EndSession();
    RepairHistory();
  };
  Pass();
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].programNumber, 66);
  EXPECT_FALSE(Exists("RSV1.SDL"));
}
