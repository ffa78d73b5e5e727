// The 300 ms pass: opening windows ahead of time, one sid per pass, collecting,
// the idle exit, the planner notice and shutdown.
#include <algorithm>
#include "tests/unit/schedule/schedule_fixture.h"

#include "common/text.h"
#include "tests/support/failing_files.h"

TEST_F(ScheduleTest, PrepareTimeOpensWindowOnTheNextPassOnlyWhenDue) {
  settings->SetInt("Environment", "Prepare Time", 10);
  struct Case { Time32 startIn; bool opens; };
  for (const Case& c : {Case{5, true}, Case{15, false}, Case{-1800, true}}) {
    SCOPED_TRACE(c.startIn);
    host.opened.clear();
    driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
    // Schedules are whole minutes: the start falls on 21:00 exactly.
    clock.Set(MakeLocalTime(2026, 12, 7, 21, 0, 0) - (c.startIn > 0 ? c.startIn : 0));
    Put("RSV1.SDL", Record(50, 1, c.startIn, 3600));
    ASSERT_TRUE(driver->Start());
    driver->Pass();
    EXPECT_EQ(host.opened.size(), c.opens ? 1u : 0u);
    driver.reset();
    PlatformFiles().Remove(schedule + "RSV1.SDL");
  }
}

TEST_F(ScheduleTest, WindowGetsTheReservationsOrder) {
  settings->SetInt("Environment", "Timeout", 77);
  settings->SetInt("Environment", J(u8"受信メッセージ位置"), 4);
  settings->SetInt("Environment", J(u8"受信状況表示"), 0);
  auto rec = Record(51, 1, 0, 3600);
  rec.clearFolder = 1;
  Put("RSV1.SDL", rec);
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  ASSERT_EQ(host.opened.size(), 1u);
  const ReceptionOrder& o = host.opened[0].order;
  EXPECT_EQ(o.sid, 3);
  EXPECT_EQ(o.port, 5000);
  EXPECT_EQ(o.address, "239.1.2.3");
  EXPECT_EQ(o.totalBytes, 10 * 1024);
  EXPECT_TRUE(o.clearFolder);
  EXPECT_EQ(o.timeout, 77);
  EXPECT_EQ(o.messagePosition, 4);
  EXPECT_FALSE(o.visible);
  EXPECT_EQ(o.scheduledEnd, rec.ScheduledEnd());
  EXPECT_EQ(host.selectorChecks, 1);
  EXPECT_EQ(host.timeReceivers.size(), 1u);
}

TEST_F(ScheduleTest, ReservationsOnTwoSidsDueInOnePassStartOnePassApart) {
  auto a = Record(60, 1, 0, 3600, 3);
  auto b = Record(61, 2, 0, 3660, 5);
  auto c = Record(62, 3, 0, 3720, 3);  // same sid as the first: starts with it
  Put("RSV_A.SDL", a);
  Put("RSV_B.SDL", b);
  Put("RSV_C.SDL", c);
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  ASSERT_EQ(host.opened.size(), 2u);
  EXPECT_EQ(host.opened[0].order.sid, 3);
  EXPECT_EQ(host.opened[1].order.sid, 3);
  driver->Pass();
  ASSERT_EQ(host.opened.size(), 3u);
  EXPECT_EQ(host.opened[2].order.sid, 5);
}

TEST_F(ScheduleTest, IdleExitIsPostedAfter3000EmptyPasses) {
  ASSERT_TRUE(driver->Start());
  Passes(3000);
  EXPECT_EQ(host.Count(1), 0);
  Pass();
  EXPECT_EQ(host.Count(1), 1);
}

TEST_F(ScheduleTest, PendingReservationPreventsIdleExit) {
  Put("RSV1.SDL", Record(70, 1, 86400));
  ASSERT_TRUE(driver->Start());
  Passes(3100);
  EXPECT_EQ(host.Count(1), 0);
  EXPECT_EQ(host.Count(1004), 3);  // a rescan every 1000 passes
}

