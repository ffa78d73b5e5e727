// Scanning the schedule folder: missed broadcasts, supersession, deletion
// requests, duplicates and files the unit must leave alone.
#include "tests/unit/schedule/schedule_fixture.h"

#include "common/text.h"

TEST_F(ScheduleTest, MissedReservationLeavesOneNotReceivedResultAndRaisesLossRequest) {
  settings->SetInt("Environment", "LossRequest", 2);
  Put("RSV1.SDL", Record(77, 1, -7200, 1800));
  ASSERT_TRUE(driver->Start());

  EXPECT_FALSE(Exists("RSV1.SDL"));
  EXPECT_TRUE(driver->Pending().empty());
  auto results = Results();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].status, kResultNotReceived);
  EXPECT_EQ(results[0].programNumber, 77);
  EXPECT_EQ(results[0].receivedFrom, clock.Now());
  EXPECT_EQ(results[0].port, 5000);
  EXPECT_EQ(settings->Int("Environment", "LossRequest", 0), 3);
}

TEST_F(ScheduleTest, MissedStreamProgramRecordsPortZeroAndStreamAddress) {
  Put("RSV1.SDL", Record(78, 1, -7200, 1800, 0));
  ASSERT_TRUE(driver->Start());
  auto results = Results();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].status, kResultNotReceived);
  EXPECT_EQ(results[0].port, 0);
  EXPECT_EQ(results[0].address, J(u8"ストリーム"));
}

TEST_F(ScheduleTest, NewerLastWriteTimeWinsBetweenTwoFilesOfOneBroadcast) {
  const Time32 t = clock.Now() - 100;
  struct Case { Time32 timeA, timeB; const char* stays; const char* goes; };
  for (const Case& c : {Case{t, t + 60, "RSV_B.SDL", "RSV_A.SDL"}, Case{t + 60, t, "RSV_A.SDL", "RSV_B.SDL"}}) {
    SCOPED_TRACE(c.stays);
    driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
    Put("RSV_A.SDL", Record(10, 111, 3600), c.timeA);
    Put("RSV_B.SDL", Record(10, 222, 3600), c.timeB);
    ASSERT_TRUE(driver->Start());
    EXPECT_TRUE(Exists(c.stays));
    EXPECT_FALSE(Exists(c.goes));
    ASSERT_EQ(driver->Pending().size(), 1u);
    EXPECT_EQ(driver->Pending().front().filePath, schedule + c.stays);
    PlatformFiles().Remove(schedule + c.stays);
  }
}

TEST_F(ScheduleTest, SameReservationUnderTwoNamesWithEqualTimesKeepsOneFile) {
  const Time32 t = clock.Now() - 100;
  Put("RSV_A.SDL", Record(10, 111, 3600), t);
  Put("RSV_B.SDL", Record(10, 111, 3600), t);
  ASSERT_TRUE(driver->Start());
  ASSERT_EQ(driver->Pending().size(), 1u);
  EXPECT_NE(Exists("RSV_A.SDL"), Exists("RSV_B.SDL"));
  EXPECT_TRUE(PlatformFiles().Exists(driver->Pending().front().filePath));
}

TEST_F(ScheduleTest, NewerFileOfSameReservationSupersedesOnRescan) {
  const Time32 t = clock.Now() - 100;
  Put("RSV_A.SDL", Record(10, 111, 3600), t);
  ASSERT_TRUE(driver->Start());
  auto newer = Record(10, 111, 3600);
  newer.storageFolder = root + "\\elsewhere";
  Put("RSV_B.SDL", newer, t + 10);
  driver->Rescan();
  ASSERT_EQ(driver->Pending().size(), 1u);
  EXPECT_EQ(driver->Pending().front().record.storageFolder, root + "\\elsewhere");
  EXPECT_FALSE(Exists("RSV_A.SDL"));
}

