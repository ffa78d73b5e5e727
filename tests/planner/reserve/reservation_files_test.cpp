// The schedule folder as the planner uses it: reservation files and deletion
// requests written, the list rebuilt from what lies there, detail files, texts.
#include <gtest/gtest.h>

#include <memory>
#include "common/detail_file.h"
#include "common/files.h"
#include "common/reservation_file.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/program_detail.h"
#include "planner/reserve/reservation_files.h"
#include "planner/reserve/reservation_texts.h"
#include "tests/support/failing_files.h"
#include "tests/support/temp_folder.h"

namespace {

const Time32 kEvening = MakeLocalTime(2026, 12, 10, 20, 0, 0);

std::unique_ptr<GuideProgram> Program(int number, int sub, Time32 start, Time32 end) {
  auto p = std::make_unique<GuideProgram>();
  p->programNumber = number;
  p->subNumber = sub;
  p->startTime = start;
  p->endTime = end;
  p->name = "program " + std::to_string(number);
  p->digest = "about " + std::to_string(number);
  p->totalKbyte = 100 * number;
  p->speed = 256;
  p->sid = 3;
  p->port = 5000;
  p->address = "239.1.1.1";
  p->holder = "h" + std::to_string(number);
  return p;
}

class ScheduleFolderTest : public ::testing::Test {
 protected:
  ScheduleFolderTest() {
    guide.Add(Program(1, 1, kEvening, kEvening + 3600));
    guide.Add(Program(2, 1, kEvening + 1800, kEvening + 5400));
    guide.Add(Program(3, 1, kEvening + 7200, kEvening + 9000));
  }
  GuideProgram& P(int number) {
    for (GuideProgram* p : guide.Ordered())
      if (p->programNumber == number) return *p;
    throw std::runtime_error("no program");
  }
  ReservationRecord Record(int number, std::uint32_t id) {
    return BuildReservationRecord(P(number), "C:\\data\\h" + std::to_string(number), false, id);
  }
  std::string WriteSdl(const ReservationRecord& r) {
    std::string name;
    EXPECT_TRUE(WriteReservationFile(fs, folder.Path(), r, &name));
    return name;
  }
  bool Rebuild(bool full) { return RebuildReservations(fs, folder.Path(), guide, 4, list, full); }
  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<std::string> names;
    for (const FoundFile& f : fs.Find((folder / pattern))) names.push_back(f.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  FileSystem& fs = PlatformFiles();
  TempFolder folder;
  GuideList guide;
  ReservationList list;
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
};

TEST_F(ScheduleFolderTest, ReservationFileIsTheRecordUnderItsNameWithNoTemporaryLeft) {
  const ReservationRecord r = BuildReservationRecord(P(1), "C:\\data\\h1", true, 777);
  const std::string name = WriteSdl(r);
  EXPECT_EQ(name, ReservationFileName(kEvening, 1, 1));
  EXPECT_EQ(Names("*"), std::vector<std::string>{name});
  ReservationRecord back;
  ASSERT_EQ(DecodeReservation(folder.Read(name), &back), DecodeStatus::Ok);
  EXPECT_EQ(back.reservationId, 777u);
  EXPECT_EQ(back.clearFolder, 1);
  EXPECT_EQ(back.storageFolder, "C:\\data\\h1");
  EXPECT_EQ(back.address, "239.1.1.1");
  EXPECT_EQ(back.ScheduledStart(), kEvening);
  EXPECT_EQ(back.ScheduledEnd(), kEvening + 3600);
  EXPECT_EQ(back.speed, 256);
}

TEST_F(ScheduleFolderTest, ReservingAgainReplacesTheFile) {
  WriteSdl(Record(1, 1));
  const std::string name = WriteSdl(Record(1, 2));
  EXPECT_EQ(Names("*"), std::vector<std::string>{name});
  ReservationRecord back;
  DecodeReservation(folder.Read(name), &back);
  EXPECT_EQ(back.reservationId, 2u);
}

TEST_F(ScheduleFolderTest, AFailedWriteNeverLeavesHalfARecord) {
  const std::string name = WriteSdl(Record(1, 1));
  const std::string before = folder.Read(name);
  struct Case {
    const char* what;
    int writeFailures;
    std::int64_t spaceLeft;
    bool failReplace;
  } cases[] = {
      {"the write fails", 1, -1, false},
      {"the disk fills up halfway", 0, 200, false},
      {"the rename into place fails", 0, -1, true},
  };
  for (const Case& c : cases) {
    auto failingFiles = [&c](FileSystem& real) {
      auto f = std::make_unique<FailingFiles>(real);
      f->writeFailures = c.writeFailures;
      f->spaceLeft = c.spaceLeft;
      f->failReplace = c.failReplace;
      return f;
    };
    EXPECT_FALSE(WriteReservationFile(*failingFiles(fs), folder.Path(), Record(1, 2))) << c.what;
    // The reservation the unit may be reading stays whole, and no temporary is left.
    EXPECT_EQ(folder.Read(name), before) << c.what;
    EXPECT_EQ(Names("*"), std::vector<std::string>{name}) << c.what;
    ReservationEntry e;
    EXPECT_FALSE(WriteDeletionRequest(*failingFiles(fs), settings, folder.Path(), "PC", BuildDeletionRecord(e, "C:\\d")))
        << c.what;
    EXPECT_TRUE(Names("*.SDD").empty()) << c.what;
  }
  EXPECT_EQ(settings.Int("Environment", "Counter", -1), -1);
}

TEST_F(ScheduleFolderTest, WriteFailsIntoAMissingFolder) {
  std::string name;
  EXPECT_FALSE(WriteReservationFile(fs, (folder / "missing"), Record(1, 1), &name));
  EXPECT_TRUE(Names("*").empty());
}

// A deletion request and the reserved total are made from the listed entry:
// what it holds of the file must be the file, not what the guide says now.
TEST_F(ScheduleFolderTest, ListedEntryHoldsItsFilesRecordByteForByte) {
  ReservationRecord r = Record(1, 10);
  r.receiverVersion = 2;
  r.clearFolder = 1;
  r.autorun = "start.exe";
  r.channelName = "CH";
  const std::string bytes = folder.Read(WriteSdl(r));
  P(1).name = "renamed";
  P(1).port = 6000;
  ASSERT_TRUE(Rebuild(true));
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(EncodeReservation(list.Entries()[0].record), bytes);
  EXPECT_EQ(list.Entries()[0].name, "renamed");
}

TEST_F(ScheduleFolderTest, RebuildListsReservedProgramsAndMarksThem) {
  WriteSdl(Record(2, 20));
  WriteSdl(Record(1, 10));
  EXPECT_TRUE(Rebuild(true));
  ASSERT_EQ(list.Size(), 2u);
  EXPECT_EQ(list.Entries()[0].record.programNumber, 1);
  EXPECT_EQ(list.Entries()[1].record.programNumber, 2);
  EXPECT_EQ(list.Entries()[0].record.storageFolder, "C:\\data\\h1");
  EXPECT_EQ(list.Entries()[0].name, "program 1");
  EXPECT_EQ(list.ReservedKbyte(), 300);
  EXPECT_EQ(list.Entries()[0].laneCount, 2);  // 1 and 2 overlap
  EXPECT_EQ(P(1).state, 1);
  EXPECT_EQ(P(3).state, 0);
  // A second full rebuild gives the same list, not twice the entries.
  Rebuild(true);
  EXPECT_EQ(list.Size(), 2u);
  EXPECT_EQ(list.ReservedKbyte(), 300);
}

TEST_F(ScheduleFolderTest, DuplicateWithAnotherIdIsDeletedForeignMagicToo) {
  const std::string first = WriteSdl(Record(1, 10));
  // The same broadcast under the keyword search's name, with another id.
  ReservationRecord dup = Record(1, 11);
  folder.Write(KeywordReservationFileName(kEvening, 1), EncodeReservation(dup));
  std::string foreign = EncodeReservation(Record(3, 30));
  foreign[0] = 'X';
  folder.Write("RSV0000000000000000000003.SDL", foreign);
  Rebuild(true);
  ASSERT_EQ(list.Size(), 1u);
  // Whichever the folder listed first stays; the other one is gone.
  const auto left = Names("RSV*.SDL");
  ASSERT_EQ(left.size(), 1u);
  ReservationRecord kept;
  DecodeReservation(folder.Read(left[0]), &kept);
  EXPECT_EQ(kept.reservationId, list.Entries()[0].record.reservationId);
  EXPECT_EQ(P(3).state, 0);
  (void)first;
}

TEST_F(ScheduleFolderTest, ARecordWithoutItsProgramIsLeftAlone) {
  ReservationRecord r = Record(1, 10);
  r.programNumber = 99;
  folder.Write("RSV_other.SDL", EncodeReservation(r));
  Rebuild(true);
  EXPECT_TRUE(list.Empty());
  EXPECT_TRUE(folder.Has("RSV_other.SDL"));
}

TEST_F(ScheduleFolderTest, AMovedProgramIsFoundInTheSameBroadcastDay) {
  // The guide moved program 3 by an hour; the record still names the old start.
  ReservationRecord r = Record(3, 30);
  SetSchedule(&r, kEvening + 3600, kEvening + 5400);
  folder.Write("RSV_moved.SDL", EncodeReservation(r));
  // A record of the same program on another day does not match it.
  ReservationRecord other = Record(3, 31);
  SetSchedule(&other, kEvening + 7200 - 2 * 86400, kEvening + 9000 - 2 * 86400);
  folder.Write("RSV_old.SDL", EncodeReservation(other));
  Rebuild(true);
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.Entries()[0].record.reservationId, 30u);
  EXPECT_EQ(list.Entries()[0].startTime, kEvening + 7200);  // the guide's times
}

// The unit knows a reservation only by its record: a request for a program the
// guide has moved since must name the record's start and duration, and the
// rebuild must pair it with the entry by the same times.
TEST_F(ScheduleFolderTest, AMovedProgramCanBeCancelled) {
  ReservationRecord r = Record(3, 30);
  SetSchedule(&r, kEvening + 3600, kEvening + 5400);  // reserved before the guide moved it
  folder.Write("RSV_moved.SDL", EncodeReservation(r));
  Rebuild(true);
  ASSERT_EQ(list.Size(), 1u);
  const ReservationEntry& e = list.Entries()[0];
  EXPECT_EQ(e.startTime, kEvening + 7200);  // shown where the guide has it now
  EXPECT_EQ(e.record.ScheduledStart(), kEvening + 3600);
  EXPECT_EQ(e.record.ScheduledEnd(), kEvening + 5400);

  const ReservationRecord request = BuildDeletionRecord(e, "C:\\data");
  EXPECT_EQ(request.startText, r.startText);
  EXPECT_EQ(request.durationText, r.durationText);
  EXPECT_EQ(request.ScheduledStart(), r.ScheduledStart());
  EXPECT_EQ(request.ScheduledEnd(), r.ScheduledEnd());
  ASSERT_TRUE(WriteDeletionRequest(fs, settings, folder.Path(), "PC", request));
  // Until the unit has read the request, the reservation stays out of the list.
  Rebuild(true);
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(P(3).state, 0);
}

TEST_F(ScheduleFolderTest, APendingDeletionRequestKeepsTheEntryOut) {
  WriteSdl(Record(1, 10));
  WriteSdl(Record(2, 20));
  Rebuild(true);
  ASSERT_EQ(list.Size(), 2u);
  const ReservationRecord request = BuildDeletionRecord(list.Entries()[0], "C:\\data");
  ASSERT_TRUE(WriteDeletionRequest(fs, settings, folder.Path(), "PC", request));
  // One that does not pair (another id) changes nothing.
  ReservationEntry stranger = list.Entries()[1];
  stranger.record.reservationId = 999;
  ASSERT_TRUE(WriteDeletionRequest(fs, settings, folder.Path(), "PC", BuildDeletionRecord(stranger, "C:\\data")));
  Rebuild(true);
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.Entries()[0].record.programNumber, 2);
  EXPECT_EQ(P(1).state, 0);
  // The planner never deletes requests: they are the unit's to consume.
  EXPECT_EQ(Names("*.SDD").size(), 2u);
}

