// Result records, placement and the autorun split.
#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/reservation_file.h"
#include "common/text.h"
#include "tests/support/failing_files.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/reception.h"
#include "unit/result_writer.h"
#include "unit/schedule_reservation.h"

using namespace enginetest;

namespace {

ReservationRecord SampleReservation(std::uint16_t sid) {
  ReservationRecord r;
  r.sid = sid;
  r.port = 6000;
  r.programNumber = 1234;
  r.subNumber = 5;
  r.address = "239.10.20.30";
  r.name = J(u8"天気予報");
  r.storageFolder = "C:\\Data\\Prog";
  r.autorun = "setup.exe /s";
  r.speed = 64;
  r.channelName = J(u8"第1チャンネル");
  SetSchedule(&r, MakeLocalTime(2026, 12, 7, 21, 0), MakeLocalTime(2026, 12, 7, 21, 30));
  return r;
}

ReceptionResult Collected(std::uint16_t sid, std::int32_t status, Time32 from, Time32 until) {
  return ResultOf(Reservation(SampleReservation(sid), 0, "RSV1.SDL"), status, from, until);
}

ReceptionResult ReadRecord(const TempFolder& f, const std::string& name) {
  ReceptionResult r;
  EXPECT_TRUE(DecodeResult(f.Read(name), &r)) << name;
  return r;
}

}  // namespace

TEST(ResultWriter, CounterGivesTheNameAndWrapsAfter65535) {
  TempFolder history;
  ResultWriter w(PlatformFiles(), history.Path(), 65535);
  std::string path;
  ASSERT_TRUE(w.Write(Collected(3, 1, 10, 20), &path));
  EXPECT_EQ(path, history / "INFO65535.RSV");
  EXPECT_EQ(w.Counter(), 0u);
  ASSERT_TRUE(w.Write(Collected(3, 0, 10, 20), &path));
  EXPECT_EQ(path, history / "INFO00000.RSV");
  EXPECT_EQ(history.Read("INFO65535.RSV").size(), kResultRecordSize);
}

TEST(ResultWriter, ExistingNamesAreSkippedAndNeverOverwritten) {
  TempFolder history;
  PlatformFiles().WriteAll(history / "INFO00007.RSV", "keep");
  PlatformFiles().MakeFolder(history / "INFO00008.RSV");
  ResultWriter w(PlatformFiles(), history.Path(), 7);
  std::string path;
  ASSERT_TRUE(w.Write(Collected(3, 1, 10, 20), &path));
  EXPECT_EQ(path, history / "INFO00009.RSV");
  EXPECT_EQ(w.Counter(), 10u);
  EXPECT_EQ(history.Read("INFO00007.RSV"), "keep");
}

TEST(ResultWriter, MissingHistoryFolderFailsWithoutTryingEveryNumber) {
  TempFolder base;
  ResultWriter w(PlatformFiles(), base / "missing", 42);
  EXPECT_FALSE(w.Write(Collected(3, 1, 10, 20)));
  EXPECT_FALSE(PlatformFiles().Exists(base / "missing"));
  EXPECT_EQ(w.Counter(), 42u);  // nothing written, no number used up
}

TEST(ResultWriter, FullDiskLeavesNoBrokenRecordAndUsesNoNumber) {
  TempFolder history;
  FailingFiles disk(PlatformFiles());
  disk.spaceLeft = 100;  // less than a record
  ResultWriter w(disk, history.Path(), 7);
  EXPECT_FALSE(w.Write(Collected(3, 1, 10, 20)));
  EXPECT_TRUE(PlatformFiles().Find(history / "INFO*.RSV").empty());
  EXPECT_EQ(w.Counter(), 7u);
  disk.spaceLeft = -1;
  std::string path;
  ASSERT_TRUE(w.Write(Collected(3, 1, 10, 20), &path));
  EXPECT_EQ(path, history / "INFO00007.RSV");
}