TEST_F(ScheduleTest, DeletionRequestWithdrawsOnlyTheMatchingReservation) {
  struct Case { std::uint32_t requestId; bool withdrawn; };
  for (const Case& c : {Case{555, true}, Case{556, false}}) {
    SCOPED_TRACE(c.requestId);
    driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
    Put("RSV1.SDL", Record(20, 555, 3600));
    ASSERT_TRUE(driver->Start());
    ASSERT_EQ(driver->Pending().size(), 1u);
    Put("HOST000001.SDD", Record(20, c.requestId, 3600));
    driver->Rescan();
    EXPECT_EQ(driver->Pending().empty(), c.withdrawn);
    EXPECT_EQ(Exists("RSV1.SDL"), !c.withdrawn);
    EXPECT_FALSE(Exists("HOST000001.SDD"));
    PlatformFiles().Remove(schedule + "RSV1.SDL");
  }
}

TEST_F(ScheduleTest, DeletionRequestWithWrongMagicIsDeletedWithoutEffect) {
  Put("RSV1.SDL", Record(20, 555, 3600));
  auto bytes = EncodeReservation(Record(20, 555, 3600));
  bytes[0] = 'X';
  PutRaw("HOST000002.SDD", bytes);
  ASSERT_TRUE(driver->Start());
  EXPECT_EQ(driver->Pending().size(), 1u);
  EXPECT_FALSE(Exists("HOST000002.SDD"));
}

TEST_F(ScheduleTest, FilesTheUnitCannotTrustStayInPlace) {
  auto wrongMagic = EncodeReservation(Record(30, 1, -7200));  // over, but not ours
  wrongMagic.replace(0, 4, "Xcfi");
  PutRaw("RSV_MAGIC.SDL", wrongMagic);
  // A record still being written by the planner: only its first bytes are there.
  PutRaw("RSV_SHORT.SDL", EncodeReservation(Record(31, 2, -7200)).substr(0, 100));
  PutRaw("HOST000003.SDD", EncodeReservation(Record(31, 2, -7200)).substr(0, 100));
  ASSERT_TRUE(driver->Start());
  driver->Rescan();
  EXPECT_TRUE(Exists("RSV_MAGIC.SDL"));
  EXPECT_TRUE(Exists("RSV_SHORT.SDL"));
  EXPECT_TRUE(Exists("HOST000003.SDD"));
  EXPECT_TRUE(driver->Pending().empty());
  EXPECT_TRUE(Results().empty());
}

TEST_F(ScheduleTest, PendingListIsOrderedByStartThenEndThenArrival) {
  const Time32 t = clock.Now() - 100;
  Put("RSV1.SDL", Record(1, 1, 7200, 1800), t);
  Put("RSV2.SDL", Record(2, 2, 3600, 3600), t);
  Put("RSV3.SDL", Record(3, 3, 3600, 1800), t);
  Put("RSV4.SDL", Record(4, 4, 3600, 1800), t);
  ASSERT_TRUE(driver->Start());
  std::vector<int> order;
  for (const auto& r : driver->Pending()) order.push_back(r.record.programNumber);
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[2], 2);
  EXPECT_EQ(order[3], 1);
  EXPECT_TRUE((order[0] == 3 && order[1] == 4) || (order[0] == 4 && order[1] == 3));
}

TEST_F(ScheduleTest, EmptyScheduleFolderMeansNoScan) {
  settings->SetText("Schedule", "DataPath", "");
  Put("RSV1.SDL", Record(40, 1, -7200));
  EXPECT_FALSE(driver->Start());
  driver->Rescan();
  EXPECT_TRUE(Exists("RSV1.SDL"));
  EXPECT_TRUE(Results().empty());
}

TEST_F(ScheduleTest, ScanUsesCalibratedTime) {
  // The PC clock is an hour behind: a broadcast that looks an hour away is over.
  settings->SetInt("Environment", "TimeError", 7200);
  Put("RSV1.SDL", Record(41, 1, 3600, 1800));
  ASSERT_TRUE(driver->Start());
  EXPECT_FALSE(Exists("RSV1.SDL"));
  ASSERT_EQ(Results().size(), 1u);
}

