// The reception state record: what a restart continues from is taken only
// whole, from this version, and within the engine's own bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "tests/support/crc32.h"
#include "unit/reception.h"
#include "unit/reception_state.h"

namespace {

ReceptionState Sample() {
  ReceptionState s;
  s.reservationId = 777;
  s.programNumber = 4660;
  s.subNumber = 2;
  s.scheduledStart = 1700000000;
  s.scheduledEnd = 1700001800;
  s.port = 5001;
  s.address = "239.1.2.3";
  s.blockSize = 1024;
  s.fileCount = 3;
  s.receivedBytes = 123456;
  s.receptionStart = 1699999990;
  ReceptionStateFile a;
  a.fileId = 0;
  a.headerSize = 70;
  a.blockCount = 13;
  a.sized = true;
  a.fileSize = 12500;
  a.extent = 9000;
  a.name = "sub\\large.bin";
  a.blockMap = {1, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1, 0, 1};
  ReceptionStateFile b;
  b.fileId = 2;
  b.headerSize = 70;
  b.blockCount = 8;  // a whole byte of bits
  b.sized = false;
  b.extent = 2016;
  b.blockMap = {0, 0, 1, 1, 0, 0, 0, 1};
  s.files = {a, b};
  return s;
}

bool Decodes(const std::string& data, std::string* why = nullptr) {
  ReceptionState out;
  std::string reason;
  const bool ok = DecodeReceptionState(data, &out, &reason);
  if (why) *why = reason;
  return ok;
}

// The record without its checksum, changed, and sealed again with a good one.
std::string Reseal(const std::string& record, std::size_t at, const std::string& bytes) {
  std::string body = record.substr(0, record.size() - 4);
  body.replace(at, bytes.size(), bytes);
  return WithTestCrc32(body);
}

// Offsets of the fixed head and of the first file entry.
constexpr std::size_t kVersionAt = 4;
constexpr std::size_t kFirstEntryAt = 50 + 9 + 4;  // head, "239.1.2.3", entry count
constexpr std::size_t kFlagsAt = kFirstEntryAt + 8;
constexpr std::size_t kFirstBitsAt = kFirstEntryAt + 23 + 13;  // entry head, name

}  // namespace

TEST(ReceptionState, RoundTripKeepsEveryField) {
  const ReceptionState s = Sample();
  ReceptionState out;
  std::string why;
  ASSERT_TRUE(DecodeReceptionState(EncodeReceptionState(s), &out, &why)) << why;
  EXPECT_EQ(out.reservationId, 777u);
  EXPECT_EQ(out.programNumber, 4660);
  EXPECT_EQ(out.subNumber, 2);
  EXPECT_EQ(out.scheduledStart, 1700000000);
  EXPECT_EQ(out.scheduledEnd, 1700001800);
  EXPECT_EQ(out.port, 5001);
  EXPECT_EQ(out.address, "239.1.2.3");
  EXPECT_EQ(out.blockSize, 1024);
  EXPECT_EQ(out.fileCount, 3);
  EXPECT_EQ(out.receivedBytes, 123456);
  EXPECT_EQ(out.receptionStart, 1699999990);
  ASSERT_EQ(out.files.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(out.files[i].fileId, s.files[i].fileId);
    EXPECT_EQ(out.files[i].headerSize, s.files[i].headerSize);
    EXPECT_EQ(out.files[i].blockCount, s.files[i].blockCount);
    EXPECT_EQ(out.files[i].sized, s.files[i].sized);
    EXPECT_EQ(out.files[i].fileSize, s.files[i].fileSize);
    EXPECT_EQ(out.files[i].extent, s.files[i].extent);
    EXPECT_EQ(out.files[i].name, s.files[i].name);
    EXPECT_EQ(out.files[i].blockMap, s.files[i].blockMap);
  }
}

TEST(ReceptionState, EveryTruncationAndEveryFlippedBitIsRefused) {
  const std::string data = EncodeReceptionState(Sample());
  for (std::size_t n = 0; n < data.size(); ++n) EXPECT_FALSE(Decodes(data.substr(0, n))) << "cut at " << n;
  for (std::size_t at = 0; at < data.size(); ++at) {
    for (int bit = 0; bit < 8; bit += 3) {
      std::string d = data;
      d[at] = static_cast<char>(d[at] ^ (1 << bit));
      EXPECT_FALSE(Decodes(d)) << "byte " << at << " bit " << bit;
    }
  }
  EXPECT_FALSE(Decodes(data + std::string(1, '\0')));
}

// States sealed with a good checksum whose fields the engine would never have
// written: each is refused, never taken in part.
struct ForgedCase {
  const char* name;
  void (*forge)(ReceptionState&);
};

class ForgedState : public ::testing::TestWithParam<ForgedCase> {};