TEST_F(ScheduleFolderTest, TimerRebuildOnlyAddsNewFiles) {
  WriteSdl(Record(1, 10));
  Rebuild(false);
  ASSERT_EQ(list.Size(), 1u);
  fs.Remove((folder / ReservationFileName(kEvening, 1, 1)));
  WriteSdl(Record(3, 30));
  EXPECT_TRUE(Rebuild(false));
  EXPECT_EQ(list.Size(), 2u);  // the taken one stays until the next full rebuild
  EXPECT_FALSE(Rebuild(false));
  Rebuild(true);
  EXPECT_EQ(list.Size(), 1u);
}

TEST_F(ScheduleFolderTest, DeletionRequestsCountUpFromTheComputerName) {
  ReservationList one;
  WriteSdl(Record(1, 10));
  Rebuild(true);
  const ReservationRecord request = BuildDeletionRecord(list.Entries()[0], "C:\\data");
  std::string name;
  ASSERT_TRUE(WriteDeletionRequest(fs, settings, folder.Path(), DeletionComputerName("myPc"), request, &name));
  EXPECT_EQ(name, "MYPC000000.SDD");
  ASSERT_TRUE(WriteDeletionRequest(fs, settings, folder.Path(), DeletionComputerName("myPc"), request, &name));
  EXPECT_EQ(name, "MYPC000001.SDD");
  EXPECT_EQ(settings.Int("Environment", "Counter", -1), 2);
  ReservationRecord back;
  ASSERT_EQ(DecodeReservation(folder.Read("MYPC000000.SDD"), &back), DecodeStatus::Ok);
  EXPECT_EQ(back.reservationId, 10u);
  EXPECT_EQ(back.storageFolder, "C:\\data");
  EXPECT_EQ(back.autorun, "");
  EXPECT_EQ(back.clearFolder, 0);
  EXPECT_EQ(back.ScheduledStart(), kEvening);
}

