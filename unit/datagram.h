// The carousel datagram: a 16-byte header, in block 0 an optional file header,
// then the block's payload. All fields little-endian.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kDatagramMax = 4096;       // largest datagram taken from the socket
constexpr int kDatagramHeader = 16;

// Header size of block 0 by header class: 0 -> 0, 1 -> 70, 2 -> 134, 3..7 -> 262.
int HeaderSizeOfClass(int headerClass);
// Width of the file name field by header class (0 when there is none).
int NameFieldOfClass(int headerClass);

struct DatagramHeader {
  std::uint16_t flags = 0;
  std::uint16_t blockSize = 0;
  std::uint16_t length = 0;
  std::uint32_t block = 0;        // 24 bits
  std::uint32_t blockCount = 0;   // 24 bits
  std::uint16_t fileId = 0;
  int headerClass = 0;            // (flags >> 4) & 7
};

// Reads the 16-byte header; false when fewer than 16 bytes are given.
bool ReadDatagramHeader(const std::uint8_t* data, std::size_t size, DatagramHeader* header);
// Writes the 16-byte header into out (16 bytes), as ReadDatagramHeader reads
// it: block and block count take 24 bits, headerClass is not written (it is
// part of flags).
void WriteDatagramHeader(const DatagramHeader& header, std::uint8_t* out);
// The flags test: (flags & 0x1C0F) == 0 and (flags & 0x0300) == 0x0100.
bool FlagsAccepted(std::uint16_t flags);

struct FileHeader {
  std::uint16_t fileCount = 0;
  std::uint32_t fileSize = 0;
  std::string fileName;           // cp932, cut at the field when it has no terminator
};
// Reads the file header that follows the 16-byte header of block 0; `headerSize`
// is the entry's (70, 134 or 262). The caller has checked that size >= 16 + headerSize.
FileHeader ReadFileHeader(const std::uint8_t* data, int headerSize);
// Writes the file header behind the 16-byte header: out holds 16 + headerSize
// bytes, the name is cut to its field and the rest of the field zeroed.
void WriteFileHeader(const FileHeader& file, int headerSize, std::uint8_t* out);

// A name from the air is checked with IsSafeRelativePath (common/safe_name.h)
// and its full path against this: the longest path Windows creates, MAX_PATH
// less its terminating NUL.
constexpr std::size_t kMaxPathChars = 259;
