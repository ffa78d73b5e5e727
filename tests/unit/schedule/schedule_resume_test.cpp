// What the schedule does for a reception that a restart continues: the window
// is told where its state lies and whose it is, the state is kept when the unit
// ends during the broadcast, and a state no held reservation owns is removed.
#include "tests/unit/schedule/schedule_fixture.h"

#include "unit/reception_state.h"

namespace {

bool MakeState(const std::string& folder) {
  FileSystem& fs = PlatformFiles();
  return fs.MakeFolder(folder) && fs.WriteAll(folder + "\\" + kStateRecordName, "state") &&
         fs.WriteAll(folder + "\\00000.part", "part");
}

}  // namespace

TEST_F(ScheduleTest, WindowIsToldItsStateFolderBesideTheReservationAndWhoseItIs) {
  Put("RSV030521302001000012340002.SDL", Record(4660, 777, 0, 3600));
  ASSERT_TRUE(driver->Start());
  driver->Pass();
  ASSERT_EQ(host.opened.size(), 1u);
  const ReceptionOrder& o = host.opened[0].order;
  EXPECT_EQ(o.stateFolder, schedule + "RSV030521302001000012340002.RCV");
  EXPECT_EQ(o.reservationId, 777u);
  EXPECT_EQ(o.programNumber, 4660);
  EXPECT_EQ(o.subNumber, 1);
  EXPECT_EQ(o.scheduledStart, driver->Pending().front().scheduledStart);
  EXPECT_EQ(o.scheduledEnd, driver->Pending().front().scheduledEnd);
}

TEST_F(ScheduleTest, ExitDuringABroadcastKeepsItsStateAFinishedOneIsCollected) {
  Put("RSV1.SDL", Record(100, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(101, 2, 0, 3600, 4));
  ASSERT_TRUE(driver->Start());
  Passes(3);
  ASSERT_EQ(host.opened.size(), 2u);
  host.opened[1].state->finished = true;
  host.opened[1].state->result = 1;
  Pass();  // to the finished list; collected at the exit
  driver->Shutdown();
  EXPECT_TRUE(host.opened[0].state->kept);
  EXPECT_TRUE(host.opened[0].state->destroyed);
  EXPECT_FALSE(host.opened[1].state->kept);
  EXPECT_EQ(Results().size(), 1u);
}

// The session ends inside a pass (a sent message while something dispatches):
// the state is kept before WM_ENDSESSION returns, since the system may end the
// process before the pass ends.
TEST_F(ScheduleTest, SessionEndInsideAPassKeepsTheStateAtOnce) {
  Put("RSV1.SDL", Record(100, 1, 0, 3600, 3));
  Put("RSV2.SDL", Record(101, 2, 0, 3600, 4));
  ASSERT_TRUE(driver->Start());
  Pass();
  ASSERT_EQ(host.opened.size(), 1u);
  bool keptInside = false;
  host.onOpen = [&] {
    host.onOpen = nullptr;
    driver->EndSession();
    keptInside = host.opened[0].state->kept && !host.opened[0].state->destroyed;
  };
  Pass();
  EXPECT_TRUE(keptInside);
  EXPECT_TRUE(host.opened[0].state->destroyed);  // the shutdown followed the pass
}

TEST_F(ScheduleTest, StateOfNoHeldReservationIsRemovedAtTheScan) {
  Put("RSV1.SDL", Record(100, 1, 0, 3600));       // under way: its state continues
  Put("RSV2.SDL", Record(101, 2, -7200, 3600));   // over while the unit was not running
  ASSERT_TRUE(MakeState(schedule + "RSV1.RCV"));
  ASSERT_TRUE(MakeState(schedule + "RSV2.RCV"));
  ASSERT_TRUE(MakeState(schedule + "RSV3.RCV"));  // its reservation was withdrawn meanwhile
  ASSERT_TRUE(PlatformFiles().WriteAll(schedule + "RSV4.RCV", "a file of that name is no state"));
  ASSERT_TRUE(driver->Start());
  EXPECT_TRUE(Exists("RSV1.RCV\\state.dat"));
  EXPECT_FALSE(Exists("RSV2.RCV"));
  EXPECT_FALSE(Exists("RSV3.RCV"));
  EXPECT_TRUE(Exists("RSV4.RCV"));
  ASSERT_EQ(Results().size(), 1u);
  EXPECT_EQ(Results()[0].status, kResultNotReceived);

  // Withdrawn while it waited for its window: the next scan removes the state.
  PlatformFiles().Remove(schedule + "RSV1.SDL");
  driver->Rescan();
  EXPECT_FALSE(Exists("RSV1.RCV"));
}