TEST_F(ScheduleFolderTest, AnUnreadRequestIsNeverOverwritten) {
  settings.SetInt("Environment", "Counter", 5);
  folder.Write("PC000005.SDD", "older request");
  std::string name;
  ReservationEntry e;
  ASSERT_TRUE(WriteDeletionRequest(fs, settings, folder.Path(), "PC", BuildDeletionRecord(e, "C:\\d"), &name));
  EXPECT_EQ(name, "PC000006.SDD");
  EXPECT_EQ(folder.Read("PC000005.SDD"), "older request");
  EXPECT_EQ(settings.Int("Environment", "Counter", -1), 7);
}

TEST_F(ScheduleFolderTest, AFailedRequestKeepsTheCounter) {
  ReservationEntry e;
  EXPECT_FALSE(WriteDeletionRequest(fs, settings, (folder / "missing"), "PC", BuildDeletionRecord(e, "C:\\d")));
  EXPECT_EQ(settings.Int("Environment", "Counter", -1), -1);
}

TEST(DeletionComputerName, UpperCaseAndAtMostTwentyBytes) {
  EXPECT_EQ(DeletionComputerName("host-1"), "HOST-1");
  EXPECT_EQ(DeletionComputerName("abcdefghijklmnopqrstuvwxyz"), "ABCDEFGHIJKLMNOPQRST");
  // Never cut inside a double-byte character.
  const std::string wide = std::string(19, 'a') + J(u8"日");
  EXPECT_EQ(DeletionComputerName(wide), std::string(19, 'A'));
}

