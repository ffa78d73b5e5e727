// Reading datagram headers and judging the names they carry.
#include <gtest/gtest.h>

#include "common/text.h"
#include "tests/unit/engine/engine_fixtures.h"
#include "unit/datagram.h"

using namespace enginetest;

TEST(Datagram, HeaderFieldsAreLittleEndianWith24BitBlockNumbers) {
  DatagramFields d;
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
  DatagramFields d;
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

// The head-end's writer against the tests' own encoder of the format, byte for
// byte, and back through the reader.
TEST(Datagram, WriterProducesWhatTheFormatSaysAndTheReaderReadsBack) {
  const struct {
    int headerClass;
    std::uint32_t block, blockCount;
    std::uint16_t fileId, fileCount;
    std::uint32_t fileSize;
    std::string name;
  } cases[] = {
      {1, 0, 1, 0, 1, 0, "a.txt"},
      {1, 0, 0xFFFFFF, 0xFFFF, 0xFFFF, 0xFFFFFFFF, std::string(70, 'n')},  // name cut to its 64 bytes
      {2, 0, 0x10203, 7, 9, 123456, "sub\\b.bin"},
      {3, 0, 2, 1, 2, 5, std::string(300, 'x')},
      {1, 0x123456, 0x234567, 0xBEEF, 1, 0, ""},  // not block 0: no file header
      {0, 0, 5, 3, 1, 0, ""},                     // class 0: no file header
  };
  for (const auto& c : cases) {
    DatagramFields fields;
    fields.headerClass = c.headerClass;
    fields.blockSize = 4096;
    fields.block = c.block;
    fields.blockCount = c.blockCount;
    fields.fileId = c.fileId;
    fields.fileCount = c.fileCount;
    fields.fileSize = c.fileSize;
    fields.name = c.name;
    const std::string expected = EncodeDatagram(fields);
    const int header = c.block == 0 ? HeaderSizeOfClass(c.headerClass) : 0;
    std::string written(kDatagramHeader + header, '\x55');
    auto* bytes = reinterpret_cast<std::uint8_t*>(&written[0]);
    DatagramHeader h;
    h.flags = static_cast<std::uint16_t>(0x0100 | (c.headerClass << 4));
    h.blockSize = 4096;
    h.length = static_cast<std::uint16_t>(written.size());
    h.block = c.block;
    h.blockCount = c.blockCount;
    h.fileId = c.fileId;
    WriteDatagramHeader(h, bytes);
    if (header) {
      FileHeader f;
      f.fileCount = c.fileCount;
      f.fileSize = c.fileSize;
      f.fileName = c.name;
      WriteFileHeader(f, header, bytes);
    }
    EXPECT_EQ(written, expected) << "class " << c.headerClass << " block " << c.block;
    DatagramHeader back;
    ASSERT_TRUE(ReadDatagramHeader(bytes, written.size(), &back));
    EXPECT_EQ(back.block, c.block);
    EXPECT_EQ(back.blockCount, c.blockCount);
    EXPECT_EQ(back.fileId, c.fileId);
    EXPECT_EQ(back.headerClass, c.headerClass);
    if (header) {
      FileHeader f = ReadFileHeader(bytes, header);
      EXPECT_EQ(f.fileCount, c.fileCount);
      EXPECT_EQ(f.fileSize, c.fileSize);
      EXPECT_EQ(f.fileName, c.name.substr(0, static_cast<std::size_t>(NameFieldOfClass(c.headerClass))));
    }
  }
}
