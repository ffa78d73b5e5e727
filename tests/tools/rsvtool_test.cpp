#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/files.h"
#include "common/reservation_file.h"
#include "common/reception_result.h"
#include "common/text.h"
#include "tests/support/temp_folder.h"
#include "tests/common/tokyo_time.h"
#include "tools/rsvtool/dump.h"
#include "tools/rsvtool/make.h"
#include "tools/options/options.h"

namespace {

class Rsvtool : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseTokyoTime(); }
  std::vector<std::string> Args(std::vector<std::string> extra) const {
    std::vector<std::string> args = {"--folder", temp.Path(), "--program", "0x1234", "--sub", "2",
                                     "--start", "2001-03-05 21:30", "--end", "2001-03-05 23:00",
                                     "--address", "239.1.2.3", "--port", "5001"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  ReservationRecord Read(const std::string& path) {
    std::string data;
    EXPECT_TRUE(PlatformFiles().ReadAll(path, &data));
    ReservationRecord r;
    EXPECT_EQ(DecodeReservation(data, &r), DecodeStatus::Ok);
    return r;
  }
  TempFolder temp;
  ManualClock clock{0, 4242};
};

TEST_F(Rsvtool, MakeWritesTheManualFormUnderItsName) {
  MakeOutcome out = MakeReservationFile(Args({"--name", J(u8"表示"), "--clear-folder"}), PlatformFiles(), clock);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.path, temp / "RSV030521302001000012340002.SDL");
  ReservationRecord r = Read(out.path);
  EXPECT_EQ(r.reservationId, 4242u);  // the tick count, as the planner does
  EXPECT_EQ(r.name, J(u8"表示"));
  EXPECT_EQ(r.durationText, "0130");
  EXPECT_EQ(r.clearFolder, 1);
  EXPECT_EQ(r.receiverVersion, 100);
}

TEST_F(Rsvtool, KeywordFormOmitsTheSubNumberAndNeverClears) {
  MakeOutcome out = MakeReservationFile(Args({"--keyword"}), PlatformFiles(), clock);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.path, temp / "RSV03052130200100001234.SDL");
  EXPECT_FALSE(MakeReservationFile(Args({"--keyword", "--clear-folder"}), PlatformFiles(), clock).ok);
}

TEST_F(Rsvtool, DeletionRequestUsesTheUpperCaseComputerName) {
  MakeOutcome out = MakeDeletionRequest(Args({"--counter", "12", "--id", "77"}), PlatformFiles(), clock, "host-a");
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(out.path, temp / "HOST-A000012.SDD");
  ReservationRecord r = Read(out.path);
  EXPECT_EQ(r.reservationId, 77u);
  EXPECT_EQ(r.autorun, "");
  EXPECT_FALSE(MakeDeletionRequest(Args({}), PlatformFiles(), clock, "host").ok);  // no counter
}

TEST_F(Rsvtool, StreamProgramNeedsNoAddress) {
  MakeOutcome out = MakeReservationFile({"--folder", temp.Path(), "--program", "9", "--sub", "1", "--start",
                                         "2001-03-05 21:30", "--end", "2001-03-05 21:31", "--sid", "0"},
                                        PlatformFiles(), clock);
  ASSERT_TRUE(out.ok) << out.error;
  EXPECT_EQ(Read(out.path).address, "Dummy");
}

TEST_F(Rsvtool, BadValuesAreRefusedByName) {
  struct Case { std::vector<std::string> extra; const char* mentions; };
  const Case cases[] = {
      {{"--port", "1"}, "twice"},
      {{"--speed", "65536"}, "--speed: '65536'"},
      {{"--sid", "x"}, "--sid: 'x'"},
      {{"--bogus", "1"}, "unknown option --bogus"},
      {{"--name", std::string(52, 'n')}, "--name: 52 bytes"},
      {{"--channel", std::string(51, 'c')}, "--channel: 51 bytes"},
      {{"--speed"}, "--speed needs a value"},
      {{"stray"}, "unexpected argument 'stray'"},
  };
  for (const Case& c : cases) {
    MakeOutcome out = MakeReservationFile(Args(c.extra), PlatformFiles(), clock);
    EXPECT_FALSE(out.ok);
    EXPECT_NE(out.error.find(c.mentions), std::string::npos) << out.error;
  }
  EXPECT_TRUE(PlatformFiles().Find(temp / "*").empty());
}

