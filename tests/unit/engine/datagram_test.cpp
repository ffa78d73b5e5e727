// Reading datagram headers and judging the names they carry.
#include <gtest/gtest.h>

#include "common/text.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/datagram.h"

using namespace enginetest;

TEST(Datagram, HeaderFieldsAreLittleEndianWith24BitBlockNumbers) {
  DatagramSpec d;
  d.headerClass = 2;
  d.blockSize = 0x0F00;
  d.block = 0x123456;
  d.blockCount = 0x234567;
  d.fileId = 0xBEEF;
  d.payload = "abc";
  std::string s = EncodeDatagram(d);
  DatagramHeader h;
  ASSERT_TRUE(ReadDatagramHeader(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), &h));
  EXPECT_EQ(h.flags, 0x0120);
  EXPECT_EQ(h.headerClass, 2);
  EXPECT_EQ(h.blockSize, 0x0F00);
  EXPECT_EQ(h.length, 19);
  EXPECT_EQ(h.block, 0x123456u);
  EXPECT_EQ(h.blockCount, 0x234567u);
  EXPECT_EQ(h.fileId, 0xBEEF);
  EXPECT_FALSE(ReadDatagramHeader(reinterpret_cast<const std::uint8_t*>(s.data()), 15, &h));
}

TEST(Datagram, FlagsTestAcceptsOnlyTheDataPattern) {
  struct {
    std::uint16_t flags;
    bool accepted;
  } cases[] = {{0x0100, true}, {0x0170, true}, {0x0180, true}, {0xE100, true}, {0x0000, false},
               {0x0200, false}, {0x0300, false}, {0x0101, false}, {0x0108, false}, {0x0500, false},
               {0x0900, false}, {0x1100, false}};
  for (const auto& c : cases) EXPECT_EQ(FlagsAccepted(c.flags), c.accepted) << std::hex << c.flags;
}

TEST(Datagram, HeaderSizeByClass) {
  const int expected[8] = {0, 70, 134, 262, 262, 262, 262, 262};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(HeaderSizeOfClass(c), expected[c]) << c;
}

TEST(Datagram, FileHeaderNameStopsAtTerminatorOrField) {
  DatagramSpec d;
  d.fileCount = 300;
  d.fileSize = 0x01020304;
  d.name = "dir\\file.txt";
  std::string s = EncodeDatagram(d);
  FileHeader f = ReadFileHeader(reinterpret_cast<const std::uint8_t*>(s.data()), 70);
  EXPECT_EQ(f.fileCount, 300);
  EXPECT_EQ(f.fileSize, 0x01020304u);
  EXPECT_EQ(f.fileName, "dir\\file.txt");
  d.name = std::string(80, 'q');  // longer than the 64-byte field
  s = EncodeDatagram(d) + "payload";
  f = ReadFileHeader(reinterpret_cast<const std::uint8_t*>(s.data()), 70);
  EXPECT_EQ(f.fileName, std::string(64, 'q'));
}