TEST_P(ForgedState, IsRefused) {
  ReceptionState s = Sample();
  GetParam().forge(s);
  std::string why;
  EXPECT_FALSE(Decodes(EncodeReceptionState(s), &why));
  EXPECT_FALSE(why.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForgedState,
    ::testing::Values(
        ForgedCase{"BlockSizeOfTheHeaderAlone", [](ReceptionState& s) { s.blockSize = 16; }},
        ForgedCase{"BlockSizeLargerThanADatagram", [](ReceptionState& s) { s.blockSize = 4097; }},
        ForgedCase{"FileCountNoHeaderNames", [](ReceptionState& s) { s.fileCount = 0x10000; }},
        ForgedCase{"NoFiles", [](ReceptionState& s) { s.files.clear(); }},
        ForgedCase{"MoreFilesThanTheCount", [](ReceptionState& s) { s.fileCount = 1; }},
        ForgedCase{"FileIdBeyondTheCount", [](ReceptionState& s) { s.files[1].fileId = 3; }},
        ForgedCase{"FileIdsTwice", [](ReceptionState& s) { s.files[1].fileId = 0; }},
        ForgedCase{"FileIdsDescending", [](ReceptionState& s) { std::swap(s.files[0], s.files[1]); }},
        ForgedCase{"HeaderSizeOfNoClass", [](ReceptionState& s) { s.files[0].headerSize = 71; }},
        ForgedCase{"NoBlocks", [](ReceptionState& s) {
          s.files[1].blockCount = 0;
          s.files[1].blockMap.clear();
        }},
        ForgedCase{"MoreBlocksThanADatagramCounts", [](ReceptionState& s) {
          s.files[1].blockCount = 0x1000000;
          s.files[1].blockMap.assign(0x1000000, 0);
        }},
        ForgedCase{"BlockMapsBeyondTheEnginesBound", [](ReceptionState& s) {
          // Each file within its own bound (a 4 GB file), 33 of them beyond the total.
          s.blockSize = 4096;
          s.fileCount = 0;
          ReceptionStateFile big = s.files[1];
          big.blockCount = 1050000;
          big.blockMap.assign(big.blockCount, 0);
          s.files.clear();
          for (std::uint16_t id = 0; id < 33; ++id) {
            big.fileId = id;
            s.files.push_back(big);
          }
        }},
        ForgedCase{"BlocksBeyondTheNamedSize", [](ReceptionState& s) { s.files[0].fileSize = 1000; }},
        ForgedCase{"SizeWithoutAHeader", [](ReceptionState& s) { s.files[1].fileSize = 5; }},
        ForgedCase{"PartFileLongerThanItsBlocks", [](ReceptionState& s) { s.files[1].extent = 8 * 1008 + 1; }},
        ForgedCase{"NameLongerThanAnyPath", [](ReceptionState& s) { s.files[0].name.assign(1025, 'a'); }},
        ForgedCase{"AddressLongerThanAnyGroup", [](ReceptionState& s) { s.address.assign(65, '1'); }},
        ForgedCase{"NegativeReceivedSize", [](ReceptionState& s) { s.receivedBytes = -1; }}),
    [](const ::testing::TestParamInfo<ForgedCase>& info) { return std::string(info.param.name); });

TEST(ReceptionState, ForgedBytesWithAGoodChecksumAreRefused) {
  const std::string data = EncodeReceptionState(Sample());
  ASSERT_TRUE(Decodes(data));
  // The layout these offsets assume: a resealed record unchanged still decodes.
  ASSERT_TRUE(Decodes(Reseal(data, 0, data.substr(0, 1))));
  std::string why;
  EXPECT_FALSE(Decodes(Reseal(data, kVersionAt, std::string("\x02", 1)), &why));
  EXPECT_EQ(why, "another version");
  EXPECT_FALSE(Decodes(Reseal(data, 0, "XRst"), &why));
  EXPECT_EQ(why, "not a reception state");
  EXPECT_FALSE(Decodes(Reseal(data, kFlagsAt, std::string("\x02", 1)), &why));
  EXPECT_EQ(why, "unknown file flags");
  // 13 blocks: bits 13-15 of the second byte belong to no block.
  EXPECT_FALSE(Decodes(Reseal(data, kFirstBitsAt + 1, std::string("\xF7", 1)), &why));
  EXPECT_EQ(why, "bits past the last block");
  EXPECT_FALSE(Decodes(WithTestCrc32(data.substr(0, data.size() - 4) + "x"), &why));
  EXPECT_EQ(why, "bytes after the last file");
  // The checksum itself is checked against the record.
  EXPECT_FALSE(Decodes(data.substr(0, data.size() - 4) + std::string(4, '\0'), &why));
  EXPECT_EQ(why, "damaged (checksum)");
}