TEST_F(Rsvtool, SchedulesTheRecordCannotHoldAreRefused) {
  auto make = [&](const char* start, const char* end) {
    return MakeReservationFile({"--folder", temp.Path(), "--program", "1", "--sub", "1", "--start", start, "--end",
                                end, "--sid", "0"},
                               PlatformFiles(), clock);
  };
  EXPECT_FALSE(make("2001-03-05 21:30", "2001-03-05 21:30").ok);   // not after the start
  EXPECT_FALSE(make("2001-03-01 00:00", "2001-03-05 04:00").ok);   // 100 hours
  EXPECT_TRUE(make("2001-03-01 00:00", "2001-03-05 03:59").ok);    // 99:59
  EXPECT_FALSE(make("2001-02-29 10:00", "2001-03-05 21:30").ok);   // no such day
  EXPECT_FALSE(make("2001-3-5 21:30", "2001-03-05 22:30").ok);
}

TEST_F(Rsvtool, MissingFolderIsNamed) {
  std::vector<std::string> args = Args({});
  args[1] = temp / "nowhere";
  MakeOutcome out = MakeReservationFile(args, PlatformFiles(), clock);
  EXPECT_FALSE(out.ok);
  EXPECT_NE(out.error.find("nowhere' is not a folder"), std::string::npos) << out.error;
}

TEST(RsvtoolNumbers, DecimalAndHexOnly) {
  struct Case { const char* text; bool ok; std::int64_t value; };
  const Case cases[] = {{"12", true, 12}, {"-3", true, -3}, {"0x1F", true, 31}, {"0XfF", true, 255},
                        {"", false, 0},   {"0x", false, 0}, {"1e3", false, 0},  {" 1", false, 0},
                        {"99999999999999999999", false, 0}};
  for (const Case& c : cases) {
    std::int64_t v = 0;
    EXPECT_EQ(ParseInteger(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(RsvtoolDump, ShowsEveryReservationFieldByName) {
  UseTokyoTime();
  ReservationRecord r;
  r.programNumber = 0x1234;
  r.name = J(u8"表示");
  SetSchedule(&r, 983795400, 983800800);
  DumpResult d = DumpRecord("x\\RSV1.SDL", EncodeReservation(r));
  EXPECT_TRUE(d.ok);
  for (const char* line : {"type: reservation (Rcfi, 538 bytes)\n", "programNumber: 4660 (0x1234)\n",
                           "scheduledEnd: 2001-03-05 23:00:00 (983800800)\n", "clearFolder: 0\n"})
    EXPECT_NE(d.text.find(line), std::string::npos) << line;
  EXPECT_NE(d.text.find("name: \"" + J(u8"表示") + "\"\n"), std::string::npos);
  EXPECT_NE(DumpRecord("A000001.sdd", EncodeReservation(r)).text.find("deletion request"), std::string::npos);
}

TEST(RsvtoolDump, ShowsResultRecordsWithTheirStatusWord) {
  ReceptionResult r;
  r.status = kResultNotReceived;
  DumpResult d = DumpRecord("INFO00001.RSV", EncodeResult(r));
  EXPECT_TRUE(d.ok);
  EXPECT_NE(d.text.find("status: 2 " + J(u8"無受信") + "\n"), std::string::npos);
}

TEST(RsvtoolDump, DamagedFilesAreNamedAndFail) {
  std::string record = EncodeReservation(ReservationRecord());
  DumpResult shortFile = DumpRecord("s.SDL", record.substr(0, 100));
  EXPECT_FALSE(shortFile.ok);
  EXPECT_NE(shortFile.text.find("short record: 100 of 538 bytes"), std::string::npos);
  record[0] = 'X';
  DumpResult wrong = DumpRecord("w.SDL", record);
  EXPECT_FALSE(wrong.ok);
  EXPECT_NE(wrong.text.find("wrong magic \"Xcfi\""), std::string::npos);
  EXPECT_NE(wrong.text.find("reservation record, by its size"), std::string::npos);
  DumpResult binary = DumpRecord("b", std::string("\x01\xFF", 2));
  EXPECT_NE(binary.text.find("\"\\x01\\xFF\""), std::string::npos) << binary.text;
  EXPECT_FALSE(DumpRecord("e", "").ok);
  EXPECT_TRUE(DumpRecord("long", EncodeResult(ReceptionResult()) + "xx").ok);
}

}  // namespace