// --- detail files ------------------------------------------------------------

class FakeFetcher : public DetailFetcher {
 public:
  bool ok = true;
  std::string body;
  std::vector<std::string> urls;
  bool Fetch(const std::string& url, std::string* out) override {
    urls.push_back(url);
    *out = body;
    return ok;
  }
};

std::string Detail(const std::string& address, const std::string& sid, const std::string& holder = "hold") {
  return "<schedule><ip_address>" + address + "</ip_address><port>6000</port><sid>" + sid + "</sid><holder>" +
         holder + "</holder><autorun>go.exe</autorun></schedule>";
}

class DetailTest : public ::testing::Test {
 protected:
  DetailTest() {
    program.programNumber = 12;
    program.subNumber = 3;
    program.name = "name\tmore";
  }
  DetailOutcome Complete(const std::string& location) {
    return CompleteProgramDetail(program, location, history.Path(), PlatformFiles(), &fetcher);
  }
  GuideProgram program;
  FakeFetcher fetcher;
  TempFolder history;
};

TEST_F(DetailTest, FetchedFromTheLocationAndCached) {
  fetcher.body = Detail("239.2.2.2", "7");
  EXPECT_EQ(Complete("http://server/guide"), DetailOutcome::Fetched);
  EXPECT_EQ(fetcher.urls, std::vector<std::string>{"http://server/guide/12-3.spn"});
  EXPECT_EQ(program.address, "239.2.2.2");
  EXPECT_EQ(program.port, 6000);
  EXPECT_EQ(program.sid, 7);
  EXPECT_EQ(program.holder, "hold");
  EXPECT_EQ(program.autorun, "go.exe");
  EXPECT_EQ(history.Read("12-3.spn"), fetcher.body);
}

TEST_F(DetailTest, NoSecondSlashAfterALocationThatEndsInOne) {
  fetcher.body = Detail("239.2.2.2", "7");
  Complete("http://server/guide/");
  EXPECT_EQ(fetcher.urls, std::vector<std::string>{"http://server/guide/12-3.spn"});
}