TEST_F(ScheduleTest, FinishedStreamProgramWithoutAutorunIsCollectedWhenNothingReceives) {
  Put("RSV_S.SDL", Record(80, 1, 0, 3600, 0));
  Put("RSV_F.SDL", Record(81, 2, 0, 7200, 3));
  ASSERT_TRUE(driver->Start());
  driver->Pass();  // both start (the stream program keeps the pass's sid at 0)
  ASSERT_EQ(host.opened.size(), 2u);
  auto stream = host.opened[0].state;
  auto file = host.opened[1].state;
  stream->finished = true;
  driver->Pass();  // moves to finished; the file program still receives
  EXPECT_EQ(driver->FinishedList().size(), 1u);
  driver->Pass();
  EXPECT_TRUE(Results().empty());
  file->finished = true;
  file->result = 1;
  driver->Pass();  // the file program is finished too and moves to finished
  EXPECT_EQ(driver->FinishedList().size(), 2u);
  driver->Pass();  // nothing receives: both are collected
  EXPECT_TRUE(driver->FinishedList().empty());
  auto results = Results();
  ASSERT_EQ(results.size(), 2u);
  for (const auto& r : results) EXPECT_EQ(r.status, kResultSuccess);
  EXPECT_TRUE(stream->destroyed);
  EXPECT_TRUE(host.autoruns.empty());
  EXPECT_FALSE(Exists("RSV_S.SDL"));
  EXPECT_FALSE(Exists("RSV_F.SDL"));
}

TEST_F(ScheduleTest, FinishedStreamProgramWithAutorunIsOpenedAtOnceWhateverAutoRunSays) {
  settings->SetInt("Environment", "AutoRun", 0);
  auto rec = Record(82, 1, 0, 3600, 0);
  rec.autorun = "play.exe /x";
  Put("RSV_S.SDL", rec);
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  host.opened[0].state->finished = true;
  driver->Pass();
  ASSERT_EQ(host.autoruns.size(), 1u);
  EXPECT_EQ(host.autoruns[0].first, "play.exe /x");
  EXPECT_EQ(Results().size(), 1u);
}

TEST_F(ScheduleTest, CompletedReceptionIsWrittenPlacedAndAnnounced) {
  settings->SetInt("Environment", "AutoRun", 1);
  settings->SetInt("Environment", "Info count", 65535);
  auto rec = Record(90, 9, 0, 3600);
  rec.autorun = "setup.exe /s";
  Put("RSV1.SDL", rec);
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  auto state = host.opened[0].state;
  state->finished = true;
  state->result = 1;
  const int noticesBefore = host.notices;
  driver->Pass();  // to finished; nothing else runs
  driver->Pass();  // collected
  EXPECT_GT(host.notices, noticesBefore);
  EXPECT_EQ(state->placed, 1);
  EXPECT_TRUE(state->destroyed);
  EXPECT_FALSE(Exists("RSV1.SDL"));
  EXPECT_TRUE(driver->Pending().empty());
  ASSERT_EQ(host.removedRows.size(), 1u);
  ASSERT_EQ(host.autoruns.size(), 1u);
  EXPECT_EQ(host.autoruns[0].second, root + "\\data");
  std::string data;
  ASSERT_TRUE(PlatformFiles().ReadAll(history + "INFO65535.RSV", &data));
  ReceptionResult r;
  ASSERT_TRUE(DecodeResult(data, &r));
  EXPECT_EQ(r.status, kResultSuccess);
  EXPECT_EQ(r.programNumber, 90);
  EXPECT_EQ(r.receivedFrom, 1000);
  EXPECT_EQ(r.receivedUntil, 2000);
  EXPECT_EQ(r.scheduledStart, rec.ScheduledStart());
  EXPECT_EQ(r.address, "239.1.2.3");
  driver->Shutdown();
  EXPECT_EQ(settings->Int("Environment", "Info count", -1), 0);  // wrapped
}

TEST_F(ScheduleTest, CloseRequestCollectsWhileAnotherReceptionRuns) {
  Put("RSV1.SDL", Record(91, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(92, 2, 0, 3660, 3));
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  ASSERT_EQ(host.opened.size(), 2u);
  host.opened[0].state->finished = true;
  driver->Pass();
  EXPECT_TRUE(Results().empty());
  host.opened[0].state->closeRequested = true;
  driver->Pass();
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultFailed);
}

