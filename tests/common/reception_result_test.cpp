#include "common/reception_result.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "tests/common/record_bytes_test.h"

namespace {

const std::string kStream = "\x83\x58\x83\x67\x83\x8A\x81\x5B\x83\x80";  // ストリーム

ReceptionResult Sample() {
  ReceptionResult r;
  r.status = kResultSuccess;
  r.programNumber = 0x1234;
  r.subNumber = 2;
  r.receivedFrom = 983795000;
  r.receivedUntil = 983799000;
  r.name = "\x95\x5C" "name";
  r.storageFolder = "C:\\Data\\x";
  r.autorun = "go.exe";
  r.scheduledStart = 983795400;
  r.scheduledEnd = 983800800;
  r.port = 0;
  r.speed = 512;
  r.address = kStream;
  r.channelName = "ch";
  return r;
}

Bytes SampleBytes() {
  Bytes b(520);
  b.Text(0, "RvIf").U32(4, 1).U32(8, 0x1234).U32(12, 2).U32(16, 983795000).U32(20, 983799000);
  b.Text(24, "\x95\x5C" "name").Text(76, "C:\\Data\\x").Text(336, "go.exe").U32(438, 983795400);
  b.U32(442, 983800800).U16(446, 0).U16(448, 512).Text(450, kStream).Text(468, "ch");
  return b;
}

TEST(ReceptionResultRecord, EncodesEveryFieldAtItsOffset) {
  std::string encoded = EncodeResult(Sample());
  ASSERT_EQ(encoded.size(), kResultRecordSize);
  EXPECT_EQ(encoded, SampleBytes().str());
}

TEST(ReceptionResultRecord, DecodesEveryFieldFromItsOffset) {
  ReceptionResult r;
  ASSERT_TRUE(DecodeResult(SampleBytes().str(), &r));
  ReceptionResult e = Sample();
  EXPECT_EQ(r.status, e.status);
  EXPECT_EQ(r.programNumber, e.programNumber);
  EXPECT_EQ(r.subNumber, e.subNumber);
  EXPECT_EQ(r.receivedFrom, e.receivedFrom);
  EXPECT_EQ(r.receivedUntil, e.receivedUntil);
  EXPECT_EQ(r.name, e.name);
  EXPECT_EQ(r.storageFolder, e.storageFolder);
  EXPECT_EQ(r.autorun, e.autorun);
  EXPECT_EQ(r.scheduledStart, e.scheduledStart);
  EXPECT_EQ(r.scheduledEnd, e.scheduledEnd);
  EXPECT_EQ(r.port, e.port);
  EXPECT_EQ(r.speed, e.speed);
  EXPECT_EQ(r.address, kStream);
  EXPECT_EQ(r.channelName, e.channelName);
}

TEST(ReceptionResultRecord, LongTextsAreCutOnACharacterBoundaryInsideTheirField) {
  ReceptionResult r = Sample();
  r.name = std::string(50, 'n') + "\x83\x5C";       // ソ would end on byte 52
  r.address = "239.255.255.255:123";
  std::string encoded = EncodeResult(r);
  EXPECT_EQ(encoded.substr(24, 52), std::string(50, 'n') + std::string(2, '\0'));
  EXPECT_EQ(encoded.substr(450, 18), std::string("239.255.255.255:1") + '\0');
  EXPECT_EQ(encoded.substr(468, 2), "ch");
}

TEST(ReceptionResultRecord, WrongMagicAndShortDataAreReported) {
  Bytes b = SampleBytes();
  b.Text(0, "Rcfi");
  ReceptionResult r;
  EXPECT_FALSE(DecodeResult(b.str(), &r));
  EXPECT_EQ(r.programNumber, 0x1234);
  EXPECT_TRUE(DecodeResult(SampleBytes().str().substr(0, 28), &r));
  EXPECT_EQ(r.name, "\x95\x5C" "na");
  EXPECT_EQ(r.scheduledEnd, 0);
  EXPECT_FALSE(DecodeResult("", &r));
}

TEST(ReceptionResultRecord, FileNameAndStatusWords) {
  EXPECT_EQ(ResultFileName(0), "INFO00000.RSV");
  EXPECT_EQ(ResultFileName(123), "INFO00123.RSV");
  EXPECT_EQ(ResultFileName(123456), "INFO123456.RSV");
  EXPECT_EQ(ResultStatusText(kResultFailed), J(u8"失敗"));
  EXPECT_EQ(ResultStatusText(kResultSuccess), J(u8"成功"));
  EXPECT_EQ(ResultStatusText(kResultNotReceived), J(u8"無受信"));
}

}  // namespace