TEST_F(ScheduleTest, MissingHistoryFolderFallsBackToDefault) {
  settings->SetText("temp", "DataPath", "");
  host.defaultHistory = root + "\\fallback";
  Put("RSV1.SDL", Record(42, 1, -7200));
  ASSERT_TRUE(driver->Start());
  EXPECT_EQ(driver->HistoryFolder(), root + "\\fallback\\");
  EXPECT_EQ(PlatformFiles().Find(root + "\\fallback\\INFO*.RSV").size(), 1u);
}

TEST_F(ScheduleTest, EntryWhoseFileVanishedIsDroppedAtTheNextScan) {
  Put("RSV1.SDL", Record(43, 1, 3600));
  Put("RSV2.SDL", Record(44, 2, 3600));
  ASSERT_TRUE(driver->Start());
  ASSERT_EQ(driver->Pending().size(), 2u);
  PlatformFiles().Remove(schedule + "RSV1.SDL");
  driver->Rescan();
  ASSERT_EQ(driver->Pending().size(), 1u);
  EXPECT_EQ(driver->Pending().front().record.programNumber, 44);
  EXPECT_TRUE(Results().empty());
}

TEST_F(ScheduleTest, NewReservationUnderTheNameOfADroppedOneKeepsItsFile) {
  struct Case { const char* how; bool deletionRequest; };
  for (const Case& c : {Case{"cancelled and reserved again", true}, Case{"overwritten with a new id", false}}) {
    SCOPED_TRACE(c.how);
    driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
    const Time32 t = clock.Now() - 100;
    Put("RSV1.SDL", Record(10, 111, 3600), t);
    ASSERT_TRUE(driver->Start());
    // Between two scans the planner writes the new reservation under the same name.
    Put("RSV1.SDL", Record(10, 222, 3600), t + 10);
    if (c.deletionRequest) Put("HOST000001.SDD", Record(10, 111, 3600));
    driver->Rescan();
    driver->Rescan();
    EXPECT_TRUE(Exists("RSV1.SDL"));
    ASSERT_EQ(driver->Pending().size(), 1u);
    EXPECT_NE(driver->FindPending(222), nullptr);
    PlatformFiles().Remove(schedule + "RSV1.SDL");
  }
}

TEST_F(ScheduleTest, DroppedReservationStillInItsFileIsDeleted) {
  Put("RSV1.SDL", Record(10, 111, 3600));
  ASSERT_TRUE(driver->Start());
  Put("HOST000001.SDD", Record(10, 111, 3600));
  driver->Rescan();
  EXPECT_FALSE(Exists("RSV1.SDL"));
  EXPECT_TRUE(driver->Pending().empty());
}

TEST_F(ScheduleTest, UnreachableScheduleFolderKeepsThePendingList) {
  Put("RSV1.SDL", Record(10, 111, 3600));
  ASSERT_TRUE(driver->Start());
  ASSERT_TRUE(PlatformFiles().Rename(root + "\\sched", root + "\\away"));
  driver->Rescan();
  EXPECT_EQ(driver->Pending().size(), 1u);
  ASSERT_TRUE(PlatformFiles().Rename(root + "\\away", root + "\\sched"));
  driver->Rescan();
  EXPECT_EQ(driver->Pending().size(), 1u);
  EXPECT_TRUE(Exists("RSV1.SDL"));
}

TEST_F(ScheduleTest, MissedResultThatCannotBeWrittenKeepsItsFileForTheNextScan) {
  ASSERT_TRUE(driver->Start());
  BreakHistory();
  Put("RSV1.SDL", Record(77, 1, -7200, 1800));
  driver->Rescan();
  EXPECT_TRUE(Exists("RSV1.SDL"));
  EXPECT_EQ(settings->Int("Environment", "LossRequest", 0), 0);
  RepairHistory();
  driver->Rescan();
  EXPECT_FALSE(Exists("RSV1.SDL"));
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultNotReceived);
  EXPECT_EQ(settings->Int("Environment", "LossRequest", 0), 1);
}
