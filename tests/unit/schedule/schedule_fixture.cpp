#include "tests/unit/schedule/schedule_fixture.h"

#include "common/time_text.h"

std::unique_ptr<ReceptionHandle> FakeHost::OpenReception(const ReceptionOrder& order) {
  if (onOpen) onOpen();
  if (failOpen) return nullptr;
  auto state = std::make_shared<FakeReception::State>();
  state->bindError = bindError;
  bindError = 0;
  opened.push_back({order, state});
  return std::make_unique<FakeReception>(state);
}

std::unique_ptr<ScheduleTimeReceiver> FakeHost::OpenTimeReceiver(std::int32_t timeError) {
  auto state = std::make_shared<FakeTimeReceiver::State>();
  state->lastError = timeError;
  timeReceivers.push_back(state);
  return std::make_unique<FakeTimeReceiver>(state);
}

int FakeHost::Count(int id) const {
  int n = 0;
  for (int p : posted) n += p == id;
  return n;
}

void ScheduleTest::SetUp() {
  // "\\" separates everywhere: the native file seam maps it to "/".
  root = temp.Path();
  ASSERT_TRUE(PlatformFiles().MakeFolder(root + "\\sched"));
  ASSERT_TRUE(PlatformFiles().MakeFolder(root + "\\hist"));
  schedule = root + "\\sched\\";
  history = root + "\\hist\\";
  clock.Set(MakeLocalTime(2026, 12, 7, 20, 0, 0));
  store = CreateMemorySettings();
  settings = std::make_unique<PlannerSettings>(*store);
  settings->SetText("Schedule", "DataPath", root + "\\sched");
  settings->SetText("temp", "DataPath", root + "\\hist");
  driver = std::make_unique<ScheduleDriver>(*settings, PlatformFiles(), clock, host);
}

void ScheduleTest::TearDown() {
  driver.reset();
}

ReservationRecord ScheduleTest::Record(std::int32_t program, std::uint32_t id, Time32 startIn, Time32 length,
                                       std::uint16_t sid) const {
  ReservationRecord r;
  r.reservationId = id;
  r.sid = sid;
  r.port = 5000;
  r.programNumber = program;
  r.subNumber = 1;
  r.address = sid ? "239.1.2.3" : "Dummy";
  // Schedules are whole minutes: round the start down to its minute.
  Time32 start = clock.Now() + startIn;
  start -= BreakLocalTime(start).second;
  SetSchedule(&r, start, start + length);
  r.name = "Program " + std::to_string(program);
  r.totalKbyte = 10;
  r.storageFolder = root + "\\data";
  r.channelName = "Channel";
  return r;
}

std::string ScheduleTest::Put(const std::string& name, const ReservationRecord& r, Time32 lastWrite) {
  return PutRaw(name, EncodeReservation(r), lastWrite);
}

std::string ScheduleTest::PutRaw(const std::string& name, const std::string& bytes, Time32 lastWrite) {
  const std::string path = schedule + name;
  EXPECT_TRUE(PlatformFiles().WriteAll(path, bytes));
  if (lastWrite) {
    EXPECT_TRUE(PlatformFiles().SetLastWriteTime(path, lastWrite));
  }
  return path;
}

bool ScheduleTest::Exists(const std::string& name) const { return PlatformFiles().Exists(schedule + name); }

std::vector<ReceptionResult> ScheduleTest::Results() const {
  std::vector<ReceptionResult> out;
  for (const FoundFile& f : PlatformFiles().Find(history + "INFO*.RSV")) {
    std::string data;
    EXPECT_TRUE(PlatformFiles().ReadAll(history + f.name, &data));
    ReceptionResult r;
    EXPECT_TRUE(DecodeResult(data, &r)) << f.name;
    out.push_back(r);
  }
  return out;
}

void ScheduleTest::BreakHistory() {
  ASSERT_TRUE(ClearFolder(PlatformFiles(), root + "\\hist") && PlatformFiles().RemoveFolder(root + "\\hist"));
  ASSERT_TRUE(PlatformFiles().WriteAll(root + "\\hist", "not a folder"));
}

void ScheduleTest::RepairHistory() {
  ASSERT_TRUE(PlatformFiles().Remove(root + "\\hist"));
  ASSERT_TRUE(PlatformFiles().MakeFolder(root + "\\hist"));
}