TEST_F(ScheduleTest, ReceptionThatIsOverWhileReceivingGetsNoMissedResult) {
  Put("RSV1.SDL", Record(93, 1, 0, 60));
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  ASSERT_EQ(host.opened.size(), 1u);
  clock.Advance(600 * 1000);
  driver->Rescan();
  EXPECT_TRUE(Exists("RSV1.SDL"));
  EXPECT_TRUE(Results().empty());
  EXPECT_FALSE(host.opened[0].state->destroyed);
  host.opened[0].state->finished = true;
  driver->Pass();
  driver->Pass();
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultFailed);
}

TEST_F(ScheduleTest, WindowThatCannotOpenEndsAsFailedReception) {
  host.failOpen = true;
  Put("RSV1.SDL", Record(94, 1, 0, 3600));
  ASSERT_TRUE(driver->Start());
  Passes(3);
  EXPECT_TRUE(driver->Pending().empty());
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultFailed);
}

TEST_F(ScheduleTest, PendingBroadcastThatIsOverIsNeverStartedAndBecomesMissed) {
  Put("RSV1.SDL", Record(95, 1, 600, 60));
  ASSERT_TRUE(driver->Start());
  clock.Advance(3600 * 1000);
  driver->Pass();
  EXPECT_TRUE(host.opened.empty());
  driver->Rescan();
  EXPECT_TRUE(driver->Pending().empty());
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultNotReceived);
}

TEST_F(ScheduleTest, TimeReceiverIsDiscardedWhenDoneAndAnnouncesItsChange) {
  ASSERT_TRUE(driver->Start());
  driver->StartTimeReceiver();
  driver->StartTimeReceiver();  // a second command changes nothing
  ASSERT_EQ(host.timeReceivers.size(), 1u);
  EXPECT_EQ(host.selectorChecks, 1);
  auto t = host.timeReceivers[0];
  driver->Pass();
  EXPECT_EQ(host.notices, 0);
  t->changed = true;
  t->lastError = 3601;
  t->done = true;
  driver->Pass();
  EXPECT_TRUE(t->destroyed);
  EXPECT_EQ(driver->TimeError(), 3601);
  EXPECT_EQ(host.notices, 1);
}

TEST_F(ScheduleTest, SelectorCheckRunsOnPass34WhenReservationsWait) {
  Put("RSV1.SDL", Record(96, 1, 86400));
  ASSERT_TRUE(driver->Start());
  Passes(33);
  EXPECT_EQ(host.selectorChecks, 0);
  Pass();
  EXPECT_EQ(host.selectorChecks, 1);
  Passes(100);
  EXPECT_EQ(host.selectorChecks, 1);
}

TEST_F(ScheduleTest, RescanDuringAPassWaitsForItsEnd) {
  Put("RSV1.SDL", Record(97, 1, 0, 3600));
  Put("RSV2.SDL", Record(98, 2, 0, 3660, 5));
  ASSERT_TRUE(driver->Start());
  // Something inside the pass dispatches messages, among them the planner's rescan.
  host.onOpen = [this] {
    Put("HOST000009.SDD", Record(98, 2, 0, 3660, 5));
    driver->Rescan();
    driver->Pass();  // a nested tick does nothing
  };
  driver->Pass();
  EXPECT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(driver->Pending().size(), 1u);
  EXPECT_FALSE(Exists("HOST000009.SDD"));
}

TEST_F(ScheduleTest, ShutdownKeepsPendingFilesAndWritesFinishedOnes) {
  Put("RSV1.SDL", Record(99, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(100, 2, 0, 3660, 3));
  Put("RSV3.SDL", Record(101, 3, 86400));
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  host.opened[0].state->finished = true;
  driver->Pass();
  ASSERT_EQ(driver->FinishedList().size(), 1u);
  driver->Shutdown();
  EXPECT_TRUE(Exists("RSV2.SDL"));
  EXPECT_TRUE(Exists("RSV3.SDL"));
  EXPECT_FALSE(Exists("RSV1.SDL"));
  EXPECT_EQ(Results().size(), 1u);
  EXPECT_TRUE(host.opened[1].state->destroyed);
  EXPECT_EQ(host.opened[1].state->placed, 0);
  EXPECT_TRUE(host.autoruns.empty());
  EXPECT_EQ(settings->Int("Environment", "Info count", -1), 1);
}

TEST_F(ScheduleTest, CollectedResultThatCannotBeWrittenIsRetriedAndKeepsTheFileMeanwhile) {
  FinishWithHistoryBroken("RSV1.SDL", Record(95, 1, 0, 3600), 1);
  Passes(2);
  EXPECT_TRUE(Exists("RSV1.SDL"));
  EXPECT_EQ(host.opened[0].state->placed, 1);  // the files are in place all the same
  driver->Rescan();
  EXPECT_TRUE(driver->Pending().empty());  // not taken for a new reservation
  Passes(30);
  EXPECT_EQ(host.opened.size(), 1u);
  RepairHistory();
  Passes(30);
  EXPECT_FALSE(Exists("RSV1.SDL"));
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultSuccess);
  EXPECT_EQ(host.removedRows.size(), 1u);
}