TEST_F(DetailTest, AnErrorPageIsNeverCachedAndTheCopyIsUsed) {
  history.Write("12-3.spn", Detail("239.3.3.3", "5"));
  fetcher.body = "<html><body>404</body></html>" + Detail("239.9.9.9", "9");
  EXPECT_EQ(Complete("http://server"), DetailOutcome::FromCache);
  EXPECT_EQ(program.address, "239.3.3.3");
  EXPECT_EQ(history.Read("12-3.spn"), Detail("239.3.3.3", "5"));
}

TEST_F(DetailTest, AnOversizedBodyIsRefused) {
  fetcher.body = Detail("239.2.2.2", "7") + std::string(kMaxDetailBytes, ' ');
  EXPECT_EQ(Complete("http://server"), DetailOutcome::Unavailable);
  EXPECT_FALSE(history.Has("12-3.spn"));
}

TEST_F(DetailTest, FailedFetchFallsBackToTheCopy) {
  fetcher.ok = false;
  history.Write("12-3.spn", Detail("239.3.3.3", "5"));
  EXPECT_EQ(Complete("http://server"), DetailOutcome::FromCache);
  EXPECT_EQ(program.sid, 5);
}

TEST_F(DetailTest, WithoutALocationOnlyTheCopyIsRead) {
  history.Write("12-3.spn", Detail("239.3.3.3", "5"));
  EXPECT_EQ(Complete(""), DetailOutcome::FromCache);
  EXPECT_TRUE(fetcher.urls.empty());
}

TEST_F(DetailTest, NothingUsableRefusesTheReservation) {
  fetcher.ok = false;
  EXPECT_EQ(Complete("http://server"), DetailOutcome::Unavailable);
  EXPECT_EQ(program.address, "");
}

TEST_F(DetailTest, StreamProgramGetsDummyAndAnEmptyHolderTheName) {
  fetcher.body = Detail("", "0", "");
  EXPECT_EQ(Complete("http://server"), DetailOutcome::Fetched);
  EXPECT_EQ(program.address, "Dummy");
  EXPECT_EQ(program.sid, 0);
  EXPECT_EQ(program.holder, "name");
}

TEST_F(DetailTest, AKnownAddressIsNotFetchedAgain) {
  program.address = "239.1.1.1";
  EXPECT_EQ(Complete("http://server"), DetailOutcome::AlreadyKnown);
  EXPECT_TRUE(fetcher.urls.empty());
}

// --- texts ---------------------------------------------------------------------

TEST(ReservationTexts, LineBreaksTable) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\r\nb", "a\r\nb"},   {"a\nb", "a\r\nb"},         {"a\rb", "a\r\nb"},
      {"a\n\nb", "a\r\n\r\nb"}, {"a\r\rb", "a\r\n\r\nb"}, {"a\r\n\r\nb", "a\r\n\r\nb"},
      {"a\n\rb", "a\r\n\r\nb"}, {"\n", "\r\n"},           {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseLineBreaks(c.first), c.second) << c.first;
}

TEST(ReservationTexts, TimesSizesAndBubble) {
  EXPECT_EQ(BroadcastTimeText(kEvening, kEvening + 5400), J(u8"2026年 12月 10日    20:00 ～ 21:30"));
  EXPECT_EQ(KbyteText(1234), "1234 KB");
  ReservationEntry e;
  e.name = "N";
  e.startTime = kEvening;
  e.endTime = kEvening + 5400;
  e.totalKbyte = 42;
  EXPECT_EQ(ReservationBubbleText(e),
            J(u8"番組：N\r\n  2026/12/10   20:00～21:30\r\n\r\n予定ファイル容量  42 KByte\r\n"));
  EXPECT_EQ(DefaultStorageFolder("C:\\data", "h"), "C:\\data\\h");
}

// A holder from the server that climbs out of the data folder, names a drive or
// a device, or would not fit the record is never proposed.
TEST(ReservationTexts, HoldersOutsideTheDataFolderAreNotProposed) {
  const char* const refused[] = {"..\\..\\escape", "..\\..\\Users\\u\\Start Menu\\Programs\\Startup", "C:\\x",
                                 "\\x", "CON", "a\\..\\..", ""};
  for (const char* holder : refused) {
    SCOPED_TRACE(holder);
    EXPECT_EQ(DefaultStorageFolder("C:\\data", holder), "");
  }
  EXPECT_EQ(DefaultStorageFolder("C:\\data", std::string(300, 'a')), "");
  EXPECT_EQ(DefaultStorageFolder(J(u8"C:\\番組表"), J(u8"ソ")), J(u8"C:\\番組表\\ソ"));
  EXPECT_NE(RefusedHolderText("..\\x").find("..\\x"), std::string::npos);
}

}  // namespace
