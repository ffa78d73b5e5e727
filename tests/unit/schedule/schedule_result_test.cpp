// Results that outlive the run that could not write them, and reservation files
// of receptions already recorded.
#include "tests/unit/schedule/schedule_fixture.h"

#include "tests/support/failing_files.h"

namespace {

std::vector<std::string> Names(const std::string& pattern) {
  std::vector<std::string> names;
  for (const FoundFile& f : PlatformFiles().Find(pattern)) names.push_back(f.name);
  return names;
}

}  // namespace

// The history folder is gone at exit: the next start writes the success that
// was pending, not a missed result, and asks the planner for no loss report.
TEST_F(ScheduleTest, ResultNotWrittenAtExitIsWrittenByTheNextStart) {
  FinishWithHistoryBroken("RSV030521302001000012340002.SDL", Record(110, 1, 0, 1800), 1);
  Passes(3);
  driver->Shutdown();
  driver.reset();
  EXPECT_TRUE(Exists("RSV030521302001000012340002.SDL"));
  EXPECT_EQ(Names(schedule + "*.RVP"), (std::vector<std::string>{"RSV030521302001000012340002.RVP"}));

  RepairHistory();
  clock.Advance(3600 * 1000);  // the broadcast is over by the next start
  host = FakeHost();
  driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
  ASSERT_TRUE(driver->Start());
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultSuccess);
  EXPECT_EQ(Results()[0].programNumber, 110);
  EXPECT_EQ(Results()[0].receivedFrom, 1000);
  EXPECT_EQ(settings->Int("Environment", "LossRequest", 0), 0);
  EXPECT_FALSE(Exists("RSV030521302001000012340002.SDL"));
  EXPECT_TRUE(Names(schedule + "*.RVP").empty());
  Passes(3);
  EXPECT_EQ(Results().size(), 1u);
}

TEST_F(ScheduleTest, PendingResultStillUnwritableAtTheNextStartKeepsWaiting) {
  FinishWithHistoryBroken("RSV1.SDL", Record(111, 1, 0, 1800), 0);
  Passes(3);
  driver->Shutdown();
  driver.reset();
  clock.Advance(3600 * 1000);
  host = FakeHost();
  driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
  ASSERT_TRUE(driver->Start());
  EXPECT_TRUE(driver->Pending().empty());
  EXPECT_EQ(driver->UnwrittenResults(), 1u);
  RepairHistory();
  Passes(ScheduleDriver::kResultRetryPasses + 1);
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultFailed);
  EXPECT_FALSE(Exists("RSV1.SDL"));
  EXPECT_EQ(settings->Int("Environment", "LossRequest", 0), 0);
}

// A pending result that is not whole is not trusted: it goes (with a debug
// line) and the reservation is judged by its file alone.
TEST_F(ScheduleTest, DamagedPendingResultIsRemoved) {
  const Time32 longAgo = -7200;
  Put("RSV1.SDL", Record(112, 1, longAgo, 1800));
  PutRaw("RSV1.RVP", std::string(300, 'x'));
  PutRaw("RSV2.RVP", std::string(kResultRecordSize + kReservationRecordSize, 'x'));
  ASSERT_TRUE(driver->Start());
  EXPECT_TRUE(Names(schedule + "*.RVP").empty());
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultNotReceived);
}

// The planner has the file open when the result is written, so it cannot be
// deleted then: a later scan removes it and records nothing more.
TEST_F(ScheduleTest, CollectedReservationWhoseFileStayedGetsNoMissedRecord) {
  FailingFiles files(PlatformFiles());
  driver = std::make_unique<ScheduleDriver>(*settings, files, clock, host);
  Put("RSV1.SDL", Record(113, 1, 0, 1800));
  ASSERT_TRUE(driver->Start());
  Pass();
  host.opened[0].state->finished = true;
  host.opened[0].state->result = 1;
  files.failRemove = true;
  Passes(3);
  files.failRemove = false;
  ASSERT_EQ(Results().size(), 1u);
  ASSERT_TRUE(Exists("RSV1.SDL"));
  clock.Advance(3600 * 1000);
  driver->Rescan();
  EXPECT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultSuccess);
  EXPECT_FALSE(Exists("RSV1.SDL"));
  EXPECT_EQ(settings->Int("Environment", "LossRequest", 0), 0);
}

// Touching the file (same name, same reservation, a newer time) keeps it and
// its reservation; a reception of it goes on.
TEST_F(ScheduleTest, ReservationFileTouchedInPlaceStays) {
  for (Time32 startIn : {3600, 0}) {
    SCOPED_TRACE(startIn);
    host = FakeHost();
    driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
    const ReservationRecord r = Record(114, 1, startIn, 1800);
    Put("RSV1.SDL", r, clock.Now() - 100);
    ASSERT_TRUE(driver->Start());
    Pass();
    Put("RSV1.SDL", r, clock.Now() - 10);
    driver->Rescan();
    EXPECT_TRUE(Exists("RSV1.SDL"));
    ASSERT_EQ(driver->Pending().size(), 1u);
    if (startIn == 0) {
      ASSERT_EQ(host.opened.size(), 1u);
      EXPECT_FALSE(host.opened[0].state->destroyed);
      EXPECT_TRUE(driver->Pending().front().window != nullptr);
    }
    Pass();
    EXPECT_EQ(host.opened.size(), startIn == 0 ? 1u : 0u);
    driver->Shutdown();
    PlatformFiles().Remove(schedule + "RSV1.SDL");
  }
}
