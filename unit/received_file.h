// One file of a broadcast as the reception engine assembles it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FileStream;

struct ReceivedFile {
  std::uint16_t fileId = 0;
  std::uint32_t blockCount = 0;     // from the first datagram of the file
  int headerSize = 0;               // from the header class of that datagram
  std::uint64_t writePos = 0;       // file offset of the next appended byte
  std::uint32_t fileSize = 0;       // from the file header; 0 until block 0
  bool sized = false;               // fileSize came from the file header
  std::size_t buffered = 0;         // bytes waiting in the write buffer
  bool isOpen = false;
  bool complete = false;
  bool verified = false;
  bool rejected = false;            // unsafe name or no room: its datagrams are dropped
  std::vector<std::uint8_t> blockMap;  // blockCount + 10 bytes, 1 = received
  bool inMemory = false;
  std::vector<std::uint8_t> memory; // blockSize * blockCount bytes when kept in memory
  std::string tempPath;             // "~%d.tmp" name while the real name is unknown
  std::string destPath;             // storage folder + name, once block 0 was seen
  std::unique_ptr<FileStream> file;  // the disk file while isOpen
  std::uint32_t blocksReceived = 0;
  std::uint64_t claimed = 0;        // disk it takes (its extent) or will take at placement (in memory)
  std::uint64_t stored = 0;         // end of the furthest payload stored
  bool unsynced = false;            // stored to since the state was last written
  bool resumed = false;             // taken from a state a previous run left
};
