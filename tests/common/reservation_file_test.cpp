#include "common/reservation_file.h"

#include <gtest/gtest.h>

#include "tests/common/record_bytes_test.h"
#include "tests/common/tokyo_time.h"

namespace {

constexpr Time32 k20010305_2130 = 983795400;
const std::string kHyo = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";   // ソ

class ReservationFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseTokyoTime(); }

  static ReservationRecord Sample() {
    ReservationRecord r;
    r.reservationId = 0xA1B2C3D4;
    r.sid = 0x0102;
    r.receiverVersion = 100;
    r.port = 5001;
    r.programNumber = 0x1234;
    r.subNumber = 2;
    r.address = "239.1.2.3";
    SetSchedule(&r, k20010305_2130, k20010305_2130 + 90 * 60);
    r.name = kHyo + "name";
    r.totalKbyte = 2048;
    r.clearFolder = 1;
    r.storageFolder = "C:\\Data\\" + kSo;
    r.autorun = "index.html";
    r.speed = 0xBEEF;
    r.channelName = "ch" + kHyo;
    return r;
  }

  static Bytes SampleBytes() {
    Bytes b(538);
    b.Text(0, "Rcfi").U32(4, 0xA1B2C3D4).U16(8, 0x0102).U16(10, 100).U16(12, 5001).U32(14, 0x1234).U32(18, 2);
    b.Text(22, "239.1.2.3").Text(40, "200103052130").Text(52, "0130").Text(56, kHyo + "name");
    b.U32(108, 2048).U16(112, 1).Text(122, "C:\\Data\\" + kSo).Text(382, "index.html");
    b.U16(484, 0xBEEF).Text(486, "ch" + kHyo);
    return b;
  }
};

TEST_F(ReservationFile, EncodesEveryFieldAtItsOffset) {
  std::string encoded = EncodeReservation(Sample());
  ASSERT_EQ(encoded.size(), kReservationRecordSize);
  EXPECT_EQ(encoded, SampleBytes().str());
}

TEST_F(ReservationFile, DecodesEveryFieldFromItsOffset) {
  ReservationRecord r;
  ASSERT_EQ(DecodeReservation(SampleBytes().str(), &r), DecodeStatus::Ok);
  ReservationRecord e = Sample();
  EXPECT_EQ(r.magic, kReservationMagic);
  EXPECT_EQ(r.reservationId, e.reservationId);
  EXPECT_EQ(r.sid, e.sid);
  EXPECT_EQ(r.receiverVersion, e.receiverVersion);
  EXPECT_EQ(r.port, e.port);
  EXPECT_EQ(r.programNumber, e.programNumber);
  EXPECT_EQ(r.subNumber, e.subNumber);
  EXPECT_EQ(r.address, e.address);
  EXPECT_EQ(r.startText, "200103052130");
  EXPECT_EQ(r.durationText, "0130");
  EXPECT_EQ(r.name, e.name);
  EXPECT_EQ(r.totalKbyte, e.totalKbyte);
  EXPECT_EQ(r.clearFolder, e.clearFolder);
  EXPECT_EQ(r.storageFolder, e.storageFolder);
  EXPECT_EQ(r.autorun, e.autorun);
  EXPECT_EQ(r.speed, e.speed);
  EXPECT_EQ(r.channelName, e.channelName);
  EXPECT_EQ(r.ScheduledStart(), k20010305_2130);
  EXPECT_EQ(r.ScheduledEnd(), k20010305_2130 + 90 * 60);
}

TEST_F(ReservationFile, AddressIsCutToSeventeenBytes) {
  ReservationRecord r = Sample();
  r.address = "255.255.255.255:12345";
  std::string encoded = EncodeReservation(r);
  EXPECT_EQ(encoded.substr(22, 18), std::string("255.255.255.255:1") + '\0');
  EXPECT_EQ(encoded.substr(40, 12), "200103052130");
}

TEST_F(ReservationFile, TextsAreCutOnCharacterBoundariesAndKeepNeighboursIntact) {
  ReservationRecord r = Sample();
  r.name = "x";
  for (int i = 0; i < 30; ++i) r.name += kHyo;   // 61 bytes; byte 51 would split a character
  r.autorun = std::string(99, 'a') + kSo;          // ソ would need bytes 100 and 101
  r.channelName = std::string(49, 'c') + kHyo;
  std::string encoded = EncodeReservation(r);
  ReservationRecord back;
  ASSERT_EQ(DecodeReservation(encoded, &back), DecodeStatus::Ok);
  EXPECT_EQ(back.name, r.name.substr(0, 51));      // "x" + 25 characters
  EXPECT_EQ(back.autorun, std::string(99, 'a'));
  EXPECT_EQ(back.channelName, std::string(49, 'c'));
  EXPECT_EQ(back.totalKbyte, 2048);
  EXPECT_EQ(back.speed, 0xBEEF);
}

