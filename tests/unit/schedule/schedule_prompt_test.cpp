// Boxes of the schedule (the selector prompt, "Bind error") come after the pass
// that asked for them, one at a time, and passes run under them. Commands and
// the end of the session that arrive while a pass dispatches messages wait
// for its end.
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
  host.onOpen = [&] {
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

// Something inside a pass that dispatches the main timer for a long time (more
// than 1000 ticks, about five minutes) never runs a pass inside it: the same
// reservation is not started again and nothing it holds is freed under it.
TEST_F(ScheduleTest, TicksDispatchedInsideAPassNeverRunANestedPass) {
  Put("RSV1.SDL", Record(70, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(71, 2, 0, 3600 * 2, 3));
  ASSERT_TRUE(driver->Start());
  int depth = 0, deepest = 0;
  host.onOpen = [&] {
    deepest = std::max(deepest, ++depth);
    if (depth == 1 && host.opened.empty()) {
      // Meanwhile the planner's settings change.
      settings->SetInt("Environment", "Timeout", 77);
      driver->ReloadSettings();
      for (int i = 0; i < 1100; ++i) Pass();
      EXPECT_TRUE(driver->InPass());
    }
    --depth;
  };
  Pass();
  EXPECT_EQ(deepest, 1);
  ASSERT_EQ(host.opened.size(), 2u);  // each reservation once
  EXPECT_NE(host.opened[0].order.port, 0);
  EXPECT_EQ(driver->Pending().size(), 2u);
  EXPECT_EQ(driver->Settings().timeout, 77);  // the reload waited for the pass
  host.onOpen = nullptr;
  Passes(5);
  EXPECT_EQ(host.opened.size(), 2u);
}

TEST_F(ScheduleTest, BindErrorBoxComesAfterThePassOneAtATimeWithPassesRunningUnderIt) {
  Put("RSV1.SDL", Record(72, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(73, 2, 600, 3600, 5));
  ASSERT_TRUE(driver->Start());
  host.bindError = 10049;
  int depth = 0, deepest = 0;
  bool stayedOutOfPasses = true;
  host.onBindError = [&](int code) {
    deepest = std::max(deepest, ++depth);
    stayedOutOfPasses = stayedOutOfPasses && !driver->InPass();
    EXPECT_TRUE(driver->PromptUp());
    if (code == 10049) {
      // The box stays up for ten minutes: the first reception finishes and is
      // collected, the second one starts (its window fails to join as well).
      host.opened[0].state->finished = true;
      host.bindError = 10065;
      for (int i = 0; i < 2100; ++i) Pass();
      EXPECT_EQ(Results().size(), 1u);
      EXPECT_EQ(host.opened.size(), 2u);
      EXPECT_EQ(host.bindErrors.size(), 1u);  // the second box waits
    }
    --depth;
  };
  Pass();
  EXPECT_TRUE(stayedOutOfPasses);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(host.bindErrors, (std::vector<int>{10049, 10065}));
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].programNumber, 72);
  EXPECT_FALSE(driver->PromptUp());
  EXPECT_EQ(host.opened.size(), 2u);
}

TEST_F(ScheduleTest, SelectorPromptComesAfterThePassThatStartsTheReception) {
  Put("RSV1.SDL", Record(74, 1, 0, 3600, 3));
  ASSERT_TRUE(driver->Start());
  bool openedBeforePrompt = false, outsidePass = false;
  host.onSelectorCheck = [&] {
    openedBeforePrompt = host.opened.size() == 1;
    outsidePass = !driver->InPass();
    Passes(400);  // two minutes: the prompt closes itself after about one
  };
  Pass();
  EXPECT_EQ(host.selectorChecks, 1);
  EXPECT_TRUE(openedBeforePrompt);
  EXPECT_TRUE(outsidePass);
  EXPECT_EQ(host.opened.size(), 1u);
}

// Windows ends the session while a box is up: the schedule shuts down at once,
// and the box's return finds nothing of it to touch.
TEST_F(ScheduleTest, SessionEndUnderABoxShutsDownAndShowsNoFurtherBox) {
  Put("RSV1.SDL", Record(75, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(76, 2, 0, 3600, 5));
  ASSERT_TRUE(driver->Start());
  host.bindError = 10049;
  host.onBindError = [&](int) {
    host.bindError = 10065;
    Pass();  // the second reception starts under the box and asks for a box
    driver->EndSession();
  };
  Pass();
  Pass();
  EXPECT_EQ(host.bindErrors.size(), 1u);
  EXPECT_TRUE(driver->Pending().empty());
  EXPECT_TRUE(Exists("RSV1.SDL"));
  EXPECT_TRUE(Exists("RSV2.SDL"));
}