TEST_F(ScheduleTest, ResultRetriesAreBoundedAndShutdownTriesOnceMore) {
  FinishWithHistoryBroken("RSV1.SDL", Record(96, 1, 0, 3600), 0);
  Passes(ScheduleDriver::kResultRetryPasses * (ScheduleDriver::kResultAttempts + 5));
  EXPECT_EQ(driver->UnwrittenResults(), 1u);
  RepairHistory();
  Passes(ScheduleDriver::kResultRetryPasses * 2);
  EXPECT_TRUE(Results().empty());  // given up until something changes
  driver->Shutdown();
  EXPECT_EQ(Results().size(), 1u);
  EXPECT_FALSE(Exists("RSV1.SDL"));
}

TEST_F(ScheduleTest, ResultTimesAreTheOnesTheScheduleRanOn) {
  auto rec = Record(97, 1, 0, 3600);
  rec.durationText = "9999";  // 99 h 99 min: no four digits say that end again
  Put("RSV1.SDL", rec);
  ASSERT_TRUE(driver->Start());
  Pass();
  ASSERT_EQ(host.opened.size(), 1u);
  host.opened[0].state->finished = true;
  Passes(2);
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].scheduledStart, rec.ScheduledStart());
  EXPECT_EQ(Results()[0].scheduledEnd, rec.ScheduledStart() + 99 * 3600 + 99 * 60);
}

TEST_F(ScheduleTest, ResultOnAFullDiskWaitsForRoomAndIsWrittenOnce) {
  FailingFiles disk(PlatformFiles());
  driver = std::make_unique<ScheduleDriver>(*settings, disk, clock, host);
  Put("RSV1.SDL", Record(98, 1, 0, 3600));
  ASSERT_TRUE(driver->Start());
  Pass();
  host.opened[0].state->finished = true;
  host.opened[0].state->result = 1;
  disk.spaceLeft = 0;
  Passes(2 + ScheduleDriver::kResultRetryPasses * 3);
  EXPECT_TRUE(Exists("RSV1.SDL"));
  EXPECT_TRUE(Results().empty());
  disk.spaceLeft = -1;
  Passes(ScheduleDriver::kResultRetryPasses + 1);
  EXPECT_FALSE(Exists("RSV1.SDL"));
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultSuccess);
}

// The record tells what the user finds: a reception whose files could not all
// be put at their names is no success, and the record follows the placement.
TEST_F(ScheduleTest, ResultIsSuccessOnlyWhenEveryFileIsPlacedAndIsWrittenAfterPlacement) {
  struct Case { bool placeOk; std::int32_t status; };
  ASSERT_TRUE(driver->Start());
  std::int32_t program = 93;
  for (const Case& c : {Case{true, kResultSuccess}, Case{false, kResultFailed}}) {
    SCOPED_TRACE(c.placeOk);
    Put("RSV" + std::to_string(program) + ".SDL", Record(program, static_cast<std::uint32_t>(program), 0, 3600));
    driver->Rescan();
    const std::size_t before = Results().size();
    auto withStatus = [&] {
      auto all = Results();
      return std::count_if(all.begin(), all.end(), [&](const ReceptionResult& r) { return r.status == c.status; });
    };
    const auto sameBefore = withStatus();
    driver->Pass();
    auto state = host.opened.back().state;
    state->finished = true;
    state->result = 1;
    state->placeOk = c.placeOk;
    std::size_t recordsAtPlacement = 99;
    state->onPlace = [&] { recordsAtPlacement = Results().size(); };
    driver->Pass();
    driver->Pass();
    EXPECT_EQ(recordsAtPlacement, before);
    ASSERT_EQ(Results().size(), before + 1);
    EXPECT_EQ(withStatus(), sameBefore + 1);
    ++program;
  }
}