TEST_F(ReservationFile, FieldsThatFillTheirWidthAreReadToTheFieldEnd) {
  Bytes b = SampleBytes();
  b.Text(56, std::string(52, 'N')).Text(382, std::string(100, 'A')).Text(486, std::string(50, 'C'));
  b.Text(22, std::string(18, '1'));
  ReservationRecord r;
  ASSERT_EQ(DecodeReservation(b.str(), &r), DecodeStatus::Ok);
  EXPECT_EQ(r.name, std::string(52, 'N'));
  EXPECT_EQ(r.autorun, std::string(100, 'A'));
  EXPECT_EQ(r.channelName, std::string(50, 'C'));
  EXPECT_EQ(r.address, std::string(18, '1'));
  EXPECT_EQ(r.startText, "200103052130");
}

TEST_F(ReservationFile, NameAndFolderAlwaysKeepATerminator) {
  ReservationRecord r = Sample();
  r.name = std::string(60, 'n');
  r.storageFolder = std::string(300, 'f');
  std::string encoded = EncodeReservation(r);
  EXPECT_EQ(encoded[56 + 51], '\0');
  EXPECT_EQ(encoded[122 + 259], '\0');
  EXPECT_EQ(encoded.substr(382, 10), "index.html");
}

TEST_F(ReservationFile, ShortFileReadsAsFarAsItGoes) {
  ReservationRecord r;
  std::string shortData = SampleBytes().str().substr(0, 60);
  EXPECT_EQ(DecodeReservation(shortData, &r), DecodeStatus::Short);
  EXPECT_EQ(r.programNumber, 0x1234);
  EXPECT_EQ(r.name, "\x95\x5Cna");
  EXPECT_EQ(r.totalKbyte, 0);
  EXPECT_EQ(r.storageFolder, "");
  EXPECT_EQ(DecodeReservation("", &r), DecodeStatus::Empty);
  EXPECT_EQ(r.programNumber, 0);
}

TEST_F(ReservationFile, WrongMagicIsReportedButTheRecordIsFilled) {
  Bytes b = SampleBytes();
  b.Text(0, "RvIf");
  ReservationRecord r;
  EXPECT_EQ(DecodeReservation(b.str(), &r), DecodeStatus::WrongMagic);
  EXPECT_EQ(r.programNumber, 0x1234);
  EXPECT_EQ(DecodeReservation("Rc", &r), DecodeStatus::WrongMagic);
}

TEST_F(ReservationFile, ScheduleOfAMissingTextDoesNotReadPastIt) {
  ReservationRecord r;
  r.startText = "2001";
  r.durationText = "";
  // Missing digits read as NUL - '0' (-48) and nothing is read past the text;
  // the sanitizers of the native build watch the reads.
  EXPECT_EQ(r.ScheduledEnd() - r.ScheduledStart(), -528 * 3600 - 528 * 60);
}

TEST_F(ReservationFile, FileNamesFollowTheRules) {
  EXPECT_EQ(ReservationFileName(k20010305_2130, 0x1234, 2), "RSV030521302001000012340002.SDL");
  EXPECT_EQ(ReservationFileName(k20010305_2130, 0x1234, 0x12345), "RSV030521302001000012342345.SDL");
  EXPECT_EQ(ReservationFileName(k20010305_2130, -1, 0), "RSV030521302001ffffffff0000.SDL");
  EXPECT_EQ(KeywordReservationFileName(k20010305_2130, 0x1234), "RSV03052130200100001234.SDL");
}

TEST_F(ReservationFile, DeletionRequestNameIsUpperCaseComputerNameAndCounter) {
  EXPECT_EQ(DeletionRequestName("pc-room1", 7), "PC-ROOM1000007.SDD");
  EXPECT_EQ(DeletionRequestName("ws", 1234567), "WS1234567.SDD");
  // 0x61 is the trail byte of a double-byte character here and stays; the "a" after it is raised.
  EXPECT_EQ(DeletionRequestName("\x83\x61" "a", 0), "\x83\x61" "A000000.SDD");
}

}  // namespace