TEST(ResultWriter, CollectedRecordCarriesTheReservationAndTheWindowTimes) {
  TempFolder history;
  ResultWriter w(PlatformFiles(), history.Path(), 0);
  ReservationRecord res = SampleReservation(9);
  ASSERT_TRUE(w.Write(Collected(9, 0, 1000, 2000)));
  ReceptionResult r = ReadRecord(history, "INFO00000.RSV");
  EXPECT_EQ(r.status, kResultFailed);
  EXPECT_EQ(r.programNumber, 1234);
  EXPECT_EQ(r.subNumber, 5);
  EXPECT_EQ(r.receivedFrom, 1000);
  EXPECT_EQ(r.receivedUntil, 2000);
  EXPECT_EQ(r.name, res.name);
  EXPECT_EQ(r.storageFolder, "C:\\Data\\Prog");
  EXPECT_EQ(r.autorun, "setup.exe /s");
  EXPECT_EQ(r.scheduledStart, res.ScheduledStart());
  EXPECT_EQ(r.scheduledEnd, res.ScheduledEnd());
  EXPECT_EQ(r.port, 6000);
  EXPECT_EQ(r.speed, 64);
  EXPECT_EQ(r.address, "239.10.20.30");
  EXPECT_EQ(r.channelName, res.channelName);
}

TEST(ResultWriter, StreamProgramsSucceedWithPortZeroAndStreamAddress) {
  ReceptionResult collected = Collected(0, 0, 1, 1);
  EXPECT_EQ(collected.status, kResultSuccess);
  EXPECT_EQ(collected.port, 0);
  EXPECT_EQ(collected.address, J(u8"ストリーム"));
  ReceptionResult missed = Collected(0, kResultNotReceived, 777, 777);
  EXPECT_EQ(missed.status, kResultNotReceived);
  EXPECT_EQ(missed.port, 0);
  EXPECT_EQ(missed.address, J(u8"ストリーム"));
  EXPECT_EQ(missed.receivedFrom, 777);
  EXPECT_EQ(missed.receivedUntil, 777);
  EXPECT_EQ(Collected(4, kResultNotReceived, 5, 5).port, 6000);
}

TEST(Placement, TempFileReplacesAnExistingDestination) {
  TempFolder folder;
  PlatformFiles().WriteAll(folder / "dest.bin", "old contents that are longer");
  std::shared_ptr<FakeNet> net = std::make_shared<FakeNet>();
  ManualClock clock(1700000000, 100);
  RecordingView view;
  ReceptionParams p;
  p.sid = 1;
  p.address = "239.0.0.1";
  p.storageFolder = folder.Path();
  p.scheduledEnd = clock.Now() + 100;
  Reception rx(p, PlatformFiles(), clock, view, [net] { return std::unique_ptr<DatagramSocket>(new FakeSocket(net)); });
  ASSERT_TRUE(rx.Start());
  clock.Advance(2000);
  std::mt19937 rng(5);
  std::vector<CarouselFile> files{{"dest.bin", RandomBytes(rng, 20000)}};
  auto dg = FileDatagrams(files, 0, 1024, 1);
  net->inbox.push_back(dg[2]);
  net->inbox.insert(net->inbox.end(), dg.begin(), dg.end());
  for (int i = 0; i < 20; ++i) {
    clock.Advance(10);
    rx.OnSocketReady();
    rx.OnTimer();
  }
  ASSERT_FALSE(rx.Files().at(0).tempPath.empty());
  EXPECT_EQ(rx.PlaceFiles(), 0);
  EXPECT_EQ(folder.Read("dest.bin"), files[0].data);
  EXPECT_TRUE(PlatformFiles().Find(folder / "~*.tmp").empty());
}

TEST(Autorun, SplitsProgramAndParameters) {
  struct {
    std::string command, folder, program, parameters;
  } cases[] = {
      {"setup.exe /s", "C:\\Data\\Prog", "C:\\Data\\Prog\\setup.exe", "/s"},
      {"\"C:\\Program Files\\Viewer\\view.exe\" -a", "C:\\D", "C:\\Program Files\\Viewer\\view.exe", " -a"},
      {"\"C:\\no close", "C:\\D", "C:\\no close", ""},
      {"index.htm   ", "C:\\D\\", "C:\\D\\index.htm", ""},
      {"My App\\run.exe x y", "C:\\D", "C:\\D\\My App\\run.exe", "x y"},
      {"readme", "C:\\D", "C:\\D\\readme", ""},
      {"D:\\tools\\a.exe", "C:\\D", "D:\\tools\\a.exe", ""},
      {"v1.2\\prog arg", "C:\\D", "C:\\D\\v1.2\\prog arg", ""},
  };
  for (const auto& c : cases) {
    AutorunCommand a = SplitAutorun(c.command, c.folder);
    EXPECT_EQ(a.program, c.program) << c.command;
    EXPECT_EQ(a.parameters, c.parameters) << c.command;
  }
}
